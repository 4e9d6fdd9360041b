// The launch mount inside the host: its set-up, the hold and release of a vessel, the streams and
// bursts, the floodlights, the crew's keys and input box, and its scenario line. No graphics client
// is loaded in this program.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "sim/records.h"
#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"
#include "velk_pad/velk_pad.h"

namespace {

// At MJD x.0 it is midnight at longitude 0, at x.5 noon.
constexpr double kNight = 60000.0;
constexpr double kDay = 60000.5;

const std::string kMount =
    "Mount:velk_pad\n"
    "  STATUS Landed Earth\n"
    "  POS 0.0 0.0\n"
    "  HEADING 0\n";

// The rocket standing on the mount, restored by the host from its ATTACHED line.
const std::string kHeldRocket =
    "KX7:tarvon_kx7\n"
    "  STATUS Landed Earth\n"
    "  POS 0.0 0.0\n"
    "  HEADING 0\n"
    "  ATTACHED 0:0,Mount\n"
    "END\n";

// The rocket parked 500 m away, free.
const std::string kFreeRocket =
    "KX7:tarvon_kx7\n"
    "  STATUS Landed Earth\n"
    "  POS 0.0045 0.0\n"
    "  HEADING 0\n"
    "END\n";

velk_pad& mount(sim::Simulation& s, const char* name = "Mount") {
  return *static_cast<velk_pad*>(s.vessel(name)->iface);
}

std::unique_ptr<sim::Simulation> load(const std::string& mount_lines, const std::string& others, double mjd) {
  return test_support::load(test_support::scenario(kMount + mount_lines + "END\n" + others, mjd));
}

int count_lines(sim::Simulation& s, const std::string& text) {
  return static_cast<int>(std::count(s.log().begin(), s.log().end(), text));
}

bool lights_on(sim::Simulation& s, const char* name = "Mount") {
  const auto& l = s.vessel(name)->lights;
  EXPECT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0]->IsActive(), l[1]->IsActive());
  return l[0]->IsActive();
}

// Gives the held vessel a thrust along its own z axis: a thruster of its own, at full level, on a
// small tank, with no pressure dependence. Returns it so the test can set its rating.
HostThruster& add_lift_thruster(sim::HostVessel& v) {
  v.propellants.push_back(std::make_unique<HostPropellant>());
  HostPropellant& p = *v.propellants.back();
  p.max_mass = p.mass = 10.0;
  v.thrusters.push_back(std::make_unique<HostThruster>());
  HostThruster& t = *v.thrusters.back();
  t.dir = _V(0, 0, 1);
  t.isp_vac = 1e9;
  t.isp_ref = 0.0;
  t.res = &p;
  t.level = 1.0;
  t.max0 = 0.0;
  return t;
}

