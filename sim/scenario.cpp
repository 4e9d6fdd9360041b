#include "sim/scenario.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "sim/frames.h"

namespace sim {

namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::vector<std::string> words(std::string_view s) {
  std::vector<std::string> out;
  std::istringstream is{std::string(s)};
  std::string w;
  while (is >> w) out.push_back(w);
  return out;
}

bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool to_double(std::string_view s, double& out) {
  s = trim(s);
  if (s.empty()) return false;
  const char* end = s.data() + s.size();
  auto r = std::from_chars(s.data(), end, out);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

bool to_int(std::string_view s, int& out) {
  s = trim(s);
  if (s.empty()) return false;
  const char* end = s.data() + s.size();
  auto r = std::from_chars(s.data(), end, out);
  return r.ec == std::errc() && r.ptr == end;
}

double number(const std::string& w, const std::string& file, int line, const char* what) {
  double d;
  if (!to_double(w, d))
    throw InputError(file, line, std::string("expected a number for ") + what + ", got '" + w + "'");
  return d;
}

}  // namespace

ScenarioData parse_scenario(std::string_view text, const std::string& file) {
  ScenarioData data;
  data.file = file;
  std::vector<std::string> lines;
  {
    std::string cur;
    for (char c : text) {
      if (c == '\n') {
        lines.push_back(cur);
        cur.clear();
      } else if (c != '\r') {
        cur += c;
      }
    }
    if (!cur.empty()) lines.push_back(cur);
  }

  enum class Section { None, Desc, Environment, Focus, Ships };
  Section section = Section::None;
  int section_line = 0;
  VesselBlock* block = nullptr;
  bool seen_ships = false;

  for (size_t i = 0; i < lines.size(); ++i) {
    const int ln = static_cast<int>(i) + 1;
    const std::string_view raw = lines[i];
    const std::string_view t = trim(raw);
    if (section == Section::Desc) {
      if (t == "END_DESC") {
        section = Section::None;
      } else {
        data.description += std::string(raw) + "\n";
      }
      continue;
    }
    if (t.empty() || t.front() == ';' || t.front() == '#') continue;
    const auto w = words(t);

    switch (section) {
      case Section::None:
        if (t == "BEGIN_DESC") {
          section = Section::Desc;
        } else if (t == "BEGIN_ENVIRONMENT") {
          section = Section::Environment;
        } else if (t == "BEGIN_FOCUS") {
          section = Section::Focus;
        } else if (t == "BEGIN_SHIPS") {
          section = Section::Ships;
          seen_ships = true;
        } else {
          throw InputError(file, ln, "unexpected line outside a section: '" + std::string(t) + "'");
        }
        section_line = ln;
        break;
      case Section::Environment:
        if (t == "END_ENVIRONMENT") {
          section = Section::None;
        } else if (iequals(w[0], "System")) {
          // One planetary system is simulated; its name is kept for the save only.
        } else if (iequals(w[0], "Date")) {
          if (w.size() != 3 || !iequals(w[1], "MJD"))
            throw InputError(file, ln, "expected 'Date MJD <number>'");
          data.mjd = number(w[2], file, ln, "the date");
        } else if (iequals(w[0], "WIND")) {
          if (w.size() != 4) throw InputError(file, ln, "expected 'WIND <altitude> <east> <north>'");
          data.wind.push_back({number(w[1], file, ln, "the wind altitude"),
                               number(w[2], file, ln, "the east wind"),
                               number(w[3], file, ln, "the north wind")});
        } else {
          throw InputError(file, ln, "unknown environment line '" + std::string(t) + "'");
        }
        break;
      case Section::Focus:
        if (t == "END_FOCUS") {
          section = Section::None;
        } else if (iequals(w[0], "Ship") && w.size() >= 2) {
          data.focus = std::string(trim(t.substr(4)));
        } else {
          throw InputError(file, ln, "expected 'Ship <name>' in the focus section");
        }
        break;
      case Section::Ships:
        if (block != nullptr) {
          if (t == "END") {
            block = nullptr;
          } else if (t == "END_SHIPS") {
            throw InputError(file, block->line, "vessel block '" + block->name + "' is not closed with END");
          } else {
            block->lines.push_back({ln, std::string(t)});
          }
        } else if (t == "END_SHIPS") {
          section = Section::None;
        } else {
          const auto colon = t.find(':');
          if (colon == std::string_view::npos || colon == 0 || colon + 1 >= t.size())
            throw InputError(file, ln, "expected a vessel block 'NAME:CLASS', got '" + std::string(t) + "'");
          VesselBlock b;
          b.name = std::string(trim(t.substr(0, colon)));
          b.class_name = std::string(trim(t.substr(colon + 1)));
          b.line = ln;
          if (b.class_name.empty() || b.class_name.find_first_of(" \t") != std::string::npos)
            throw InputError(file, ln, "bad class name in '" + std::string(t) + "'");
          for (const auto& other : data.vessels)
            if (other.name == b.name)
              throw InputError(file, ln, "a vessel named '" + b.name + "' exists already");
          data.vessels.push_back(std::move(b));
          block = &data.vessels.back();
        }
        break;
      case Section::Desc:
        break;
    }
  }
  if (block != nullptr)
    throw InputError(file, block->line, "vessel block '" + block->name + "' is not closed with END");
  if (section != Section::None) throw InputError(file, section_line, "section is not closed");
  if (!seen_ships) throw InputError(file, 0, "no BEGIN_SHIPS section");
  return data;
}

const char* navmode_name(int mode) {
  static const char* names[] = {"",           "KILLROT", "HLEVEL",     "PROGRADE",
                                "RETROGRADE", "NORMAL",  "ANTINORMAL", "HOLDALT"};
  return mode >= 1 && mode <= 7 ? names[mode] : "";
}

int navmode_from_name(std::string_view name) {
  for (int m = 1; m <= 7; ++m)
    if (iequals(name, navmode_name(m))) return m;
  return 0;
}

bool parse_standard_line(const char* line_c, VesselStatus& st, const std::string& file, int ln) {
  const std::string_view line = trim(line_c != nullptr ? line_c : "");
  const auto w = words(line);
  if (w.empty()) return true;
  const std::string key = w[0];
  auto fail = [&](const std::string& msg) {
    if (!st.error) st.error = InputError(file, ln, msg);
    return true;
  };
  auto num = [&](size_t i, double& out) { return i < w.size() && to_double(w[i], out); };
  auto vec = [&](std::optional<VECTOR3>& out) {
    VECTOR3 v;
    if (w.size() != 4 || !num(1, v.x) || !num(2, v.y) || !num(3, v.z))
      return fail("expected " + key + " x y z");
    out = v;
    return true;
  };

  if (iequals(key, "STATUS")) {
    if (w.size() != 3) return fail("expected 'STATUS Landed|Flying|Orbiting BODY'");
    if (iequals(w[1], "Landed"))
      st.status = FlightStatus::Landed;
    else if (iequals(w[1], "Flying"))
      st.status = FlightStatus::Flying;
    else if (iequals(w[1], "Orbiting"))
      st.status = FlightStatus::Orbiting;
    else
      return fail("unknown status '" + w[1] + "'");
    st.body = w[2];
    return true;
  }
  if (iequals(key, "POS")) {
    double lon, lat;
    if (w.size() != 3 || !num(1, lon) || !num(2, lat)) return fail("expected 'POS longitude latitude'");
    st.lon_deg = lon;
    st.lat_deg = lat;
    return true;
  }
  if (iequals(key, "HEADING") || iequals(key, "ALT")) {
    double d;
    if (w.size() != 2 || !num(1, d)) return fail("expected '" + key + " <number>'");
    (iequals(key, "ALT") ? st.alt_m : st.heading_deg) = d;
    return true;
  }
  if (iequals(key, "ATT")) return vec(st.att_deg);
  if (iequals(key, "GSPEED")) return vec(st.gspeed);
  if (iequals(key, "RPOS")) return vec(st.rpos);
  if (iequals(key, "RVEL")) return vec(st.rvel);
  if (iequals(key, "AROT")) return vec(st.arot_deg);
  if (iequals(key, "VROT")) return vec(st.vrot_deg);
  if (iequals(key, "PRPLEVEL") || iequals(key, "THLEVEL")) {
    auto& target = iequals(key, "PRPLEVEL") ? st.prplevel : st.thlevel;
    for (size_t i = 1; i < w.size(); ++i) {
      const auto c = w[i].find(':');
      int idx;
      double f;
      if (c == std::string::npos || !to_int(std::string_view(w[i]).substr(0, c), idx) || idx < 0 ||
          !to_double(std::string_view(w[i]).substr(c + 1), f))
        return fail("expected '" + key + " index:value ...', got '" + w[i] + "'");
      target[idx] = f;
    }
    return true;
  }
  if (iequals(key, "NAVMODE")) {
    for (size_t i = 1; i < w.size(); ++i) {
      const int m = navmode_from_name(w[i]);
      if (m == 0) return fail("unknown navigation mode '" + w[i] + "'");
      st.navmodes.push_back(m);
    }
    return true;
  }
  if (iequals(key, "AFCMODE") || iequals(key, "RCSMODE")) {
    int n;
    if (w.size() != 2 || !to_int(w[1], n)) return fail("expected '" + key + " <integer>'");
    (iequals(key, "AFCMODE") ? st.afcmode : st.rcsmode) = n;
    return true;
  }
  if (iequals(key, "ATTACHED")) {
    // ATTACHED c:p,PARENT (the parent's name may contain blanks)
    const std::string_view rest = trim(line.substr(key.size()));
    const auto colon = rest.find(':');
    const auto comma = rest.find(',');
    VesselStatus::Attached a;
    a.line = ln;
    if (colon == std::string_view::npos || comma == std::string_view::npos || comma < colon ||
        !to_int(rest.substr(0, colon), a.child_point) ||
        !to_int(rest.substr(colon + 1, comma - colon - 1), a.parent_point) || a.child_point < 0 ||
        a.parent_point < 0 || trim(rest.substr(comma + 1)).empty())
      return fail("expected 'ATTACHED c:p,PARENT'");
    a.parent = std::string(trim(rest.substr(comma + 1)));
    st.attached = a;
    return true;
  }
  return false;
}

namespace {

std::string fmt(const char* f, double a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, f, a);
  return buf;
}

std::string fmt3(const char* f, const VECTOR3& v) {
  char buf[160];
  std::snprintf(buf, sizeof buf, f, v.x, v.y, v.z);
  return buf;
}

void put(ScenarioWriter& w, const std::string& item, const std::string& value) {
  w.out += "  " + item + (value.empty() ? "" : " " + value) + "\n";
}

}  // namespace

