// The rocket's scenario lines: what it writes after the host's lines, how it reads them back, and
// which lines it leaves to the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarvon_kx7/tarvon_kx7.h"
#include "tests/support/sim_fixture.h"

namespace {

// A landed rocket whose block carries the given extra lines.
std::string rocket_block(const std::string& name, const std::string& lines) {
  return name + ":tarvon_kx7\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 0\n" + lines + "END\n";
}

struct Loaded {
  std::unique_ptr<sim::Simulation> sim;
  sim::HostVessel* v = nullptr;
  tarvon_kx7* rocket = nullptr;
};

Loaded load_rocket(const std::string& lines) {
  Loaded l;
  l.sim = test_support::load(test_support::scenario(rocket_block("KX7", lines)));
  l.v = l.sim->vessel("KX7");
  if (l.v != nullptr) l.rocket = static_cast<tarvon_kx7*>(l.v->iface);
  return l;
}

// The lines of the saved block of the named vessel, trimmed, from its header to its END.
std::vector<std::string> saved_block(sim::Simulation& s, const std::string& name) {
  std::vector<std::string> out;
  const std::string text = s.save_scenario_text();
  size_t pos = text.find(name + ":");
  if (pos == std::string::npos) return out;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    const size_t first = line.find_first_not_of(" \t");
    line = first == std::string::npos ? "" : line.substr(first);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    out.push_back(line);
    if (line == "END") break;
    pos = end + 1;
  }
  return out;
}

// The rocket's own lines of a saved block, in the order written.
std::vector<std::string> own_lines(const std::vector<std::string>& block) {
  std::vector<std::string> out;
  for (const std::string& l : block) {
    const std::string key = l.substr(0, 3);
    if (key == "ENG" || key == "CAN" || key == "WNG" || key == "LEG" || key == "THR" || key == "AUT" ||
        key == "TGT") {
      out.push_back(l);
    }
  }
  return out;
}

TEST(RocketScenario, FreshRocketWritesDefaultsAfterTheHostLines) {
  Loaded l = load_rocket("");
  ASSERT_NE(l.rocket, nullptr);
  const std::vector<std::string> block = saved_block(*l.sim, "KX7");
  const std::vector<std::string> want = {"ENG 3",        "CAN 0.0000 0.0000", "WNG 0.0000 0.0000 0.0900",
                                         "LEG 0 0.0000", "THR 0.0000 0",      "AUT 0 0 0 0 0",
                                         "TGT NULL"};
  EXPECT_EQ(own_lines(block), want);
  // The host's lines come first: the rocket's block ends with its seven lines.
  ASSERT_GE(block.size(), 9u);
  EXPECT_EQ(block[block.size() - 8], "ENG 3");
  EXPECT_EQ(block.back(), "END");
  EXPECT_EQ(block[1].rfind("STATUS", 0), 0u);
}

TEST(RocketScenario, SavedStateLoadsBackAndAppliesAnimations) {
  Loaded a = load_rocket(
      "  ENG 2\n  CAN 0.2500 0.7500\n  WNG 0.1000 0.9000 -0.3000\n  LEG 2 1.0000\n"
      "  THR 0.6000 1\n  AUT 1 1 2 -1 0\n  TGT Cape+Canaveral\n");
  ASSERT_NE(a.rocket, nullptr);
  const std::vector<std::string> want = {
      "ENG 2",        "CAN 0.2500 0.7500", "WNG 0.1000 0.9000 -0.3000", "LEG 2 1.0000",
      "THR 0.6000 1", "AUT 1 1 2 -1 0",    "TGT Cape+Canaveral"};
  EXPECT_EQ(own_lines(saved_block(*a.sim, "KX7")), want);

  const std::string text = a.sim->save_scenario_text();
  a.sim.reset();
  auto s = test_support::load(text);
  tarvon_kx7& r = *static_cast<tarvon_kx7*>(s->vessel("KX7")->iface);
  EXPECT_EQ(r.engine_count, 2);
  EXPECT_EQ(r.flap_pos[0], 0.25);
  EXPECT_EQ(r.flap_pos[1], 0.75);
  EXPECT_EQ(r.flap_pos[2], 0.1);
  EXPECT_EQ(r.flap_pos[3], 0.9);
  EXPECT_EQ(r.trim, -0.3);
  EXPECT_EQ(r.gear_state, 2);
  EXPECT_EQ(r.gear_pos, 1.0);
  EXPECT_EQ(r.main_level, 0.6);
  EXPECT_EQ(r.prop_select, 1);
  EXPECT_EQ(r.landing_burn, 1);
  EXPECT_EQ(r.aero_mode, 1);
  EXPECT_EQ(r.skydive_land, 2);
  EXPECT_EQ(r.turn_side, -1);
  EXPECT_EQ(r.retro_landing, 0);
  EXPECT_STREQ(r.target_name, "Cape Canaveral");

  sim::HostVessel& v = *s->vessel("KX7");
  const double flaps[4] = {0.25, 0.75, 0.1, 0.9};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(v.animations[r.anim_flap[i]].state, flaps[i]) << i;
  EXPECT_EQ(v.animations[r.anim_gear].state, 1.0);
}

