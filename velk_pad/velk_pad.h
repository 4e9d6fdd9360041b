// The launch mount: a heavy fixed stand that holds a named vessel on its attachment point, runs
// particle streams and floodlights while it does, and lets the vessel go once its thrust along its
// own axis exceeds its weight.
#pragma once

#include "host/vessel.h"

class velk_pad final : public VESSEL3 {
 public:
  velk_pad(OBJHANDLE hVessel, int flightmodel);

  // Host callbacks.
  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkPostCreation() override;
  void clbkPreStep(double simt, double simdt, double mjd) override;
  int clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;

  // Input-box callback of "Enter Launcher by Name": attaches the named vessel to the mount that
  // has the input focus; true when the vessel was attached.
  static bool mount_target_callback(void* id, char* str, void* usrdata);

  // Step rule, in the order the step runs them.
  void update_streams(bool child_attached, double simdt);
  void run_release_test(OBJHANDLE child);
  void run_release_timer(double simdt);
  void update_floodlights();

  // State of the mount (defaults set in clbkSetClassCaps).
  ATTACHMENTHANDLE hold_point;  // the point that holds the child vessel
  int lights_mode;              // 0 floodlights automatic, 1 off
  int streams_off;              // non-zero: the particle streams stay off
  int hold_state;               // 0 waiting, 1 holding, 2 released
  LightEmitter* flood_light[2];
  double stream_level;         // level of streams 1 to 4; read by the host through a pointer
  double release_timer;        // s since the release while released
  double local_gravity;        // m/s^2 at the mount
  double burst_level;          // level of stream 5; read by the host through a pointer
  double burst_timer;          // s of the current burst of stream 5
  double burst_chance_offset;  // raises the threshold that starts a burst
};
