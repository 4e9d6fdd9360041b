// The vessel interface carried out on the host's records: configuration and bookkeeping.
//
// Every number a module hands over is checked: a non-finite one is refused (the call changes
// nothing) and reported once per vessel and operation.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "sim/dynamics.h"
#include "sim/frames.h"
#include "sim/propulsion.h"
#include "sim/simulation.h"

using sim::HostVessel;
using sim::Simulation;

namespace {

Simulation& S() { return *Simulation::current(); }
HostVessel& V(const VESSEL* v) { return *static_cast<HostVessel*>(v->GetHandle()); }

bool finite(const VESSEL* v, const char* op, std::initializer_list<double> xs) {
  for (double x : xs) {
    if (!std::isfinite(x)) {
      S().report_nonfinite(&V(v), op);
      return false;
    }
  }
  return true;
}

bool finite(const VESSEL* v, const char* op, std::initializer_list<VECTOR3> vs) {
  for (const VECTOR3& x : vs) {
    if (!is_finite(x)) {
      S().report_nonfinite(&V(v), op);
      return false;
    }
  }
  return true;
}

template <typename T>
bool owns(const std::vector<std::unique_ptr<T>>& list, const T* p) {
  if (p == nullptr) return false;
  return std::any_of(list.begin(), list.end(), [p](const auto& u) { return u.get() == p; });
}

bool valid_thruster(const HostVessel& hv, THRUSTER_HANDLE th) { return owns(hv.thrusters, th); }
bool valid_group(const HostVessel& hv, THGROUP_HANDLE g) { return owns(hv.groups, g); }
bool valid_propellant(const HostVessel& hv, PROPELLANT_HANDLE p) { return owns(hv.propellants, p); }

double group_level(const HostThrusterGroup* g) { return g != nullptr ? g->level() : 0.0; }

void set_group_level(HostThrusterGroup* g, double level) {
  if (g == nullptr) return;
  const double l = std::clamp(level, 0.0, 1.0);
  for (HostThruster* t : g->thrusters) t->level = l;
}

}  // namespace

VESSEL::VESSEL(OBJHANDLE hVessel, int fmodel) : hObj_(hVessel), fmodel_(fmodel) {}

const char* VESSEL::GetName() const { return V(this).name.c_str(); }
const char* VESSEL::GetClassName() const { return V(this).class_name.c_str(); }

// --- Configuration ---

void VESSEL::SetSize(double size) {
  if (finite(this, "SetSize", {size})) V(this).size = size;
}
double VESSEL::GetSize() const { return V(this).size; }
void VESSEL::SetEmptyMass(double emass) {
  if (finite(this, "SetEmptyMass", {emass})) V(this).empty_mass = std::max(0.0, emass);
}
double VESSEL::GetEmptyMass() const { return V(this).empty_mass; }
void VESSEL::SetPMI(const VECTOR3& pmi) {
  if (finite(this, "SetPMI", {pmi})) V(this).pmi = pmi;
}
void VESSEL::GetPMI(VECTOR3& pmi) const { pmi = V(this).pmi; }
void VESSEL::SetCrossSections(const VECTOR3& cs) {
  if (finite(this, "SetCrossSections", {cs})) V(this).cross_sections = cs;
}
void VESSEL::GetCrossSections(VECTOR3& cs) const { cs = V(this).cross_sections; }
void VESSEL::SetCW(double cw_z_pos, double cw_z_neg, double cw_x, double cw_y) {
  if (finite(this, "SetCW", {cw_z_pos, cw_z_neg, cw_x, cw_y})) V(this).cw = {cw_z_pos, cw_z_neg, cw_x, cw_y};
}
void VESSEL::SetRotDrag(const VECTOR3& rd) {
  if (finite(this, "SetRotDrag", {rd})) V(this).rot_drag = rd;
}
void VESSEL::SetTouchdownPoints(const TOUCHDOWNVTX* tdvtx, DWORD ntdvtx) {
  if (tdvtx == nullptr || ntdvtx < 3) return;  // a support needs at least three points
  for (DWORD i = 0; i < ntdvtx; ++i) {
    const TOUCHDOWNVTX& p = tdvtx[i];
    if (!finite(this, "SetTouchdownPoints", {p.pos}) ||
        !finite(this, "SetTouchdownPoints", {p.stiffness, p.damping, p.mu, p.mu_lng}))
      return;
  }
  V(this).touchdown.assign(tdvtx, tdvtx + ntdvtx);
}
DWORD VESSEL::GetTouchdownPointCount() const { return static_cast<DWORD>(V(this).touchdown.size()); }
bool VESSEL::GetTouchdownPoint(TOUCHDOWNVTX& tdvtx, DWORD idx) const {
  const auto& td = V(this).touchdown;
  if (idx >= td.size()) return false;
  tdvtx = td[idx];
  return true;
}
UINT VESSEL::AddMesh(const char* meshname, const VECTOR3* ofs) {
  sim::Mesh m;
  m.name = meshname != nullptr ? meshname : "";
  if (ofs != nullptr && is_finite(*ofs)) m.ofs = *ofs;
  V(this).meshes.push_back(m);
  return static_cast<UINT>(V(this).meshes.size() - 1);
}
bool VESSEL::SetMeshVisibilityMode(UINT idx, WORD mode) {
  auto& meshes = V(this).meshes;
  if (idx >= meshes.size()) return false;
  meshes[idx].visibility = mode;
  return true;
}
void VESSEL::SetCameraOffset(const VECTOR3& co) {
  if (finite(this, "SetCameraOffset", {co})) V(this).camera_offset = co;
}
void VESSEL::GetCameraOffset(VECTOR3& co) const { co = V(this).camera_offset; }
void VESSEL::SetCameraDefaultDirection(const VECTOR3& cd, double tilt) {
  if (!finite(this, "SetCameraDefaultDirection", {cd}) || !finite(this, "SetCameraDefaultDirection", {tilt}))
    return;
  if (length(cd) == 0.0) return;
  V(this).camera_dir = unit(cd);
  V(this).camera_tilt = tilt;
}
void VESSEL::SetDockParams(const VECTOR3& pos, const VECTOR3& dir, const VECTOR3& rot) {
  if (!finite(this, "SetDockParams", {pos, dir, rot})) return;
  auto& ports = V(this).dock_ports;
  ports.clear();  // the simple form describes the vessel's one docking port
  ports.push_back(std::make_unique<HostDockPort>(HostDockPort{pos, dir, rot}));
}

