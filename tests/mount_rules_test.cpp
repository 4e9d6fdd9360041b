// The launch mount's rules as pure functions: stream descriptions, stream and burst levels, the
// release test and the count after it, the floodlight rule, the crew's switches, the typed name and
// the scenario line.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "velk_pad/first_word.h"
#include "velk_pad/floodlight_rule.h"
#include "velk_pad/gravity_at_distance.h"
#include "velk_pad/key_rules.h"
#include "velk_pad/release_rule.h"
#include "velk_pad/state_line.h"
#include "velk_pad/stream_descriptions.h"
#include "velk_pad/stream_rule.h"

namespace {

struct DescriptionCase {
  mount_stream kind;
  bool client;
  double size, rate, v0, spread, lifetime, growth, slowdown;
};

TEST(MountStreamDescriptions, BothVariantsOfEachStream) {
  const DescriptionCase cases[] = {
      {mount_stream::a, false, 0.5, 15, 0.5, 15, 2, 1.5, 0.4},
      {mount_stream::a, true, 0.6, 15, 0.5, 15, 3, 3, 0.4},
      {mount_stream::b, false, 0.3, 20, 5, 0.25, 2, 0.5, 0.75},
      {mount_stream::b, true, 0.4, 20, 5, 0.25, 2, 1, 0.75},
      {mount_stream::c, false, 0.5, 20, 8, 0.15, 0.6, 0.5, 1.25},
      {mount_stream::c, true, 0.6, 20, 8, 0.15, 0.6, 1, 1.25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "stream " << static_cast<int>(c.kind) << " client " << c.client);
    const PARTICLESTREAMSPEC s = mount_stream_description(c.kind, c.client);
    EXPECT_EQ(s.flags, 0u);
    EXPECT_DOUBLE_EQ(s.srcsize, c.size);
    EXPECT_DOUBLE_EQ(s.srcrate, c.rate);
    EXPECT_DOUBLE_EQ(s.v0, c.v0);
    EXPECT_DOUBLE_EQ(s.srcspread, c.spread);
    EXPECT_DOUBLE_EQ(s.lifetime, c.lifetime);
    EXPECT_DOUBLE_EQ(s.growthrate, c.growth);
    EXPECT_DOUBLE_EQ(s.atmslowdown, c.slowdown);
    EXPECT_EQ(s.ltype, PARTICLESTREAMSPEC::EMISSIVE);
    EXPECT_EQ(s.levelmap, PARTICLESTREAMSPEC::LVL_SQRT);
    EXPECT_EQ(s.lmin, 0.0);
    EXPECT_EQ(s.lmax, 1.0);
    EXPECT_EQ(s.atmsmap, PARTICLESTREAMSPEC::ATM_FLAT);
    EXPECT_EQ(s.amin, 1.0);
    EXPECT_EQ(s.amax, 1.0);
    EXPECT_EQ(s.tex, nullptr);
  }
}

TEST(MountStreamRule, BaseLevel) {
  struct Case {
    int streams_off;
    bool attached;
    double accel;
    double level;
  } cases[] = {
      {0, true, 1.0, 1.0},   {0, true, 10.0, 1.0}, {0, true, std::nextafter(10.0, 11.0), 0.0},
      {0, true, 100.0, 0.0}, {1, true, 1.0, 0.0},  {-3, true, 1.0, 0.0},
      {0, false, 1.0, 0.0},  {0, true, 0.1, 1.0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base_stream_level(c.streams_off, c.attached, c.accel), c.level)
        << c.streams_off << " " << c.attached << " " << c.accel;
  }
}

TEST(MountStreamRule, Burst) {
  // Threshold 0.99 without a client, 0.995 with one; the draw must exceed it.
  struct Case {
    burst_state in;
    double base, u, offset, dt;
    burst_state out;
  } cases[] = {
      {{0, 0}, 1, 0.995, 0.0, 0.02, {1, 0}},    // starts; the timer does not move this step
      {{0, 0}, 1, 0.99, 0.0, 0.02, {0, 0}},     // exactly at the threshold: no burst
      {{0, 0}, 1, 0.995, 0.005, 0.02, {0, 0}},  // a client raises the threshold
      {{0, 0}, 1, 0.996, 0.005, 0.02, {1, 0}},  {{1, 2.0}, 1, 0.1, 0.0, 0.5, {1, 2.5}},  // running: counts
      {{1, 2.0}, 1, 0.999, 0.0, 0.5, {1, 2.5}},  // a high draw while running only counts
      {{1, 5.5}, 1, 0.1, 0.0, 0.5, {1, 6.0}},    // exactly 6 s: not yet past
      {{1, 5.9}, 1, 0.1, 0.0, 0.2, {0, 0}},      // past 6 s: ends and resets
      {{1, 3.0}, 0, 0.999, 0.0, 0.5, {0, 3.0}},  // streams stop: dark, elapsed time kept
      {{0, 3.0}, 1, 0.1, 0.0, 0.5, {0, 3.0}},    // idle: nothing moves
      {{0, 3.0}, 1, 0.999, 0.0, 0.5, {1, 3.0}},  // the next burst starts from the kept time
  };
  for (const auto& c : cases) {
    const burst_state r = next_burst(c.in, c.base, c.u, c.offset, c.dt);
    EXPECT_EQ(r.level, c.out.level) << c.in.level << " " << c.in.timer_s << " u " << c.u;
    EXPECT_NEAR(r.timer_s, c.out.timer_s, 1e-12) << c.in.level << " " << c.in.timer_s << " u " << c.u;
  }
}

TEST(MountReleaseRule, ExactlyEqualThrustHoldsAnyExcessReleases) {
  const double m = 123456.0, g = 9.7981;
  const double weight = m * g;
  EXPECT_FALSE(thrust_exceeds_weight(weight, m, g));
  EXPECT_TRUE(thrust_exceeds_weight(std::nextafter(weight, 2 * weight), m, g));
  EXPECT_FALSE(thrust_exceeds_weight(std::nextafter(weight, 0.0), m, g));
  EXPECT_FALSE(thrust_exceeds_weight(0.0, m, g));
  EXPECT_FALSE(thrust_exceeds_weight(-5.0 * weight, m, g));  // pushing down never releases
  EXPECT_FALSE(thrust_exceeds_weight(std::nan(""), m, g));
}

TEST(MountReleaseRule, CountAfterRelease) {
  release_count c{2, 0.0, 0};
  c = count_release(c, 0.02);
  EXPECT_EQ(c.hold_state, 2);
  EXPECT_DOUBLE_EQ(c.timer_s, 0.02);
  c = count_release({2, 9.5, 0}, 0.5);  // exactly 10 s: still counting
  EXPECT_EQ(c.hold_state, 2);
  EXPECT_EQ(c.lights_mode, 0);
  c = count_release(c, 0.02);  // past 10 s: waiting again, lights off
  EXPECT_EQ(c.hold_state, 0);
  EXPECT_EQ(c.timer_s, 0.0);
  EXPECT_EQ(c.lights_mode, 1);
}

TEST(MountFloodlightRule, ModesAndSky) {
  struct Case {
    int mode;
    double sun_y;
    flood_command cmd;
  } cases[] = {
      {0, -1.0, flood_command::on},   {0, 1.0, flood_command::off}, {0, 0.0, flood_command::keep},
      {1, -1.0, flood_command::off},  {1, 1.0, flood_command::off}, {2, -1.0, flood_command::keep},
      {-1, 1.0, flood_command::keep},
  };
  for (const auto& c : cases)
    EXPECT_EQ(floodlight_command(c.mode, c.sun_y), c.cmd) << c.mode << " " << c.sun_y;
}

TEST(MountKeyRules, Toggles) {
  EXPECT_EQ(toggled_lights_mode(0), 1);
  EXPECT_EQ(toggled_lights_mode(1), 0);
  EXPECT_EQ(toggled_lights_mode(2), 2);
  EXPECT_EQ(toggled_streams_off(0), 1);
  EXPECT_EQ(toggled_streams_off(1), 0);
  EXPECT_EQ(toggled_streams_off(7), 0);
}

TEST(MountTypedName, FirstWordBounded) {
  char out[256];
  struct Case {
    std::string text;
    bool ok;
    std::string word;
  } cases[] = {
      {"KX7", true, "KX7"},
      {"KX7 second word", true, "KX7"},
      {"   KX7\tx", true, "KX7"},
      {"", false, ""},
      {"    ", false, ""},
      {std::string(255, 'a'), true, std::string(255, 'a')},
      {std::string(255, 'a') + " tail", true, std::string(255, 'a')},
      {std::string(256, 'a'), false, ""},
      {std::string(5000, 'b') + " KX7", false, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(first_word(c.text.c_str(), out), c.ok) << c.text.size();
    EXPECT_EQ(std::string(out), c.word) << c.text.size();
  }
  EXPECT_FALSE(first_word(nullptr, out));
}

TEST(MountStateLine, FormatAndParse) {
  EXPECT_EQ(format_state_values({1, 0, 1, 3.25}), "1 0 1 3.2");
  EXPECT_EQ(format_state_values({2, 1, 0, 9.96}), "2 1 0 10.0");

  EXPECT_TRUE(is_state_line("STTS 1 0 0 0.0"));
  EXPECT_TRUE(is_state_line("stts 1 0 0 0.0"));
  EXPECT_TRUE(is_state_line("StTs"));
  EXPECT_FALSE(is_state_line("STT"));
  EXPECT_FALSE(is_state_line("STATUS Landed Earth"));

  struct Case {
    const char* values;
    mount_saved_state out;
  } cases[] = {
      {" 1 1 1 4.5", {1, 1, 1, 4.5}},
      {" 2 0", {2, 0, 9, 7.0}},  // missing values keep theirs
      {"", {5, 6, 9, 7.0}},
      {" 1 x 1 1.0", {1, 6, 9, 7.0}},  // parsing stops at the first word that is not a number
      {" 2 1 0 nan", {2, 1, 0, 7.0}},  // a timer that is not finite is ignored
      {" 2 1 0 inf", {2, 1, 0, 7.0}},
  };
  for (const auto& c : cases) {
    mount_saved_state s{5, 6, 9, 7.0};
    parse_state_values(c.values, s);
    EXPECT_EQ(s.hold_state, c.out.hold_state) << c.values;
    EXPECT_EQ(s.lights_mode, c.out.lights_mode) << c.values;
    EXPECT_EQ(s.streams_off, c.out.streams_off) << c.values;
    EXPECT_EQ(s.release_timer_s, c.out.release_timer_s) << c.values;
  }
}

TEST(MountGravity, PointMass) {
  // g = G M / r^2 = 6.67259e-11 * 5.97e24 / 6.371e6^2 = 9.8143 m/s^2.
  const auto g = gravity_at_distance_m_s2(5.97e24, 6.371e6);
  ASSERT_TRUE(g.has_value());
  EXPECT_NEAR(*g, 6.67259e-11 * 5.97e24 / (6.371e6 * 6.371e6), 1e-12);
  EXPECT_NEAR(*g, 9.81, 0.01);
  EXPECT_FALSE(gravity_at_distance_m_s2(5.97e24, 0.0).has_value());
  EXPECT_FALSE(gravity_at_distance_m_s2(5.97e24, -1.0).has_value());
  EXPECT_FALSE(gravity_at_distance_m_s2(5.97e24, std::nan("")).has_value());
  EXPECT_FALSE(gravity_at_distance_m_s2(1e300, 1e-300).has_value());
}

}  // namespace
