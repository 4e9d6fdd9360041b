// Levels of the mount's particle streams for one step: the base streams run while a vessel is
// held, the streams are enabled and time runs at most ten times faster than real time; the burst
// stream flares up at random while the base streams run.
#pragma once

#include "velk_pad/mount_constants.h"

inline double base_stream_level(int streams_off, bool child_attached, double time_acceleration) {
  if (streams_off != 0 || !child_attached) return 0.0;
  if (time_acceleration > mount_k::max_stream_time_acceleration) return 0.0;
  return 1.0;
}

struct burst_state {
  double level;    // 0 or 1
  double timer_s;  // running time of the current burst
};

// u: a uniform random draw in [0, 1), used only while the base streams run at level 1. A burst
// starts when u exceeds the threshold (raised by chance_offset) and no burst runs; a running burst
// counts its time from the next step on and ends once it has run more than its duration. When the
// base streams stop, the burst goes dark but keeps its elapsed time.
inline burst_state next_burst(burst_state b, double base_level, double u, double chance_offset,
                              double simdt_s) {
  if (base_level != 1.0) {
    b.level = 0.0;
    return b;
  }
  if (u > mount_k::burst_threshold + chance_offset && b.level == 0.0) {
    b.level = 1.0;
    return b;
  }
  if (b.level == 1.0) {
    b.timer_s += simdt_s;
    if (b.timer_s > mount_k::burst_duration_s) {
      b.timer_s = 0.0;
      b.level = 0.0;
    }
  }
  return b;
}
