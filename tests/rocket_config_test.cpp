// What the host receives when a rocket is created: mass and tanks, thrusters, groups, flames and
// particle streams, airfoils, animations, touchdown points, and the rocket's own starting record.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tarvon_kx7/tarvon_kx7.h"
#include "tests/support/sim_fixture.h"

namespace {

constexpr const char* kLanded =
    "KX7:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 0\nEND\n";

class FreshRocket : public ::testing::Test {
 protected:
  void SetUp() override {
    sim = test_support::load(test_support::scenario(kLanded));
    v = sim->vessel("KX7");
    ASSERT_NE(v, nullptr);
    rocket = static_cast<tarvon_kx7*>(v->iface);
  }

  std::unique_ptr<sim::Simulation> sim;
  sim::HostVessel* v = nullptr;
  tarvon_kx7* rocket = nullptr;
};

void expect_vec_near(const VECTOR3& got, const VECTOR3& want, double tol = 1e-6) {
  EXPECT_NEAR(got.x, want.x, tol);
  EXPECT_NEAR(got.y, want.y, tol);
  EXPECT_NEAR(got.z, want.z, tol);
}

std::string tex_name(SURFHANDLE t) { return t == nullptr ? "" : t->name; }

TEST_F(FreshRocket, BodyMassAndTanks) {
  EXPECT_DOUBLE_EQ(v->size, 30.0);
  EXPECT_DOUBLE_EQ(v->empty_mass, 120000.0);
  expect_vec_near(v->pmi, _V(100, 100, 12));
  expect_vec_near(v->cross_sections, _V(426, 426, 76));
  EXPECT_EQ(v->cw, (std::array<double, 4>{0.5, 1.0, 1.0, 1.0}));
  expect_vec_near(v->rot_drag, _V(0.5, 0.4, 0.5));
  ASSERT_EQ(v->meshes.size(), 1u);
  EXPECT_EQ(v->meshes[0].name, "tarvon_kx7/tarvon_kx7");
  EXPECT_EQ(v->meshes[0].visibility, MESHVIS_ALWAYS);
  ASSERT_EQ(v->dock_ports.size(), 1u);
  expect_vec_near(v->dock_ports[0]->pos, _V(0, 0, -16.78));
  expect_vec_near(v->dock_ports[0]->dir, _V(0, 0, -1));
  expect_vec_near(v->dock_ports[0]->rot, _V(0, 1, 0));

  // Full tanks: 120000 + 1175000 + 500 + 25000.
  EXPECT_DOUBLE_EQ(v->mass(), 1320500.0);
  ASSERT_EQ(v->propellants.size(), 3u);
  const double capacity[3] = {1175000, 500, 25000};
  HostPropellant* const fields[3] = {rocket->main_tank, rocket->rcs_tank, rocket->reserve_tank};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(v->propellants[i].get(), fields[i]) << i;
    EXPECT_DOUBLE_EQ(v->propellants[i]->max_mass, capacity[i]) << i;
    EXPECT_DOUBLE_EQ(v->propellants[i]->mass, capacity[i]) << i;
    EXPECT_DOUBLE_EQ(v->propellants[i]->efficiency, 1.0) << i;
  }
}