TEST(MountSetUp, ConfigurationWithoutGraphicsClient) {
  auto s = load("", "", kNight);
  sim::HostVessel& v = *s->vessel("Mount");
  velk_pad& m = mount(*s);

  EXPECT_EQ(v.empty_mass, 500000.0);
  EXPECT_EQ(v.size, 9.0);
  ASSERT_EQ(v.touchdown.size(), 3u);
  EXPECT_EQ(v.touchdown[1].pos.x, -43.3);
  EXPECT_EQ(v.touchdown[1].pos.y, -3.05);
  EXPECT_EQ(v.touchdown[1].damping, 1000000.0);
  ASSERT_EQ(v.meshes.size(), 1u);
  EXPECT_EQ(v.meshes[0].name, "tarvon_kx7/velk_pad");
  EXPECT_EQ(v.meshes[0].visibility, MESHVIS_ALWAYS);

  // Five streams: A below the holding point, three B radial, C the burst stream.
  ASSERT_EQ(v.particle_streams.size(), 5u);
  const double sizes[5] = {0.5, 0.3, 0.3, 0.3, 0.5};
  const double lifetimes[5] = {2, 2, 2, 2, 0.6};
  for (int i = 0; i < 5; ++i) {
    const HostParticleStream& ps = *v.particle_streams[i];
    EXPECT_EQ(ps.spec.srcsize, sizes[i]) << i;
    EXPECT_EQ(ps.spec.lifetime, lifetimes[i]) << i;
    EXPECT_EQ(ps.level_ptr, i < 4 ? &m.stream_level : &m.burst_level) << i;
  }
  EXPECT_EQ(v.particle_streams[0]->spec.growthrate, 1.5);
  EXPECT_EQ(v.particle_streams[3]->pos.x, 4.3);
  EXPECT_EQ(v.particle_streams[3]->dir.x, 0.966);
  EXPECT_EQ(v.particle_streams[4]->pos.y, 27.0);
  EXPECT_EQ(m.burst_chance_offset, 0.0);

  // Two floodlights, dark right after creation even at night.
  ASSERT_EQ(v.lights.size(), 2u);
  const auto* spot = dynamic_cast<const SpotLight*>(v.lights[0].get());
  ASSERT_NE(spot, nullptr);
  EXPECT_EQ(spot->GetRange(), 5000.0);
  EXPECT_DOUBLE_EQ(spot->GetUmbra(), 90.0 * RAD);
  EXPECT_DOUBLE_EQ(spot->GetPenumbra(), 150.0 * RAD);
  EXPECT_EQ(spot->GetAttenuation()[2], 0.00035);
  EXPECT_EQ(spot->GetPosition().x, 40.0);
  EXPECT_FALSE(lights_on(*s));

  // The holding point for a child.
  ASSERT_EQ(v.attachments.size(), 1u);
  EXPECT_FALSE(v.attachments[0]->toparent);
  EXPECT_EQ(v.attachments[0]->id, "QV");
  EXPECT_EQ(v.attachments[0]->pos.y, 3.43);
  EXPECT_EQ(m.hold_point, v.attachments[0].get());

  EXPECT_EQ(m.hold_state, 0);
  EXPECT_EQ(m.lights_mode, 0);
  EXPECT_EQ(m.streams_off, 0);
  EXPECT_EQ(m.stream_level, 0.0);
  EXPECT_EQ(m.burst_level, 0.0);
}

TEST(MountSetUp, LocalGravityAtPostCreation) {
  auto s = load("", "", kNight);
  const sim::HostVessel& v = *s->vessel("Mount");
  // g = G M / r^2 with the mount's distance from the Earth's centre (mean radius plus the height
  // of its origin above ground).
  const sim::Body& earth = *s->body("Earth");
  const double r = length(v.pos - earth.pos);
  EXPECT_DOUBLE_EQ(mount(*s).local_gravity, 6.67259e-11 * earth.mass / (r * r));
  EXPECT_NEAR(mount(*s).local_gravity, 9.82, 0.01);
}

TEST(MountSetUp, EachMountLogsTheMissingClient) {
  const std::string second = "Mount2:velk_pad\n  STATUS Landed Earth\n  POS 1.0 0.0\n  HEADING 0\nEND\n";
  auto s = load("", second, kNight);
  EXPECT_EQ(count_lines(*s, "gcAPI: [Graphics Client Not Found]"), 2);
}

TEST(MountFloodlights, FollowTheSunInAutomatic) {
  auto night = load("", "", kNight);
  night->step(0.02);
  EXPECT_TRUE(lights_on(*night));
  night.reset();
  auto day = load("", "", kDay);
  day->step(0.02);
  EXPECT_FALSE(lights_on(*day));
}

TEST(MountHold, HeldVesselEntersHoldingAndRunsStreams) {
  auto s = load("", kHeldRocket, kNight);
  ASSERT_EQ(s->vessel("KX7")->parent(), s->vessel("Mount"));
  s->step(0.02);
  EXPECT_EQ(mount(*s).hold_state, 1);
  EXPECT_EQ(mount(*s).stream_level, 1.0);
  EXPECT_EQ(s->vessel("Mount")->particle_streams[1]->level(), 1.0);
}

TEST(MountHold, ExactlyEqualThrustStaysHeldAnyExcessReleases) {
  auto s = load("", kHeldRocket, kNight);
  sim::HostVessel& rocket = *s->vessel("KX7");
  HostThruster& lift = add_lift_thruster(rocket);
  velk_pad& m = mount(*s);
  s->step(0.02);
  ASSERT_EQ(m.hold_state, 1);

  // Thrust along +z equal to m g of this frame: F.z - m g = 0, not above 0.
  lift.max0 = rocket.mass() * m.local_gravity;
  s->step(0.02);
  EXPECT_EQ(m.hold_state, 1);
  EXPECT_EQ(rocket.parent(), s->vessel("Mount"));

  // The smallest excess releases in that step; the count starts in the same step.
  lift.max0 = std::nextafter(rocket.mass() * m.local_gravity, INFINITY);
  s->step(0.02);
  EXPECT_EQ(m.hold_state, 2);
  EXPECT_EQ(rocket.parent(), nullptr);
  EXPECT_EQ(m.stream_level, 0.0);
  EXPECT_DOUBLE_EQ(m.release_timer, 0.02);
}

