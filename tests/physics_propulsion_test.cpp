// Thrust, the pressure law of the rating and specific impulse, propellant flow and the rocket
// equation, and a tank running dry.
#include <cmath>

#include "sim/propulsion.h"
#include "tests/physics_fixture.h"

namespace {

using physics_test::World;

TEST(Thruster, RatingAndIspFollowThePressureLaw) {
  HostThruster t;
  t.max0 = 2e6;
  t.isp_vac = 3490;
  t.isp_ref = 3250;
  t.p_ref = 101400;
  struct Case {
    double p, isp;
  } cases[] = {{0, 3490}, {101400, 3250}, {50700, 3370}, {101325, 3490 - 240 * 101325.0 / 101400}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.p);
    EXPECT_NEAR(sim::thruster_isp_at(t, c.p), c.isp, 1e-9);
    EXPECT_NEAR(sim::thruster_max_at(t, c.p), 2e6 * c.isp / 3490, 1e-6);
  }
  t.isp_ref = 0;  // no pressure dependence
  EXPECT_EQ(sim::thruster_isp_at(t, 101325), 3490);
  EXPECT_EQ(sim::thruster_max_at(t, 101325), 2e6);
}

// A vessel far out (gravity 4e-6 m/s^2) with one engine along +z.
struct Rocket {
  World w;
  sim::HostVessel* v = nullptr;
  PROPELLANT_HANDLE tank = nullptr;
  THRUSTER_HANDLE engine = nullptr;
  static constexpr double kEmpty = 1000, kFuel = 2000, kThrust = 50000, kIsp = 3000;

  explicit Rocket(double fuel = kFuel, const VECTOR3& pos_rel = _V(1e10, 0, 0)) {
    auto made = w.add("R", w.earth().pos + pos_rel, [&](VESSEL& vs) {
      vs.SetEmptyMass(kEmpty);
      vs.SetPMI(_V(4, 4, 1));
      tank = vs.CreatePropellantResource(kFuel, fuel);
      engine = vs.CreateThruster(_V(0, 0, -2), _V(0, 0, 1), kThrust, tank, kIsp, 2500, 101400);
      vs.SetThrusterLevel(engine, 1.0);
    });
    v = made.first;
  }
  // Velocity change by gravity over t seconds at the present place (constant field over the burn).
  VECTOR3 gravity_dv(double t) { return sim::gravity_accel(w.gm(), v->pos - w.earth().pos) * t; }
};

TEST(Thruster, BurnFollowsTheRocketEquation) {
  Rocket r;
  const VECTOR3 dv_gravity = r.gravity_dv(10.0);
  physics_test::run(*r.w.sim, 10.0, 0.02);
  // In vacuum: flow F / Isp; dv = Isp ln(m0 / m1) along the thrust (+z of the unturned vessel).
  const double burned = Rocket::kThrust / Rocket::kIsp * 10.0;
  EXPECT_NEAR(r.v->propellants[0]->mass, Rocket::kFuel - burned, 1e-6);
  EXPECT_NEAR(r.v->mass(), Rocket::kEmpty + Rocket::kFuel - burned, 1e-6);
  const double dv =
      Rocket::kIsp * std::log((Rocket::kEmpty + Rocket::kFuel) / (Rocket::kEmpty + Rocket::kFuel - burned));
  const VECTOR3 got = r.v->vel - dv_gravity;
  EXPECT_NEAR(got.z, dv, 1e-6 * dv);
  EXPECT_NEAR(got.x, 0.0, 1e-6);
  EXPECT_NEAR(got.y, 0.0, 1e-6);
  // The engine sits on the axis: no torque.
  EXPECT_LT(length(r.v->omega), 1e-12);
}

TEST(Thruster, AtSeaLevelBurnsAtTheReducedRatingAndIsp) {
  // At rest 0 m above the sea, in the global frame, for one frame (no touchdown points).
  Rocket r(Rocket::kFuel, _V(6371010.0, 0, 0));
  const double p = r.v->atm.pressure;
  ASSERT_NEAR(p, 101325, 1.0);
  const double isp = 3000 - 500 * p / 101400, thrust = Rocket::kThrust * isp / 3000;
  EXPECT_NEAR(r.v->iface->GetThrusterMax(r.engine), thrust, 1e-6);
  EXPECT_NEAR(r.v->iface->GetThrusterIsp(r.engine), isp, 1e-9);
  const double dt = 0.02;
  r.w.sim->step(dt);
  EXPECT_NEAR(Rocket::kFuel - r.v->propellants[0]->mass, thrust / isp * dt, 1e-9);
}

TEST(Thruster, TankRunningDryReadsZeroAndStopsItsThrustersInThatFrame) {
  // 2.5 frames of propellant at 0.02 s: the third frame burns the last half frame's worth.
  const double flow = Rocket::kThrust / Rocket::kIsp;
  const double fuel = flow * 0.05;
  Rocket r(fuel);
  const VECTOR3 g = sim::gravity_accel(r.w.gm(), r.v->pos - r.w.earth().pos);
  physics_test::run(*r.w.sim, 0.06, 0.02);
  EXPECT_EQ(r.v->propellants[0]->mass, 0.0);
  // The whole impulse of the propellant and nothing more.
  const double dv = Rocket::kIsp * std::log((Rocket::kEmpty + fuel) / Rocket::kEmpty);
  EXPECT_NEAR((r.v->vel - g * 0.06).z, dv, 1e-4 * dv);
  VECTOR3 thrust;
  r.v->iface->GetThrustVector(thrust);
  EXPECT_EQ(length(thrust), 0.0);
  const VECTOR3 vel = r.v->vel;
  r.w.sim->step(0.02);
  EXPECT_NEAR((r.v->vel - vel - g * 0.02).z, 0.0, 1e-9);
  EXPECT_EQ(r.v->propellants[0]->mass, 0.0);
}

}  // namespace
