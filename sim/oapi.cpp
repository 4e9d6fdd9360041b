// The host's free functions, the scenario callbacks of the base vessel class and the module glue.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sim/dynamics.h"
#include "sim/frames.h"
#include "sim/host_stats.h"
#include "sim/scenario.h"
#include "sim/simulation.h"

using sim::HostVessel;
using sim::Simulation;

namespace {

Simulation& S() { return *Simulation::current(); }

HostVessel* as_vessel(OBJHANDLE h) {
  return h != nullptr && h->kind == HostObject::Kind::Vessel ? static_cast<HostVessel*>(h) : nullptr;
}

int g_date2int_calls = 0;
int g_initlib_calls = 0;

}  // namespace

namespace sim {
int date2int_calls() { return g_date2int_calls; }
int initlib_calls() { return g_initlib_calls; }
}  // namespace sim

// --- Objects ---

OBJHANDLE oapiGetObjectByName(const char* name) {
  if (name == nullptr) return nullptr;
  for (auto& v : S().vessels())
    if (v->name == name) return v.get();
  for (auto& b : S().bodies())
    if (b->name == name) return b.get();
  return nullptr;
}

OBJHANDLE oapiGetBaseByName(OBJHANDLE planet, const char* name) {
  if (planet == nullptr || name == nullptr || planet->kind != HostObject::Kind::Body) return nullptr;
  for (auto& b : static_cast<sim::Body*>(planet)->bases)
    if (b->name == name) return b.get();
  return nullptr;
}

VESSEL* oapiGetVesselInterface(OBJHANDLE hVessel) {
  HostVessel* v = as_vessel(hVessel);
  return v != nullptr ? v->iface : nullptr;
}

OBJHANDLE oapiGetFocusObject() { return S().focus(); }

DWORD oapiGetVesselCount() { return static_cast<DWORD>(S().vessels().size()); }

OBJHANDLE oapiGetVesselByIndex(int index) {
  auto& l = S().vessels();
  return index >= 0 && static_cast<size_t>(index) < l.size() ? l[index].get() : nullptr;
}

void oapiGetGlobalPos(OBJHANDLE hObj, VECTOR3* pos) {
  if (pos == nullptr) return;
  *pos = _V(0, 0, 0);
  if (hObj == nullptr) return;
  switch (hObj->kind) {
    case HostObject::Kind::Vessel:
      *pos = static_cast<HostVessel*>(hObj)->pos;
      break;
    case HostObject::Kind::Body:
      *pos = static_cast<sim::Body*>(hObj)->pos;
      break;
    case HostObject::Kind::Base: {
      auto* b = static_cast<sim::SurfaceBase*>(hObj);
      *pos = sim::equ_to_global(*b->body, S().time(), b->lng, b->lat, b->body->radius);
      break;
    }
  }
}

void oapiGetGlobalVel(OBJHANDLE hObj, VECTOR3* vel) {
  if (vel == nullptr) return;
  *vel = _V(0, 0, 0);
  if (hObj == nullptr) return;
  if (hObj->kind == HostObject::Kind::Vessel) {
    *vel = static_cast<HostVessel*>(hObj)->vel;
  } else if (hObj->kind == HostObject::Kind::Base) {
    auto* b = static_cast<sim::SurfaceBase*>(hObj);
    VECTOR3 p;
    oapiGetGlobalPos(hObj, &p);
    *vel = sim::surface_velocity(*b->body, p);
  }
}

double oapiGetSize(OBJHANDLE hObj) {
  if (hObj == nullptr) return 0.0;
  if (hObj->kind == HostObject::Kind::Body) return static_cast<sim::Body*>(hObj)->radius;
  if (hObj->kind == HostObject::Kind::Vessel) return static_cast<HostVessel*>(hObj)->size;
  return 0.0;
}

double oapiGetMass(OBJHANDLE hObj) {
  if (hObj == nullptr) return 0.0;
  if (hObj->kind == HostObject::Kind::Body) return static_cast<sim::Body*>(hObj)->mass;
  if (hObj->kind == HostObject::Kind::Vessel) return static_cast<HostVessel*>(hObj)->mass();
  return 0.0;
}

const char* oapiGetObjectName(OBJHANDLE hObj) { return hObj != nullptr ? hObj->name.c_str() : nullptr; }

