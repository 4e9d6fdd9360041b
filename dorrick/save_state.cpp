#include <cstdio>

#include "dorrick/dorrick.h"
#include "dorrick/pad_constants.h"

void dorrick::clbkSaveState(FILEHANDLE scn) {
  VESSEL2::clbkSaveState(scn);
  char value[16];
  std::snprintf(value, sizeof value, "%d", mesh_hidden);
  oapiWriteScenario_string(scn, pad_k::visibility_key, value);
}