// --- Propellant resources ---

PROPELLANT_HANDLE VESSEL::CreatePropellantResource(double maxmass, double mass, double efficiency) {
  if (!finite(this, "CreatePropellantResource", {maxmass, mass, efficiency})) return nullptr;
  auto p = std::make_unique<HostPropellant>();
  p->max_mass = std::max(0.0, maxmass);
  p->mass = mass < 0.0 ? p->max_mass : std::min(mass, p->max_mass);
  p->efficiency = efficiency > 0.0 ? efficiency : 1.0;
  HostVessel& hv = V(this);
  hv.propellants.push_back(std::move(p));
  if (hv.default_propellant == nullptr) hv.default_propellant = hv.propellants.back().get();
  return hv.propellants.back().get();
}
DWORD VESSEL::GetPropellantCount() const { return static_cast<DWORD>(V(this).propellants.size()); }
PROPELLANT_HANDLE VESSEL::GetPropellantHandleByIndex(DWORD idx) const {
  const auto& l = V(this).propellants;
  return idx < l.size() ? l[idx].get() : nullptr;
}
double VESSEL::GetPropellantMass(PROPELLANT_HANDLE ph) const {
  return valid_propellant(V(this), ph) ? ph->mass : 0.0;
}
double VESSEL::GetPropellantMaxMass(PROPELLANT_HANDLE ph) const {
  return valid_propellant(V(this), ph) ? ph->max_mass : 0.0;
}
void VESSEL::SetPropellantMass(PROPELLANT_HANDLE ph, double mass) {
  if (!valid_propellant(V(this), ph) || !finite(this, "SetPropellantMass", {mass})) return;
  ph->mass = std::clamp(mass, 0.0, ph->max_mass);
}
double VESSEL::GetTotalPropellantMass() const {
  double m = 0.0;
  for (const auto& p : V(this).propellants) m += p->mass;
  return m;
}
void VESSEL::SetDefaultPropellantResource(PROPELLANT_HANDLE ph) {
  if (valid_propellant(V(this), ph)) V(this).default_propellant = ph;
}
PROPELLANT_HANDLE VESSEL::GetDefaultPropellantResource() const { return V(this).default_propellant; }

// --- Thrusters ---

