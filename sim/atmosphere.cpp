// The standard atmosphere and the scenario's wind profile.
#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/dynamics.h"
#include "sim/simulation.h"

namespace sim {
namespace {

// Constants of the 1976 standard atmosphere.
constexpr double kEarthRadiusGeopotential_m = 6356766.0;  // radius used for geopotential altitude
constexpr double kGravitySeaLevel_m_s2 = 9.80665;
constexpr double kGasConstantAir_J_kgK = 8314.32 / 28.9644;  // R* / M0
constexpr double kHeatCapacityRatio = 1.4;
constexpr double kTopGeometric_m = 86000.0;  // top of the tabulated model

// Layers by geopotential altitude: base altitude (m), base temperature (K), lapse rate (K/m),
// base pressure (Pa). The base pressures follow from the hydrostatic equation layer by layer.
struct Layer {
  double base_h_m, base_t_k, lapse_k_m, base_p_pa;
};
constexpr Layer kLayers[] = {
    {0.0, 288.15, -0.0065, 101325.0},    {11000.0, 216.65, 0.0, 22632.06},
    {20000.0, 216.65, 0.001, 5474.889},  {32000.0, 228.65, 0.0028, 868.0187},
    {47000.0, 270.65, 0.0, 110.9063},    {51000.0, 270.65, -0.0028, 66.93887},
    {71000.0, 214.65, -0.002, 3.956420},
};

Atmosphere state_at_geopotential(double h_m) {
  // The layer that holds h; below sea level the first layer is extended.
  int i = 0;
  for (int k = 1; k < static_cast<int>(std::size(kLayers)); ++k)
    if (h_m >= kLayers[k].base_h_m) i = k;
  const Layer& l = kLayers[i];
  const double dh = h_m - l.base_h_m;
  Atmosphere a;
  a.temperature = l.base_t_k + l.lapse_k_m * dh;
  const double g_over_r = kGravitySeaLevel_m_s2 / kGasConstantAir_J_kgK;
  if (l.lapse_k_m == 0.0)
    a.pressure = l.base_p_pa * std::exp(-g_over_r * dh / l.base_t_k);
  else
    a.pressure = l.base_p_pa * std::pow(a.temperature / l.base_t_k, -g_over_r / l.lapse_k_m);
  a.density = a.pressure / (kGasConstantAir_J_kgK * a.temperature);
  a.speed_of_sound = std::sqrt(kHeatCapacityRatio * kGasConstantAir_J_kgK * a.temperature);
  return a;
}

double geopotential_m(double z_m) {
  return kEarthRadiusGeopotential_m * z_m / (kEarthRadiusGeopotential_m + z_m);
}

}  // namespace

Atmosphere standard_atmosphere(double alt_m) {
  if (!std::isfinite(alt_m)) return Atmosphere{};
  // Deep below the surface the model means nothing: hold it at 5 km below sea level.
  alt_m = std::max(alt_m, -5000.0);
  if (alt_m <= kTopGeometric_m) return state_at_geopotential(geopotential_m(alt_m));

  // Above the table: isothermal at the temperature of its top, pressure and density falling
  // with the local scale height (gravity falling with the square of the distance), so the
  // values join the table smoothly and fade to vacuum.
  const Atmosphere top = state_at_geopotential(geopotential_m(kTopGeometric_m));
  const double dh = geopotential_m(alt_m) - geopotential_m(kTopGeometric_m);
  const double scale_height_m = kGasConstantAir_J_kgK * top.temperature / kGravitySeaLevel_m_s2;
  const double f = std::exp(-dh / scale_height_m);
  Atmosphere a = top;
  if (f < 1e-30) {  // far beyond any measurable air
    a.pressure = 0.0;
    a.density = 0.0;
  } else {
    a.pressure = top.pressure * f;
    a.density = top.density * f;
  }
  return a;
}

VECTOR3 wind_at(const std::vector<WindLayer>& layers, double alt_m) {
  if (layers.empty() || !std::isfinite(alt_m)) return _V(0, 0, 0);
  // The nearest layer at or below and the nearest at or above (the list need not be sorted).
  const WindLayer* below = nullptr;
  const WindLayer* above = nullptr;
  for (const WindLayer& l : layers) {
    if (l.alt <= alt_m && (below == nullptr || l.alt > below->alt)) below = &l;
    if (l.alt >= alt_m && (above == nullptr || l.alt < above->alt)) above = &l;
  }
  if (below == nullptr) return _V(above->east, 0, above->north);
  if (above == nullptr || above->alt <= below->alt) return _V(below->east, 0, below->north);
  const double f = (alt_m - below->alt) / (above->alt - below->alt);
  return _V(below->east + f * (above->east - below->east), 0,
            below->north + f * (above->north - below->north));
}

}  // namespace sim
