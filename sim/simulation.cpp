#include "sim/simulation.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "sim/dynamics.h"
#include "sim/frames.h"
#include "sim/scenario.h"

namespace sim {

namespace {

Simulation* g_current = nullptr;

// Makes a simulation the current one while it calls into its modules, and restores the previous
// one afterwards, so that several simulations can live side by side (as in tests).
class CurrentScope {
 public:
  explicit CurrentScope(Simulation* s) : saved_(g_current) { g_current = s; }
  ~CurrentScope() { g_current = saved_; }
  CurrentScope(const CurrentScope&) = delete;
  CurrentScope& operator=(const CurrentScope&) = delete;

 private:
  Simulation* saved_;
};

// World constants.
constexpr double kSunMass = 1.98855e30;        // kg
constexpr double kSunRadius = 6.96e8;          // m
constexpr double kEarthMass = 5.973698968e24;  // kg
constexpr double kEarthRadius = 6371010.0;     // m
constexpr double kEarthPeriod = 86164.10;      // sidereal rotation period, s
constexpr double kEarthDistance = 1.496e11;    // m, along global +x from the Sun

std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw InputError(p.string(), 0, "cannot read the file");
  std::ostringstream os;
  os << in.rdbuf();
  return os.str();
}

std::string trim_copy(std::string s) {
  const auto b = s.find_first_not_of(" \t\r");
  const auto e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string module_error(const std::string& what) {
  const char* e = dlerror();
  return what + (e != nullptr ? std::string(": ") + e : std::string());
}

}  // namespace

InputError::InputError(const std::string& f, int l, const std::string& w)
    : std::runtime_error(f + (l > 0 ? ":" + std::to_string(l) : std::string()) + ": " + w),
      file(f),
      line(l) {}

std::filesystem::path default_modules_dir() { return ORBHOST_MODULE_DIR; }
std::filesystem::path default_config_dir() { return ORBHOST_CONFIG_DIR; }

Simulation* Simulation::current() { return g_current; }

Simulation::Simulation(Options opts) : opts_(std::move(opts)), rng_(opts_.seed) {
  if (opts_.modules_dir.empty()) opts_.modules_dir = default_modules_dir();
  if (opts_.config_dir.empty()) opts_.config_dir = default_config_dir();
  g_current = this;
  create_world();
}

Simulation::~Simulation() {
  {
    CurrentScope scope(this);  // module destructors may still call the host
    unload();
  }
  if (g_current == this) g_current = nullptr;
}

void Simulation::create_world() {
  auto sun = std::make_unique<Body>("Sun");
  sun->mass = kSunMass;
  sun->radius = kSunRadius;
  auto earth = std::make_unique<Body>("Earth");
  earth->mass = kEarthMass;
  earth->radius = kEarthRadius;
  earth->rot_period = kEarthPeriod;
  earth->pos = _V(kEarthDistance, 0, 0);
  earth->has_atmosphere = true;
  // Bases of the planet from the project's configuration: "NAME = longitude latitude" (degrees).
  const auto bases_file = opts_.config_dir / "planets" / "Earth.cfg";
  if (std::filesystem::exists(bases_file)) {
    std::istringstream in(read_file(bases_file));
    std::string line;
    int ln = 0;
    bool in_bases = false;
    while (std::getline(in, line)) {
      ++ln;
      const std::string t = trim_copy(line);
      if (t.empty() || t[0] == ';') continue;
      if (t == "BEGIN_BASES") {
        in_bases = true;
      } else if (t == "END_BASES") {
        in_bases = false;
      } else if (in_bases) {
        const auto eq = t.find('=');
        double lon = 0, lat = 0;
        if (eq == std::string::npos || std::sscanf(t.c_str() + eq + 1, "%lf %lf", &lon, &lat) != 2)
          throw InputError(bases_file.string(), ln, "expected 'NAME = longitude latitude'");
        earth->bases.push_back(
            std::make_unique<SurfaceBase>(trim_copy(t.substr(0, eq)), earth.get(), lon * RAD, lat * RAD));
      }
    }
  }
  bodies_.push_back(std::move(sun));
  bodies_.push_back(std::move(earth));
}

void Simulation::unload() {
  // Vessels go first (their modules' ovcExit), then the modules themselves.
  for (auto it = vessels_.rbegin(); it != vessels_.rend(); ++it) {
    HostVessel& v = **it;
    if (v.iface == nullptr) continue;
    if (v.destroy_iface) {
      v.destroy_iface(v.iface);
    } else if (v.module != nullptr && v.module->ovcExit != nullptr) {
      v.module->ovcExit(v.iface);
    }
    v.iface = nullptr;
  }
  vessels_.clear();
  focus_ = nullptr;
  for (auto& m : modules_)
    if (m->handle != nullptr) dlclose(m->handle);
  modules_.clear();
}

Body* Simulation::body(std::string_view name) {
  for (auto& b : bodies_)
    if (b->name == name) return b.get();
  return nullptr;
}

HostVessel* Simulation::vessel(std::string_view name) {
  for (auto& v : vessels_)
    if (v->name == name) return v.get();
  return nullptr;
}

HostVessel& Simulation::vessel_of(OBJHANDLE h) const { return *static_cast<HostVessel*>(h); }
HostVessel& Simulation::vessel_of(const VESSEL* v) const { return vessel_of(v->GetHandle()); }

double Simulation::mjd() const { return mjd0_ + simt_ / 86400.0; }

void Simulation::write_log(const std::string& line) { log_.push_back(line); }

void Simulation::report_nonfinite(const HostVessel* v, const char* operation) {
  ++nonfinite_calls_;
  const std::string key = (v != nullptr ? v->name : std::string("?")) + "/" + operation;
  if (std::find(nonfinite_seen_.begin(), nonfinite_seen_.end(), key) != nonfinite_seen_.end()) return;
  nonfinite_seen_.push_back(key);
  write_log("host: refused a non-finite value from vessel '" + (v != nullptr ? v->name : std::string("?")) +
            "' in " + operation);
}

double Simulation::rand_uniform() { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_); }