THRUSTER_HANDLE VESSEL::CreateThruster(const VECTOR3& pos, const VECTOR3& dir, double maxth0,
                                       PROPELLANT_HANDLE hp, double isp0, double isp_ref, double p_ref) {
  if (!finite(this, "CreateThruster", {pos, dir}) ||
      !finite(this, "CreateThruster", {maxth0, isp0, isp_ref, p_ref}))
    return nullptr;
  HostVessel& hv = V(this);
  auto t = std::make_unique<HostThruster>();
  t->pos = pos;
  t->dir = length(dir) > 0.0 ? unit(dir) : _V(0, 0, 1);
  t->max0 = maxth0;
  t->res = valid_propellant(hv, hp) ? hp : nullptr;
  t->isp_vac = isp0;
  t->isp_ref = isp_ref;
  t->p_ref = p_ref;
  hv.thrusters.push_back(std::move(t));
  return hv.thrusters.back().get();
}
DWORD VESSEL::GetThrusterCount() const { return static_cast<DWORD>(V(this).thrusters.size()); }
THRUSTER_HANDLE VESSEL::GetThrusterHandleByIndex(DWORD idx) const {
  const auto& l = V(this).thrusters;
  return idx < l.size() ? l[idx].get() : nullptr;
}
void VESSEL::SetThrusterLevel(THRUSTER_HANDLE th, double level) {
  if (!valid_thruster(V(this), th) || !finite(this, "SetThrusterLevel", {level})) return;
  th->level = std::clamp(level, 0.0, 1.0);
}
double VESSEL::GetThrusterLevel(THRUSTER_HANDLE th) const {
  return valid_thruster(V(this), th) ? th->level : 0.0;
}
void VESSEL::SetThrusterDir(THRUSTER_HANDLE th, const VECTOR3& dir) {
  if (!valid_thruster(V(this), th) || !finite(this, "SetThrusterDir", {dir})) return;
  if (length(dir) == 0.0) {
    S().report_nonfinite(&V(this), "SetThrusterDir (zero direction)");
    return;
  }
  th->dir = unit(dir);
}
void VESSEL::GetThrusterDir(THRUSTER_HANDLE th, VECTOR3& dir) const {
  dir = valid_thruster(V(this), th) ? th->dir : _V(0, 0, 0);
}
void VESSEL::SetThrusterRef(THRUSTER_HANDLE th, const VECTOR3& pos) {
  if (valid_thruster(V(this), th) && finite(this, "SetThrusterRef", {pos})) th->pos = pos;
}
void VESSEL::GetThrusterRef(THRUSTER_HANDLE th, VECTOR3& pos) const {
  pos = valid_thruster(V(this), th) ? th->pos : _V(0, 0, 0);
}
void VESSEL::SetThrusterMax0(THRUSTER_HANDLE th, double maxth0) {
  if (valid_thruster(V(this), th) && finite(this, "SetThrusterMax0", {maxth0})) th->max0 = maxth0;
}
double VESSEL::GetThrusterMax0(THRUSTER_HANDLE th) const {
  return valid_thruster(V(this), th) ? th->max0 : 0.0;
}
double VESSEL::GetThrusterMax(THRUSTER_HANDLE th) const {
  return valid_thruster(V(this), th) ? sim::thruster_max_at(*th, V(this).atm.pressure) : 0.0;
}
double VESSEL::GetThrusterIsp(THRUSTER_HANDLE th) const {
  return valid_thruster(V(this), th) ? sim::thruster_isp_at(*th, V(this).atm.pressure) : 0.0;
}
double VESSEL::GetThrusterIsp0(THRUSTER_HANDLE th) const {
  return valid_thruster(V(this), th) ? sim::thruster_isp_vac(*th) : 0.0;
}
void VESSEL::SetThrusterResource(THRUSTER_HANDLE th, PROPELLANT_HANDLE ph) {
  HostVessel& hv = V(this);
  if (!valid_thruster(hv, th)) return;
  th->res = valid_propellant(hv, ph) ? ph : nullptr;
}
PROPELLANT_HANDLE VESSEL::GetThrusterResource(THRUSTER_HANDLE th) const {
  return valid_thruster(V(this), th) ? th->res : nullptr;
}

// --- Thruster groups ---

