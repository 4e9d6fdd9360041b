#include "velk_pad/state_line.h"
#include "velk_pad/velk_pad.h"

void velk_pad::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  char* line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) {
    if (is_state_line(line)) {
      mount_saved_state s{hold_state, lights_mode, streams_off, release_timer};
      parse_state_values(line + 4, s);
      hold_state = s.hold_state;
      lights_mode = s.lights_mode;
      streams_off = s.streams_off;
      release_timer = s.release_timer_s;
    } else {
      ParseScenarioLineEx(line, status);
    }
  }
}
