#include <cmath>

#include "tarvon_kx7/tarvon_kx7.h"

// Lift from the table, interpolated linearly between its 22.5-degree steps; no moment; profile plus
// induced drag.
void aero_coeff(double aoa_rad, double* cl, double* cm, double* cd) {
  static const double step_rad = kx7::lift_table_step_deg * RAD;
  static const double inv_step = 1.0 / step_rad;

  const double f = (aoa_rad + PI) * inv_step;
  // Index of the table step: f truncated towards zero, kept within the table (clamped before the
  // conversion, so that no angle outside -pi..pi can make it undefined).
  const double ft = std::trunc(f);
  const int i = ft > 15.0 ? 15 : (ft >= 0.0 ? static_cast<int>(ft) : 0);
  *cl = kx7::lift_table[i] + (kx7::lift_table[i + 1] - kx7::lift_table[i]) * (f - i);
  *cm = 0.0;
  *cd = kx7::drag_factor *
        (kx7::profile_drag + oapiGetInducedDrag(*cl, kx7::induced_drag_aspect, kx7::induced_drag_efficiency));
}
