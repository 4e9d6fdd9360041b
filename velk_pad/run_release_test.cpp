#include "velk_pad/release_rule.h"
#include "velk_pad/velk_pad.h"

void velk_pad::run_release_test(OBJHANDLE child) {
  // Holding with nothing on the holding point (a state saved without its vessel, or a vessel
  // detached or removed by other means): no launch is in progress, so the mount waits again.
  VESSEL* held = child != nullptr ? oapiGetVesselInterface(child) : nullptr;
  if (held == nullptr) {
    hold_state = 0;
    return;
  }
  VECTOR3 thrust{0.0, 0.0, 0.0};
  held->GetThrustVector(thrust);
  if (thrust_exceeds_weight(thrust.z, held->GetMass(), local_gravity)) {
    DetachChild(hold_point, 0.0);
    stream_level = 0.0;
    hold_state = 2;
  }
}