TEST(MountHold, ThrustAcrossTheVesselAxisDoesNotRelease) {
  auto s = load("", kHeldRocket, kNight);
  sim::HostVessel& rocket = *s->vessel("KX7");
  HostThruster& side = add_lift_thruster(rocket);
  side.dir = _V(1, 0, 0);
  side.max0 = 100.0 * rocket.mass() * mount(*s).local_gravity;
  test_support::run_for(*s, 0.2);
  EXPECT_EQ(mount(*s).hold_state, 1);
  EXPECT_EQ(rocket.parent(), s->vessel("Mount"));
}

TEST(MountHold, LightsGoOffTenSecondsAfterReleaseAndKReturnsThemToAutomatic) {
  auto s = load("", kHeldRocket, kNight);
  sim::HostVessel& rocket = *s->vessel("KX7");
  HostThruster& lift = add_lift_thruster(rocket);
  velk_pad& m = mount(*s);
  lift.max0 = 2.0 * rocket.mass() * m.local_gravity;
  s->step(0.1);  // holding starts and the release test passes in the same step
  ASSERT_EQ(m.hold_state, 2);
  EXPECT_TRUE(lights_on(*s));
  lift.level = 0.0;

  // 0.1 s counted in the release step; 99 more steps make 10.0 s (rounded), the next one exceeds it.
  for (int i = 0; i < 98; ++i) s->step(0.1);
  EXPECT_EQ(m.hold_state, 2);
  EXPECT_TRUE(lights_on(*s));
  EXPECT_NEAR(m.release_timer, 9.9, 1e-9);
  s->step(0.2);
  EXPECT_EQ(m.hold_state, 0);
  EXPECT_EQ(m.release_timer, 0.0);
  EXPECT_EQ(m.lights_mode, 1);
  EXPECT_FALSE(lights_on(*s));  // off although it is night
  s->step(0.1);
  EXPECT_FALSE(lights_on(*s));

  s->press_key(OAPI_KEY_K);
  EXPECT_EQ(m.lights_mode, 0);
  s->step(0.1);
  EXPECT_TRUE(lights_on(*s));
}

TEST(MountHold, StreamsOffStillHoldsAndReleases) {
  auto s = load("  STTS 0 0 1 0.0\n", kHeldRocket, kNight);
  sim::HostVessel& rocket = *s->vessel("KX7");
  HostThruster& lift = add_lift_thruster(rocket);
  velk_pad& m = mount(*s);
  for (int i = 0; i < 500; ++i) {
    s->step(0.02);
    ASSERT_EQ(m.stream_level, 0.0);
    ASSERT_EQ(m.burst_level, 0.0);
  }
  EXPECT_EQ(m.hold_state, 1);
  lift.max0 = 2.0 * rocket.mass() * m.local_gravity;
  s->step(0.02);
  EXPECT_EQ(m.hold_state, 2);
  EXPECT_EQ(rocket.parent(), nullptr);
}

TEST(MountHold, TimeAccelerationAboveTenStopsStreamsAndBurst) {
  auto s = load("", kHeldRocket, kNight);
  velk_pad& m = mount(*s);
  s->set_time_acceleration(10.0);
  // A burst starts with a chance of 1% a step; run until one does.
  int steps = 0;
  while (m.burst_level == 0.0 && steps < 20000) {
    s->step(0.02);
    ++steps;
    ASSERT_EQ(m.stream_level, 1.0);
  }
  ASSERT_EQ(m.burst_level, 1.0);
  s->step(0.02);
  const double elapsed = m.burst_timer;
  EXPECT_DOUBLE_EQ(elapsed, 0.02);

  s->set_time_acceleration(10.5);
  s->step(0.02);
  EXPECT_EQ(m.stream_level, 0.0);
  EXPECT_EQ(m.burst_level, 0.0);
  EXPECT_EQ(m.burst_timer, elapsed);  // a burst cut short keeps its time
  EXPECT_EQ(m.hold_state, 1);         // the hold goes on

  s->set_time_acceleration(10.0);
  s->step(0.02);
  EXPECT_EQ(m.stream_level, 1.0);
}