TEST_F(FreshRocket, ThrustersInCreationOrder) {
  const double r = 1.027 * std::sin(60.0 * RAD);
  enum Tank { MAIN, RCS };
  struct Want {
    THRUSTER_HANDLE field;
    VECTOR3 pos, dir;
    double max0;
    Tank tank;
    double isp_vac, isp_ref;
  };
  const Want want[19] = {
      {rocket->main_engine[0], {0, 1.027, -16.7}, {0, 0, 1}, 2e6, MAIN, 3490, 3250},
      {rocket->main_engine[1], {-r, -0.5135, -16.7}, {0, 0, 1}, 2e6, MAIN, 3490, 3250},
      {rocket->main_engine[2], {r, -0.5135, -16.7}, {0, 0, 1}, 2e6, MAIN, 3490, 3250},
      {rocket->rcs[0], {1.267, 0.9, 31.679}, {0, -1, 0}, 6000, RCS, 800, 0},
      {rocket->rcs[1], {-1.267, 0.9, 31.679}, {0, -1, 0}, 6000, RCS, 800, 0},
      {rocket->rcs[2], {5.071, 0.359, -16.296}, {0, -1, 0}, 4000, RCS, 800, 0},
      {rocket->rcs[3], {-5.071, 0.359, -16.296}, {0, -1, 0}, 4000, RCS, 800, 0},
      {rocket->rcs[4], {1.542, 0.139, 31.898}, {-1, 0, 0}, 4000, RCS, 800, 0},
      {rocket->rcs[5], {-1.542, 0.139, 31.898}, {1, 0, 0}, 4000, RCS, 800, 0},
      {rocket->tvc_pitch_up, {0, 0, -16.7}, {0, -1, 0}, 600000, MAIN, 3490, 3250},
      {rocket->tvc_pitch_down, {0, 0, -16.7}, {0, 1, 0}, 600000, MAIN, 3490, 3250},
      {rocket->tvc_yaw_a, {0, 0, -16.7}, {1, 0, 0}, 600000, MAIN, 3490, 3250},
      {rocket->tvc_yaw_b, {0, 0, -16.7}, {-1, 0, 0}, 600000, MAIN, 3490, 3250},
      {rocket->tvc_roll_a, {r, 0, -16.7}, {0, 1, 0}, 300000, MAIN, 3490, 3250},
      {rocket->tvc_roll_b, {-r, 0, -16.7}, {0, -1, 0}, 300000, MAIN, 3490, 3250},
      {rocket->tvc_roll_c, {r, 0, -16.7}, {0, -1, 0}, 300000, MAIN, 3490, 3250},
      {rocket->tvc_roll_d, {-r, 0, -16.7}, {0, 1, 0}, 300000, MAIN, 3490, 3250},
      {rocket->fuel_dump, {0, 1.027, -16.7}, {0, 0, 1}, 500, MAIN, 1, 1},
      {rocket->ground_dust, {0, 0, -70}, {0, 0, 1}, 0, MAIN, 1e6, 0},
  };
  ASSERT_EQ(v->thrusters.size(), 19u);
  EXPECT_NEAR(r, 0.889408, 1e-6);
  for (int i = 0; i < 19; ++i) {
    SCOPED_TRACE(i);
    const HostThruster& th = *v->thrusters[i];
    EXPECT_EQ(&th, want[i].field);
    expect_vec_near(th.pos, want[i].pos, 1e-9);
    expect_vec_near(th.dir, want[i].dir, 1e-12);
    EXPECT_DOUBLE_EQ(th.max0, want[i].max0);
    EXPECT_EQ(th.res, want[i].tank == MAIN ? rocket->main_tank : rocket->rcs_tank);
    EXPECT_DOUBLE_EQ(th.isp_vac, want[i].isp_vac);
    EXPECT_DOUBLE_EQ(th.isp_ref, want[i].isp_ref);
    EXPECT_DOUBLE_EQ(th.p_ref, 101400.0);
  }
}

// Together the main engines push 6 MN along +z, and the resultant acts on the z axis.
TEST_F(FreshRocket, MainEnginesPushAlongTheAxis) {
  HostThrusterGroup* main = v->group_of_type(THGROUP_MAIN);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(main->thrusters.size(), 3u);
  VECTOR3 force{0, 0, 0}, moment_arm{0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    const HostThruster* th = main->thrusters[i];
    EXPECT_EQ(th, rocket->main_engine[i]);
    force += th->dir * th->max0;
    moment_arm += th->pos * th->max0;
  }
  expect_vec_near(force, _V(0, 0, 6000000), 1e-6);
  // Force-weighted mean position: on the z axis at the engine plane.
  expect_vec_near(moment_arm / force.z, _V(0, 0, -16.7), 1e-9);
}