SURFHANDLE Simulation::texture(const std::string& name, bool particle) {
  for (auto& t : textures_)
    if (t->name == name && t->particle == particle) return t.get();
  auto t = std::make_unique<HostTexture>();
  t->name = name;
  t->particle = particle;
  textures_.push_back(std::move(t));
  return textures_.back().get();
}

// --- Modules ---

namespace {

struct ClassConfig {
  std::string module;
  struct Point {
    bool toparent;
    VECTOR3 pos, dir, rot;
    std::string id;
  };
  std::vector<Point> attachments;
};

ClassConfig read_class_config(const std::filesystem::path& file) {
  ClassConfig cfg;
  std::istringstream in(read_file(file));
  std::string line;
  int ln = 0;
  bool in_attachments = false;
  while (std::getline(in, line)) {
    ++ln;
    std::string t = trim_copy(line.substr(0, line.find(';')));
    if (t.empty()) continue;
    if (t == "BEGIN_ATTACHMENT") {
      in_attachments = true;
    } else if (t == "END_ATTACHMENT") {
      in_attachments = false;
    } else if (in_attachments) {
      ClassConfig::Point p;
      char kind = 0;
      char id[16] = {0};
      if (std::sscanf(t.c_str(), " %c %lf %lf %lf %lf %lf %lf %lf %lf %lf %15s", &kind, &p.pos.x, &p.pos.y,
                      &p.pos.z, &p.dir.x, &p.dir.y, &p.dir.z, &p.rot.x, &p.rot.y, &p.rot.z, id) < 10 ||
          (kind != 'P' && kind != 'C'))
        throw InputError(file.string(), ln, "expected 'P|C x y z dx dy dz rx ry rz ID'");
      p.toparent = kind == 'P';
      p.id = id;
      cfg.attachments.push_back(p);
    } else {
      const auto eq = t.find('=');
      if (eq != std::string::npos && trim_copy(t.substr(0, eq)) == "Module")
        cfg.module = trim_copy(t.substr(eq + 1));
    }
  }
  if (in_attachments) throw InputError(file.string(), ln, "BEGIN_ATTACHMENT is not closed");
  if (cfg.module.empty()) throw InputError(file.string(), 0, "no 'Module = NAME' line");
  return cfg;
}

}  // namespace

