// The mount's scenario line: "STTS hold_state lights_mode streams_off release_timer".
#pragma once

#include <strings.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "velk_pad/mount_constants.h"

struct mount_saved_state {
  int hold_state;
  int lights_mode;
  int streams_off;
  double release_timer_s;
};

// The values of the line, release timer to one decimal.
inline std::string format_state_values(const mount_saved_state& s) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "%d %d %d %0.1f", s.hold_state, s.lights_mode, s.streams_off,
                s.release_timer_s);
  return buf;
}

// The key is read without regard to case.
inline bool is_state_line(const char* line) { return strncasecmp(line, mount_k::state_key, 4) == 0; }

// Reads the values that follow the key into s, in order; fields whose values are missing (or do not
// parse) keep their earlier values. A release timer that is not a finite number is ignored.
inline void parse_state_values(const char* values, mount_saved_state& s) {
  int hold = 0, lights = 0, streams = 0;
  double timer = 0.0;
  const int n = std::sscanf(values, "%d%d%d%lf", &hold, &lights, &streams, &timer);
  if (n >= 1) s.hold_state = hold;
  if (n >= 2) s.lights_mode = lights;
  if (n >= 3) s.streams_off = streams;
  if (n >= 4 && std::isfinite(timer)) s.release_timer_s = timer;
}
