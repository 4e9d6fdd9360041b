// Ground contact: vessels with the touchdown points and stiffnesses of the three modules dropped
// onto the ground at the frame lengths the host allows; resting vessels that stay put, lift off
// under thrust and follow their moving touchdown points.
#include <cmath>

#include "tests/physics_fixture.h"

namespace {

using physics_test::World;

struct Kind {
  const char* name;
  double mass;
  VECTOR3 pmi;
  std::vector<TOUCHDOWNVTX> points;
  double pitch_deg;    // attitude standing on the points: nose up for the rocket
  double foot_height;  // height of the origin above the plane of the feet
};

const Kind& rocket() {
  static const Kind k{"rocket",
                      1.32e6,
                      _V(100, 100, 12),
                      {{_V(0, -5.5, -16.78), 1e8, 4e6, 1.0, 1.0},
                       {_V(-4.33, 2.75, -16.78), 1e8, 4e6, 1.0, 1.0},
                       {_V(4.33, 2.75, -16.78), 1e8, 4e6, 1.0, 1.0},
                       {_V(0, 5.5, -16.78), 1e8, 4e6, 1.0, 1.0},
                       {_V(-4.33, -2.75, -16.78), 1e8, 4e6, 1.0, 1.0},
                       {_V(4.33, -2.75, -16.78), 1e8, 4e6, 1.0, 1.0},
                       {_V(0, 0, 33.2), 1e8, 2e6, 1.0, 0.0}},
                      90.0,
                      16.78};
  return k;
}
const Kind& mount() {
  static const Kind k{"mount",
                      5e5,
                      _V(100, 100, 100),
                      {{_V(0, -3.05, 50), 1e6, 1e6, 0.7, 0.7},
                       {_V(-43.3, -3.05, -25), 1e6, 1e6, 0.7, 0.7},
                       {_V(43.3, -3.05, -25), 1e6, 1e6, 0.7, 0.7}},
                      0.0,
                      3.05};
  return k;
}
const Kind& pad() {
  static const Kind k{"pad",
                      25750,
                      _V(200, 100, 200),
                      {{_V(0, -0.5, 100), 1e6, 1e5, 1.0, 1.0},
                       {_V(-86.6, -0.5, -50), 1e6, 1e5, 1.0, 1.0},
                       {_V(86.6, -0.5, -50), 1e6, 1e5, 1.0, 1.0}},
                      0.0,
                      0.5};
  return k;
}

struct Dropped {
  World w;
  sim::HostVessel* v = nullptr;
  physics_test::TestVessel* iface = nullptr;
  const Kind& kind;

  // The vessel with its feet `height` above the ground at 28.5 N, 80.6 W, at rest on the turning
  // ground, standing on its feet's plane.
  Dropped(const Kind& k, double height) : kind(k) {
    auto made = w.add(k.name, w.at(-80.6, 28.5, k.foot_height + height), [&k](VESSEL& vs) {
      vs.SetEmptyMass(k.mass);
      vs.SetPMI(k.pmi);
      vs.SetTouchdownPoints(k.points.data(), static_cast<DWORD>(k.points.size()));
    });
    v = made.first;
    iface = made.second;
    w.ground_rest(*v, 30.0, k.pitch_deg, 0.0);
  }

  // Mechanical energy in the frame turning with the ground: kinetic energy of the motion
  // relative to the ground, gravitational and centrifugal potential, and the energy stored in
  // the compressed touchdown springs. Coriolis forces do no work, so without friction and
  // dampers it would stay constant; with them it may only fall.
  double energy() const {
    const sim::Body& b = *v->ref;
    const VECTOR3 rel = v->pos - b.pos;
    const double spin = PI2 / b.rot_period;
    const double m = v->mass();
    const VECTOR3 vr = sim::groundspeed_global(*v);
    const VECTOR3 wr = v->omega - tmul(v->rot, sim::body_omega(b));
    double e = 0.5 * m * dotp(vr, vr) +
               0.5 * m * (v->pmi.x * wr.x * wr.x + v->pmi.y * wr.y * wr.y + v->pmi.z * wr.z * wr.z) -
               sim::kGravitationalConstant * b.mass * m / length(rel) -
               0.5 * m * spin * spin * (rel.x * rel.x + rel.z * rel.z);
    for (const TOUCHDOWNVTX& td : v->touchdown) {
      const double depth = b.radius - length(v->pos + mul(v->rot, td.pos) - b.pos);
      if (depth > 0) e += 0.5 * td.stiffness * depth * depth;
    }
    return e;
  }

