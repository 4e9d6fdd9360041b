// The landing pad inside the host: its set-up, the day and night light rule with the proximity of
// other vessels, the N key and its scenario line.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "dorrick/dorrick.h"
#include "sim/records.h"
#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"

namespace {

// At MJD x.0 it is midnight at longitude 0, at x.5 noon.
constexpr double kNight = 60000.0;
constexpr double kDay = 60000.5;
constexpr double kEarthRadius = 6371010.0;

const std::string kPad =
    "Pad:dorrick\n"
    "  STATUS Landed Earth\n"
    "  POS 0.0 0.0\n"
    "  HEADING 0\n";

// Longitude (deg) of a point east of the pad at a ground distance of d metres.
double lon_at(double d_m) { return d_m / kEarthRadius * DEG; }

// Another vessel (a launch mount, which only needs to exist), parked on the ground d metres east of
// the pad's centre.
std::string parked(const std::string& name, double d_m) {
  char buf[256];
  std::snprintf(buf, sizeof buf, "%s:velk_pad\n  STATUS Landed Earth\n  POS %.9f 0.0\n  HEADING 0\nEND\n",
                name.c_str(), lon_at(d_m));
  return buf;
}

// Another vessel hovering h metres above the pad plane, d metres east of its centre. The pad's
// origin stands 0.5 m above the ground (its touchdown points are 0.5 m below it).
std::string hovering(const std::string& name, double d_m, double h_m) {
  char buf[256];
  std::snprintf(
      buf, sizeof buf,
      "%s:velk_pad\n  STATUS Flying Earth\n  POS %.9f 0.0\n  ALT %.3f\n  ATT 0 0 0\n  GSPEED 0 0 0\nEND\n",
      name.c_str(), lon_at(d_m), h_m + 0.5);
  return buf;
}

std::unique_ptr<sim::Simulation> load(const std::string& pad_lines, const std::string& others, double mjd) {
  return test_support::load(test_support::scenario(kPad + pad_lines + "END\n" + others, mjd));
}

dorrick& pad(sim::Simulation& s) { return *static_cast<dorrick*>(s.vessel("Pad")->iface); }

bool light_on(sim::Simulation& s) { return s.vessel("Pad")->lights.at(0)->IsActive(); }

// The four beacons agree; returns their flag.
bool beacons_on(sim::Simulation& s) {
  const auto& b = s.vessel("Pad")->beacons;
  EXPECT_EQ(b.size(), 4u);
  for (const BEACONLIGHTSPEC* x : b) EXPECT_EQ(x->active, b[0]->active);
  return b[0]->active;
}

TEST(PadSetUp, Configuration) {
  auto s = load("", "", kNight);
  const sim::HostVessel& v = *s->vessel("Pad");
  dorrick& p = pad(*s);
  EXPECT_EQ(v.empty_mass, 25000.0);
  EXPECT_EQ(v.size, 150.0);
  EXPECT_EQ(v.pmi.x, 200.0);
  ASSERT_EQ(v.touchdown.size(), 3u);
  EXPECT_EQ(v.touchdown[2].pos.x, 86.6);
  EXPECT_EQ(v.touchdown[2].damping, 100000.0);
  EXPECT_EQ(v.touchdown[2].mu_lng, 1.0);
  ASSERT_EQ(v.meshes.size(), 1u);
  EXPECT_EQ(v.meshes[0].name, "tarvon_kx7/dorrick");
  EXPECT_EQ(v.meshes[0].visibility, MESHVIS_ALWAYS);

  ASSERT_EQ(v.lights.size(), 1u);
  const auto* spot = dynamic_cast<const SpotLight*>(v.lights[0].get());
  ASSERT_NE(spot, nullptr);
  EXPECT_EQ(spot->GetRange(), 400.0);
  EXPECT_EQ(spot->GetAttenuation()[2], 5e-05);
  EXPECT_DOUBLE_EQ(spot->GetUmbra(), 45.0 * RAD);
  EXPECT_EQ(spot->GetPosition().z, -100.0);
  EXPECT_EQ(p.pad_light, v.lights[0].get());
  EXPECT_FALSE(light_on(*s));  // dark right after creation, even at night

  // The beacons are the pad's own fields, red stars, all dark at first.
  ASSERT_EQ(v.beacons.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(v.beacons[i], &p.beacon[i]);
    EXPECT_EQ(v.beacons[i]->shape, BEACONSHAPE_STAR);
    EXPECT_EQ(v.beacons[i]->col->x, 1.0);
    EXPECT_EQ(v.beacons[i]->col->y, 0.0);
    EXPECT_EQ(v.beacons[i]->period, 2.0);
    EXPECT_FALSE(v.beacons[i]->active);
  }
  EXPECT_EQ(v.beacons[2]->pos->x, -38.51);
  EXPECT_EQ(v.beacons[2]->pos->z, 59.3);

  // One thruster on a full 750 kg tank, alone in the main group, never fired.
  ASSERT_EQ(v.propellants.size(), 1u);
  EXPECT_EQ(v.propellants[0]->mass, 750.0);
  ASSERT_EQ(v.thrusters.size(), 1u);
  EXPECT_EQ(v.thrusters[0]->max0, 1000.0);
  EXPECT_EQ(v.thrusters[0]->isp_vac, 50000.0);
  EXPECT_EQ(v.thrusters[0].get(), p.pad_thruster);
  ASSERT_NE(v.group_of_type(THGROUP_MAIN), nullptr);
  EXPECT_EQ(v.group_of_type(THGROUP_MAIN)->thrusters.size(), 1u);
  EXPECT_EQ(p.mesh_hidden, 0);
}

TEST(PadLights, NightProximity) {
  // Each world: the other vessels and whether the floodlight is on after one night step.
  const struct {
    const char* what;
    std::string others;
    bool lit;
  } cases[] = {
      {"alone: stays as the night switch left it", "", true},
      {"hovering 1000 m above", hovering("V", 0, 1000), true},
      {"parked 200 m from the centre", parked("V", 200), true},
      {"parked 400 m away", parked("V", 400), false},
      {"4990 m straight above", hovering("V", 0, 4990), true},
      {"5010 m straight above", hovering("V", 0, 5010), false},
      {"a far vessel first, a near one after it", parked("Far", 400) + parked("Near", 200), true},
      {"a near vessel first, a far one after it", parked("Near", 200) + parked("Far", 400), true},
      {"two far vessels", parked("Far", 400) + hovering("High", 0, 6000), false},
  };
  for (const auto& c : cases) {
    auto s = load("", c.others, kNight);
    s->step(0.02);
    EXPECT_EQ(light_on(*s), c.lit) << c.what;
    EXPECT_TRUE(beacons_on(*s)) << c.what;  // the beacons follow the night alone
  }
}

TEST(PadLights, DayDarkWhateverIsNear) {
  for (const std::string& others : {std::string(), hovering("V", 0, 1000), parked("V", 100)}) {
    auto s = load("", others, kDay);
    for (int i = 0; i < 5; ++i) s->step(0.02);
    EXPECT_FALSE(light_on(*s));
    EXPECT_FALSE(beacons_on(*s));
  }
}

TEST(PadLights, ApproachAndLeaveAtNight) {
  auto s = load("", parked("V", 400), kNight);
  s->step(0.02);
  EXPECT_FALSE(light_on(*s));
  // The vessel comes close: the night switch lights the floodlight again and the scan keeps it.
  sim::HostVessel& v = *s->vessel("V");
  sim::HostVessel& p = *s->vessel("Pad");
  const VECTOR3 far = v.pos;
  v.pos = p.pos + (v.pos - p.pos) * 0.5;  // 200 m from the centre
  s->step(0.02);
  EXPECT_TRUE(light_on(*s));
  // It moves away again: the scan puts the floodlight out; the beacons keep flashing.
  v.pos = far;
  s->step(0.02);
  EXPECT_FALSE(light_on(*s));
  EXPECT_TRUE(beacons_on(*s));
}

TEST(PadLights, BeaconsGoDarkAtDawnAfterAQuietNight) {
  // All night a vessel stands 400 m away: the scan ends every night step with the floodlight off.
  // At dawn the beacons must still stop flashing.
  auto s = load("", parked("V", 400), kNight);
  s->step(0.02);
  ASSERT_FALSE(light_on(*s));
  ASSERT_TRUE(beacons_on(*s));
  // Twelve hours in frames of ten minutes: both vessels rest on the ground and turn with the Earth.
  test_support::run_for(*s, 12 * 3600.0, 600.0);
  EXPECT_FALSE(light_on(*s));
  EXPECT_FALSE(beacons_on(*s));
  // And the next night lights them again.
  test_support::run_for(*s, 12 * 3600.0, 600.0);
  EXPECT_TRUE(beacons_on(*s));
}

TEST(PadKeys, NTogglesTheMesh) {
  auto s = load("", "", kNight);
  sim::HostVessel& v = *s->vessel("Pad");
  s->press_key(OAPI_KEY_N);
  EXPECT_EQ(pad(*s).mesh_hidden, 1);
  EXPECT_EQ(v.meshes[0].visibility, MESHVIS_NEVER);
  s->press_key(OAPI_KEY_N, /*ctrl=*/true);  // passed on
  s->press_key(OAPI_KEY_N, false, /*shift=*/true);
  EXPECT_EQ(pad(*s).mesh_hidden, 1);
  s->press_key(OAPI_KEY_N);
  EXPECT_EQ(pad(*s).mesh_hidden, 0);
  EXPECT_EQ(v.meshes[0].visibility, MESHVIS_ALWAYS);

  char ks[256] = {};
  auto* cb = static_cast<VESSEL2*>(v.iface);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_N, true, ks), 1);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_N, false, ks), 0);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_M, true, ks), 0);
  ks[OAPI_KEY_RCONTROL] = static_cast<char>(0x80);
  EXPECT_EQ(cb->clbkConsumeBufferedKey(OAPI_KEY_N, true, ks), 0);
}

