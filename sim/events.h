// Scripted crew input: one event a line, "T verb arguments", '#' starts a comment.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/types.h"

namespace sim {

struct Event {
  enum class Kind { Key, Hold, Type, Focus, Navmode, Joystick, TimeAccel, AfcMode, Hud, Save, Dump };
  double t = 0.0;
  Kind kind = Kind::Key;
  DWORD key = 0;
  bool ctrl = false, shift = false, alt = false;
  double seconds = 0.0;          // hold
  std::string text;              // type, focus, save, dump
  int mode = 0;                  // navmode, afcmode
  bool on = false;               // navmode
  double values[3] = {0, 0, 0};  // joystick pitch, yaw, bank; timeaccel
  int line = 0;
};

// Scan code of a key name (A-Z, 0-9, NUMPAD0-9, NUMPAD_PLUS, ..., or 0xNN); -1 if unknown.
int key_code(std::string_view name);

// Events in file order, sorted by time (stable). Throws InputError naming the file and line.
std::vector<Event> parse_events(std::string_view text, const std::string& file);

}  // namespace sim