Module& Simulation::load_module(const std::string& module_name, const std::string& cfg_file, int cfg_line) {
  for (auto& m : modules_)
    if (m->name == module_name) return *m;
  auto m = std::make_unique<Module>();
  m->name = module_name;
  m->path = opts_.modules_dir / (module_name + ".so");
  if (!std::filesystem::exists(m->path))
    throw InputError(m->path.string(), 0, "module not found (needed by " + cfg_file + ")");
  (void)cfg_line;
  dlerror();
  m->handle = dlopen(m->path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m->handle == nullptr) throw InputError(m->path.string(), 0, module_error("cannot load the module"));
  m->ovcInit = reinterpret_cast<VESSEL* (*)(OBJHANDLE, int)>(dlsym(m->handle, "ovcInit"));
  m->ovcExit = reinterpret_cast<void (*)(VESSEL*)>(dlsym(m->handle, "ovcExit"));
  m->ModuleDate = reinterpret_cast<const char* (*)()>(dlsym(m->handle, "ModuleDate"));
  m->GetModuleVersion = reinterpret_cast<int (*)()>(dlsym(m->handle, "GetModuleVersion"));
  if (m->ovcInit == nullptr || m->ovcExit == nullptr) {
    dlclose(m->handle);
    throw InputError(m->path.string(), 0, "the module does not export ovcInit and ovcExit");
  }
  modules_.push_back(std::move(m));
  return *modules_.back();
}

// --- Loading ---

void Simulation::load_scenario_file(const std::filesystem::path& file) {
  load_scenario_text(read_file(file), file.string());
}

namespace {

void place_from_status(Simulation& sim, HostVessel& v, const VesselStatus& st, const std::string& file,
                       int line) {
  Body* b = sim.body(st.body);
  if (b == nullptr)
    throw InputError(file, line, "unknown body '" + st.body + "' for vessel '" + v.name + "'");
  v.ref = b;
  v.status = *st.status;
  const double lng = st.lon_deg.value_or(0.0) * RAD, lat = st.lat_deg.value_or(0.0) * RAD;
  switch (v.status) {
    case FlightStatus::Landed: {
      const double h = v.touchdown.size() >= 3 ? support_height(v.touchdown) : 0.0;
      v.pos = equ_to_global(*b, sim.time(), lng, lat, b->radius + h);
      const MATRIX3 hb = horizon_basis(*b, v.pos);
      v.rot =
          mul(hb, v.touchdown.size() >= 3 ? landed_attitude(v.touchdown, st.heading_deg.value_or(0.0) * RAD)
                                          : attitude_from_hpb(st.heading_deg.value_or(0.0) * RAD, 0, 0));
      v.vel = surface_velocity(*b, v.pos);
      v.omega = _V(0, 0, 0);
      v.resting = true;
      v.ground_contact = true;
      break;
    }
    case FlightStatus::Flying: {
      v.pos = equ_to_global(*b, sim.time(), lng, lat, b->radius + st.alt_m.value_or(0.0));
      const MATRIX3 hb = horizon_basis(*b, v.pos);
      const VECTOR3 att = st.att_deg.value_or(_V(0, 0, 0)) * RAD;
      v.rot = mul(hb, attitude_from_hpb(att.x, att.y, att.z));
      v.vel = surface_velocity(*b, v.pos) + mul(hb, st.gspeed.value_or(_V(0, 0, 0)));
      v.omega = st.vrot_deg.value_or(_V(0, 0, 0)) * RAD;
      v.airborne_since_start = true;
      break;
    }
    case FlightStatus::Orbiting:
      v.pos = b->pos + st.rpos.value_or(_V(b->radius * 1.1, 0, 0));
      v.vel = st.rvel.value_or(_V(0, 0, 0));
      v.rot = rotation_from_euler(st.arot_deg.value_or(_V(0, 0, 0)) * RAD);
      v.omega = st.vrot_deg.value_or(_V(0, 0, 0)) * RAD;
      v.airborne_since_start = true;
      break;
  }
  for (const auto& [i, f] : st.prplevel) {
    if (i < 0 || static_cast<size_t>(i) >= v.propellants.size()) continue;
    auto& p = *v.propellants[i];
    p.mass = std::clamp(f, 0.0, 1.0) * p.max_mass;
  }
  for (const auto& [i, l] : st.thlevel) {
    if (i < 0 || static_cast<size_t>(i) >= v.thrusters.size()) continue;
    v.thrusters[i]->level = std::clamp(l, 0.0, 1.0);
  }
  for (int m : st.navmodes) v.navmode[m] = true;
  if (st.afcmode) v.adctrl_mode = static_cast<DWORD>(*st.afcmode);
  if (st.rcsmode) v.attitude_mode = std::clamp(*st.rcsmode, RCS_NONE, RCS_LIN);
}

}  // namespace

