#include "velk_pad/velk_pad.h"

void velk_pad::clbkPreStep(double, double simdt, double) {
  const OBJHANDLE child = hold_point != nullptr ? GetAttachmentStatus(hold_point) : nullptr;
  update_streams(child != nullptr, simdt);
  if (hold_state == 0 && child != nullptr) hold_state = 1;
  if (hold_state == 1) run_release_test(child);
  if (hold_state == 2) run_release_timer(simdt);
  update_floodlights();
}
