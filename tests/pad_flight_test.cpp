// The landing pad flown by the host: a rocket hovering 1000 m above it at night lights the
// floodlight and the beacons; by day everything stays dark.
#include <gtest/gtest.h>

#include <string>

#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"

namespace {

std::string scenario(double mjd) {
  // The rocket starts 1000 m above the pad plane (the pad's origin stands 0.5 m above the ground)
  // and falls freely: in 1 s it drops about 5 m.
  return test_support::scenario(
      "Pad:dorrick\n"
      "  STATUS Landed Earth\n"
      "  POS 0.0 0.0\n"
      "  HEADING 0\n"
      "END\n"
      "KX7:tarvon_kx7\n"
      "  STATUS Flying Earth\n"
      "  POS 0.0 0.0\n"
      "  ALT 1000.5\n"
      "  ATT 0 90 0\n"
      "  GSPEED 0 0 0\n"
      "END\n",
      mjd, "KX7");
}

struct PadLights {
  bool flood;
  int beacons_on;
};

PadLights run_and_dump(double mjd) {
  auto s = test_support::load(scenario(mjd));
  test_support::run_for(*s, 1.0);
  const nlohmann::json d = s->dump();
  for (const auto& v : d["vessels"]) {
    if (v["name"] != "Pad") continue;
    int beacons = 0;
    for (const auto& b : v["beacons"]) beacons += b["active"].get<bool>() ? 1 : 0;
    return {v["spotlights"][0]["active"].get<bool>(), beacons};
  }
  ADD_FAILURE() << "no pad in the dump";
  return {};
}

TEST(PadFlight, HoveringRocketAtNightLightsThePad) {
  const PadLights l = run_and_dump(60000.0);
  EXPECT_TRUE(l.flood);
  EXPECT_EQ(l.beacons_on, 4);
}

TEST(PadFlight, DayKeepsThePadDark) {
  const PadLights l = run_and_dump(60000.5);
  EXPECT_FALSE(l.flood);
  EXPECT_EQ(l.beacons_on, 0);
}

// The project's scenario file of this situation loads and lights the pad.
TEST(PadFlight, ScenarioFileLightsThePad) {
  sim::Simulation s(test_support::build_options());
  s.load_scenario_file(std::string(ORBHOST_SOURCE_DIR) + "/scenarios/pad_night.scn");
  test_support::run_for(s, 1.0);
  EXPECT_TRUE(s.vessel("Pad")->lights.at(0)->IsActive());
  EXPECT_TRUE(s.vessel("Pad")->beacons.at(0)->active);
}

}  // namespace
