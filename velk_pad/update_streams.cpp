#include "velk_pad/stream_rule.h"
#include "velk_pad/velk_pad.h"

void velk_pad::update_streams(bool child_attached, double simdt) {
  stream_level = base_stream_level(streams_off, child_attached, oapiGetTimeAcceleration());
  // The host's generator is drawn from only while the base streams run, one number a step.
  const double u = stream_level == 1.0 ? oapiRand() : 0.0;
  const burst_state b = next_burst({burst_level, burst_timer}, stream_level, u, burst_chance_offset, simdt);
  burst_level = b.level;
  burst_timer = b.timer_s;
}