THGROUP_HANDLE VESSEL::CreateThrusterGroup(THRUSTER_HANDLE* th, int nth, THGROUP_TYPE thgt) {
  HostVessel& hv = V(this);
  auto g = std::make_unique<HostThrusterGroup>();
  g->type = thgt;
  for (int i = 0; th != nullptr && i < nth; ++i)
    if (valid_thruster(hv, th[i])) g->thrusters.push_back(th[i]);
  hv.groups.push_back(std::move(g));
  return hv.groups.back().get();
}
bool VESSEL::DelThrusterGroup(THGROUP_HANDLE thg, THGROUP_TYPE thgt, bool delth) {
  HostVessel& hv = V(this);
  if (!valid_group(hv, thg) || thg->type != thgt) return false;
  if (delth) {
    for (HostThruster* t : thg->thrusters) {
      // Deleting a thruster removes it from every group, flame and stream that refers to it.
      for (auto& g : hv.groups) std::erase(g->thrusters, t);
      std::erase_if(hv.exhausts, [t](const sim::Exhaust& e) { return e.thruster == t; });
      std::erase_if(hv.exhaust_streams, [t](const auto& s) { return s->thruster == t; });
      std::erase_if(hv.thrusters, [t](const auto& u) { return u.get() == t; });
    }
  }
  std::erase_if(hv.groups, [thg](const auto& u) { return u.get() == thg; });
  return true;
}
THGROUP_HANDLE VESSEL::GetThrusterGroupHandle(THGROUP_TYPE thgt) const { return V(this).group_of_type(thgt); }
void VESSEL::SetThrusterGroupLevel(THGROUP_HANDLE thg, double level) {
  if (valid_group(V(this), thg) && finite(this, "SetThrusterGroupLevel", {level}))
    set_group_level(thg, level);
}
void VESSEL::SetThrusterGroupLevel(THGROUP_TYPE thgt, double level) {
  if (finite(this, "SetThrusterGroupLevel", {level})) set_group_level(V(this).group_of_type(thgt), level);
}
double VESSEL::GetThrusterGroupLevel(THGROUP_HANDLE thg) const {
  return valid_group(V(this), thg) ? group_level(thg) : 0.0;
}
double VESSEL::GetThrusterGroupLevel(THGROUP_TYPE thgt) const {
  return group_level(V(this).group_of_type(thgt));
}
DWORD VESSEL::GetGroupThrusterCount(THGROUP_HANDLE thg) const {
  return valid_group(V(this), thg) ? static_cast<DWORD>(thg->thrusters.size()) : 0;
}
DWORD VESSEL::GetGroupThrusterCount(THGROUP_TYPE thgt) const {
  const HostThrusterGroup* g = V(this).group_of_type(thgt);
  return g != nullptr ? static_cast<DWORD>(g->thrusters.size()) : 0;
}
THRUSTER_HANDLE VESSEL::GetGroupThruster(THGROUP_HANDLE thg, DWORD idx) const {
  if (!valid_group(V(this), thg) || idx >= thg->thrusters.size()) return nullptr;
  return thg->thrusters[idx];
}
THRUSTER_HANDLE VESSEL::GetGroupThruster(THGROUP_TYPE thgt, DWORD idx) const {
  const HostThrusterGroup* g = V(this).group_of_type(thgt);
  if (g == nullptr || idx >= g->thrusters.size()) return nullptr;
  return g->thrusters[idx];
}

// --- Exhaust flames and particle streams ---

UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, SURFHANDLE tex) {
  HostVessel& hv = V(this);
  if (!valid_thruster(hv, th) || !finite(this, "AddExhaust", {lscale, wscale})) return static_cast<UINT>(-1);
  sim::Exhaust e;
  e.id = hv.next_exhaust_id++;
  e.thruster = th;
  e.length = lscale;
  e.width = wscale;
  e.tex = tex;
  hv.exhausts.push_back(e);
  return e.id;
}
UINT VESSEL::AddExhaust(THRUSTER_HANDLE th, double lscale, double wscale, double lofs, SURFHANDLE tex) {
  if (!finite(this, "AddExhaust", {lofs})) return static_cast<UINT>(-1);
  const UINT id = AddExhaust(th, lscale, wscale, tex);
  auto& ex = V(this).exhausts;
  if (!ex.empty() && ex.back().id == id) {
    ex.back().offset = lofs;
    ex.back().has_offset = true;
  }
  return id;
}
bool VESSEL::DelExhaust(UINT idx) {
  // Deleting an id that is gone already is harmless and reports false.
  return std::erase_if(V(this).exhausts, [idx](const sim::Exhaust& e) { return e.id == idx; }) > 0;
}
PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, const PARTICLESTREAMSPEC* pss) {
  HostVessel& hv = V(this);
  if (!valid_thruster(hv, th)) return nullptr;
  auto s = std::make_unique<HostParticleStream>();
  if (pss != nullptr) s->spec = *pss;
  s->thruster = th;
  hv.exhaust_streams.push_back(std::move(s));
  return hv.exhaust_streams.back().get();
}
PSTREAM_HANDLE VESSEL::AddExhaustStream(THRUSTER_HANDLE th, const VECTOR3& pos,
                                        const PARTICLESTREAMSPEC* pss) {
  if (!finite(this, "AddExhaustStream", {pos})) return nullptr;
  PSTREAM_HANDLE s = AddExhaustStream(th, pss);
  if (s != nullptr) {
    s->has_pos = true;
    s->pos = pos;
  }
  return s;
}
PSTREAM_HANDLE VESSEL::AddParticleStream(const PARTICLESTREAMSPEC* pss, const VECTOR3& pos,
                                         const VECTOR3& dir, double* lvl) {
  if (!finite(this, "AddParticleStream", {pos, dir})) return nullptr;
  auto s = std::make_unique<HostParticleStream>();
  if (pss != nullptr) s->spec = *pss;
  s->pos = pos;
  s->dir = dir;
  s->level_ptr = lvl;
  HostVessel& hv = V(this);
  hv.particle_streams.push_back(std::move(s));
  return hv.particle_streams.back().get();
}