// Groups are created PITCHUP, PITCHDOWN, BANKLEFT, BANKRIGHT, YAWLEFT, YAWRIGHT, but the slots of
// att_group run PITCHUP, PITCHDOWN, BANKRIGHT, BANKLEFT, YAWRIGHT, YAWLEFT.
TEST_F(FreshRocket, GroupsAndAttitudeSlots) {
  ASSERT_EQ(v->groups.size(), 7u);
  const THGROUP_TYPE created[7] = {THGROUP_MAIN,         THGROUP_ATT_PITCHUP,   THGROUP_ATT_PITCHDOWN,
                                   THGROUP_ATT_BANKLEFT, THGROUP_ATT_BANKRIGHT, THGROUP_ATT_YAWLEFT,
                                   THGROUP_ATT_YAWRIGHT};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(v->groups[i]->type, created[i]) << i;

  struct Slot {
    THGROUP_TYPE type;
    std::vector<int> rcs;
  };
  const Slot slots[6] = {
      {THGROUP_ATT_PITCHUP, {2, 3}},  {THGROUP_ATT_PITCHDOWN, {0, 1}}, {THGROUP_ATT_BANKRIGHT, {0, 2}},
      {THGROUP_ATT_BANKLEFT, {1, 3}}, {THGROUP_ATT_YAWRIGHT, {5}},     {THGROUP_ATT_YAWLEFT, {4}},
  };
  for (int s = 0; s < 6; ++s) {
    SCOPED_TRACE(s);
    HostThrusterGroup* g = rocket->att_group[s];
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g, v->group_of_type(slots[s].type));
    ASSERT_EQ(g->thrusters.size(), slots[s].rcs.size());
    for (size_t i = 0; i < slots[s].rcs.size(); ++i) EXPECT_EQ(g->thrusters[i], rocket->rcs[slots[s].rcs[i]]);
  }
}

TEST_F(FreshRocket, ExhaustFlames) {
  ASSERT_EQ(v->exhausts.size(), 12u);
  struct Want {
    HostThruster* th;
    double length, width;
    bool has_offset;
    const char* tex;
  };
  const Want want[12] = {
      {rocket->main_engine[0], 40, 3, false, "tarvon_kx7/qv1_exhaust"},
      {rocket->main_engine[1], 40, 3, false, "tarvon_kx7/qv1_exhaust"},
      {rocket->main_engine[2], 40, 3, false, "tarvon_kx7/qv1_exhaust"},
      {rocket->main_engine[0], 10, 1.5, true, ""},
      {rocket->main_engine[1], 10, 1.5, true, ""},
      {rocket->main_engine[2], 10, 1.5, true, ""},
      {rocket->rcs[0], 12, 1, false, "exhaust_atrcs"},
      {rocket->rcs[1], 12, 1, false, "exhaust_atrcs"},
      {rocket->rcs[2], 12, 1, false, "exhaust_atrcs"},
      {rocket->rcs[3], 12, 1, false, "exhaust_atrcs"},
      {rocket->rcs[4], 12, 1, false, "exhaust_atrcs"},
      {rocket->rcs[5], 12, 1, false, "exhaust_atrcs"},
  };
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE(i);
    const sim::Exhaust& e = v->exhausts[i];
    EXPECT_EQ(e.thruster, want[i].th);
    EXPECT_DOUBLE_EQ(e.length, want[i].length);
    EXPECT_DOUBLE_EQ(e.width, want[i].width);
    EXPECT_EQ(e.has_offset, want[i].has_offset);
    if (want[i].has_offset) {
      EXPECT_DOUBLE_EQ(e.offset, 0.6);
    }
    EXPECT_EQ(tex_name(e.tex), want[i].tex);
  }
  // The removable flames: engine 1 long and short, engine 2 long and short.
  const int stored[4] = {0, 3, 1, 4};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(rocket->exhaust_id[k], v->exhausts[stored[k]].id) << k;
}