  double deepest_point() const {
    double d = -1e9;
    for (const TOUCHDOWNVTX& td : v->touchdown)
      d = std::max(d, v->ref->radius - length(v->pos + mul(v->rot, td.pos) - v->ref->pos));
    return d;
  }
};

class DropTest : public ::testing::TestWithParam<std::tuple<int, double>> {};

TEST_P(DropTest, ComesToRestWithoutGainingEnergy) {
  const Kind* kinds[] = {&rocket(), &mount(), &pad()};
  const auto [kind_index, dt] = GetParam();
  Dropped d(*kinds[kind_index], 1.0);
  const double m = d.kind.mass;
  const double e0 = d.energy();
  double worst_gain = 0.0;
  const int frames = static_cast<int>(std::lround(10.0 / dt));
  for (int i = 0; i < frames; ++i) {
    d.w.sim->step(dt);
    ASSERT_TRUE(is_finite(d.v->pos));
    worst_gain = std::max(worst_gain, d.energy() - e0);
  }
  // Energy never above the start. Global positions 1 AU from the Sun resolve about 3e-5 m, so
  // the potential energy is known to m g 3e-5; that is the tolerance.
  EXPECT_LE(worst_gain, 5e-5 * m * 9.8 * 1.0);
  EXPECT_LT(d.energy(), e0 - 0.5 * m * 9.8);  // the impact was damped, not bounced away
  EXPECT_TRUE(d.v->ground_contact);
  EXPECT_TRUE(d.iface->GroundContact());
  EXPECT_TRUE(d.v->resting);
  EXPECT_LT(length(sim::groundspeed_global(*d.v)), 1e-3);
  // Standing on its feet, not sunk beyond a few static compressions.
  double k_sum = 0.0;
  for (const TOUCHDOWNVTX& td : d.kind.points)
    if (td.pos.z > -20 && std::abs(td.pos.z - 33.2) > 1e-9) k_sum += td.stiffness;
  const double static_sink = m * 9.8 / k_sum;
  EXPECT_GE(d.deepest_point(), 0.0);
  EXPECT_LT(d.deepest_point(), 2.0 * static_sink + 0.01);
  // Still upright (pitch as dropped) and level.
  double heading, pitch, bank;
  sim::hpb_from_attitude(sim::vessel_to_horizon(*d.v), heading, pitch, bank);
  EXPECT_NEAR(pitch * DEG, d.kind.pitch_deg, 0.5);
  // The first contact is the touchdown, at the speed of a 1 m fall: sqrt(2 g h).
  ASSERT_TRUE(d.v->touchdown_record.has_value());
  EXPECT_NEAR(d.v->touchdown_record->vspeed, -std::sqrt(2 * 9.79 * 1.0), 0.02);
  EXPECT_LT(d.v->touchdown_record->hspeed, 0.01);
  EXPECT_NEAR(d.v->touchdown_record->t, std::sqrt(2 * 1.0 / 9.79), 0.005);
  EXPECT_NEAR(d.v->touchdown_record->lon, -80.6, 1e-3);
  EXPECT_NEAR(d.v->touchdown_record->lat, 28.5, 1e-3);
}

std::string drop_name(const ::testing::TestParamInfo<std::tuple<int, double>>& info) {
  static const char* const names[] = {"rocket", "mount", "pad"};
  const int ms = static_cast<int>(std::lround(std::get<1>(info.param) * 1000));
  return std::string(names[std::get<0>(info.param)]) + "_dt" + std::to_string(ms) + "ms";
}

INSTANTIATE_TEST_SUITE_P(KindsAndFrames, DropTest,
                         ::testing::Combine(::testing::Values(0, 1, 2), ::testing::Values(0.01, 0.02, 0.1)),
                         drop_name);

// Body-fixed position of a vessel (m): where it stands on the turning planet.
VECTOR3 body_fixed(const World& w, const sim::HostVessel& v) {
  const sim::Body& b = *v.ref;
  return tmul(sim::body_rotation(b, w.sim->time()), v.pos - b.pos);
}

TEST(Resting, LandedVesselStaysPutOnItsPoints) {
  Dropped d(pad(), 0.0);
  sim::settle_landed(*d.w.sim, *d.v);
  EXPECT_TRUE(d.v->resting);
  EXPECT_TRUE(d.v->ground_contact);
  EXPECT_GE(d.deepest_point(), 0.0);
  EXPECT_LT(d.deepest_point(), 1e-3);
  const VECTOR3 start = body_fixed(d.w, *d.v);
  physics_test::run(*d.w.sim, 600.0, 0.1);
  EXPECT_TRUE(d.v->resting);
  EXPECT_LT(dist(body_fixed(d.w, *d.v), start), 1e-4);  // the resolution of global positions
  EXPECT_LT(length(sim::groundspeed_global(*d.v)), 1e-9);
  EXPECT_FALSE(d.v->touchdown_record.has_value());  // never airborne: no touchdown
}

TEST(Resting, ThrustAboveTheWeightLiftsItOff) {
  Dropped d(pad(), 0.0);
  THRUSTER_HANDLE th = nullptr;
  {
    VESSEL& vs = *d.iface;
    PROPELLANT_HANDLE tank = vs.CreatePropellantResource(1e6);
    th = vs.CreateThruster(_V(0, 0, 0), _V(0, 1, 0), 2.0 * 9.8 * (pad().mass + 1e6), tank, 1e6);
  }
  sim::settle_landed(*d.w.sim, *d.v);
  d.iface->SetThrusterLevel(th, 0.2);  // 0.4 of the weight: the ground still carries it
  physics_test::run(*d.w.sim, 2.0, 0.02);
  EXPECT_TRUE(d.v->resting);
  EXPECT_TRUE(d.v->ground_contact);
  d.iface->SetThrusterLevel(th, 1.0);  // twice the weight
  physics_test::run(*d.w.sim, 2.0, 0.02);
  EXPECT_FALSE(d.v->resting);
  EXPECT_FALSE(d.v->ground_contact);
  EXPECT_GT(sim::altitude_ground(*d.v), 0.5 + 5.0);
}

TEST(Resting, VesselFollowsTouchdownPointsMovedDown) {
  // Legs extended by 0.5 m while standing: the vessel is pushed up, it does not stay sunk in.
  Dropped d(pad(), 0.0);
  sim::settle_landed(*d.w.sim, *d.v);
  const double alt0 = sim::altitude_ground(*d.v);
  std::vector<TOUCHDOWNVTX> lowered = pad().points;
  for (auto& p : lowered) p.pos.y -= 0.5;
  for (int i = 1; i <= 50; ++i) {  // over one second, as a gear animation would
    std::vector<TOUCHDOWNVTX> now = pad().points;
    for (auto& p : now) p.pos.y -= 0.5 * i / 50.0;
    d.iface->SetTouchdownPoints(now.data(), static_cast<DWORD>(now.size()));
    d.w.sim->step(0.02);
  }
  physics_test::run(*d.w.sim, 10.0, 0.02);
  EXPECT_NEAR(sim::altitude_ground(*d.v) - alt0, 0.5, 0.1);
  EXPECT_GE(d.deepest_point(), 0.0);
  EXPECT_LT(d.deepest_point(), 0.1);
  EXPECT_TRUE(d.v->resting);
}

}  // namespace
