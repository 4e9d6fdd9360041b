#include "velk_pad/state_line.h"
#include "velk_pad/velk_pad.h"

void velk_pad::clbkSaveState(FILEHANDLE scn) {
  VESSEL2::clbkSaveState(scn);
  const std::string values = format_state_values({hold_state, lights_mode, streams_off, release_timer});
  oapiWriteScenario_string(scn, mount_k::state_key, values.c_str());
}
