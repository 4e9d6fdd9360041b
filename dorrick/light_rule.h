// The pad's light rule: day or night at the pad, and whether a vessel near it calls for the
// floodlight.
#pragma once

#include <cmath>

#include "dorrick/pad_constants.h"

enum class pad_sky { night, day, horizon };

// From the height of the Sun in the pad's frame: below the pad's plane is night.
inline pad_sky sky_at_pad(double sun_local_y) {
  if (sun_local_y < 0.0) return pad_sky::night;
  if (sun_local_y > 0.0) return pad_sky::day;
  return pad_sky::horizon;
}

// r_m: the vessel's position in the pad's frame. A vessel within range counts when it is above the
// minimum height (and below the maximum), or lower than that and close to the pad's centre
// horizontally. Exactly at the minimum height it does not count.
inline bool vessel_calls_for_light(const VECTOR3& r_m) {
  const double d = std::sqrt(r_m.x * r_m.x + r_m.y * r_m.y + r_m.z * r_m.z);
  const double h = r_m.y;
  const double s = std::sqrt(r_m.x * r_m.x + r_m.z * r_m.z);
  if (!(d <= pad_k::approach_range_m)) return false;
  if (h > pad_k::approach_min_height_m && h < pad_k::approach_max_height_m) return true;
  return h < pad_k::approach_min_height_m && s < pad_k::ground_radius_m;
}

// N: shown (0) and hidden (1) swap; any other value stays as it is.
inline int toggled_mesh_hidden(int mesh_hidden) {
  if (mesh_hidden == 0) return 1;
  if (mesh_hidden == 1) return 0;
  return mesh_hidden;
}
