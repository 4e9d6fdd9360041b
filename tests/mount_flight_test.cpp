// The launch mount with the rocket at night, flown by the host: the rocket stands on the mount by
// its scenario's ATTACHED line, the crew holds Numpad + until its engines lift it off the mount.
#include <gtest/gtest.h>

#include <string>

#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"
#include "velk_pad/velk_pad.h"

namespace {

// Midnight at longitude 0. The main tank is filled to 30 % so that the three engines (about
// 1.86 MN each at sea level) can lift the rocket: 120000 + 352500 + 500 + 25000 = 498000 kg weigh
// about 4.89 MN.
const std::string kScenario = test_support::scenario(
    "Mount:velk_pad\n"
    "  STATUS Landed Earth\n"
    "  POS 0.0 0.0\n"
    "  HEADING 0\n"
    "END\n"
    "KX7:tarvon_kx7\n"
    "  STATUS Landed Earth\n"
    "  POS 0.0 0.0\n"
    "  HEADING 0\n"
    "  PRPLEVEL 0:0.3 1:1.0 2:1.0\n"
    "  ATTACHED 0:0,Mount\n"
    "END\n",
    60000.0, "KX7");

const nlohmann::json& vessel_json(const nlohmann::json& dump, const std::string& name) {
  for (const auto& v : dump["vessels"])
    if (v["name"] == name) return v;
  throw std::runtime_error("no vessel " + name + " in the dump");
}

TEST(MountFlight, HoldLiftOffAndLightsOutAtNight) {
  auto s = test_support::load(kScenario);
  velk_pad& m = *static_cast<velk_pad*>(s->vessel("Mount")->iface);
  test_support::run_for(*s, 1.0);

  nlohmann::json d = s->dump();
  const auto& mount = vessel_json(d, "Mount");
  EXPECT_EQ(m.hold_state, 1);
  EXPECT_EQ(vessel_json(d, "KX7")["status"], "attached");
  for (const auto& spot : mount["spotlights"]) EXPECT_EQ(spot["active"], true);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(mount["particle_streams"][i]["level"], 1.0);
  const double alt_held = vessel_json(d, "KX7")["alt_ground"];

  // Numpad + held: the throttle rises until the thrust along the rocket's axis exceeds its weight.
  s->hold_key(OAPI_KEY_ADD, 40.0);
  double t_release = -1.0;
  for (int i = 0; i < 2000 && t_release < 0.0; ++i) {
    s->step(0.02);
    if (m.hold_state == 2) t_release = s->time();
  }
  ASSERT_GT(t_release, 0.0) << "the rocket was never released";
  EXPECT_EQ(s->vessel("KX7")->parent(), nullptr);
  EXPECT_EQ(m.stream_level, 0.0);

  // Free and under thrust above its weight, the rocket climbs.
  test_support::run_for(*s, 5.0);
  d = s->dump();
  EXPECT_EQ(vessel_json(d, "KX7")["status"], "flying");
  EXPECT_GT(vessel_json(d, "KX7")["alt_ground"].get<double>(), alt_held + 10.0);
  for (const auto& spot : vessel_json(d, "Mount")["spotlights"]) EXPECT_EQ(spot["active"], true);

  // Ten seconds after the release the floodlights go off, though it is still night.
  test_support::run_for(*s, t_release + 10.1 - s->time());
  d = s->dump();
  for (const auto& spot : vessel_json(d, "Mount")["spotlights"]) EXPECT_EQ(spot["active"], false);
  EXPECT_EQ(m.hold_state, 0);
  EXPECT_NE(s->save_scenario_text().find("STTS 0 1 0 0.0"), std::string::npos);
  EXPECT_EQ(d["nonfinite_calls"], 0);
}

// The project's scenario file of this situation loads and holds the rocket at night.
TEST(MountFlight, ScenarioFileHoldsTheRocket) {
  sim::Simulation s(test_support::build_options());
  s.load_scenario_file(std::string(ORBHOST_SOURCE_DIR) + "/scenarios/mount_night.scn");
  test_support::run_for(s, 1.0);
  EXPECT_EQ(static_cast<velk_pad*>(s.vessel("Mount")->iface)->hold_state, 1);
  EXPECT_EQ(s.vessel("KX7")->parent(), s.vessel("Mount"));
  EXPECT_TRUE(s.vessel("Mount")->lights.at(0)->IsActive());
}

}  // namespace
