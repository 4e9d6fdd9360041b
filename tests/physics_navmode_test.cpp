// The host's attitude control: navigation modes flying the attitude groups, KILLROT switching
// itself off, and the default keypad, joystick and throttle input.
#include <cmath>

#include "tests/physics_fixture.h"

namespace {

using physics_test::TestVessel;
using physics_test::World;

// Pure couples of 2 x 1000 N on 5 m arms: 10 kN m about each axis, 1 rad/s^2 on I = 1e4 kg m^2.
void rcs_vessel(VESSEL& v) {
  v.SetEmptyMass(1000);
  v.SetPMI(_V(10, 10, 10));
  PROPELLANT_HANDLE tank = v.CreatePropellantResource(100);
  auto couple = [&](VECTOR3 p, VECTOR3 d, THGROUP_TYPE t) {
    THRUSTER_HANDLE th[2] = {v.CreateThruster(p, d, 1000, tank, 1e6),
                             v.CreateThruster(-p, -d, 1000, tank, 1e6)};
    v.CreateThrusterGroup(th, 2, t);
  };
  couple(_V(0, 0, 5), _V(0, 1, 0), THGROUP_ATT_PITCHUP);
  couple(_V(0, 0, 5), _V(0, -1, 0), THGROUP_ATT_PITCHDOWN);
  couple(_V(0, 0, 5), _V(-1, 0, 0), THGROUP_ATT_YAWLEFT);
  couple(_V(0, 0, 5), _V(1, 0, 0), THGROUP_ATT_YAWRIGHT);
  couple(_V(5, 0, 0), _V(0, -1, 0), THGROUP_ATT_BANKRIGHT);
  couple(_V(5, 0, 0), _V(0, 1, 0), THGROUP_ATT_BANKLEFT);
  THRUSTER_HANDLE main = v.CreateThruster(_V(0, 0, -5), _V(0, 0, 1), 100, tank, 1e6);
  v.CreateThrusterGroup(&main, 1, THGROUP_MAIN);
}

struct Craft {
  World w;
  sim::HostVessel* v = nullptr;
  TestVessel* iface = nullptr;
  explicit Craft(const VECTOR3& rel_pos = _V(0, 0, 1e10)) {
    auto made = w.add("Craft", w.earth().pos + rel_pos, rcs_vessel);
    v = made.first;
    iface = made.second;
  }
  double level(THGROUP_TYPE t) { return iface->GetThrusterGroupLevel(t); }
  // Circular orbit 400 km up in the equatorial plane, eastward.
  void orbit() {
    const double r = w.earth().radius + 400e3;
    v->pos = w.earth().pos + _V(r, 0, 0);
    v->vel = _V(0, 0, std::sqrt(w.gm() / r));
    sim::update_environment(*w.sim, *v);
  }
};

TEST(Navmode, KillrotStopsTheSpinAndSwitchesItselfOff) {
  Craft c;
  c.v->omega = _V(0.3, -0.2, 0.25);
  c.w.sim->set_navmode(*c.v, NAVMODE_KILLROT, true);
  bool off = false;
  for (int i = 0; i < 1500 && !off; ++i) {
    c.w.sim->step(0.02);
    off = !c.v->navmode[NAVMODE_KILLROT];
  }
  ASSERT_TRUE(off);
  EXPECT_LT(std::abs(c.v->omega.x), 5e-4);
  EXPECT_LT(std::abs(c.v->omega.y), 5e-4);
  EXPECT_LT(std::abs(c.v->omega.z), 5e-4);
  const std::vector<std::pair<int, bool>> calls = {{NAVMODE_KILLROT, true}, {NAVMODE_KILLROT, false}};
  EXPECT_EQ(c.iface->navmode_calls, calls);
  // The host's levels are gone with the mode; the rotation stays stopped.
  c.w.sim->step(0.02);
  for (THGROUP_TYPE t : {THGROUP_ATT_PITCHUP, THGROUP_ATT_PITCHDOWN, THGROUP_ATT_YAWLEFT,
                         THGROUP_ATT_YAWRIGHT, THGROUP_ATT_BANKLEFT, THGROUP_ATT_BANKRIGHT})
    EXPECT_EQ(c.level(t), 0.0) << t;
  EXPECT_LT(length(c.v->omega), 1e-3);
}

double angle_deg(const VECTOR3& a, const VECTOR3& b) {
  return std::acos(std::clamp(dotp(unit(a), unit(b)), -1.0, 1.0)) * DEG;
}

TEST(Navmode, AttitudeModesTurnTheNoseOntoTheirDirection) {
  struct Case {
    int mode;
    const char* name;
  } cases[] = {{NAVMODE_PROGRADE, "prograde"},
               {NAVMODE_RETROGRADE, "retrograde"},
               {NAVMODE_NORMAL, "normal"},
               {NAVMODE_ANTINORMAL, "antinormal"}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Craft c;
    c.orbit();
    c.v->rot = sim::rotation_from_euler(_V(0.4, -1.0, 0.3));  // pointing anywhere
    c.w.sim->set_navmode(*c.v, k.mode, true);
    physics_test::run(*c.w.sim, 60.0, 0.05);
    // Normal: the orbital angular momentum, north (+y) for this eastward equatorial orbit.
    const VECTOR3 want = k.mode == NAVMODE_PROGRADE     ? c.v->vel
                         : k.mode == NAVMODE_RETROGRADE ? -c.v->vel
                         : k.mode == NAVMODE_NORMAL     ? _V(0, 1, 0)
                                                        : _V(0, -1, 0);
    EXPECT_LT(angle_deg(mul(c.v->rot, _V(0, 0, 1)), want), 0.5);
    EXPECT_TRUE(c.v->navmode[k.mode]);  // holding modes stay on
  }
}

TEST(Navmode, HlevelLevelsPitchAndBank) {
  Craft c;
  c.orbit();
  c.v->rot = mul(sim::horizon_basis(c.w.earth(), c.v->pos), sim::attitude_from_hpb(1.0, 30 * RAD, -20 * RAD));
  c.w.sim->set_navmode(*c.v, NAVMODE_HLEVEL, true);
  physics_test::run(*c.w.sim, 60.0, 0.05);
  double heading, pitch, bank;
  sim::hpb_from_attitude(sim::vessel_to_horizon(*c.v), heading, pitch, bank);
  EXPECT_NEAR(pitch * DEG, 0.0, 0.5);
  EXPECT_NEAR(bank * DEG, 0.0, 0.5);
}

TEST(ManualInput, KeypadFiresAttitudeGroupsForOneFrameAndPlusMovesThrottle) {
  Craft c;
  c.w.sim->hold_key(OAPI_KEY_NUMPAD2, 0.1);  // pitch up, five frames
  c.w.sim->step(0.02);
  EXPECT_EQ(c.level(THGROUP_ATT_PITCHUP), 1.0);
  EXPECT_EQ(c.level(THGROUP_ATT_PITCHDOWN), 0.0);
  physics_test::run(*c.w.sim, 0.08, 0.02);
  EXPECT_GT(c.v->omega.x, 0.05);  // 1 rad/s^2 for 0.1 s: pitching up
  c.w.sim->step(0.02);            // released
  EXPECT_EQ(c.level(THGROUP_ATT_PITCHUP), 0.0);
  const double rate = c.v->omega.x;
  physics_test::run(*c.w.sim, 0.2, 0.02);
  EXPECT_NEAR(c.v->omega.x, rate, 1e-12);

  // A level the vessel sets itself stays: the host only takes back its own.
  c.iface->SetThrusterGroupLevel(THGROUP_ATT_YAWLEFT, 0.3);
  physics_test::run(*c.w.sim, 0.1, 0.02);
  EXPECT_NEAR(c.level(THGROUP_ATT_YAWLEFT), 0.3, 1e-12);

  // Joystick pitch up at half deflection.
  c.iface->SetThrusterGroupLevel(THGROUP_ATT_YAWLEFT, 0.0);
  c.w.sim->set_joystick(0.5, 0, 0);
  c.w.sim->step(0.02);
  EXPECT_NEAR(c.level(THGROUP_ATT_PITCHUP), 0.5, 1e-12);
  c.w.sim->set_joystick(0, 0, 0);
  c.w.sim->step(0.02);
  EXPECT_EQ(c.level(THGROUP_ATT_PITCHUP), 0.0);

  // Numpad +: the main level climbs 0.5 per second and stays.
  c.w.sim->hold_key(OAPI_KEY_ADD, 1.0);
  physics_test::run(*c.w.sim, 1.0, 0.02);
  EXPECT_NEAR(c.level(THGROUP_MAIN), 0.5, 0.011);
  physics_test::run(*c.w.sim, 1.0, 0.02);
  EXPECT_NEAR(c.level(THGROUP_MAIN), 0.5, 0.011);
  c.w.sim->hold_key(OAPI_KEY_SUBTRACT, 2.0);
  physics_test::run(*c.w.sim, 2.0, 0.02);
  EXPECT_EQ(c.level(THGROUP_MAIN), 0.0);
}

}  // namespace
