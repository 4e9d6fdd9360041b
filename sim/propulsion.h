// Thruster ratings and specific impulse at the ambient pressure.
#pragma once

#include <algorithm>

#include "sim/records.h"

namespace sim {

// Specific impulse used when a thruster is created without one (m/s).
constexpr double kDefaultIsp = 5000.0;

inline double thruster_isp_vac(const HostThruster& t) { return t.isp_vac > 0.0 ? t.isp_vac : kDefaultIsp; }

// Isp(p) = Isp_vac - (Isp_vac - Isp_ref) p / p_ref; a reference Isp of 0 means no pressure dependence.
inline double thruster_isp_at(const HostThruster& t, double pressure_pa) {
  const double isp_vac = thruster_isp_vac(t);
  if (t.isp_ref <= 0.0 || t.p_ref <= 0.0) return isp_vac;
  return std::max(0.0, isp_vac - (isp_vac - t.isp_ref) * pressure_pa / t.p_ref);
}

// Rating at the pressure: max0 Isp(p) / Isp_vac.
inline double thruster_max_at(const HostThruster& t, double pressure_pa) {
  return t.max0 * thruster_isp_at(t, pressure_pa) / thruster_isp_vac(t);
}

// Thrust the thruster delivers now (N): level times rating, nothing without propellant.
inline double thruster_thrust_at(const HostThruster& t, double pressure_pa) {
  if (t.res == nullptr || t.res->mass <= 0.0) return 0.0;
  return t.level * thruster_max_at(t, pressure_pa);
}

}  // namespace sim
