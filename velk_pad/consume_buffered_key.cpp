#include "velk_pad/key_rules.h"
#include "velk_pad/velk_pad.h"

namespace {

constexpr const char* kTargetBoxTitle = "Enter Launcher by Name";
constexpr int kTargetBoxVisibleChars = 50;

}  // namespace

// P names the vessel to mount, K switches the floodlights between automatic and off, V switches
// the particle streams. Shifted keys and releases are passed on; Ctrl and Alt make no difference.
int velk_pad::clbkConsumeBufferedKey(DWORD key, bool down, char* kstate) {
  if (!down) return 0;
  if (kstate != nullptr && (KEYDOWN(kstate, OAPI_KEY_LSHIFT) || KEYDOWN(kstate, OAPI_KEY_RSHIFT))) return 0;
  switch (key) {
    case OAPI_KEY_P:
      oapiOpenInputBox(kTargetBoxTitle, mount_target_callback, nullptr, kTargetBoxVisibleChars, nullptr);
      return 1;
    case OAPI_KEY_K:
      lights_mode = toggled_lights_mode(lights_mode);
      return 1;
    case OAPI_KEY_V:
      streams_off = toggled_streams_off(streams_off);
      return 1;
    default:
      return 0;
  }
}
