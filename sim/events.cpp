#include "sim/events.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <sstream>

#include "host/keys.h"
#include "sim/scenario.h"
#include "sim/simulation.h"

namespace sim {

namespace {

bool parse_double(const std::string& s, double& out) {
  const char* end = s.data() + s.size();
  auto r = std::from_chars(s.data(), end, out);
  return !s.empty() && r.ec == std::errc() && r.ptr == end && std::isfinite(out);
}

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

int key_code(std::string_view name_in) {
  const std::string name = upper(std::string(name_in));
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') {
    static constexpr unsigned letters[26] = {
        OAPI_KEY_A, OAPI_KEY_B, OAPI_KEY_C, OAPI_KEY_D, OAPI_KEY_E, OAPI_KEY_F, OAPI_KEY_G,
        OAPI_KEY_H, OAPI_KEY_I, OAPI_KEY_J, OAPI_KEY_K, OAPI_KEY_L, OAPI_KEY_M, OAPI_KEY_N,
        OAPI_KEY_O, OAPI_KEY_P, OAPI_KEY_Q, OAPI_KEY_R, OAPI_KEY_S, OAPI_KEY_T, OAPI_KEY_U,
        OAPI_KEY_V, OAPI_KEY_W, OAPI_KEY_X, OAPI_KEY_Y, OAPI_KEY_Z};
    return static_cast<int>(letters[name[0] - 'A']);
  }
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
    return name[0] == '0' ? static_cast<int>(OAPI_KEY_0) : static_cast<int>(OAPI_KEY_1) + (name[0] - '1');
  }
  static const std::pair<const char*, unsigned> named[] = {{"NUMPAD0", OAPI_KEY_NUMPAD0},
                                                           {"NUMPAD1", OAPI_KEY_NUMPAD1},
                                                           {"NUMPAD2", OAPI_KEY_NUMPAD2},
                                                           {"NUMPAD3", OAPI_KEY_NUMPAD3},
                                                           {"NUMPAD4", OAPI_KEY_NUMPAD4},
                                                           {"NUMPAD5", OAPI_KEY_NUMPAD5},
                                                           {"NUMPAD6", OAPI_KEY_NUMPAD6},
                                                           {"NUMPAD7", OAPI_KEY_NUMPAD7},
                                                           {"NUMPAD8", OAPI_KEY_NUMPAD8},
                                                           {"NUMPAD9", OAPI_KEY_NUMPAD9},
                                                           {"NUMPAD_PLUS", OAPI_KEY_ADD},
                                                           {"NUMPAD_MINUS", OAPI_KEY_SUBTRACT},
                                                           {"NUMPAD_MULTIPLY", OAPI_KEY_MULTIPLY},
                                                           {"NUMPAD_ENTER", OAPI_KEY_NUMPADENTER},
                                                           {"NUMPAD_DIVIDE", OAPI_KEY_DIVIDE},
                                                           {"UP", OAPI_KEY_UP},
                                                           {"DOWN", OAPI_KEY_DOWN},
                                                           {"LEFT", OAPI_KEY_LEFT},
                                                           {"RIGHT", OAPI_KEY_RIGHT},
                                                           {"DELETE", OAPI_KEY_DELETE}};
  for (const auto& [n, code] : named)
    if (name == n) return static_cast<int>(code);
  if (name.size() > 2 && name[0] == '0' && name[1] == 'X') {
    unsigned v = 0;
    auto r = std::from_chars(name.data() + 2, name.data() + name.size(), v, 16);
    if (r.ec == std::errc() && r.ptr == name.data() + name.size() && v < 0x10000) return static_cast<int>(v);
  }
  return -1;
}

