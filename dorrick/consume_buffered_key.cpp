#include "dorrick/dorrick.h"
#include "dorrick/light_rule.h"
#include "dorrick/pad_constants.h"

// N hides or shows the pad mesh. Releases and keys pressed with Shift or Ctrl are passed on.
int dorrick::clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) {
  if (!down) return 0;
  if (kstate != nullptr && (KEYDOWN(kstate, OAPI_KEY_LSHIFT) || KEYDOWN(kstate, OAPI_KEY_RSHIFT) ||
                            KEYDOWN(kstate, OAPI_KEY_LCONTROL) || KEYDOWN(kstate, OAPI_KEY_RCONTROL)))
    return 0;
  if (key != OAPI_KEY_N) return 0;
  const int before = mesh_hidden;
  mesh_hidden = toggled_mesh_hidden(mesh_hidden);
  if (mesh_hidden != before)
    SetMeshVisibilityMode(pad_k::mesh_index, mesh_hidden == 1 ? MESHVIS_NEVER : MESHVIS_ALWAYS);
  return 1;
}