void Simulation::load_scenario_text(std::string_view text, const std::string& filename) {
  CurrentScope scope(this);
  if (!vessels_.empty()) throw InputError(filename, 0, "a scenario is loaded already");
  ScenarioData data = parse_scenario(text, filename);

  // Every class configuration and module is found before any vessel is created.
  std::vector<ClassConfig> configs;
  std::vector<Module*> mods;
  for (const auto& b : data.vessels) {
    const auto cfg_path = opts_.modules_dir / (b.class_name + ".cfg");
    if (!std::filesystem::exists(cfg_path))
      throw InputError(
          filename, b.line,
          "no class configuration for class '" + b.class_name + "' (looked for " + cfg_path.string() + ")");
    configs.push_back(read_class_config(cfg_path));
    mods.push_back(&load_module(configs.back().module, cfg_path.string(), b.line));
  }

  mjd0_ = data.mjd;
  simt_ = 0.0;
  simt_carry_ = 0.0;
  description_ = data.description;
  wind_ = data.wind;
  std::sort(wind_.begin(), wind_.end(), [](const WindLayer& a, const WindLayer& b) { return a.alt < b.alt; });
  if (Body* earth = body("Earth")) earth->rot_offset = PI2 * (data.mjd - std::floor(data.mjd));

  std::vector<VesselStatus> statuses(data.vessels.size());
  try {
    for (size_t i = 0; i < data.vessels.size(); ++i) {
      const VesselBlock& b = data.vessels[i];
      auto hv = std::make_unique<HostVessel>(b.name);
      hv->class_name = b.class_name;
      hv->module = mods[i];
      hv->index = static_cast<int>(vessels_.size());
      hv->ref = body("Earth");
      for (const auto& p : configs[i].attachments) {
        auto a = std::make_unique<HostAttachment>();
        a->owner = hv.get();
        a->toparent = p.toparent;
        a->pos = p.pos;
        a->dir = unit(p.dir);
        a->rot = unit(p.rot);
        a->id = p.id;
        hv->attachments.push_back(std::move(a));
      }
      vessels_.push_back(std::move(hv));
      HostVessel& v = *vessels_.back();
      v.iface = mods[i]->ovcInit(&v, 1);
      if (v.iface == nullptr) throw InputError(mods[i]->path.string(), 0, "ovcInit returned no vessel");
      auto* cb = static_cast<VESSEL2*>(v.iface);
      cb->clbkSetClassCaps(nullptr);
      ScenarioReader reader(b, filename);
      reading_file_ = &reader.file;
      reading_line_ = &reader.current_line;
      cb->clbkLoadStateEx(&reader, &statuses[i]);
      reading_file_ = nullptr;
      reading_line_ = nullptr;
      if (statuses[i].error) throw *statuses[i].error;
      if (!statuses[i].status)
        throw InputError(filename, b.line, "vessel '" + b.name + "' has no STATUS line");
      place_from_status(*this, v, statuses[i], filename, b.line);
      if (v.status == FlightStatus::Landed) settle_landed(*this, v);
    }
    // Attachments, once every vessel exists.
    for (size_t i = 0; i < data.vessels.size(); ++i) {
      if (!statuses[i].attached) continue;
      const auto& a = *statuses[i].attached;
      HostVessel& child = *vessels_[i];
      HostVessel* parent = vessel(a.parent);
      if (parent == nullptr)
        throw InputError(filename, a.line, "ATTACHED names no vessel '" + a.parent + "'");
      HostAttachment* cp = nullptr;
      HostAttachment* pp = nullptr;
      int n = 0;
      for (auto& p : child.attachments)
        if (p->toparent && n++ == a.child_point) cp = p.get();
      n = 0;
      for (auto& p : parent->attachments)
        if (!p->toparent && n++ == a.parent_point) pp = p.get();
      if (cp == nullptr || pp == nullptr || !attach(*parent, pp, child, cp))
        throw InputError(filename, a.line, "cannot attach '" + child.name + "' to '" + parent->name + "'");
    }
    focus_ = data.focus.empty() ? nullptr : vessel(data.focus);
    if (!data.focus.empty() && focus_ == nullptr)
      throw InputError(filename, 0, "the focus names no vessel '" + data.focus + "'");
    if (focus_ == nullptr && !vessels_.empty()) focus_ = vessels_.front().get();
    for (auto& v : vessels_) update_environment(*this, *v);
    for (auto& v : vessels_) static_cast<VESSEL2*>(v->iface)->clbkPostCreation();
    for (auto& v : vessels_)
      for (int m = 1; m <= 7; ++m)
        if (v->navmode[m]) static_cast<VESSEL2*>(v->iface)->clbkNavMode(m, true);
  } catch (...) {
    unload();
    throw;
  }
}

