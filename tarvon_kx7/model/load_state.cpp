#include <strings.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "tarvon_kx7/tarvon_kx7.h"

namespace {

// Values of one scenario line, read in order. A value that does not parse, or a number that is not
// finite, ends the line: it and every value after it leave their fields unchanged.
class line_values {
 public:
  explicit line_values(const char* text) : text_(text) {}

  line_values& num(double& field) {
    double v;
    int used = 0;
    if (ok_ && std::sscanf(text_, "%lf%n", &v, &used) == 1 && std::isfinite(v)) {
      field = v;
      text_ += used;
    } else {
      ok_ = false;
    }
    return *this;
  }

  line_values& num(int& field) {
    int v;
    int used = 0;
    if (ok_ && std::sscanf(text_, "%d%n", &v, &used) == 1) {
      field = v;
      text_ += used;
    } else {
      ok_ = false;
    }
    return *this;
  }

 private:
  const char* text_;
  bool ok_ = true;
};

bool is_key(const char* line, const char* key) { return strncasecmp(line, key, 3) == 0; }

}  // namespace

// Reads the vessel's scenario block: the rocket's own lines by their three-letter key (any letter
// case; the value starts after the third character), every other line to the host's parser, in
// the order they come. Then the animations take the loaded positions.
void tarvon_kx7::clbkLoadStateEx(FILEHANDLE scn, void* status) {
  char* line = nullptr;
  while (oapiReadScenario_nextline(scn, line)) {
    const char* value = line + 3;  // only used once a key of three characters has matched
    if (is_key(line, "ENG")) {
      line_values(value).num(engine_count);
    } else if (is_key(line, "CAN")) {
      line_values(value).num(flap_pos[0]).num(flap_pos[1]);
    } else if (is_key(line, "WNG")) {
      line_values(value).num(flap_pos[2]).num(flap_pos[3]).num(trim);
    } else if (is_key(line, "LEG")) {
      line_values(value).num(gear_state).num(gear_pos);
    } else if (is_key(line, "THR")) {
      line_values(value).num(main_level).num(prop_select);
    } else if (is_key(line, "AUT")) {
      line_values(value).num(landing_burn).num(aero_mode).num(skydive_land).num(turn_side).num(retro_landing);
    } else if (is_key(line, "TGT")) {
      // One word, cut to the 255 characters the field holds; the rest of a longer name is dropped.
      std::sscanf(value, "%255s", target_name);
    } else {
      ParseScenarioLineEx(line, status);
    }
  }

  for (int i = 0; i < 4; ++i) SetAnimation(anim_flap[i], flap_pos[i]);
  SetAnimation(anim_gear, gear_pos);

  if (char* plus = std::strchr(target_name, '+')) *plus = ' ';
}