TEST_F(FreshRocket, ParticleStreams) {
  ASSERT_EQ(v->exhaust_streams.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const HostParticleStream& ps = *v->exhaust_streams[i];
    const PARTICLESTREAMSPEC& s = ps.spec;
    EXPECT_EQ(s.flags, 0u);
    EXPECT_EQ(tex_name(s.tex), "Contrail1");
    ASSERT_NE(s.tex, nullptr);
    EXPECT_TRUE(s.tex->particle);
    EXPECT_EQ(s.levelmap, PARTICLESTREAMSPEC::LVL_SQRT);
    if (i < 6) {  // RCS plumes
      EXPECT_EQ(ps.thruster, rocket->rcs[i]);
      EXPECT_DOUBLE_EQ(s.srcsize, 0.15);
      EXPECT_DOUBLE_EQ(s.srcrate, 20);
      EXPECT_DOUBLE_EQ(s.v0, 70);
      EXPECT_DOUBLE_EQ(s.srcspread, 0.05);
      EXPECT_DOUBLE_EQ(s.lifetime, 0.05);
      EXPECT_DOUBLE_EQ(s.growthrate, 30);
      EXPECT_DOUBLE_EQ(s.atmslowdown, 15);
      EXPECT_EQ(s.ltype, PARTICLESTREAMSPEC::EMISSIVE);
      EXPECT_EQ(s.lmin, 0.0);
      EXPECT_EQ(s.lmax, 1.0);
      EXPECT_EQ(s.atmsmap, PARTICLESTREAMSPEC::ATM_FLAT);
      EXPECT_EQ(s.amin, 1.0);
      EXPECT_EQ(s.amax, 1.0);
    } else if (i == 6) {  // fuel dump
      EXPECT_EQ(ps.thruster, rocket->fuel_dump);
      EXPECT_DOUBLE_EQ(s.srcsize, 3);
      EXPECT_DOUBLE_EQ(s.srcrate, 4);
      EXPECT_DOUBLE_EQ(s.v0, 150);
      EXPECT_DOUBLE_EQ(s.srcspread, 0.5);
      EXPECT_DOUBLE_EQ(s.lifetime, 2);
      EXPECT_DOUBLE_EQ(s.growthrate, 20);
      EXPECT_DOUBLE_EQ(s.atmslowdown, 5);
      EXPECT_EQ(s.ltype, PARTICLESTREAMSPEC::EMISSIVE);
      EXPECT_EQ(s.lmin, 0.5);
      EXPECT_EQ(s.lmax, 0.5);
      EXPECT_EQ(s.atmsmap, PARTICLESTREAMSPEC::ATM_FLAT);
      EXPECT_EQ(s.amin, 0.5);
      EXPECT_EQ(s.amax, 0.5);
    } else {  // ground dust
      EXPECT_EQ(ps.thruster, rocket->ground_dust);
      EXPECT_DOUBLE_EQ(s.srcsize, 8);
      EXPECT_DOUBLE_EQ(s.srcrate, 20);
      EXPECT_DOUBLE_EQ(s.v0, 200);
      EXPECT_DOUBLE_EQ(s.srcspread, 0.5);
      EXPECT_DOUBLE_EQ(s.lifetime, 1.25);
      EXPECT_DOUBLE_EQ(s.growthrate, 20);
      EXPECT_DOUBLE_EQ(s.atmslowdown, 5);
      EXPECT_EQ(s.ltype, PARTICLESTREAMSPEC::DIFFUSE);
      EXPECT_EQ(s.lmin, 1.0);
      EXPECT_EQ(s.lmax, 1.0);
      EXPECT_EQ(s.atmsmap, PARTICLESTREAMSPEC::ATM_PLOG);
      EXPECT_EQ(s.amin, 7e-08);
      EXPECT_EQ(s.amax, 1.0);
    }
  }
}

TEST_F(FreshRocket, Airfoils) {
  ASSERT_EQ(v->airfoils.size(), 7u);
  struct Want {
    AIRFOILHANDLE field;
    AIRFOIL_ORIENTATION orientation;
    VECTOR3 ref;
    double chord, area, aspect;
  };
  const Want want[7] = {
      {rocket->body_airfoil_v, LIFT_VERTICAL, {0, 0.2165, -0.003}, 45, 450, 1},
      {rocket->body_airfoil_h, LIFT_HORIZONTAL, {0, 0.2165, -0.003}, 45, 450, 1},
      {rocket->canard_airfoil[0], LIFT_VERTICAL, {-7, 0, 27}, 4.472136, 20, 3},
      {rocket->canard_airfoil[1], LIFT_VERTICAL, {7, 0, 27}, 4.472136, 20, 3},
      {rocket->wing_airfoil[0], LIFT_VERTICAL, {-7, 0, -9}, 7.745967, 60, 3},
      {rocket->wing_airfoil[1], LIFT_VERTICAL, {7, 0, -9}, 7.745967, 60, 3},
      {rocket->fin_airfoil, LIFT_HORIZONTAL, {0, 2, -4}, 7.745967, 30, 3},
  };
  const AirfoilCoeffFuncEx vertical = v->airfoils[0]->cf;
  const AirfoilCoeffFuncEx horizontal = v->airfoils[1]->cf;
  ASSERT_NE(vertical, nullptr);
  ASSERT_NE(horizontal, nullptr);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    const HostAirfoil& a = *v->airfoils[i];
    EXPECT_EQ(&a, want[i].field);
    EXPECT_EQ(a.orientation, want[i].orientation);
    expect_vec_near(a.ref, want[i].ref, 1e-12);
    EXPECT_NEAR(a.chord, want[i].chord, 1e-6);
    EXPECT_DOUBLE_EQ(a.area, want[i].area);
    EXPECT_DOUBLE_EQ(a.aspect, want[i].aspect);
    EXPECT_EQ(a.context, nullptr);
    EXPECT_EQ(a.cf, want[i].orientation == LIFT_VERTICAL ? vertical : horizontal);
  }
  // Both callbacks compute the same model whatever the Mach and Reynolds numbers.
  for (AirfoilCoeffFuncEx cf : {vertical, horizontal}) {
    for (double mach : {0.0, 0.8, 3.0}) {
      double cl = 0, cm = 1, cd = 0;
      cf(rocket, 45 * RAD, mach, 1e7 * (1 + mach), nullptr, &cl, &cm, &cd);
      EXPECT_NEAR(cl, 0.4, 1e-12);
      EXPECT_EQ(cm, 0.0);
      EXPECT_NEAR(cd, 0.8558, 5e-5);
    }
  }
}