bool oapiGetEquPos(OBJHANDLE hObj, double* lng, double* lat, double* rad) {
  if (hObj == nullptr || lng == nullptr || lat == nullptr || rad == nullptr) return false;
  switch (hObj->kind) {
    case HostObject::Kind::Vessel: {
      auto* v = static_cast<HostVessel*>(hObj);
      sim::global_to_equ(*v->ref, S().time(), v->pos, *lng, *lat, *rad);
      return true;
    }
    case HostObject::Kind::Base: {
      auto* b = static_cast<sim::SurfaceBase*>(hObj);
      *lng = b->lng;
      *lat = b->lat;
      *rad = b->body->radius;
      return true;
    }
    case HostObject::Kind::Body:
      *lng = *lat = *rad = 0.0;
      return false;
  }
  return false;
}

// --- Atmosphere ---

VECTOR3 oapiGetWindVector(OBJHANDLE, double, double, double alt, int, double* windspeed) {
  const VECTOR3 w = std::isfinite(alt) ? sim::wind_at(S().wind(), alt) : _V(0, 0, 0);
  if (windspeed != nullptr) *windspeed = length(w);
  return w;
}

double oapiGetInducedDrag(double cl, double A, double e) {
  const double d = PI * A * e;
  return d > 0.0 ? cl * cl / d : 0.0;
}

// --- Time, random numbers ---

double oapiGetSimTime() { return S().time(); }
double oapiGetSimMJD() { return S().mjd(); }
double oapiGetSimStep() { return S().last_dt(); }
double oapiGetTimeAcceleration() { return S().time_acceleration(); }
double oapiRand() { return S().rand_uniform(); }

// --- Textures, crew, log ---

SURFHANDLE oapiRegisterExhaustTexture(const char* name) {
  return S().texture(name != nullptr ? name : "", false);
}
SURFHANDLE oapiRegisterParticleTexture(const char* name) {
  return S().texture(name != nullptr ? name : "", true);
}

bool oapiOpenInputBox(const char* title, KeyFunc Clbk, const char*, int vislen, void* usrdata) {
  S().open_input_box(title, Clbk, vislen, usrdata);
  return Clbk != nullptr;
}

bool oapiCameraAttach(OBJHANDLE hObj, int) { return as_vessel(hObj) != nullptr; }

void oapiWriteLog(const char* line) { S().write_log(line != nullptr ? line : ""); }

// --- Scenario files ---

bool oapiReadScenario_nextline(FILEHANDLE scn, char*& line) {
  auto* r = dynamic_cast<sim::ScenarioReader*>(scn);
  if (r == nullptr || r->next >= r->block->lines.size()) return false;
  const sim::ScenarioLine& l = r->block->lines[r->next++];
  r->current_line = l.number;
  r->buffer = l.text;
  line = r->buffer.data();
  return true;
}

void oapiWriteScenario_string(FILEHANDLE scn, const char* item, const char* string) {
  auto* w = dynamic_cast<sim::ScenarioWriter*>(scn);
  if (w == nullptr || item == nullptr) return;
  w->out += std::string("  ") + item;
  if (string != nullptr && *string != '\0') w->out += std::string(" ") + string;
  w->out += "\n";
}

void oapiWriteScenario_int(FILEHANDLE scn, const char* item, int value) {
  oapiWriteScenario_string(scn, item, std::to_string(value).c_str());
}

void oapiWriteScenario_float(FILEHANDLE scn, const char* item, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g", value);
  oapiWriteScenario_string(scn, item, buf);
}

void oapiWriteScenario_vec(FILEHANDLE scn, const char* item, const VECTOR3& vec) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%g %g %g", vec.x, vec.y, vec.z);
  oapiWriteScenario_string(scn, item, buf);
}

bool VESSEL::ParseScenarioLineEx(char* line, void* status) const {
  auto* st = static_cast<sim::VesselStatus*>(status);
  if (line == nullptr || st == nullptr) return false;
  if (sim::parse_standard_line(line, *st, S().current_scenario_file(), S().current_scenario_line()))
    return true;
  S().write_log("host: skipped unknown scenario line of vessel '" + std::string(GetName()) + "': " + line);
  return false;
}

void VESSEL2::clbkSaveState(FILEHANDLE scn) {
  auto* w = dynamic_cast<sim::ScenarioWriter*>(scn);
  if (w != nullptr) sim::write_standard_lines(S(), *w->vessel, *w);
}

void VESSEL2::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  char* line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) ParseScenarioLineEx(line, status);
}

// --- Module glue ---

void InitLib(HINSTANCE) { ++g_initlib_calls; }

int Date2Int(const char* date) {
  ++g_date2int_calls;
  if (date == nullptr) return 0;
  static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char mon[4] = {0};
  int day = 0, year = 0;
  if (std::sscanf(date, "%3s %d %d", mon, &day, &year) != 3) return 0;
  for (int m = 0; m < 12; ++m)
    if (std::strcmp(mon, months[m]) == 0) return year * 10000 + (m + 1) * 100 + day;
  return 0;
}