TEST(MountHold, BurstEndsAfterSixSeconds) {
  auto s = load("", kHeldRocket, kNight);
  velk_pad& m = mount(*s);
  int steps = 0;
  while (m.burst_level == 0.0 && steps < 20000) {
    s->step(0.1);
    ++steps;
  }
  ASSERT_EQ(m.burst_level, 1.0);
  // 60 steps of 0.1 s reach 6.0 s (rounded); the burst ends in the step that passes 6 s.
  for (int i = 0; i < 59; ++i) {
    s->step(0.1);
    ASSERT_EQ(m.burst_level, 1.0) << i;
  }
  s->step(0.1);
  s->step(0.1);
  EXPECT_EQ(m.burst_level, 0.0);
  EXPECT_EQ(m.burst_timer, 0.0);
}

TEST(MountHold, HoldingWithNothingAttachedWaitsAgain) {
  // A state saved while holding, loaded without the vessel.
  auto s = load("  STTS 1 0 0 0.0\n", "", kNight);
  velk_pad& m = mount(*s);
  ASSERT_EQ(m.hold_state, 1);
  s->step(0.02);
  EXPECT_EQ(m.hold_state, 0);
  EXPECT_EQ(m.stream_level, 0.0);
  EXPECT_EQ(m.lights_mode, 0);
  EXPECT_TRUE(lights_on(*s));

  // A held vessel set free by other means.
  auto t = load("", kHeldRocket, kNight);
  velk_pad& n = mount(*t);
  t->step(0.02);
  ASSERT_EQ(n.hold_state, 1);
  ASSERT_TRUE(t->detach(*t->vessel("Mount"), t->vessel("Mount")->attachments[0].get(), 0.0));
  t->step(0.02);
  EXPECT_EQ(n.hold_state, 0);
  EXPECT_EQ(n.release_timer, 0.0);
  EXPECT_EQ(n.lights_mode, 0);
}

TEST(MountKeys, KAndVWithCtrlActShiftAndReleasePassOn) {
  auto s = load("", "", kNight);
  velk_pad& m = mount(*s);
  sim::HostVessel& v = *s->vessel("Mount");
  // press_key delivers the press and the release: a release that acted would undo the press.
  s->press_key(OAPI_KEY_K);
  EXPECT_EQ(m.lights_mode, 1);
  s->press_key(OAPI_KEY_K, /*ctrl=*/true);
  EXPECT_EQ(m.lights_mode, 0);
  s->press_key(OAPI_KEY_K, false, /*shift=*/true);
  EXPECT_EQ(m.lights_mode, 0);
  s->press_key(OAPI_KEY_V);
  EXPECT_EQ(m.streams_off, 1);
  s->press_key(OAPI_KEY_V, true);
  EXPECT_EQ(m.streams_off, 0);
  s->press_key(OAPI_KEY_V, false, true);
  EXPECT_EQ(m.streams_off, 0);

  // Direct calls for the results the host sees.
  char ks[256] = {};
  auto* cb = static_cast<VESSEL2*>(v.iface);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_K, false, ks), 0);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_X, true, ks), 0);
  ks[OAPI_KEY_RSHIFT] = static_cast<char>(0x80);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_V, true, ks), 0);
  ks[OAPI_KEY_RSHIFT] = 0;
  ks[OAPI_KEY_LALT] = static_cast<char>(0x80);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_V, true, ks), 1);
  EXPECT_EQ(m.streams_off, 1);
  EXPECT_EQ(m.lights_mode, 0);

  // K leaves a lights mode other than 0 and 1 alone; V turns any non-zero value off.
  m.lights_mode = 2;
  m.streams_off = 5;
  s->press_key(OAPI_KEY_K);
  s->press_key(OAPI_KEY_V);
  EXPECT_EQ(m.lights_mode, 2);
  EXPECT_EQ(m.streams_off, 0);
}

TEST(MountInputBox, TwoWordsUseTheFirstAndTheNextStepHolds) {
  auto s = load("", kFreeRocket, kNight);
  s->press_key(OAPI_KEY_P);
  ASSERT_TRUE(s->input_box().open);
  EXPECT_EQ(s->input_box().title, "Enter Launcher by Name");
  EXPECT_EQ(s->input_box().vislen, 50);
  EXPECT_TRUE(s->type_text("KX7 please"));
  EXPECT_EQ(s->vessel("KX7")->parent(), s->vessel("Mount"));
  s->step(0.02);
  EXPECT_EQ(mount(*s).hold_state, 1);
}