double HostThrusterGroup::level() const {
  if (thrusters.empty()) return 0.0;
  double sum = 0.0;
  for (const HostThruster* t : thrusters) sum += t->level;
  return sum / static_cast<double>(thrusters.size());
}

double HostParticleStream::level() const {
  if (level_ptr != nullptr) return std::isfinite(*level_ptr) ? *level_ptr : 0.0;
  if (thruster != nullptr) return thruster->level;
  return 0.0;
}

// --- Aerodynamics ---

AIRFOILHANDLE VESSEL::CreateAirfoil3(AIRFOIL_ORIENTATION align, const VECTOR3& ref, AirfoilCoeffFuncEx cf,
                                     void* context, double c, double S, double A) {
  if (!finite(this, "CreateAirfoil3", {ref}) || !finite(this, "CreateAirfoil3", {c, S, A})) return nullptr;
  auto af = std::make_unique<HostAirfoil>();
  af->orientation = align;
  af->ref = ref;
  af->cf = cf;
  af->context = context;
  af->chord = c;
  af->area = S;
  af->aspect = A;
  HostVessel& hv = V(this);
  hv.airfoils.push_back(std::move(af));
  return hv.airfoils.back().get();
}
bool VESSEL::EditAirfoil(AIRFOILHANDLE hAirfoil, DWORD flag, const VECTOR3& ref, AirfoilCoeffFuncEx cf,
                         double c, double S, double A) {
  HostVessel& hv = V(this);
  if (!owns(hv.airfoils, hAirfoil)) return false;
  // Only the values the flag names are checked and applied.
  if ((flag & AIRFOIL_EDIT_REF) && !finite(this, "EditAirfoil", {ref})) return false;
  if ((flag & AIRFOIL_EDIT_CHORD) && !finite(this, "EditAirfoil", {c})) return false;
  if ((flag & AIRFOIL_EDIT_AREA) && !finite(this, "EditAirfoil", {S})) return false;
  if ((flag & AIRFOIL_EDIT_ASPECT) && !finite(this, "EditAirfoil", {A})) return false;
  if (flag & AIRFOIL_EDIT_REF) hAirfoil->ref = ref;
  if (flag & AIRFOIL_EDIT_CF) hAirfoil->cf = cf;
  if (flag & AIRFOIL_EDIT_CHORD) hAirfoil->chord = c;
  if (flag & AIRFOIL_EDIT_AREA) hAirfoil->area = S;
  if (flag & AIRFOIL_EDIT_ASPECT) hAirfoil->aspect = A;
  return true;
}
void VESSEL::AddForce(const VECTOR3& F, const VECTOR3& r) {
  if (finite(this, "AddForce", {F, r})) V(this).added_forces.emplace_back(F, r);
}
double VESSEL::GetDrag() const { return V(this).drag; }
double VESSEL::GetLift() const { return V(this).lift; }
DWORD VESSEL::GetADCtrlMode() const { return V(this).adctrl_mode; }
void VESSEL::SetADCtrlMode(DWORD mode) { V(this).adctrl_mode = mode; }
double VESSEL::GetAtmDensity() const { return V(this).atm.density; }
double VESSEL::GetAtmPressure() const { return V(this).atm.pressure; }
double VESSEL::GetAtmTemperature() const { return V(this).atm.temperature; }
double VESSEL::GetDynPressure() const {
  VECTOR3 a;
  GetAirspeedVector(FRAME_GLOBAL, a);
  return 0.5 * V(this).atm.density * dotp(a, a);
}
double VESSEL::GetMachNumber() const {
  const double c = V(this).atm.speed_of_sound;
  return c > 0.0 ? GetAirspeed() / c : 0.0;
}

// --- Animations ---

