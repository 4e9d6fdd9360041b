#include "tarvon_kx7/tarvon_kx7.h"

// Samples the wind 1400 m above the target, when the target is a host object; otherwise the
// guidance flies without wind allowance.
void tarvon_kx7::lookup_target() {
  OBJHANDLE target = oapiGetObjectByName(target_name);
  OBJHANDLE body = GetGravityRef();
  if (target == nullptr || body == nullptr) {
    target_wind = _V(0, 0, 0);
    target_windspeed = 0.0;
    return;
  }
  const double mean_radius_m = oapiGetSize(body);
  double lng_rad = 0.0, lat_rad = 0.0, radius_m = 0.0;
  oapiGetEquPos(target, &lng_rad, &lat_rad, &radius_m);
  const double sample_alt_m = radius_m - mean_radius_m + kx7::target_wind_height_m;
  target_wind = oapiGetWindVector(body, lng_rad, lat_rad, sample_alt_m, 0, &target_windspeed);
}