TEST(PadKeys, NOnAnUnknownVisibilityValueChangesNothing) {
  auto s = load("  PADVIS 2\n", "", kNight);
  sim::HostVessel& v = *s->vessel("Pad");
  ASSERT_EQ(pad(*s).mesh_hidden, 2);
  char ks[256] = {};
  EXPECT_EQ(static_cast<VESSEL2*>(v.iface)->clbkConsumeBufferedKey(OAPI_KEY_N, true, ks), 1);
  EXPECT_EQ(pad(*s).mesh_hidden, 2);
  EXPECT_EQ(v.meshes[0].visibility, MESHVIS_ALWAYS);
}

TEST(PadScenario, HiddenMeshBeforeTheFirstFrameAndSavedAgain) {
  auto s = load("  padvis 1\n", "", kNight);
  EXPECT_EQ(pad(*s).mesh_hidden, 1);
  EXPECT_EQ(s->vessel("Pad")->meshes[0].visibility, MESHVIS_NEVER);  // no frame has run

  const std::string saved = s->save_scenario_text();
  EXPECT_NE(saved.find("PADVIS 1"), std::string::npos) << saved;
  s.reset();
  auto r = test_support::load(saved);
  EXPECT_EQ(pad(*r).mesh_hidden, 1);
  EXPECT_EQ(r->vessel("Pad")->meshes[0].visibility, MESHVIS_NEVER);

  auto n = load("  PADVIS\n", "", kNight);  // no number: stays shown
  EXPECT_EQ(pad(*n).mesh_hidden, 0);
  EXPECT_EQ(n->vessel("Pad")->meshes[0].visibility, MESHVIS_ALWAYS);
}

}  // namespace