UINT VESSEL::CreateAnimation(double initial_state) {
  HostVessel& hv = V(this);
  sim::Animation a;
  a.state = std::isfinite(initial_state) ? initial_state : 0.0;
  hv.animations.push_back(a);
  return static_cast<UINT>(hv.animations.size() - 1);
}
ANIMATIONCOMPONENT_HANDLE VESSEL::AddAnimationComponent(UINT anim, double state0, double state1,
                                                        MGROUP_TRANSFORM* trans,
                                                        ANIMATIONCOMPONENT_HANDLE parent) {
  HostVessel& hv = V(this);
  if (anim >= hv.animations.size() || trans == nullptr) return nullptr;
  if (!finite(this, "AddAnimationComponent", {state0, state1})) return nullptr;
  auto c = std::make_unique<HostAnimComponent>();
  c->anim = anim;
  c->state0 = state0;
  c->state1 = state1;
  c->trans = trans;
  c->parent = owns(hv.anim_components, parent) ? parent : nullptr;
  hv.animations[anim].components.push_back(c.get());
  hv.anim_components.push_back(std::move(c));
  return hv.anim_components.back().get();
}
bool VESSEL::SetAnimation(UINT anim, double state) {
  HostVessel& hv = V(this);
  if (anim >= hv.animations.size() || !finite(this, "SetAnimation", {state})) return false;
  hv.animations[anim].state = state;
  return true;
}
double VESSEL::GetAnimation(UINT anim) const {
  const HostVessel& hv = V(this);
  return anim < hv.animations.size() ? hv.animations[anim].state : 0.0;
}

// --- State and frames ---

double VESSEL::GetMass() const { return V(this).mass(); }
OBJHANDLE VESSEL::GetGravityRef() const { return V(this).ref; }
double VESSEL::GetAltitude() const { return sim::altitude_meanrad(V(this)); }
double VESSEL::GetAltitude(AltitudeMode mode, int* reslt) const {
  if (reslt != nullptr) *reslt = 0;
  return mode == ALTMODE_GROUND ? sim::altitude_ground(V(this)) : sim::altitude_meanrad(V(this));
}
double VESSEL::GetPitch() const {
  double h, p, b;
  sim::hpb_from_attitude(sim::vessel_to_horizon(V(this)), h, p, b);
  return p;
}
double VESSEL::GetBank() const {
  double h, p, b;
  sim::hpb_from_attitude(sim::vessel_to_horizon(V(this)), h, p, b);
  return b;
}
double VESSEL::GetYaw() const {
  double h, p, b;
  sim::hpb_from_attitude(sim::vessel_to_horizon(V(this)), h, p, b);
  return h;
}
void VESSEL::GetAngularVel(VECTOR3& avel) const { avel = V(this).omega; }
void VESSEL::SetAngularVel(const VECTOR3& avel) {
  if (finite(this, "SetAngularVel", {avel})) V(this).omega = avel;
}

namespace {
VECTOR3 in_frame(const HostVessel& hv, REFFRAME frame, const VECTOR3& global_vec) {
  switch (frame) {
    case FRAME_LOCAL:
      return tmul(hv.rot, global_vec);
    case FRAME_HORIZON:
      return tmul(sim::horizon_basis(*hv.ref, hv.pos), global_vec);
    case FRAME_REFLOCAL:
      return tmul(sim::body_rotation(*hv.ref, S().time()), global_vec);
    case FRAME_GLOBAL:
    default:
      return global_vec;
  }
}
VECTOR3 wind_horizon(const HostVessel& hv) { return sim::wind_at(S().wind(), sim::altitude_meanrad(hv)); }
}  // namespace

