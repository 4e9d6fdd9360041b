#include "dorrick/dorrick.h"
#include "dorrick/light_rule.h"

// At night the beacons flash and the floodlight comes on (the proximity scan may put it out
// again); by day both are dark. The beacons follow the sky directly, whatever the floodlight did
// last night, so they never keep flashing through the day.
void dorrick::update_day_night() {
  VECTOR3 sun_local{0.0, 0.0, 0.0};
  Global2Local(_V(0.0, 0.0, 0.0), sun_local);  // the Sun stands at the global origin
  const pad_sky sky = sky_at_pad(sun_local.y);
  if (sky == pad_sky::horizon) return;
  const bool night = sky == pad_sky::night;
  if (pad_light != nullptr) {
    if (night && !pad_light->IsActive()) pad_light->Activate(true);
    if (!night) pad_light->Activate(false);
  }
  for (BEACONLIGHTSPEC& b : beacon) b.active = night;
}