HostVessel& Simulation::create_vessel(const std::string& name, Body* ref, const VECTOR3& global_pos,
                                      const std::function<VESSEL*(OBJHANDLE)>& make,
                                      const std::function<void(VESSEL*)>& destroy) {
  CurrentScope scope(this);
  auto hv = std::make_unique<HostVessel>(name);
  hv->class_name = "test";
  hv->index = static_cast<int>(vessels_.size());
  hv->ref = ref != nullptr ? ref : body("Earth");
  hv->pos = global_pos;
  hv->status = FlightStatus::Flying;
  hv->airborne_since_start = true;
  vessels_.push_back(std::move(hv));
  HostVessel& v = *vessels_.back();
  v.iface = make(&v);
  v.destroy_iface = destroy;
  if (v.iface != nullptr) static_cast<VESSEL2*>(v.iface)->clbkSetClassCaps(nullptr);
  update_environment(*this, v);
  if (focus_ == nullptr) focus_ = &v;
  return v;
}

// --- Running ---

void Simulation::build_key_state() {
  keys_.fill(0);
  for (const HeldKey& k : held_keys_) {
    if (k.key < 256) keys_[k.key] = static_cast<char>(0x80);
    if (k.ctrl) keys_[OAPI_KEY_LCONTROL] = static_cast<char>(0x80);
    if (k.shift) keys_[OAPI_KEY_LSHIFT] = static_cast<char>(0x80);
  }
}

void Simulation::apply_input(double) {
  std::erase_if(held_keys_, [this](const HeldKey& k) { return k.until <= simt_ + 1e-9; });
  build_key_state();
  if (focus_ != nullptr && focus_->iface != nullptr)
    static_cast<VESSEL2*>(focus_->iface)->clbkConsumeDirectKey(keys_.data());
}

void Simulation::step(double dt) {
  if (!(dt > 0.0) || !std::isfinite(dt)) throw std::invalid_argument("frame length must be positive");
  CurrentScope scope(this);
  last_dt_ = dt;
  apply_input(dt);
  for (auto& v : vessels_) apply_host_attitude_control(*this, *v, dt);
  const double t0 = simt_;
  const double mjd_now = mjd();
  for (auto& v : vessels_) static_cast<VESSEL2*>(v->iface)->clbkPreStep(t0, dt, mjd_now);
  integrate(*this, dt);
  // Compensated sum: a long run of equal frames keeps the time exact to the last bit.
  const double y = dt - simt_carry_;
  simt_ = t0 + y;
  simt_carry_ = (simt_ - t0) - y;
  for (auto& v : vessels_) {
    v->added_forces.clear();
    update_environment(*this, *v);
    if (v->parent() == nullptr) {
      if (v->resting)
        v->status = FlightStatus::Landed;
      else if (v->status == FlightStatus::Landed)
        v->status = FlightStatus::Flying;
    }
  }
  const double mjd_end = mjd();
  for (auto& v : vessels_) static_cast<VESSEL2*>(v->iface)->clbkPostStep(simt_, dt, mjd_end);
}

// --- Crew input ---