bool VESSEL::GetGroundspeedVector(REFFRAME frame, VECTOR3& v) const {
  v = in_frame(V(this), frame, sim::groundspeed_global(V(this)));
  return true;
}
bool VESSEL::GetAirspeedVector(REFFRAME frame, VECTOR3& v) const {
  const HostVessel& hv = V(this);
  v = in_frame(hv, frame, sim::airspeed_global(hv, wind_horizon(hv)));
  return true;
}
double VESSEL::GetGroundspeed() const { return length(sim::groundspeed_global(V(this))); }
double VESSEL::GetAirspeed() const {
  const HostVessel& hv = V(this);
  return length(sim::airspeed_global(hv, wind_horizon(hv)));
}
bool VESSEL::GroundContact() const { return V(this).ground_contact; }
void VESSEL::GetGlobalPos(VECTOR3& pos) const { pos = V(this).pos; }
void VESSEL::GetGlobalVel(VECTOR3& vel) const { vel = V(this).vel; }
void VESSEL::GetRelativePos(OBJHANDLE hRef, VECTOR3& pos) const {
  VECTOR3 ref{0, 0, 0};
  if (hRef != nullptr) oapiGetGlobalPos(hRef, &ref);
  pos = V(this).pos - ref;
}
void VESSEL::GetRelativeVel(OBJHANDLE hRef, VECTOR3& vel) const {
  VECTOR3 ref{0, 0, 0};
  if (hRef != nullptr) oapiGetGlobalVel(hRef, &ref);
  vel = V(this).vel - ref;
}
OBJHANDLE VESSEL::GetEquPos(double& longitude, double& latitude, double& radius) const {
  const HostVessel& hv = V(this);
  sim::global_to_equ(*hv.ref, S().time(), hv.pos, longitude, latitude, radius);
  return hv.ref;
}
bool VESSEL::GetWeightVector(VECTOR3& G) const {
  const HostVessel& hv = V(this);
  const VECTOR3 r = hv.ref->pos - hv.pos;
  const double d = length(r);
  if (d <= 0.0) {
    G = _V(0, 0, 0);
    return false;
  }
  const double g = 6.67430e-11 * hv.ref->mass / (d * d);
  G = tmul(hv.rot, r / d * (g * hv.mass()));
  return true;
}
bool VESSEL::GetThrustVector(VECTOR3& T) const {
  const HostVessel& hv = V(this);
  T = _V(0, 0, 0);
  for (const auto& t : hv.thrusters) T += t->dir * sim::thruster_thrust_at(*t, hv.atm.pressure);
  return length(T) > 0.0;
}
void VESSEL::GetRotationMatrix(MATRIX3& R) const { R = V(this).rot; }
void VESSEL::Global2Local(const VECTOR3& glob, VECTOR3& loc) const {
  const HostVessel& hv = V(this);
  loc = tmul(hv.rot, glob - hv.pos);
}
void VESSEL::Local2Global(const VECTOR3& loc, VECTOR3& glob) const {
  const HostVessel& hv = V(this);
  glob = mul(hv.rot, loc) + hv.pos;
}
void VESSEL::GlobalRot(const VECTOR3& rloc, VECTOR3& rglob) const { rglob = mul(V(this).rot, rloc); }
void VESSEL::HorizonRot(const VECTOR3& loc, VECTOR3& hor) const {
  hor = mul(sim::vessel_to_horizon(V(this)), loc);
}
void VESSEL::HorizonInvRot(const VECTOR3& hor, VECTOR3& loc) const {
  loc = tmul(sim::vessel_to_horizon(V(this)), hor);
}

// --- Navigation modes, manual control ---

bool VESSEL::ActivateNavmode(int mode) {
  HostVessel& hv = V(this);
  if (mode < 1 || mode > 7) return false;
  if (hv.navmode[mode]) return false;
  S().set_navmode(hv, mode, true);
  return true;
}
bool VESSEL::DeactivateNavmode(int mode) {
  HostVessel& hv = V(this);
  if (mode < 1 || mode > 7) return false;
  if (!hv.navmode[mode]) return false;
  S().set_navmode(hv, mode, false);
  return true;
}
bool VESSEL::ToggleNavmode(int mode) {
  if (mode < 1 || mode > 7) return false;
  return V(this).navmode[mode] ? DeactivateNavmode(mode) : ActivateNavmode(mode);
}
bool VESSEL::GetNavmodeState(int mode) const {
  if (mode < 1 || mode > 7) return false;
  return V(this).navmode[mode];
}
double VESSEL::GetManualControlLevel(THGROUP_TYPE thgt, DWORD mode, DWORD device) const {
  return S().manual_level(V(this), thgt, mode, device);
}
int VESSEL::GetAttitudeMode() const { return V(this).attitude_mode; }
bool VESSEL::SetAttitudeMode(int mode) {
  if (mode < RCS_NONE || mode > RCS_LIN) return false;
  V(this).attitude_mode = mode;
  return true;
}

// --- Attachments ---

