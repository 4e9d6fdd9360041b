// Gravitational acceleration of a point mass at a distance.
#pragma once

#include <cmath>
#include <optional>

#include "velk_pad/mount_constants.h"

// G M / r^2 in m/s^2; none for a distance that is not positive or a result that is not finite.
inline std::optional<double> gravity_at_distance_m_s2(double body_mass_kg, double distance_m) {
  if (!(distance_m > 0.0)) return std::nullopt;
  const double g = mount_k::gravitational_constant * body_mass_kg / (distance_m * distance_m);
  if (!std::isfinite(g)) return std::nullopt;
  return g;
}