TEST_F(FreshRocket, AnimationsAndLegHinges) {
  ASSERT_EQ(v->animations.size(), 5u);
  ASSERT_EQ(v->anim_components.size(), 16u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rocket->anim_flap[i], static_cast<UINT>(i));
  EXPECT_EQ(rocket->anim_gear, 4u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(v->anim_components[i]->trans, rocket->anim_comp[i]) << i;
  for (const sim::Animation& a : v->animations) EXPECT_EQ(a.state, 0.0);

  struct Flap {
    UINT group;
    VECTOR3 ref, axis;
    double angle_deg;
  };
  const Flap flaps[4] = {
      {8, {-5.103, 0, 23.678}, {0.30902, 0, 0.95106}, -60},
      {9, {5.103, 0, 23.678}, {-0.30902, 0, 0.95106}, 60},
      {22, {-5.821, 0, 1.031}, {0, 0, 1}, -70},
      {23, {5.821, 0, 1.031}, {0, 0, 1}, 70},
  };
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const HostAnimComponent& c = *v->anim_components[i];
    EXPECT_EQ(c.anim, rocket->anim_flap[i]);
    EXPECT_EQ(c.state0, 0.0);
    EXPECT_EQ(c.state1, 1.0);
    EXPECT_EQ(c.parent, nullptr);
    ASSERT_EQ(c.trans->Type(), MGROUP_TRANSFORM::ROTATE);
    const auto& rot = static_cast<const MGROUP_ROTATE&>(*c.trans);
    EXPECT_EQ(rot.mesh, 0u);
    ASSERT_EQ(rot.ngrp, 1u);
    EXPECT_EQ(rot.grp[0], flaps[i].group);
    expect_vec_near(rot.ref, flaps[i].ref, 1e-12);
    expect_vec_near(rot.axis, flaps[i].axis, 1e-12);
    EXPECT_FLOAT_EQ(rot.angle, static_cast<float>(flaps[i].angle_deg * RAD));
  }

  // Each leg: a 195-degree fold over 0..0.7, then its lower part slides 0.9 m over 0.7..1, riding on
  // the fold. The hinges sit every 60 degrees round the z axis, each axis tangential.
  struct Leg {
    UINT fold_groups[2];
    UINT extend_group;
    VECTOR3 ref, axis;
  };
  const Leg legs[6] = {
      {{1, 2}, 4, {3.972, 0, -16.427}, {0, -1, 0}},
      {{24, 25}, 26, {1.986, -3.43985, -16.427}, {-0.866025, -0.5, 0}},
      {{27, 28}, 29, {-1.986, -3.43985, -16.427}, {-0.866025, 0.5, 0}},
      {{30, 31}, 32, {-3.972, 0, -16.427}, {0, 1, 0}},
      {{33, 34}, 35, {-1.986, 3.43985, -16.427}, {0.866025, 0.5, 0}},
      {{36, 37}, 38, {1.986, 3.43985, -16.427}, {0.866025, -0.5, 0}},
  };
  for (int k = 0; k < 6; ++k) {
    SCOPED_TRACE(k);
    const HostAnimComponent& fold = *v->anim_components[4 + 2 * k];
    const HostAnimComponent& extend = *v->anim_components[5 + 2 * k];
    EXPECT_EQ(fold.anim, rocket->anim_gear);
    EXPECT_EQ(fold.state0, 0.0);
    EXPECT_EQ(fold.state1, 0.7);
    EXPECT_EQ(fold.parent, nullptr);
    ASSERT_EQ(fold.trans->Type(), MGROUP_TRANSFORM::ROTATE);
    const auto& rot = static_cast<const MGROUP_ROTATE&>(*fold.trans);
    ASSERT_EQ(rot.ngrp, 2u);
    EXPECT_EQ(rot.grp[0], legs[k].fold_groups[0]);
    EXPECT_EQ(rot.grp[1], legs[k].fold_groups[1]);
    expect_vec_near(rot.ref, legs[k].ref, 1e-5);
    expect_vec_near(rot.axis, legs[k].axis, 1e-6);
    EXPECT_FLOAT_EQ(rot.angle, static_cast<float>(195 * RAD));

    EXPECT_EQ(extend.anim, rocket->anim_gear);
    EXPECT_EQ(extend.state0, 0.7);
    EXPECT_EQ(extend.state1, 1.0);
    EXPECT_EQ(extend.parent, &fold);
    ASSERT_EQ(extend.trans->Type(), MGROUP_TRANSFORM::TRANSLATE);
    const auto& tr = static_cast<const MGROUP_TRANSLATE&>(*extend.trans);
    ASSERT_EQ(tr.ngrp, 1u);
    EXPECT_EQ(tr.grp[0], legs[k].extend_group);
    expect_vec_near(tr.shift, _V(0, 0, 0.9), 1e-12);
  }
}

