// The pad's scenario line: "PADVIS mesh_hidden".
#pragma once

#include <strings.h>

#include <cstdio>

#include "dorrick/pad_constants.h"

// The key is read without regard to case.
inline bool is_visibility_line(const char* line) { return strncasecmp(line, pad_k::visibility_key, 6) == 0; }

// The value after the key; a line without a number leaves mesh_hidden as it was.
inline void parse_visibility_value(const char* value, int& mesh_hidden) {
  int v = 0;
  if (std::sscanf(value, "%d", &v) == 1) mesh_hidden = v;
}