// Keys match in any letter case on their first three characters; a value that does not parse leaves
// its field (and every later one) as it was; only a line matching no key reaches the host.
TEST(RocketScenario, KeysValuesAndPartialLines) {
  Loaded l = load_rocket(
      "  eng 2\n"
      "  ENGINE 1\n"  // taken as ENG: the value starts at "INE", so nothing is read
      "  CAN 0.5 0.5\n"
      "  Can 0.25\n"       // one value: only the left forward flap moves
      "  WNG 0.3 x 0.7\n"  // stops at the unreadable second value
      "  LEG 3\n"
      "  thr 0.4\n"
      "  AUT 0 1\n");
  ASSERT_NE(l.rocket, nullptr);
  const tarvon_kx7& r = *l.rocket;
  EXPECT_EQ(r.engine_count, 2);
  EXPECT_EQ(r.flap_pos[0], 0.25);
  EXPECT_EQ(r.flap_pos[1], 0.5);
  EXPECT_EQ(r.flap_pos[2], 0.3);
  EXPECT_EQ(r.flap_pos[3], 0.0);
  EXPECT_EQ(r.trim, 0.09);
  EXPECT_EQ(r.gear_state, 3);
  EXPECT_EQ(r.gear_pos, 0.0);
  EXPECT_EQ(r.main_level, 0.4);
  EXPECT_EQ(r.prop_select, 0);
  EXPECT_EQ(r.landing_burn, 0);
  EXPECT_EQ(r.aero_mode, 1);
  EXPECT_EQ(r.skydive_land, 0);
}

// A number that is not finite is treated as unreadable, so no NaN or infinity reaches the animations
// or the engines.
TEST(RocketScenario, NonFiniteValuesAreNotTaken) {
  Loaded l = load_rocket("  CAN nan 0.5\n  LEG 1 inf\n  THR -nan 1\n  WNG 0.2 0.2 infinity\n");
  ASSERT_NE(l.rocket, nullptr);
  const tarvon_kx7& r = *l.rocket;
  EXPECT_EQ(r.flap_pos[0], 0.0);
  EXPECT_EQ(r.flap_pos[1], 0.0);
  EXPECT_EQ(r.gear_state, 1);
  EXPECT_EQ(r.gear_pos, 0.0);
  EXPECT_EQ(r.main_level, 0.0);
  EXPECT_EQ(r.prop_select, 0);
  EXPECT_EQ(r.flap_pos[2], 0.2);
  EXPECT_EQ(r.trim, 0.09);
  EXPECT_EQ(l.sim->nonfinite_calls(), 0);
}

// The lines the host reports as not its own, in the order it received them.
std::vector<std::string> host_skipped_lines(sim::Simulation& s) {
  const std::string marker = "skipped unknown scenario line of vessel 'KX7': ";
  std::vector<std::string> out;
  for (const std::string& entry : s.log()) {
    const size_t at = entry.find(marker);
    if (at != std::string::npos) out.push_back(entry.substr(at + marker.size()));
  }
  return out;
}

// Lines the rocket does not know go to the host untouched, in the order they come: the host places
// the vessel from its own lines and reports the ones it does not know either.
TEST(RocketScenario, OtherLinesGoToTheHostInOrder) {
  Loaded l = load_rocket("  FOO 1\n  ENG 1\n  BAR two  words\n  BAZ\n  ENGINE 2\n");
  ASSERT_NE(l.rocket, nullptr);
  EXPECT_EQ(l.rocket->engine_count, 1);
  EXPECT_EQ(l.v->status, sim::FlightStatus::Landed);
  EXPECT_EQ(host_skipped_lines(*l.sim), (std::vector<std::string>{"FOO 1", "BAR two  words", "BAZ"}));
}

