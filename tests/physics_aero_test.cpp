// Aerodynamic forces: airfoil lift, drag and moments against q S C, the coefficient callback's
// inputs, refusal of non-finite coefficients, and the terminal speed of the simple drag model.
#include <cmath>

#include "tests/physics_fixture.h"

namespace {

using physics_test::World;

void expect_vec(const VECTOR3& got, const VECTOR3& want, double tol) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

TEST(Airfoil, LiftDragAndMomentsAreQSTimesCoefficients) {
  const double rho = 1.2, speed = 100, area = 20, chord = 4;
  const double qs = 0.5 * rho * speed * speed * area;  // 120000 N
  const VECTOR3 ref = _V(1, 2, 3);
  struct Case {
    AIRFOIL_ORIENTATION orientation;
    double angle_deg;
  } cases[] = {{LIFT_VERTICAL, 10},
               {LIFT_VERTICAL, -35},
               {LIFT_VERTICAL, 150},
               {LIFT_HORIZONTAL, -20},
               {LIFT_HORIZONTAL, 60}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle_deg);
    const double a = c.angle_deg * RAD;
    // The airspeed that gives this angle: alpha = atan2(-a.y, a.z), beta = atan2(-a.x, a.z).
    const VECTOR3 air = c.orientation == LIFT_VERTICAL ? _V(0, -std::sin(a), std::cos(a)) * speed
                                                       : _V(-std::sin(a), 0, std::cos(a)) * speed;
    EXPECT_NEAR(sim::airfoil_angle(c.orientation, air), a, 1e-12);
    const double cl = 0.5, cm = 0.05, cd = 0.1;
    const sim::AirfoilLoad load = sim::airfoil_load(c.orientation, ref, chord, area, air, rho, cl, cm, cd);
    // Lift: perpendicular to the flow in the airfoil's plane, towards +y (+x) at zero angle.
    const VECTOR3 lift_dir =
        c.orientation == LIFT_VERTICAL ? _V(0, std::cos(a), std::sin(a)) : _V(std::cos(a), 0, std::sin(a));
    expect_vec(load.lift, lift_dir * (qs * cl), 1e-6);
    expect_vec(load.drag, air * (-qs * cd / speed), 1e-6);
    expect_vec(load.wrench.force, load.lift + load.drag, 1e-6);
    // Torque of the force at the reference point plus the airfoil moment q S c cm: about +x (nose
    // up) for vertical lift, about -y (nose towards +x) for horizontal lift.
    const VECTOR3 moment =
        c.orientation == LIFT_VERTICAL ? _V(qs * chord * cm, 0, 0) : _V(0, -qs * chord * cm, 0);
    expect_vec(load.wrench.torque, crossp(load.wrench.force, ref) + moment, 1e-4);
  }
  // No airflow, no force and no NaN.
  const sim::AirfoilLoad none = sim::airfoil_load(LIFT_VERTICAL, ref, chord, area, _V(0, 0, 0), rho, 1, 1, 1);
  EXPECT_EQ(length(none.wrench.force), 0.0);
  EXPECT_EQ(length(none.wrench.torque), 0.0);
  // Flow normal to the airfoil's plane: drag only.
  const sim::AirfoilLoad side =
      sim::airfoil_load(LIFT_VERTICAL, ref, chord, area, _V(50, 0, 0), rho, 1, 0, 1);
  EXPECT_TRUE(is_finite(side.wrench.force));
  EXPECT_EQ(length(side.lift), 0.0);
}

// Coefficients handed out by the test airfoil, and what the host asked with.
struct Coefficients {
  double cl = 0.4, cm = 0.0, cd = 0.05;
  double aoa = 0, mach = 0, re = 0;  // of the first call (the state at the start of the frame)
  int calls = 0;
};

void test_coeff(VESSEL*, double aoa, double M, double Re, void* ctx, double* cl, double* cm, double* cd) {
  auto* c = static_cast<Coefficients*>(ctx);
  if (c->calls++ == 0) c->aoa = aoa, c->mach = M, c->re = Re;
  *cl = c->cl, *cm = c->cm, *cd = c->cd;
}

struct Glider {
  World w;
  sim::HostVessel* v = nullptr;
  Coefficients coeff;
  static constexpr double kChord = 3, kArea = 30;

  Glider(double pitch_deg) {
    v = w.add("G", w.at(0, 0, 1000), [this](VESSEL& vs) {
           vs.SetEmptyMass(5000);
           vs.SetPMI(_V(10, 10, 5));
           vs.CreateAirfoil3(LIFT_VERTICAL, _V(0, 0, -5), test_coeff, &coeff, kChord, kArea, 2);
         }).first;
    w.ground_rest(*v, 0, pitch_deg, 0);
    v->vel += mul(sim::horizon_basis(w.earth(), v->pos), _V(0, 0, 100));  // 100 m/s north, level
  }
};

