// Attachments in motion: a child held rigidly at its parent's point, pushing the pair with its
// thrust, and set free with the parent's velocity plus the separation speed.
#include <cmath>

#include "tests/physics_fixture.h"

namespace {

using physics_test::World;

struct Pair {
  World w;
  sim::HostVessel* parent = nullptr;
  sim::HostVessel* child = nullptr;
  ATTACHMENTHANDLE pp = nullptr, cp = nullptr;
  THRUSTER_HANDLE engine = nullptr;
  static constexpr double kParentMass = 4000, kChildMass = 1000, kThrust = 10000;

  Pair() {
    // Far out in space: gravity 4e-6 m/s^2.
    const VECTOR3 at = w.earth().pos + _V(0, 0, 1e10);
    parent = w.add("Parent", at, [this](VESSEL& v) {
                v.SetEmptyMass(kParentMass);
                v.SetPMI(_V(3, 3, 2));
                pp = v.CreateAttachment(false, _V(1, 0, 5), _V(0, 0, 1), _V(0, 1, 0), "P");
              }).first;
    child = w.add("Child", at + _V(100, 0, 0), [this](VESSEL& v) {
               v.SetEmptyMass(kChildMass);
               v.SetPMI(_V(1, 1, 1));
               // Turned by 90 degrees about its direction against the parent's point.
               cp = v.CreateAttachment(true, _V(0, 0, -2), _V(0, 0, -1), _V(1, 0, 0), "C");
               PROPELLANT_HANDLE tank = v.CreatePropellantResource(10);
               engine = v.CreateThruster(_V(0, 0, 0), _V(0, 1, 0), kThrust, tank, 1e9);
             }).first;
  }

  // Global positions 1 AU from the Sun resolve about 3e-5 m: the tolerances allow for that.
  void expect_rigidly_placed() {
    const VECTOR3 p_pos = parent->pos + mul(parent->rot, pp->pos);
    const VECTOR3 c_pos = child->pos + mul(child->rot, cp->pos);
    EXPECT_LT(dist(p_pos, c_pos), 1e-4);
    EXPECT_LT(length(mul(parent->rot, pp->dir) + mul(child->rot, cp->dir)), 1e-9);  // opposite
    EXPECT_LT(length(mul(parent->rot, pp->rot) - mul(child->rot, cp->rot)), 1e-9);  // aligned
    // Moving as a point of the parent: v_p + R (r x w).
    const VECTOR3 r = tmul(parent->rot, child->pos - parent->pos);
    EXPECT_LT(length(child->vel - parent->vel - mul(parent->rot, crossp(r, parent->omega))), 1e-4);
  }
};

TEST(Attachment, ChildFollowsItsSpinningParent) {
  Pair p;
  p.parent->vel = _V(30, -5, 12);
  p.parent->omega = _V(0.1, 0.2, -0.05);
  ASSERT_TRUE(p.w.sim->attach(*p.parent, p.pp, *p.child, p.cp));
  p.expect_rigidly_placed();
  physics_test::run(*p.w.sim, 3.0, 0.02);
  p.expect_rigidly_placed();
  EXPECT_TRUE(p.child->parent() == p.parent);
}

TEST(Attachment, ChildThrustPushesThePair) {
  Pair p;
  ASSERT_TRUE(p.w.sim->attach(*p.parent, p.pp, *p.child, p.cp));
  p.child->iface->SetThrusterLevel(p.engine, 1.0);
  const VECTOR3 dir = mul(p.child->rot, _V(0, 1, 0));  // the child's +y, fixed while the pair turns slowly
  const VECTOR3 v0 = p.parent->vel;
  p.w.sim->step(0.1);
  // F / (m_parent + m_child) over the frame (gravity 4e-6 m/s^2 aside).
  const double dv = Pair::kThrust / (Pair::kParentMass + p.child->mass()) * 0.1;
  EXPECT_NEAR(dotp(p.parent->vel - v0, dir), dv, 1e-3 * dv);
  p.expect_rigidly_placed();
}

TEST(Attachment, DetachedChildGetsParentVelocityPlusSeparationSpeed) {
  Pair p;
  p.parent->vel = _V(10, 0, 0);
  ASSERT_TRUE(p.w.sim->attach(*p.parent, p.pp, *p.child, p.cp));
  physics_test::run(*p.w.sim, 0.2, 0.02);
  const VECTOR3 sep = mul(p.parent->rot, p.pp->dir);
  const VECTOR3 expected = sim::detach_velocity(*p.parent, *p.pp, 2.0);
  EXPECT_LT(length(expected - (p.parent->vel + sep * 2.0)), 1e-9);
  ASSERT_TRUE(p.w.sim->detach(*p.parent, p.pp, 2.0));
  EXPECT_EQ(p.child->parent(), nullptr);
  EXPECT_LT(length(p.child->vel - p.parent->vel - sep * 2.0), 1e-9);
  const VECTOR3 gap0 = p.child->pos - p.parent->pos;
  physics_test::run(*p.w.sim, 1.0, 0.02);
  // Both fall alike; the gap opens at 2 m/s along the parent's point direction.
  const VECTOR3 opened = p.child->pos - p.parent->pos - gap0;
  EXPECT_NEAR(dotp(opened, sep), 2.0, 1e-3);
  EXPECT_LT(length(opened - sep * 2.0), 1e-3);
}

}  // namespace
