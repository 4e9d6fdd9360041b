// Pure arithmetic of the rocket: rotation matrices, the airfoil coefficient model and the turning
// levers of the attitude thrusters, checked against hand-worked values.
#include <gtest/gtest.h>

#include "tarvon_kx7/tarvon_kx7.h"

// The pure functions are compiled in from the module sources; they use only the host's free
// functions, which the test links.
#include "tarvon_kx7/model/aero_coeff.cpp"
#include "tarvon_kx7/model/axis_rotation.cpp"
#include "tarvon_kx7/model/torque_lever.cpp"

namespace {

void expect_vec_near(const VECTOR3& got, const VECTOR3& want, double tol) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

TEST(RocketAxisRotation, TurnsVectorsAsRightHandedAboutAxis) {
  struct Case {
    VECTOR3 axis;
    double angle_deg;
    VECTOR3 in, out;
  };
  const double s60 = std::sin(60.0 * RAD);
  const Case cases[] = {
      // About z, a positive angle turns +x towards +y.
      {{0, 0, 1}, 90, {1, 0, 0}, {0, 1, 0}},
      {{0, 0, 1}, 90, {0, 1, 0}, {-1, 0, 0}},
      // About x, +y towards +z; about y, +z towards +x.
      {{1, 0, 0}, 90, {0, 1, 0}, {0, 0, 1}},
      {{0, 1, 0}, 90, {0, 0, 1}, {1, 0, 0}},
      // The engine layout: engine 1 at (0, 1.027, -16.7), engines 2 and 3 at 120 and 240 degrees.
      {{0, 0, 1}, 120, {0, 1.027, -16.7}, {-1.027 * s60, -0.5135, -16.7}},
      {{0, 0, 1}, 240, {0, 1.027, -16.7}, {1.027 * s60, -0.5135, -16.7}},
      // A vector along the axis stays put.
      {{0, 0, 1}, 240, {0, 0, 1}, {0, 0, 1}},
      // Zero angle: identity.
      {{0.6, 0, 0.8}, 0, {0.3, -2, 5}, {0.3, -2, 5}},
      // A third of a turn about the space diagonal cycles the axes: x -> y.
      {{1 / std::sqrt(3.0), 1 / std::sqrt(3.0), 1 / std::sqrt(3.0)}, 120, {1, 0, 0}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angle_deg);
    expect_vec_near(mul(axis_rotation(c.axis, c.angle_deg * RAD), c.in), c.out, 1e-12);
  }
}

TEST(RocketAxisRotation, IsOrthonormalWithUnitDeterminant) {
  const VECTOR3 axis = unit(_V(0.3, -0.7, 0.2));
  const MATRIX3 m = axis_rotation(axis, 1.234);
  const MATRIX3 p = mul(m, transpose(m));
  const MATRIX3 id = identity3();
  const double* got = &p.m11;
  const double* want = &id.m11;
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(got[i], want[i], 1e-12);
  const double det = m.m11 * (m.m22 * m.m33 - m.m23 * m.m32) - m.m12 * (m.m21 * m.m33 - m.m23 * m.m31) +
                     m.m13 * (m.m21 * m.m32 - m.m22 * m.m31);
  EXPECT_NEAR(det, 1.0, 1e-12);
}

// Lift follows a triangle wave of period 90 degrees and amplitude 0.4; drag is
// 0.5 (0.12 + CL^2 / (pi 0.16 0.2)).
TEST(RocketAeroCoeff, MatchesLiftTableAndDragPolar) {
  struct Case {
    double aoa_deg, cl, cd;
  };
  const Case cases[] = {
      {0, 0.0, 0.06},
      {10, 0.0889, 0.0993},
      {45, 0.4, 0.8558},
      {-135, 0.4, 0.8558},
      {-45, -0.4, 0.8558},
      {135, -0.4, 0.8558},
      {30, 0.2667, 0.4137},
      {60, 0.2667, 0.4137},
      {90, 0.0, 0.06},
      {-90, 0.0, 0.06},
      {-180, 0.0, 0.06},
      // f = 16 at +180: the index is held at 15 and the fraction 1 gives the last entry.
      {180, 0.0, 0.06},
      {22.5, 0.2, 0.5 * (0.12 + 0.04 / (PI * 0.032))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.aoa_deg);
    double cl = -9, cm = -9, cd = -9;
    aero_coeff(c.aoa_deg * RAD, &cl, &cm, &cd);
    EXPECT_NEAR(cl, c.cl, 5e-5);
    EXPECT_NEAR(cd, c.cd, 5e-5);
    EXPECT_EQ(cm, 0.0);
  }
}

// Rounding can put the host's angle a hair outside -pi..pi; the table index must stay inside.
TEST(RocketAeroCoeff, StaysOnTheTableAtTheEndsOfTheRange) {
  for (double aoa : {-PI - 1e-9, -PI, PI, PI + 1e-9}) {
    double cl, cm, cd;
    aero_coeff(aoa, &cl, &cm, &cd);
    EXPECT_TRUE(std::isfinite(cl) && std::isfinite(cd)) << aoa;
    EXPECT_NEAR(cl, 0.0, 1e-6) << aoa;
  }
}

// The lever formulas applied to the RCS groups of a fresh rocket give the documented turning
// capability figures: sum over the group of lever x thrust.
TEST(RocketTorqueLever, RcsGroupsGiveTheCapabilityFigures) {
  struct Thr {
    VECTOR3 pos, dir;
    double f;
  };
  const Thr rcs[6] = {
      {{1.267, 0.9, 31.679}, {0, -1, 0}, 6000},    {{-1.267, 0.9, 31.679}, {0, -1, 0}, 6000},
      {{5.071, 0.359, -16.296}, {0, -1, 0}, 4000}, {{-5.071, 0.359, -16.296}, {0, -1, 0}, 4000},
      {{1.542, 0.139, 31.898}, {-1, 0, 0}, 4000},  {{-1.542, 0.139, 31.898}, {1, 0, 0}, 4000},
  };
  struct Case {
    int cap_index;
    std::vector<int> members;
    double want;
  };
  const Case cases[] = {
      {0, {2, 3}, 130368}, {1, {0, 1}, -380148}, {2, {1, 3}, -27886},
      {3, {0, 2}, 27886},  {4, {4}, -127592},    {5, {5}, 127592},
  };
  for (const Case& c : cases) {
    double sum = 0.0;
    for (int m : c.members) sum += torque_lever_m(c.cap_index, rcs[m].pos, rcs[m].dir) * rcs[m].f;
    EXPECT_NEAR(sum, c.want, 1e-6) << c.cap_index;
  }
  EXPECT_EQ(torque_lever_m(6, _V(1, 2, 3), _V(0, 1, 0)), 0.0);
}

}  // namespace
