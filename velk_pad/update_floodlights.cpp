#include "velk_pad/floodlight_rule.h"
#include "velk_pad/velk_pad.h"

void velk_pad::update_floodlights() {
  // The Sun stands at the global origin; its height in the mount's frame tells day from night.
  VECTOR3 sun_local{0.0, 0.0, 0.0};
  Global2Local(_V(0.0, 0.0, 0.0), sun_local);
  const flood_command cmd = floodlight_command(lights_mode, sun_local.y);
  if (cmd == flood_command::keep) return;
  for (LightEmitter* light : flood_light) {
    if (light != nullptr) light->Activate(cmd == flood_command::on);
  }
}