ATTACHMENTHANDLE VESSEL::CreateAttachment(bool toparent, const VECTOR3& pos, const VECTOR3& dir,
                                          const VECTOR3& rot, const char* id, bool loose) {
  if (!finite(this, "CreateAttachment", {pos, dir, rot})) return nullptr;
  HostVessel& hv = V(this);
  auto a = std::make_unique<HostAttachment>();
  a->owner = &hv;
  a->toparent = toparent;
  a->pos = pos;
  a->dir = length(dir) > 0.0 ? unit(dir) : _V(0, 0, 1);
  a->rot = length(rot) > 0.0 ? unit(rot) : _V(0, 1, 0);
  a->id = id != nullptr ? std::string(id).substr(0, 8) : "";
  a->loose = loose;
  hv.attachments.push_back(std::move(a));
  return hv.attachments.back().get();
}
DWORD VESSEL::AttachmentCount(bool toparent) const {
  const auto& l = V(this).attachments;
  return static_cast<DWORD>(
      std::count_if(l.begin(), l.end(), [toparent](const auto& a) { return a->toparent == toparent; }));
}
ATTACHMENTHANDLE VESSEL::GetAttachmentHandle(bool toparent, DWORD i) const {
  DWORD n = 0;
  for (const auto& a : V(this).attachments) {
    if (a->toparent != toparent) continue;
    if (n++ == i) return a.get();
  }
  return nullptr;
}
OBJHANDLE VESSEL::GetAttachmentStatus(ATTACHMENTHANDLE attachment) const {
  if (!owns(V(this).attachments, attachment) || attachment->peer == nullptr) return nullptr;
  return attachment->peer->owner;
}
const char* VESSEL::GetAttachmentId(ATTACHMENTHANDLE attachment) const {
  return owns(V(this).attachments, attachment) ? attachment->id.c_str() : nullptr;
}
bool VESSEL::AttachChild(OBJHANDLE child, ATTACHMENTHANDLE attachment, ATTACHMENTHANDLE child_attachment) {
  HostVessel& hv = V(this);
  if (child == nullptr || child->kind != HostObject::Kind::Vessel) return false;
  auto& ch = static_cast<HostVessel&>(*child);
  if (!owns(hv.attachments, attachment) || !owns(ch.attachments, child_attachment)) return false;
  return S().attach(hv, attachment, ch, child_attachment);
}
bool VESSEL::DetachChild(ATTACHMENTHANDLE attachment, double vel) {
  HostVessel& hv = V(this);
  if (!owns(hv.attachments, attachment) || !finite(this, "DetachChild", {vel})) return false;
  return S().detach(hv, attachment, vel);
}

// --- Lights ---

LightEmitter* VESSEL::AddSpotLight(const VECTOR3& pos, const VECTOR3& dir, double range, double att0,
                                   double att1, double att2, double umbra, double penumbra,
                                   const COLOUR4& diffuse, const COLOUR4& specular, const COLOUR4& ambient) {
  if (!finite(this, "AddSpotLight", {pos, dir}) ||
      !finite(this, "AddSpotLight", {range, att0, att1, att2, umbra, penumbra}))
    return nullptr;
  HostVessel& hv = V(this);
  hv.lights.push_back(std::make_unique<SpotLight>(pos, dir, range, att0, att1, att2, umbra, penumbra, diffuse,
                                                  specular, ambient));
  return hv.lights.back().get();
}
void VESSEL::AddBeacon(BEACONLIGHTSPEC* bs) {
  if (bs != nullptr) V(this).beacons.push_back(bs);
}
DWORD VESSEL::LightEmitterCount() const { return static_cast<DWORD>(V(this).lights.size()); }

// --- Keys ---

int VESSEL::SendBufferedKey(DWORD key, bool down, char* kstate) {
  HostVessel& hv = V(this);
  if (hv.iface == nullptr) return 0;
  return static_cast<VESSEL2*>(hv.iface)->clbkConsumeBufferedKey(key, down, kstate);
}

// --- Default callbacks ---

void VESSEL2::clbkSetClassCaps(FILEHANDLE) {}
void VESSEL2::clbkPostCreation() {}
void VESSEL2::clbkPreStep(double, double, double) {}
void VESSEL2::clbkPostStep(double, double, double) {}
void VESSEL2::clbkNavMode(int, bool) {}
int VESSEL2::clbkConsumeDirectKey(char*) { return 0; }
int VESSEL2::clbkConsumeBufferedKey(DWORD, bool, char*) { return 0; }
bool VESSEL2::clbkLoadGenericCockpit() { return true; }
bool VESSEL3::clbkDrawHUD(int, const HUDPAINTSPEC*, Sketchpad*) { return true; }

// --- Host records ---

namespace sim {

double HostVessel::mass() const {
  double m = empty_mass;
  for (const auto& p : propellants) m += p->mass;
  return m;
}

HostThrusterGroup* HostVessel::group_of_type(THGROUP_TYPE t) const {
  // The most recently created group of a type answers for it.
  for (auto it = groups.rbegin(); it != groups.rend(); ++it)
    if ((*it)->type == t) return it->get();
  return nullptr;
}

HostAttachment* HostVessel::parent_point() const {
  for (const auto& a : attachments)
    if (a->toparent && a->peer != nullptr) return a.get();
  return nullptr;
}

HostVessel* HostVessel::parent() const {
  const HostAttachment* p = parent_point();
  return p != nullptr ? p->peer->owner : nullptr;
}

}  // namespace sim
