// The rocket object's life in the host: creation and destruction through the module exports, the
// generic cockpit view, and the target resolved at creation.
#include <gtest/gtest.h>

#include <string>

#include "tarvon_kx7/tarvon_kx7.h"
#include "tests/support/sim_fixture.h"

namespace {

constexpr const char* kLanded =
    "KX7:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 0\nEND\n";

TEST(RocketLifecycle, ExitIgnoresNullAndObjectsNeverConfigured) {
  auto s = test_support::load(test_support::scenario(kLanded));
  sim::HostVessel* v = s->vessel("KX7");
  ASSERT_NE(v, nullptr);
  ASSERT_NE(v->module, nullptr);
  v->module->ovcExit(nullptr);
  // An object that never received its configuration owns no animation components yet.
  VESSEL* bare = v->module->ovcInit(v, 1);
  ASSERT_NE(bare, nullptr);
  v->module->ovcExit(bare);
}

TEST(RocketLifecycle, GenericCockpitAppliesTheSelectedView) {
  auto s = test_support::load(test_support::scenario(kLanded));
  sim::HostVessel* v = s->vessel("KX7");
  ASSERT_NE(v, nullptr);
  auto* rocket = static_cast<tarvon_kx7*>(v->iface);
  struct Case {
    int view;
    VECTOR3 offset, dir;
  };
  const Case cases[] = {
      {3, {-5.25, 2.25, 19}, {0, 0, 1}}, {2, {0, 4, -12}, {0, -0.5, -0.866}},
      {1, {0, 0, 0}, {0, -0.866, 0.5}},  {4, {-6, 0.5, 5}, {0, 0, -1}},
      {7, {0, 0, 0}, {0, 0, 1}},  // outside 1..4: forward view
      {0, {0, 0, 0}, {0, 0, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    rocket->camera_view = c.view;
    // Called as the host calls it, through the callback interface.
    EXPECT_TRUE(static_cast<VESSEL2*>(v->iface)->clbkLoadGenericCockpit());
    EXPECT_EQ(v->camera_offset.x, c.offset.x);
    EXPECT_EQ(v->camera_offset.y, c.offset.y);
    EXPECT_EQ(v->camera_offset.z, c.offset.z);
    // The host keeps the direction as a unit vector; the table's 0.866 is sin 60 to three places.
    EXPECT_NEAR(v->camera_dir.x, c.dir.x, 1e-4);
    EXPECT_NEAR(v->camera_dir.y, c.dir.y, 1e-4);
    EXPECT_NEAR(v->camera_dir.z, c.dir.z, 1e-4);
    EXPECT_EQ(v->camera_tilt, 0.0);
    EXPECT_EQ(rocket->camera_view, c.view);
  }
}

// A target vessel gets the wind 1400 m above it sampled at creation; a base keeps the name but gets
// no wind; an unknown name becomes "NULL". The profile below is a single layer, so the wind is the
// same at every height: 3 m/s towards east, 4 m/s towards south.
TEST(RocketLifecycle, TargetResolvedAtCreation) {
  const std::string text =
      "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD 60000.5\n  WIND 0 3.0 -4.0\nEND_ENVIRONMENT\n\n"
      "BEGIN_FOCUS\n  Ship KX7\nEND_FOCUS\n\n"
      "BEGIN_SHIPS\n"
      "KX7:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 0\n  TGT Other\nEND\n"
      "Other:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.6 28.6\n  HEADING 0\n  TGT Cape+Canaveral\nEND\n"
      "Third:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.7 28.5\n  HEADING 0\n  TGT Atlantis\nEND\n"
      "END_SHIPS\n";
  auto s = test_support::load(text);
  auto* to_vessel = static_cast<tarvon_kx7*>(s->vessel("KX7")->iface);
  auto* to_base = static_cast<tarvon_kx7*>(s->vessel("Other")->iface);
  auto* to_nothing = static_cast<tarvon_kx7*>(s->vessel("Third")->iface);

  EXPECT_STREQ(to_vessel->target_name, "Other");
  EXPECT_NEAR(to_vessel->target_wind.x, 3.0, 1e-9);
  EXPECT_NEAR(to_vessel->target_wind.y, 0.0, 1e-9);
  EXPECT_NEAR(to_vessel->target_wind.z, -4.0, 1e-9);
  EXPECT_NEAR(to_vessel->target_windspeed, 5.0, 1e-9);

  EXPECT_STREQ(to_base->target_name, "Cape Canaveral");
  EXPECT_EQ(to_base->target_windspeed, 0.0);
  EXPECT_EQ(to_base->target_wind.x, 0.0);
  EXPECT_EQ(to_base->target_wind.z, 0.0);

  EXPECT_STREQ(to_nothing->target_name, "NULL");
  EXPECT_EQ(to_nothing->target_windspeed, 0.0);
}

}  // namespace
