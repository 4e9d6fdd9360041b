// The landing pad: a large pad on the ground marked by four red strobe beacons, with a floodlight
// that lights it at night while a vessel approaches or stands on it.
#pragma once

#include "host/vessel.h"

class dorrick final : public VESSEL3 {
 public:
  dorrick(OBJHANDLE hVessel, int flightmodel);

  // Host callbacks.
  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
  int clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) override;
  void clbkPreStep(double simt, double simdt, double mjd) override;

  // Light rule, in the order the step runs them.
  void update_day_night();
  void scan_approaching_vessels();

  THRUSTER_HANDLE pad_thruster;
  LightEmitter* pad_light;    // owned by the host
  BEACONLIGHTSPEC beacon[4];  // the host keeps pointers to these
  int mesh_hidden;            // 1: pad mesh hidden, 0: shown
};
