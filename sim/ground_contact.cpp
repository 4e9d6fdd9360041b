// Touchdown points against the ground: spring, damper and friction of one point, the effective
// mass a point sees, and the step length the stiff contact allows.
#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/physics.h"

namespace sim {

VECTOR3 contact_force(const TOUCHDOWNVTX& td, const ContactPoint& cp, double viscous_long,
                      double viscous_lat) {
  if (cp.depth_m < 0.0) return _V(0, 0, 0);
  const double vn = dotp(cp.vel_rel_global, cp.up);
  // The ground pushes, it never pulls: a point leaving fast gets no force rather than a negative one.
  const double normal = std::max(0.0, td.stiffness * cp.depth_m - td.damping * vn);
  VECTOR3 f = cp.up * normal;

  const VECTOR3 vt = cp.vel_rel_global - cp.up * vn;
  const double slip = length(vt);
  if (slip <= 0.0 || normal <= 0.0) return f;
  const VECTOR3 lat_dir = crossp(cp.up, cp.long_global);
  const double v_long = dotp(vt, cp.long_global);
  const double v_lat = dotp(vt, lat_dir);
  // Each direction: the Coulomb force (its share of mu N along the slip) or, when slipping slowly,
  // the viscous force that brings the slip to rest without overshooting.
  auto friction = [&](double v, double mu, double viscous) {
    const double coulomb = std::max(0.0, mu) * normal * std::abs(v) / slip;
    const double visc = std::max(0.0, viscous) * std::abs(v);
    return -std::copysign(std::min(coulomb, visc), v);
  };
  f += cp.long_global * friction(v_long, td.mu_lng, viscous_long);
  f += lat_dir * friction(v_lat, td.mu, viscous_lat);
  return f;
}

double inverse_effective_mass(double mass_kg, const VECTOR3& inertia, const VECTOR3& p, const VECTOR3& d) {
  const VECTOR3 arm = crossp(p, d);
  double w = mass_kg > 0.0 ? 1.0 / mass_kg : 0.0;
  if (inertia.x > 0.0) w += arm.x * arm.x / inertia.x;
  if (inertia.y > 0.0) w += arm.y * arm.y / inertia.y;
  if (inertia.z > 0.0) w += arm.z * arm.z / inertia.z;
  return w;
}

double stable_contact_step(double k_rate, double c_rate) {
  // Symplectic Euler on x'' = -K x - C x' is stable while h^2 K + 2 h C < 4 for the largest
  // eigenvalues; the rates are sums over the points (bounds of those eigenvalues), and the step is
  // chosen for h^2 K + 2 h C = 2, half the limit.
  k_rate = std::max(0.0, k_rate);
  c_rate = std::max(0.0, c_rate);
  if (k_rate > 0.0) return (-c_rate + std::sqrt(c_rate * c_rate + 2.0 * k_rate)) / k_rate;
  if (c_rate > 0.0) return 1.0 / c_rate;
  return std::numeric_limits<double>::infinity();
}

}  // namespace sim