TEST(Airfoil, VesselGetsLiftAndDragOfItsAirfoilAtItsAngleOfAttack) {
  Glider g(5.0);  // nose 5 degrees above the level flight path
  const sim::Atmosphere atm = sim::standard_atmosphere(1000);
  const VECTOR3 ref = _V(0, 0, -5);
  g.w.sim->step(0.01);
  EXPECT_GT(g.coeff.calls, 0);
  EXPECT_NEAR(g.coeff.aoa, 5.0 * RAD, 1e-9);
  EXPECT_NEAR(g.coeff.mach, 100 / atm.speed_of_sound, 1e-3);
  EXPECT_NEAR(g.coeff.re, atm.density * 100 * Glider::kChord / sim::kAirViscosity_Pa_s, 1e-3 * g.coeff.re);
  const double qs = 0.5 * atm.density * 100 * 100 * Glider::kArea;
  EXPECT_NEAR(g.v->drag, qs * g.coeff.cd, 2e-3 * qs * g.coeff.cd);
  EXPECT_NEAR(g.v->lift, qs * g.coeff.cl, 2e-3 * qs * g.coeff.cl);
  EXPECT_NEAR(g.v->iface->GetDrag(), g.v->drag, 1e-12);
  // Lift behind the centre of mass pitches the nose down: omega.x < 0, by torque / I over dt.
  const double torque_x = crossp(_V(0, qs * g.coeff.cl, 0), ref).x;
  EXPECT_NEAR(g.v->omega.x - tmul(g.v->rot, sim::body_omega(g.w.earth())).x, torque_x / (10 * 5000) * 0.01,
              0.02 * std::abs(torque_x / (10 * 5000) * 0.01));
}

TEST(Airfoil, NonFiniteCoefficientsAreRefusedAndCounted) {
  Glider g(0.0);
  g.coeff.cd = std::nan("");
  const int before = g.w.sim->nonfinite_calls();
  const VECTOR3 vel0 = g.v->vel;
  g.w.sim->step(0.02);
  EXPECT_GT(g.w.sim->nonfinite_calls(), before);
  EXPECT_TRUE(is_finite(g.v->vel));
  EXPECT_TRUE(is_finite(g.v->omega));
  EXPECT_EQ(g.v->drag, 0.0);
  // Only gravity acted: the velocity change is g dt, along the local down.
  const VECTOR3 g_acc = sim::gravity_accel(g.w.gm(), g.v->pos - g.w.earth().pos);
  EXPECT_NEAR(length(g.v->vel - vel0 - g_acc * 0.02), 0.0, 1e-3);
}

TEST(SimpleDrag, PassiveBodyFallsAtTerminalSpeed) {
  // A 10 kg body with 1 m^2 and cw 1 on its y axis, dropped belly first from 2000 m at the
  // equator. At terminal speed drag balances the weight: 1/2 rho v^2 cw A = m g_eff, where g_eff
  // is gravity less the centrifugal acceleration of the turning ground (GM/r^2 - w^2 r here).
  // The air thickens slowly on the way down, so the lag behind the local terminal speed is about
  // v^2 / (2 g H_rho) ~ 1e-3.
  World w;
  const double m = 10, cw = 1.0, area = 1.0;
  sim::HostVessel* v = w.add("Drop", w.at(0, 0, 2000), [&](VESSEL& vs) {
                          vs.SetEmptyMass(m);
                          vs.SetPMI(_V(1, 1, 1));
                          vs.SetCrossSections(_V(area, area, area));
                          vs.SetCW(cw, cw, cw, cw);
                        }).first;
  w.ground_rest(*v, 0, 0, 0);
  physics_test::run(*w.sim, 40.0, 0.02);
  const VECTOR3 rel = v->pos - w.earth().pos;
  const double r = length(rel), alt = r - w.earth().radius;
  const double spin = PI2 / w.earth().rot_period;
  const double g_eff = w.gm() / (r * r) - spin * spin * r;
  const double vt = std::sqrt(2 * m * g_eff / (sim::standard_atmosphere(alt).density * cw * area));
  const VECTOR3 ground = sim::groundspeed_global(*v);
  const double down = -dotp(ground, unit(rel));
  EXPECT_NEAR(down, vt, 3e-3 * vt);
  EXPECT_NEAR(v->drag, m * g_eff, 6e-3 * m * g_eff);
  EXPECT_GT(alt, 1000);
}

}  // namespace
