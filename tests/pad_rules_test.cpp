// The landing pad's rules as pure functions: day and night, which vessel calls for the floodlight,
// the N switch and the scenario line.
#include <gtest/gtest.h>

#include <cmath>

#include "dorrick/light_rule.h"
#include "dorrick/scenario_state.h"

namespace {

TEST(PadLightRule, SkyFromSunHeight) {
  EXPECT_EQ(sky_at_pad(-1e11), pad_sky::night);
  EXPECT_EQ(sky_at_pad(1e11), pad_sky::day);
  EXPECT_EQ(sky_at_pad(0.0), pad_sky::horizon);
}

TEST(PadLightRule, WhichVesselCallsForTheLight) {
  // r: position in the pad's frame (x, height, z).
  struct Case {
    const char* what;
    VECTOR3 r;
    bool lit;
  } cases[] = {
      {"hovering 1000 m above", {0, 1000, 0}, true},
      {"parked 200 m from the centre", {200, 0, 0}, true},
      {"parked 400 m away", {0, 0, 400}, false},
      {"exactly 50 m high, 100 m out", {100, 50, 0}, false},
      {"just above 50 m, 100 m out", {100, 50.001, 0}, true},
      {"49 m high, 299 m out", {0, 49, 299}, true},
      {"49 m high, exactly 300 m out", {0, 49, 300}, false},
      {"4999 m straight above", {0, 4999, 0}, true},
      {"exactly 5000 m straight above", {0, 5000, 0}, false},  // not below the ceiling
      {"5001 m straight above", {0, 5001, 0}, false},
      {"5001 m away, 100 m high", {std::sqrt(5001.0 * 5001.0 - 100.0 * 100.0), 100, 0}, false},
      {"4990 m away, 100 m high", {std::sqrt(4990.0 * 4990.0 - 100.0 * 100.0), 100, 0}, true},
      {"deep below the pad, close", {0, -4000, 10}, true},  // lower than 50 m and within 300 m
      {"5001 m below", {0, -5001, 0}, false},
      {"at the pad's centre", {0, 0, 0}, true},
      {"position not a number", {std::nan(""), 100, 0}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(vessel_calls_for_light(c.r), c.lit) << c.what;
}

TEST(PadKeyRule, MeshToggle) {
  EXPECT_EQ(toggled_mesh_hidden(0), 1);
  EXPECT_EQ(toggled_mesh_hidden(1), 0);
  EXPECT_EQ(toggled_mesh_hidden(2), 2);
  EXPECT_EQ(toggled_mesh_hidden(-1), -1);
}

TEST(PadScenarioLine, KeyAndValue) {
  EXPECT_TRUE(is_visibility_line("PADVIS 1"));
  EXPECT_TRUE(is_visibility_line("padvis 1"));
  EXPECT_FALSE(is_visibility_line("PADVI"));
  EXPECT_FALSE(is_visibility_line("POS -80 28"));
  int v = 7;
  parse_visibility_value(" 1", v);
  EXPECT_EQ(v, 1);
  parse_visibility_value("", v);
  EXPECT_EQ(v, 1);  // no number: unchanged
  parse_visibility_value(" x", v);
  EXPECT_EQ(v, 1);
  parse_visibility_value(" 2", v);
  EXPECT_EQ(v, 2);
}

}  // namespace
