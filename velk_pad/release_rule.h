// The release test of a held vessel and the count that follows a release.
#pragma once

#include "velk_pad/mount_constants.h"

// True when the vessel's thrust along its own z axis exceeds its weight; exactly equal holds.
inline bool thrust_exceeds_weight(double thrust_z_N, double mass_kg, double gravity_m_s2) {
  return thrust_z_N - mass_kg * gravity_m_s2 > 0.0;
}

struct release_count {
  int hold_state;  // 2 while counting
  double timer_s;
  int lights_mode;
};

// One step of the count after a release: once more than the delay has passed, the mount waits
// again and its floodlights switch off until the crew returns them to automatic.
inline release_count count_release(release_count c, double simdt_s) {
  c.timer_s += simdt_s;
  if (c.timer_s > mount_k::release_lights_delay_s) {
    c.timer_s = 0.0;
    c.hold_state = 0;
    c.lights_mode = 1;
  }
  return c;
}