TEST(MountInputBox, RefusedNamesChangeNothing) {
  const std::string pad = "Pad:dorrick\n  STATUS Landed Earth\n  POS 0.01 0.0\n  HEADING 0\nEND\n";
  auto s = load("", kFreeRocket + pad, kNight);
  const struct {
    std::string text;
    const char* why;
  } refused[] = {
      {"Nobody", "no object bears the name"},
      {"Earth", "a celestial body, not a vessel"},
      {"Sun", "a celestial body, not a vessel"},
      {"Pad", "a vessel without a point to a parent"},
      {"Mount", "the mount itself"},
      {std::string(300, 'K'), "longer than 255 characters"},
      {std::string(255, ' ') + std::string(256, 'K'), "longer than 255 characters after blanks"},
      {"", "no word"},
  };
  for (const auto& r : refused) {
    s->press_key(OAPI_KEY_P);
    EXPECT_FALSE(s->type_text(r.text)) << r.why;
    EXPECT_EQ(s->vessel("KX7")->parent(), nullptr) << r.why;
    EXPECT_EQ(s->vessel("Mount")->attachments[0]->peer, nullptr) << r.why;
  }
  s->step(0.02);
  EXPECT_EQ(mount(*s).hold_state, 0);
}

TEST(MountInputBox, OccupiedMountOrAttachedVesselIsRefused) {
  const std::string second_rocket =
      "KX8:tarvon_kx7\n  STATUS Landed Earth\n  POS 0.009 0.0\n  HEADING 0\nEND\n";
  const std::string second_mount =
      "Mount2:velk_pad\n  STATUS Landed Earth\n  POS 0.02 0.0\n  HEADING 0\nEND\n";
  auto s = load("", kHeldRocket + second_rocket + second_mount, kNight);
  s->press_key(OAPI_KEY_P);
  EXPECT_FALSE(s->type_text("KX8"));  // the mount already holds KX7
  EXPECT_EQ(s->vessel("KX8")->parent(), nullptr);

  s->set_focus("Mount2");
  s->press_key(OAPI_KEY_P);
  EXPECT_FALSE(s->type_text("KX7"));  // KX7 stands on the other mount
  EXPECT_EQ(s->vessel("KX7")->parent(), s->vessel("Mount"));
  EXPECT_TRUE(s->type_text("KX8"));
  EXPECT_EQ(s->vessel("KX8")->parent(), s->vessel("Mount2"));
}

TEST(MountScenario, SavedHoldResumesAndLowerCaseKeyReads) {
  auto s = load("", kHeldRocket, kNight);
  s->press_key(OAPI_KEY_V);
  s->step(0.02);
  const std::string saved = s->save_scenario_text();
  EXPECT_NE(saved.find("STTS 1 0 1 0.0"), std::string::npos) << saved;
  s.reset();

  auto r = test_support::load(saved);
  EXPECT_EQ(mount(*r).hold_state, 1);
  EXPECT_EQ(mount(*r).streams_off, 1);
  EXPECT_EQ(r->vessel("KX7")->parent(), r->vessel("Mount"));
  r->step(0.02);
  EXPECT_EQ(mount(*r).hold_state, 1);

  // Lower-case key, a count after release resumed from the saved time.
  auto c = load("  stts 2 0 1 4.5\n", "", kNight);
  velk_pad& m = mount(*c);
  EXPECT_EQ(m.hold_state, 2);
  EXPECT_EQ(m.streams_off, 1);
  EXPECT_EQ(m.release_timer, 4.5);
  test_support::run_for(*c, 5.4, 0.1);
  EXPECT_EQ(m.hold_state, 2);
  test_support::run_for(*c, 0.2, 0.1);
  EXPECT_EQ(m.hold_state, 0);
  EXPECT_EQ(m.lights_mode, 1);

  // A short line fills only the leading fields.
  auto p = load("  STTS 2\n", "", kNight);
  EXPECT_EQ(mount(*p).hold_state, 2);
  EXPECT_EQ(mount(*p).lights_mode, 0);
  EXPECT_EQ(mount(*p).release_timer, 0.0);
}

}  // namespace
