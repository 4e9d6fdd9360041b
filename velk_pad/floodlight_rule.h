// What the mount's floodlights do in a step.
#pragma once

enum class flood_command { on, off, keep };

// lights_mode 0 (automatic) follows the Sun: on while it stands below the mount's horizontal
// plane (sun_local_y < 0, night), off while above, unchanged exactly on it. lights_mode 1: off.
// Any other mode leaves the lights alone.
inline flood_command floodlight_command(int lights_mode, double sun_local_y) {
  if (lights_mode == 1) return flood_command::off;
  if (lights_mode != 0) return flood_command::keep;
  if (sun_local_y < 0.0) return flood_command::on;
  if (sun_local_y > 0.0) return flood_command::off;
  return flood_command::keep;
}