TEST_F(FreshRocket, TouchdownPointsWithStowedLegs) {
  ASSERT_EQ(v->touchdown.size(), 7u);
  const VECTOR3 pos[7] = {{0, -5.5, -16.78}, {-4.33, 2.75, -16.78},  {4.33, 2.75, -16.78},
                          {0, 5.5, -16.78},  {-4.33, -2.75, -16.78}, {4.33, -2.75, -16.78},
                          {0, 0, 33.2}};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    const TOUCHDOWNVTX& t = v->touchdown[i];
    expect_vec_near(t.pos, pos[i], 1e-12);
    EXPECT_EQ(t.stiffness, 1e8);
    EXPECT_EQ(t.damping, i < 6 ? 4e6 : 2e6);
    EXPECT_EQ(t.mu, 1.0);
    EXPECT_EQ(t.mu_lng, i < 6 ? 1.0 : 0.0);
  }
}

// Defaults of the record; post-creation has added only the turning capability.
TEST_F(FreshRocket, RecordDefaults) {
  const tarvon_kx7& r = *rocket;
  EXPECT_STREQ(r.target_name, "NULL");
  EXPECT_EQ(r.engine_count, 3);
  EXPECT_EQ(r.trim, 0.09);
  const double goal[6] = {0, 0, 1, 0, 1, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.att_goal[i], goal[i]) << i;

  for (double x : r.flap_pos) EXPECT_EQ(x, 0.0);
  for (double x : r.man_level) EXPECT_EQ(x, 0.0);
  for (double x : r.key_att) EXPECT_EQ(x, 0.0);
  for (double x : r.gimbal_cmd) EXPECT_EQ(x, 0.0);
  for (double x : r.guid_out) EXPECT_EQ(x, 0.0);
  const double zero_doubles[] = {r.gear_pos,      r.main_level,    r.ctrl_pitch,   r.ctrl_bank,
                                 r.ctrl_yaw,      r.simdt,         r.dust_level,   r.target_windspeed,
                                 r.target_wind.x, r.target_wind.y, r.target_wind.z};
  for (double x : zero_doubles) EXPECT_EQ(x, 0.0);
  const int zero_ints[] = {r.gear_state,   r.tvc_attitude, r.throttle_cmd, r.landing_burn,
                           r.skydive_land, r.aero_mode,    r.camera_view,  r.retro_landing,
                           r.prop_select,  r.turn_side,    r.fuel_dump_on, r.guidance_primed};
  for (int x : zero_ints) EXPECT_EQ(x, 0);
  EXPECT_FALSE(r.navmode_active);

  // Turning capability of the RCS groups (N m), PITCHUP, PITCHDOWN, BANKLEFT, BANKRIGHT, YAWLEFT,
  // YAWRIGHT: sum of lever x thrust over each group.
  const double cap[6] = {130368, -380148, -27886, 27886, -127592, 127592};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(r.torque_cap[i], cap[i], 1e-6) << i;

  // The engines draw on the main tank.
  for (THRUSTER_HANDLE th : r.main_engine) EXPECT_EQ(th->res, r.main_tank);
  EXPECT_EQ(v->default_propellant == nullptr || v->default_propellant == r.main_tank, true);
}

}  // namespace