// The target travels as one word: its first blank as '+'. A second blank ends the word, so such a
// name comes back cut there.
TEST(RocketScenario, TargetNamesWithBlanksAndPlus) {
  struct Case {
    const char* line;
    const char* loaded;
    const char* saved;
  };
  const Case cases[] = {
      {"TGT Cape+Canaveral", "Cape Canaveral", "TGT Cape+Canaveral"},
      {"TGT Wallops+Island Pad 2", "Wallops Island", "TGT Wallops+Island"},
      {"tgt Boca+Chica", "Boca Chica", "TGT Boca+Chica"},
      {"TGT Nowhere", "NULL", "TGT NULL"},  // neither a host object nor a base
      {"TGT", "NULL", "TGT NULL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Loaded l = load_rocket(std::string("  ") + c.line + "\n");
    ASSERT_NE(l.rocket, nullptr);
    EXPECT_STREQ(l.rocket->target_name, c.loaded);
    const std::vector<std::string> own = own_lines(saved_block(*l.sim, "KX7"));
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own.back(), c.saved);
  }
}

// A vessel target keeps its name; a name longer than the field is cut to its 255 characters and
// overruns nothing.
TEST(RocketScenario, OverlongTargetIsCutTo255Characters) {
  const std::string name255(255, 'Q');
  const std::string tgt = "  TGT " + name255 + std::string(100, 'Z') + "\n";
  const std::string ships = rocket_block("KX7", tgt) + rocket_block(name255, "");
  auto s = test_support::load(test_support::scenario(ships, 60000.5, "KX7"));
  sim::HostVessel* v = s->vessel("KX7");
  ASSERT_NE(v, nullptr);
  const tarvon_kx7& r = *static_cast<tarvon_kx7*>(v->iface);
  EXPECT_EQ(std::string(r.target_name), name255);
  // The fields behind the name are intact.
  EXPECT_EQ(r.tvc_pitch_up, v->thrusters[9].get());
  EXPECT_EQ(r.tvc_pitch_down, v->thrusters[10].get());
}

// Post-creation applies the loaded tank selection to the engines, the ground-dust emitter and the
// gimbal-torque thrusters; the RCS and the fuel dump keep their tanks.
TEST(RocketScenario, ReserveTankSelectedAtCreation) {
  Loaded l = load_rocket("  THR 0.0000 1\n");
  ASSERT_NE(l.rocket, nullptr);
  const tarvon_kx7& r = *l.rocket;
  for (THRUSTER_HANDLE th :
       {r.main_engine[0], r.main_engine[1], r.main_engine[2], r.ground_dust, r.tvc_pitch_up, r.tvc_pitch_down,
        r.tvc_yaw_a, r.tvc_yaw_b, r.tvc_roll_a, r.tvc_roll_b, r.tvc_roll_c, r.tvc_roll_d}) {
    EXPECT_EQ(th->res, r.reserve_tank);
  }
  for (THRUSTER_HANDLE th : r.rcs) EXPECT_EQ(th->res, r.rcs_tank);
  EXPECT_EQ(r.fuel_dump->res, r.main_tank);
  EXPECT_EQ(l.v->default_propellant, r.reserve_tank);
}

// Leg feet follow the loaded leg position: z = -16.78 - 2.15 gear_pos; the nose point stays.
TEST(RocketScenario, TouchdownPointsFollowLoadedLegs) {
  for (double gear_pos : {0.0, 0.5, 1.0}) {
    SCOPED_TRACE(gear_pos);
    Loaded l = load_rocket("  LEG 1 " + std::to_string(gear_pos) + "\n");
    ASSERT_NE(l.rocket, nullptr);
    ASSERT_EQ(l.v->touchdown.size(), 7u);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(l.v->touchdown[i].pos.z, -16.78 - 2.15 * gear_pos, 1e-12);
    EXPECT_EQ(l.v->touchdown[6].pos.z, 33.2);
    EXPECT_EQ(l.v->touchdown[0].pos.y, -5.5);
  }
}

}  // namespace

namespace {

// Re-entry mode re-edits the two body airfoils at creation: only their reference point and area are
// written, so they keep their coefficient functions, chord and aspect ratio.
TEST(RocketScenario, ReentryModeKeepsBodyAirfoilsWhole) {
  Loaded l = load_rocket("  AUT 0 1 0 0 0\n");
  ASSERT_NE(l.rocket, nullptr);
  EXPECT_EQ(l.rocket->aero_mode, 1);
  for (AIRFOILHANDLE a : {l.rocket->body_airfoil_v, l.rocket->body_airfoil_h}) {
    EXPECT_NE(a->cf, nullptr);
    EXPECT_EQ(a->ref.y, 0.2165);
    EXPECT_EQ(a->ref.z, -0.003);
    EXPECT_EQ(a->chord, 45.0);
    EXPECT_EQ(a->area, 450.0);
    EXPECT_EQ(a->aspect, 1.0);
  }
}

}  // namespace
