// The standard atmosphere against the 1976 tables, and the wind profile.
#include <gtest/gtest.h>

#include "sim/dynamics.h"
#include "sim/simulation.h"

namespace {

struct TableRow {
  double alt_m, temperature_k, pressure_pa, density_kg_m3, sound_m_s;
};

// U.S. Standard Atmosphere 1976 at geometric altitudes (table values).
constexpr TableRow kTable[] = {
    {0, 288.150, 101325.0, 1.2250, 340.29},      {11000, 216.774, 22699.9, 0.36480, 295.15},
    {20000, 216.650, 5529.3, 0.088910, 295.07},  {32000, 228.490, 889.06, 0.013555, 303.02},
    {47000, 269.684, 115.85, 1.4965e-3, 329.21}, {51000, 270.650, 70.458, 9.0690e-4, 329.80},
    {71000, 216.846, 4.4796, 7.1965e-5, 295.20}, {86000, 186.946, 0.37338, 6.9578e-6, 274.10},
};

TEST(StandardAtmosphere, MatchesThe1976Tables) {
  for (const TableRow& row : kTable) {
    SCOPED_TRACE(row.alt_m);
    const sim::Atmosphere a = sim::standard_atmosphere(row.alt_m);
    EXPECT_NEAR(a.temperature, row.temperature_k, 0.005 * row.temperature_k);
    EXPECT_NEAR(a.pressure, row.pressure_pa, 0.005 * row.pressure_pa);
    EXPECT_NEAR(a.density, row.density_kg_m3, 0.005 * row.density_kg_m3);
    EXPECT_NEAR(a.speed_of_sound, row.sound_m_s, 0.005 * row.sound_m_s);
  }
}

TEST(StandardAtmosphere, ContinuousAtLayerBoundsAndFadesToVacuum) {
  // Layer bounds (geometric altitudes of 11, 20, 32, 47, 51, 71 km geopotential and the top).
  for (double z : {11019.1, 20063.1, 32161.9, 47350.1, 51412.5, 71802.0, 86000.0}) {
    SCOPED_TRACE(z);
    const sim::Atmosphere lo = sim::standard_atmosphere(z - 0.01), hi = sim::standard_atmosphere(z + 0.01);
    EXPECT_NEAR(lo.pressure, hi.pressure, 1e-5 * lo.pressure);
    EXPECT_NEAR(lo.density, hi.density, 1e-5 * lo.density);
    EXPECT_NEAR(lo.temperature, hi.temperature, 1e-3);
  }
  double prev = sim::standard_atmosphere(86000).density;
  for (double z = 90000; z <= 400000; z += 10000) {
    const double d = sim::standard_atmosphere(z).density;
    EXPECT_LT(d, prev) << z;
    EXPECT_GE(d, 0.0);
    prev = d;
  }
  EXPECT_LT(sim::standard_atmosphere(150000).density, 1e-10);
  EXPECT_EQ(sim::standard_atmosphere(1e7).pressure, 0.0);
  // Below sea level the first layer goes on: denser and warmer, never undefined.
  const sim::Atmosphere below = sim::standard_atmosphere(-100);
  EXPECT_GT(below.density, 1.225);
  EXPECT_GT(below.temperature, 288.15);
  EXPECT_TRUE(std::isfinite(sim::standard_atmosphere(-1e7).density));
  EXPECT_EQ(sim::standard_atmosphere(std::nan("")).density, 0.0);
}

TEST(Wind, LinearBetweenLayersConstantOutside) {
  // Given out of order on purpose.
  const std::vector<sim::WindLayer> layers = {{10000, 15.0, 0.0}, {0, 2.0, -1.0}};
  struct Case {
    double alt, east, north;
  } cases[] = {{-50, 2.0, -1.0}, {0, 2.0, -1.0}, {5000, 8.5, -0.5}, {10000, 15.0, 0.0}, {30000, 15.0, 0.0}};
  for (const Case& c : cases) {
    const VECTOR3 w = sim::wind_at(layers, c.alt);
    EXPECT_NEAR(w.x, c.east, 1e-12) << c.alt;
    EXPECT_EQ(w.y, 0.0);
    EXPECT_NEAR(w.z, c.north, 1e-12) << c.alt;
  }
  const VECTOR3 none = sim::wind_at({}, 100);
  EXPECT_EQ(length(none), 0.0);
}

}  // namespace
