#include <cstdio>
#include <cstring>

#include "tarvon_kx7/tarvon_kx7.h"

// Writes the host's vessel lines, then the rocket's own: engine count, flaps and trim, legs,
// throttle and tank, autopilot flags, target.
void tarvon_kx7::clbkSaveState(FILEHANDLE scn) {
  VESSEL3::clbkSaveState(scn);

  char buf[1024];  // room for three doubles printed in full
  std::snprintf(buf, sizeof buf, "%d", engine_count);
  oapiWriteScenario_string(scn, "ENG", buf);
  std::snprintf(buf, sizeof buf, "%0.4f %0.4f", flap_pos[0], flap_pos[1]);
  oapiWriteScenario_string(scn, "CAN", buf);
  std::snprintf(buf, sizeof buf, "%0.4f %0.4f %0.4f", flap_pos[2], flap_pos[3], trim);
  oapiWriteScenario_string(scn, "WNG", buf);
  std::snprintf(buf, sizeof buf, "%d %0.4f", gear_state, gear_pos);
  oapiWriteScenario_string(scn, "LEG", buf);
  std::snprintf(buf, sizeof buf, "%0.4f %d", main_level, prop_select);
  oapiWriteScenario_string(scn, "THR", buf);
  std::snprintf(buf, sizeof buf, "%d %d %d %d %d", landing_burn, aero_mode, skydive_land, turn_side,
                retro_landing);
  oapiWriteScenario_string(scn, "AUT", buf);

  // The target is read back as one word: its first blank travels as '+'.
  std::snprintf(buf, sizeof buf, "%s", target_name);
  if (char* blank = std::strchr(buf, ' ')) *blank = '+';
  oapiWriteScenario_string(scn, "TGT", buf);
}