void Simulation::press_key(DWORD key, bool ctrl, bool shift, bool alt) {
  CurrentScope scope(this);
  if (focus_ == nullptr || focus_->iface == nullptr) return;
  build_key_state();
  std::array<char, 256> ks = keys_;
  if (key < 256) ks[key] = static_cast<char>(0x80);
  if (ctrl) ks[OAPI_KEY_LCONTROL] = static_cast<char>(0x80);
  if (shift) ks[OAPI_KEY_LSHIFT] = static_cast<char>(0x80);
  if (alt) ks[OAPI_KEY_LALT] = static_cast<char>(0x80);
  auto* cb = static_cast<VESSEL2*>(focus_->iface);
  const int consumed = cb->clbkConsumeBufferedKey(key, true, ks.data());
  if (consumed == 0 && !ctrl && !shift && !alt) {
    // The host's own key: keypad 5 toggles kill-rotation.
    if (key == OAPI_KEY_NUMPAD5) set_navmode(*focus_, NAVMODE_KILLROT, !focus_->navmode[NAVMODE_KILLROT]);
  }
  ks[key < 256 ? key : 0] = 0;
  cb->clbkConsumeBufferedKey(key, false, ks.data());
}

void Simulation::hold_key(DWORD key, double seconds, bool ctrl, bool shift) {
  held_keys_.push_back({key, simt_ + seconds, ctrl, shift});
}

bool Simulation::type_text(const std::string& text) {
  CurrentScope scope(this);
  if (!input_box_.open || input_box_.callback == nullptr) {
    write_log("host: no input box is open for '" + text + "'");
    return false;
  }
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  InputBox box = input_box_;
  input_box_.open = false;
  const bool ok = box.callback(this, buf.data(), box.usrdata);
  if (!ok) {
    write_log("host: input box '" + box.title + "' refused '" + text + "'");
    input_box_ = box;  // the box stays open for another try
  }
  return ok;
}

void Simulation::open_input_box(const char* title, KeyFunc cb, int vislen, void* usrdata) {
  input_box_.title = title != nullptr ? title : "";
  input_box_.callback = cb;
  input_box_.usrdata = usrdata;
  input_box_.vislen = vislen;
  input_box_.open = cb != nullptr;
}

void Simulation::set_focus(const std::string& vessel_name) {
  if (HostVessel* v = vessel(vessel_name))
    focus_ = v;
  else
    write_log("host: no vessel '" + vessel_name + "' to focus");
}

void Simulation::set_joystick(double pitch, double yaw, double bank) {
  joystick_[0] = std::clamp(pitch, -1.0, 1.0);
  joystick_[1] = std::clamp(yaw, -1.0, 1.0);
  joystick_[2] = std::clamp(bank, -1.0, 1.0);
}

void Simulation::set_navmode(HostVessel& v, int mode, bool on) {
  CurrentScope scope(this);
  if (mode < 1 || mode > 7 || v.navmode[mode] == on) return;
  v.navmode[mode] = on;
  notify_navmode(v, mode, on);
}

void Simulation::notify_navmode(HostVessel& v, int mode, bool active) {
  if (v.iface != nullptr) static_cast<VESSEL2*>(v.iface)->clbkNavMode(mode, active);
}

void Simulation::set_afcmode(HostVessel& v, DWORD mode) { v.adctrl_mode = mode; }

double Simulation::manual_level(const HostVessel& v, THGROUP_TYPE t, DWORD mode, DWORD device) const {
  if (&v != focus_) return 0.0;
  const bool rotation_group = t >= THGROUP_ATT_PITCHUP && t <= THGROUP_ATT_BANKRIGHT;
  if (!rotation_group) return 0.0;
  const bool mode_ok = mode == MANCTRL_ANYMODE || mode == MANCTRL_ROTMODE ||
                       (mode == MANCTRL_ATTMODE && v.attitude_mode == RCS_ROT) ||
                       (mode == MANCTRL_REVMODE && v.attitude_mode == RCS_LIN);
  if (!mode_ok) return 0.0;
  double joy = 0.0;
  switch (t) {
    case THGROUP_ATT_PITCHUP:
      joy = std::max(0.0, joystick_[0]);
      break;
    case THGROUP_ATT_PITCHDOWN:
      joy = std::max(0.0, -joystick_[0]);
      break;
    case THGROUP_ATT_YAWLEFT:
      joy = std::max(0.0, joystick_[1]);
      break;
    case THGROUP_ATT_YAWRIGHT:
      joy = std::max(0.0, -joystick_[1]);
      break;
    case THGROUP_ATT_BANKLEFT:
      joy = std::max(0.0, joystick_[2]);
      break;
    case THGROUP_ATT_BANKRIGHT:
      joy = std::max(0.0, -joystick_[2]);
      break;
    default:
      break;
  }
  double key = 0.0;
  static constexpr DWORD kKey[] = {OAPI_KEY_NUMPAD2, OAPI_KEY_NUMPAD8, OAPI_KEY_NUMPAD1,
                                   OAPI_KEY_NUMPAD3, OAPI_KEY_NUMPAD4, OAPI_KEY_NUMPAD6};
  if ((keys_[kKey[t - THGROUP_ATT_PITCHUP]] & 0x80) != 0) key = 1.0;
  if (device == MANCTRL_JOYSTICK) return joy;
  if (device == MANCTRL_KEYBOARD) return key;
  return std::max(joy, key);
}

