#include "dorrick/dorrick.h"

void dorrick::clbkPreStep(double, double, double) {
  update_day_night();
  scan_approaching_vessels();
}
