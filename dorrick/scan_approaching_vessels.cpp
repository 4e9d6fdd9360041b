#include "dorrick/dorrick.h"
#include "dorrick/light_rule.h"

// While the floodlight is on, looks for another vessel near the pad: the first one that calls for
// the light keeps it on; each one before it that does not puts it out.
void dorrick::scan_approaching_vessels() {
  if (pad_light == nullptr || !pad_light->IsActive()) return;
  for (DWORD i = 0; i < oapiGetVesselCount(); ++i) {
    const OBJHANDLE other = oapiGetVesselByIndex(static_cast<int>(i));
    if (other == nullptr || other == GetHandle()) continue;
    VECTOR3 global{0.0, 0.0, 0.0};
    oapiGetGlobalPos(other, &global);
    VECTOR3 r{0.0, 0.0, 0.0};
    Global2Local(global, r);
    if (vessel_calls_for_light(r)) {
      pad_light->Activate(true);
      return;
    }
    pad_light->Activate(false);
  }
}