void write_standard_lines(Simulation& sim, HostVessel& v, ScenarioWriter& w) {
  const double t = sim.time();
  const char* body = v.ref != nullptr ? v.ref->name.c_str() : "Earth";
  double lng = 0, lat = 0, r = 0;
  if (v.ref != nullptr) global_to_equ(*v.ref, t, v.pos, lng, lat, r);
  char pos[96];
  std::snprintf(pos, sizeof pos, "%.9f %.9f", lng * DEG, lat * DEG);

  if (v.status == FlightStatus::Landed && v.ref != nullptr) {
    put(w, "STATUS", std::string("Landed ") + body);
    put(w, "POS", pos);
    put(w, "HEADING", fmt("%.6f", landed_heading(v.touchdown, vessel_to_horizon(v)) * DEG));
  } else if (v.status == FlightStatus::Orbiting || v.ref == nullptr) {
    put(w, "STATUS", std::string("Orbiting ") + body);
    const VECTOR3 c = v.ref != nullptr ? v.ref->pos : _V(0, 0, 0);
    put(w, "RPOS", fmt3("%.6f %.6f %.6f", v.pos - c));
    put(w, "RVEL", fmt3("%.8f %.8f %.8f", v.vel));
    put(w, "AROT", fmt3("%.9f %.9f %.9f", euler_from_rotation(v.rot) * DEG));
  } else {
    put(w, "STATUS", std::string("Flying ") + body);
    put(w, "POS", pos);
    put(w, "ALT", fmt("%.6f", altitude_meanrad(v)));
    double h, p, b;
    hpb_from_attitude(vessel_to_horizon(v), h, p, b);
    put(w, "ATT", fmt3("%.9f %.9f %.9f", _V(h, p, b) * DEG));
    put(w, "GSPEED", fmt3("%.8f %.8f %.8f", tmul(horizon_basis(*v.ref, v.pos), groundspeed_global(v))));
  }
  if (v.status != FlightStatus::Landed && length(v.omega) > 0.0)
    put(w, "VROT", fmt3("%.9f %.9f %.9f", v.omega * DEG));
  if (v.adctrl_mode != 7) put(w, "AFCMODE", std::to_string(v.adctrl_mode));
  if (!v.propellants.empty()) {
    std::string s;
    for (size_t i = 0; i < v.propellants.size(); ++i) {
      const auto& p = v.propellants[i];
      const double f = p->max_mass > 0.0 ? p->mass / p->max_mass : 0.0;
      char buf[48];
      std::snprintf(buf, sizeof buf, "%s%zu:%.9f", s.empty() ? "" : " ", i, f);
      s += buf;
    }
    put(w, "PRPLEVEL", s);
  }
  {
    std::string s;
    for (size_t i = 0; i < v.thrusters.size(); ++i) {
      if (v.thrusters[i]->level <= 0.0) continue;
      char buf[48];
      std::snprintf(buf, sizeof buf, "%s%zu:%.9f", s.empty() ? "" : " ", i, v.thrusters[i]->level);
      s += buf;
    }
    if (!s.empty()) put(w, "THLEVEL", s);
  }
  {
    std::string s;
    for (int m = 1; m <= 7; ++m)
      if (v.navmode[m]) s += std::string(s.empty() ? "" : " ") + navmode_name(m);
    if (!s.empty()) put(w, "NAVMODE", s);
  }
  if (v.attitude_mode != RCS_ROT) put(w, "RCSMODE", std::to_string(v.attitude_mode));
  if (HostAttachment* pp = v.parent_point()) {
    HostVessel* parent = pp->peer->owner;
    int ci = 0, pi = 0, n = 0;
    for (const auto& a : v.attachments)
      if (a->toparent) {
        if (a.get() == pp) ci = n;
        ++n;
      }
    n = 0;
    for (const auto& a : parent->attachments)
      if (!a->toparent) {
        if (a.get() == pp->peer) pi = n;
        ++n;
      }
    put(w, "ATTACHED", std::to_string(ci) + ":" + std::to_string(pi) + "," + parent->name);
  }
}

}  // namespace sim
