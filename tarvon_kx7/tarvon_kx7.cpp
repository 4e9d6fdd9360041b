#include "tarvon_kx7/tarvon_kx7.h"

#include "common/module_entry.h"

tarvon_kx7::tarvon_kx7(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {}

// The animation components are the only objects the rocket owns; host handles stay with the host.
tarvon_kx7::~tarvon_kx7() {
  for (MGROUP_TRANSFORM*& comp : anim_comp) {
    delete comp;
    comp = nullptr;
  }
}

bool tarvon_kx7::clbkLoadGenericCockpit() {
  apply_camera_view();
  return true;
}

VESSEL_MODULE_EXPORTS(tarvon_kx7, __DATE__)
