// The entry protocol every vessel module follows: four plain exports and the load/unload routine.
//
// A module names its vessel class and build date once:
//   VESSEL_MODULE_EXPORTS(tarvon_kx7, __DATE__)
// which defines ovcInit (creates the object), ovcExit (deletes it through the module's own class,
// ignoring null), ModuleDate and GetModuleVersion.
#pragma once

#include "host/vessel.h"

namespace common {

// The interface version the modules are built for, as the host's Date2Int gives it for
// "Aug 28 2016"; computed on the first call, then kept.
int module_version();

// The instance handle the load routine registered with the host, and the exit function it found
// in the module (none in these modules).
HINSTANCE module_instance();
bool module_has_exit_function();

}  // namespace common

#define VESSEL_MODULE_EXPORTS(CLASS, DATE)                                                                \
  DLLCLBK VESSEL* ovcInit(OBJHANDLE hvessel, int flightmodel) { return new CLASS(hvessel, flightmodel); } \
  DLLCLBK void ovcExit(VESSEL* vessel) {                                                                  \
    if (vessel != nullptr) delete static_cast<CLASS*>(vessel);                                            \
  }                                                                                                       \
  DLLCLBK const char* ModuleDate() { return DATE; }                                                       \
  DLLCLBK int GetModuleVersion() { return common::module_version(); }
