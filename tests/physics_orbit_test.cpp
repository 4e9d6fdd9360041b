// Point-mass gravity and the integrator against closed forms: radial free fall from rest and a
// circular orbit.
#include <cmath>

#include "tests/physics_fixture.h"

namespace {

using physics_test::World;

void plain_body(VESSEL& v) {
  v.SetEmptyMass(1000.0);
  v.SetPMI(_V(2, 2, 2));
}

// Radial free fall from rest at r0 under mu: energy gives 1/2 r'^2 = mu (1/r - 1/r0); with
// r = r0 cos^2(th) the time to reach r is t = sqrt(r0^3 / (2 mu)) (th + sin th cos th),
// cos th = sqrt(r / r0). Solved here for r at a given t by bisection (t grows as r falls).
double free_fall_radius(double r0, double mu, double t) {
  auto time_to = [&](double r) {
    const double x = r / r0;
    return std::sqrt(r0 * r0 * r0 / (2 * mu)) * (std::acos(std::sqrt(x)) + std::sqrt(x * (1 - x)));
  };
  double lo = 0.5 * r0, hi = r0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (lo + hi);
    (time_to(mid) > t ? lo : hi) = mid;
  }
  return 0.5 * (lo + hi);
}

TEST(Gravity, BodyAtRestFallsAsRadialFreeFall) {
  World w;
  const double r0 = w.earth().radius + 300e3;
  auto [v, iface] = w.add("Ball", w.earth().pos + _V(0, 0, r0), [](VESSEL& v) { plain_body(v); });
  ASSERT_NE(iface, nullptr);
  physics_test::run(*w.sim, 10.0, 0.02);
  const double fallen = r0 - length(v->pos - w.earth().pos);
  const double expected = r0 - free_fall_radius(r0, w.gm(), 10.0);
  // About 447 m: the closed form is met far inside 1e-4.
  EXPECT_NEAR(fallen, expected, 1e-6 * expected);
  // Straight down, no sideways motion.
  EXPECT_NEAR(v->pos.x - w.earth().pos.x, 0.0, 1e-6);
  EXPECT_NEAR(v->pos.y - w.earth().pos.y, 0.0, 1e-6);
  EXPECT_FALSE(v->ground_contact);
}

TEST(Gravity, CircularOrbitKeepsRadiusAndEnergy) {
  World w;
  const double mu = w.gm();
  const double r0 = w.earth().radius + 400e3;
  const double v0 = std::sqrt(mu / r0);
  const double period = 2 * PI * std::sqrt(r0 * r0 * r0 / mu);
  auto [v, iface] = w.add("Sat", w.earth().pos + _V(r0, 0, 0), [](VESSEL& v) { plain_body(v); });
  ASSERT_NE(iface, nullptr);
  v->vel = _V(0, 0, v0);
  auto energy = [&] {
    const VECTOR3 r = v->pos - w.earth().pos;
    return 0.5 * dotp(v->vel, v->vel) - mu / length(r);
  };
  const double e0 = energy();
  double max_dr = 0.0, max_de = 0.0;
  const int frames = static_cast<int>(std::ceil(period / 0.1));
  for (int i = 0; i < frames; ++i) {
    w.sim->step(0.1);
    max_dr = std::max(max_dr, std::abs(length(v->pos - w.earth().pos) - r0) / r0);
    max_de = std::max(max_de, std::abs(energy() - e0) / std::abs(e0));
  }
  EXPECT_LT(max_dr, 1e-3);
  EXPECT_LT(max_de, 1e-6);
  // Back where it started after one revolution (the last frame overshoots by under 0.1 s).
  EXPECT_LT(dist(v->pos, w.earth().pos + _V(r0, 0, 0)), v0 * 0.1 + 10.0);
}

}  // namespace
