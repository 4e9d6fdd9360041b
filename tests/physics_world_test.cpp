// The world the modules stand in: landed vessels of the three classes resting on their touchdown
// points, and day and night following the date and the longitude.
#include <cmath>

#include "tests/physics_fixture.h"

namespace {

std::unique_ptr<sim::Simulation> landed(const std::string& cls, double lon, double lat,
                                        double mjd = 60000.5) {
  char block[256];
  std::snprintf(block, sizeof block, "V:%s\n  STATUS Landed Earth\n  POS %.6f %.6f\n  HEADING 40\nEND\n",
                cls.c_str(), lon, lat);
  return test_support::load(test_support::scenario(block, mjd));
}

double depth(const sim::HostVessel& v, const TOUCHDOWNVTX& td) {
  return v.ref->radius - length(v.pos + mul(v.rot, td.pos) - v.ref->pos);
}

TEST(Landed, EachClassStandsOnItsTouchdownPointsAndStaysPut) {
  for (const char* cls : {"tarvon_kx7", "velk_pad", "dorrick"}) {
    SCOPED_TRACE(cls);
    auto s = landed(cls, -80.675, 28.52);
    sim::HostVessel& v = *s->vessel("V");
    ASSERT_GE(v.touchdown.size(), 3u);
    EXPECT_TRUE(v.resting);
    EXPECT_TRUE(v.ground_contact);
    // The first three points (the feet) sit on the ground; no point is below it.
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_GE(depth(v, v.touchdown[i]), 0.0) << i;
      EXPECT_LT(depth(v, v.touchdown[i]), 1e-3) << i;
    }
    for (const TOUCHDOWNVTX& td : v.touchdown) EXPECT_LT(depth(v, td), 1e-3);
    const VECTOR3 up = unit(v.pos - v.ref->pos);
    if (std::string(cls) == "tarvon_kx7") {
      // The rocket stands nose up on its legs.
      EXPECT_GT(dotp(mul(v.rot, _V(0, 0, 1)), up), 1.0 - 1e-9);
    } else {
      EXPECT_GT(dotp(mul(v.rot, _V(0, 1, 0)), up), 1.0 - 1e-9);
    }
    const VECTOR3 start = tmul(sim::body_rotation(*v.ref, s->time()), v.pos - v.ref->pos);
    test_support::run_for(*s, 20.0, 0.05);
    EXPECT_TRUE(v.resting);
    EXPECT_TRUE(v.ground_contact);
    EXPECT_LT(dist(tmul(sim::body_rotation(*v.ref, s->time()), v.pos - v.ref->pos), start), 1e-4);
    EXPECT_FALSE(v.touchdown_record.has_value());
  }
}

// Elevation of the Sun (deg) seen from a vessel.
double sun_elevation(sim::Simulation& s, const sim::HostVessel& v) {
  const VECTOR3 up = unit(v.pos - v.ref->pos);
  const VECTOR3 to_sun = unit(s.body("Sun")->pos - v.pos);
  return std::asin(std::clamp(dotp(up, to_sun), -1.0, 1.0)) * DEG;
}

TEST(DayAndNight, SunFollowsTheDateAndTheLongitude) {
  // The Sun stands over longitude 180 - 360 frac(MJD) on the equator (no obliquity), so from
  // (lon, lat) its elevation is asin(cos lat cos(lon - lon_sun)).
  struct Case {
    double mjd, lon, lat;
  } cases[] = {{60000.5, 0, 0},  {60000.5, 90, 0},          {60000.5, 180, 0},          {60000.25, 90, 0},
               {60000.25, 0, 0}, {60000.0, -80.675, 28.52}, {60000.75, -80.675, 28.52}, {60001.6, 30, -45}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mjd << " " << c.lon << " " << c.lat);
    auto s = landed("dorrick", c.lon, c.lat, c.mjd);
    sim::HostVessel& pad = *s->vessel("V");
    const double lon_sun = 180.0 - 360.0 * (c.mjd - std::floor(c.mjd));
    const double want = std::asin(std::cos(c.lat * RAD) * std::cos((c.lon - lon_sun) * RAD)) * DEG;
    EXPECT_NEAR(sun_elevation(*s, pad), want, 0.05);
  }
  // At MJD 60000.5 the Sun stands over longitude 0 and moves west by 360 degrees per sidereal
  // period (86164.1 s): six hours later it stands over -90.25. A pad there sees it just below the
  // horizon at the start and overhead at the end.
  auto s = landed("dorrick", -90.2526, 0.0, 60000.5);
  sim::HostVessel& pad = *s->vessel("V");
  EXPECT_NEAR(sun_elevation(*s, pad), -0.2526, 0.05);  // just before sunrise
  test_support::run_for(*s, 21600.0, 10.0);
  EXPECT_NEAR(sun_elevation(*s, pad), 90.0, 0.1);
  EXPECT_NEAR(s->mjd(), 60000.75, 1e-9);
}

}  // namespace