std::vector<HudText> Simulation::draw_hud(HostVessel& v, int W, int H) {
  CurrentScope scope(this);
  class RecordingSketchpad : public Sketchpad {
   public:
    DWORD SetTextColor(DWORD col) override {
      const DWORD old = colour;
      colour = col;
      return old;
    }
    bool Text(int x, int y, const char* str, int len) override {
      if (str == nullptr || len < 0) return false;
      texts.push_back({x, y, colour, std::string(str, strnlen(str, static_cast<size_t>(len)))});
      return true;
    }
    DWORD colour = 0x00ff00;
    std::vector<HudText> texts;
  } skp;
  HUDPAINTSPEC hps{W, H, W / 2, H / 2, H / 768.0, H / 40};
  if (v.iface != nullptr) static_cast<VESSEL3*>(v.iface)->clbkDrawHUD(0, &hps, &skp);
  return skp.texts;
}

// --- Attachments ---

bool Simulation::attach(HostVessel& parent, HostAttachment* pp, HostVessel& child, HostAttachment* cp) {
  if (pp == nullptr || cp == nullptr || pp->toparent || !cp->toparent) return false;
  if (pp->peer != nullptr || cp->peer != nullptr || &parent == &child) return false;
  // No loops: the parent may not hang below the child.
  for (HostVessel* p = &parent; p != nullptr; p = p->parent())
    if (p == &child) return false;
  pp->peer = cp;
  cp->peer = pp;
  child.resting = false;
  place_attached(child);
  return true;
}

bool Simulation::detach(HostVessel& parent, HostAttachment* pp, double vel) {
  if (pp == nullptr || pp->toparent || pp->peer == nullptr) return false;
  HostAttachment* cp = pp->peer;
  HostVessel& child = *cp->owner;
  place_attached(child);
  // The child keeps the motion of its point on the parent, plus the separation speed along the
  // parent's attachment direction.
  child.vel = detach_velocity(parent, *pp, vel);
  pp->peer = nullptr;
  cp->peer = nullptr;
  child.status = FlightStatus::Flying;
  child.resting = false;
  child.airborne_since_start = true;
  return true;
}

// --- Output ---

std::string Simulation::save_scenario_text() {
  CurrentScope scope(this);
  std::ostringstream os;
  os.precision(12);
  os << "BEGIN_DESC\n" << description_ << "END_DESC\n\n";
  os << "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD " << mjd() << "\n";
  for (const auto& w : wind_) os << "  WIND " << w.alt << " " << w.east << " " << w.north << "\n";
  os << "END_ENVIRONMENT\n\n";
  if (focus_ != nullptr) os << "BEGIN_FOCUS\n  Ship " << focus_->name << "\nEND_FOCUS\n\n";
  os << "BEGIN_SHIPS\n";
  for (auto& v : vessels_) {
    os << v->name << ":" << v->class_name << "\n";
    ScenarioWriter w(*v);
    static_cast<VESSEL2*>(v->iface)->clbkSaveState(&w);
    os << w.out << "END\n";
  }
  os << "END_SHIPS\n";
  return os.str();
}

void Simulation::save_scenario_file(const std::filesystem::path& file) {
  const std::string text = save_scenario_text();
  std::ofstream out(file, std::ios::binary);
  if (!out) throw std::runtime_error("cannot write " + file.string());
  out << text;
}

}  // namespace sim