std::vector<Event> parse_events(std::string_view text, const std::string& file) {
  std::vector<Event> events;
  std::istringstream in{std::string(text)};
  std::string raw;
  int ln = 0;
  while (std::getline(in, raw)) {
    ++ln;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    // A comment starts at '#', except inside the text of a type event (handled below).
    std::istringstream ws(raw);
    std::string tstr, verb;
    if (!(ws >> tstr) || tstr[0] == '#') continue;
    Event e;
    e.line = ln;
    if (!parse_double(tstr, e.t) || e.t < 0.0)
      throw InputError(file, ln, "expected a time in seconds, got '" + tstr + "'");
    if (!(ws >> verb)) throw InputError(file, ln, "expected an event after the time");
    verb = upper(verb);
    std::vector<std::string> args;
    auto rest_of_line = [&]() {
      std::string r;
      std::getline(ws, r);
      const auto b = r.find_first_not_of(" \t");
      return b == std::string::npos ? std::string() : r.substr(b);
    };
    auto read_args = [&]() {
      std::string a;
      while (ws >> a) {
        if (a[0] == '#') break;
        args.push_back(a);
      }
    };
    auto modifiers = [&](size_t from) {
      for (size_t i = from; i < args.size(); ++i) {
        const std::string m = upper(args[i]);
        if (m == "+CTRL")
          e.ctrl = true;
        else if (m == "+SHIFT")
          e.shift = true;
        else if (m == "+ALT")
          e.alt = true;
        else
          throw InputError(file, ln, "unknown modifier '" + args[i] + "'");
      }
    };
    auto need_key = [&](const std::string& k) {
      const int code = key_code(k);
      if (code < 0) throw InputError(file, ln, "unknown key '" + k + "'");
      return static_cast<DWORD>(code);
    };
    if (verb == "KEY") {
      e.kind = Event::Kind::Key;
      read_args();
      if (args.empty()) throw InputError(file, ln, "expected 'key KEY [+ctrl] [+shift] [+alt]'");
      e.key = need_key(args[0]);
      modifiers(1);
    } else if (verb == "HOLD") {
      e.kind = Event::Kind::Hold;
      read_args();
      if (args.size() < 2 || !parse_double(args[1], e.seconds) || e.seconds < 0.0)
        throw InputError(file, ln, "expected 'hold KEY SECONDS [+ctrl] [+shift]'");
      e.key = need_key(args[0]);
      modifiers(2);
      if (e.alt) throw InputError(file, ln, "hold takes +ctrl and +shift only");
    } else if (verb == "TYPE") {
      e.kind = Event::Kind::Type;
      e.text = rest_of_line();  // the rest of the line, '#' included
    } else if (verb == "FOCUS") {
      e.kind = Event::Kind::Focus;
      e.text = rest_of_line();
      if (const auto h = e.text.find('#'); h != std::string::npos)
        e.text = e.text.substr(0, e.text.find_last_not_of(" \t", h - 1) + 1);
      if (e.text.empty()) throw InputError(file, ln, "expected 'focus VESSEL'");
    } else if (verb == "NAVMODE") {
      e.kind = Event::Kind::Navmode;
      read_args();
      if (args.size() != 2) throw InputError(file, ln, "expected 'navmode MODE on|off'");
      e.mode = navmode_from_name(args[0]);
      const std::string s = upper(args[1]);
      if (e.mode == 0 || (s != "ON" && s != "OFF"))
        throw InputError(file, ln, "expected 'navmode MODE on|off'");
      e.on = s == "ON";
    } else if (verb == "JOYSTICK") {
      e.kind = Event::Kind::Joystick;
      read_args();
      if (args.size() != 3 || !parse_double(args[0], e.values[0]) || !parse_double(args[1], e.values[1]) ||
          !parse_double(args[2], e.values[2]))
        throw InputError(file, ln, "expected 'joystick PITCH YAW BANK'");
    } else if (verb == "TIMEACCEL") {
      e.kind = Event::Kind::TimeAccel;
      read_args();
      if (args.size() != 1 || !parse_double(args[0], e.values[0]) || e.values[0] <= 0.0)
        throw InputError(file, ln, "expected 'timeaccel X' with X > 0");
    } else if (verb == "AFCMODE") {
      e.kind = Event::Kind::AfcMode;
      read_args();
      double m;
      if (args.size() != 1 || !parse_double(args[0], m) || m < 0 || m != std::floor(m))
        throw InputError(file, ln, "expected 'afcmode N'");
      e.mode = static_cast<int>(m);
    } else if (verb == "HUD") {
      e.kind = Event::Kind::Hud;
      read_args();
      if (!args.empty()) throw InputError(file, ln, "hud takes no arguments");
    } else if (verb == "SAVE" || verb == "DUMP") {
      e.kind = verb == "SAVE" ? Event::Kind::Save : Event::Kind::Dump;
      read_args();
      if (args.size() != 1)
        throw InputError(file, ln, "expected '" + std::string(verb == "SAVE" ? "save" : "dump") + " FILE'");
      e.text = args[0];
    } else {
      throw InputError(file, ln, "unknown event '" + verb + "'");
    }
    events.push_back(std::move(e));
  }
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.t < b.t; });
  return events;
}

}  // namespace sim
