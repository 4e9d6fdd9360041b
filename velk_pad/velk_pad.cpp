#include "velk_pad/velk_pad.h"

#include "common/module_entry.h"

velk_pad::velk_pad(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {}

VESSEL_MODULE_EXPORTS(velk_pad, "Apr 29 2021")
