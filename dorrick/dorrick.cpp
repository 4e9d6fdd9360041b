#include "dorrick/dorrick.h"

#include "common/module_entry.h"

dorrick::dorrick(OBJHANDLE hVessel, int flightmodel) : VESSEL3(hVessel, flightmodel) {}

VESSEL_MODULE_EXPORTS(dorrick, "Apr 29 2021")
