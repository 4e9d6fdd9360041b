#include "velk_pad/release_rule.h"
#include "velk_pad/velk_pad.h"

void velk_pad::run_release_timer(double simdt) {
  const release_count c = count_release({hold_state, release_timer, lights_mode}, simdt);
  hold_state = c.hold_state;
  release_timer = c.timer_s;
  lights_mode = c.lights_mode;
}
