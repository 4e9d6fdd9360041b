#include "dorrick/dorrick.h"
#include "dorrick/scenario_state.h"

void dorrick::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  char* line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) {
    if (is_visibility_line(line)) {
      parse_visibility_value(line + 6, mesh_hidden);
    } else {
      ParseScenarioLineEx(line, status);
    }
  }
  // A hidden pad is hidden before its first frame.
  if (mesh_hidden == 1) SetMeshVisibilityMode(pad_k::mesh_index, MESHVIS_NEVER);
}
