#include "tarvon_kx7/tarvon_kx7.h"

// The leg feet move down 2.15 m from stowed (-16.78 m) to deployed (-18.93 m).
double leg_foot_z_m(double gear_pos) { return gear_pos * -kx7::leg_foot_travel_m + kx7::leg_foot_z_stowed_m; }

// Moves the six leg touchdown points to the present leg position and hands the table (with the nose
// point unchanged) to the host.
void tarvon_kx7::update_touchdown_points() {
  const double z = leg_foot_z_m(gear_pos);
  for (int i = 0; i < 6; ++i) touchdown_table[i].pos.z = z;
  SetTouchdownPoints(touchdown_table, 7);
}
