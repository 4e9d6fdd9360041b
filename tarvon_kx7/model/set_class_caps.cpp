#include <cmath>

#include "tarvon_kx7/tarvon_kx7.h"

// Touchdown points with the legs stowed: six leg feet, then the nose. The leg feet move down with the
// legs (update_touchdown_points).
TOUCHDOWNVTX touchdown_table[7] = {
    {{0.0, -5.5, kx7::leg_foot_z_stowed_m}, 1e8, 4e6, 1.0, 1.0},
    {{-4.33, 2.75, kx7::leg_foot_z_stowed_m}, 1e8, 4e6, 1.0, 1.0},
    {{4.33, 2.75, kx7::leg_foot_z_stowed_m}, 1e8, 4e6, 1.0, 1.0},
    {{0.0, 5.5, kx7::leg_foot_z_stowed_m}, 1e8, 4e6, 1.0, 1.0},
    {{-4.33, -2.75, kx7::leg_foot_z_stowed_m}, 1e8, 4e6, 1.0, 1.0},
    {{4.33, -2.75, kx7::leg_foot_z_stowed_m}, 1e8, 4e6, 1.0, 1.0},
    {{0.0, 0.0, 33.2}, 1e8, 2e6, 1.0, 0.0},
};

namespace {

// Particle streams; all use the registered contrail texture.
PARTICLESTREAMSPEC rcs_plume_stream(SURFHANDLE tex) {
  return {.flags = 0,
          .srcsize = 0.15,
          .srcrate = 20.0,
          .v0 = 70.0,
          .srcspread = 0.05,
          .lifetime = 0.05,
          .growthrate = 30.0,
          .atmslowdown = 15.0,
          .ltype = PARTICLESTREAMSPEC::EMISSIVE,
          .levelmap = PARTICLESTREAMSPEC::LVL_SQRT,
          .lmin = 0.0,
          .lmax = 1.0,
          .atmsmap = PARTICLESTREAMSPEC::ATM_FLAT,
          .amin = 1.0,
          .amax = 1.0,
          .tex = tex};
}

PARTICLESTREAMSPEC fuel_dump_stream(SURFHANDLE tex) {
  return {.flags = 0,
          .srcsize = 3.0,
          .srcrate = 4.0,
          .v0 = 150.0,
          .srcspread = 0.5,
          .lifetime = 2.0,
          .growthrate = 20.0,
          .atmslowdown = 5.0,
          .ltype = PARTICLESTREAMSPEC::EMISSIVE,
          .levelmap = PARTICLESTREAMSPEC::LVL_SQRT,
          .lmin = 0.5,
          .lmax = 0.5,
          .atmsmap = PARTICLESTREAMSPEC::ATM_FLAT,
          .amin = 0.5,
          .amax = 0.5,
          .tex = tex};
}

PARTICLESTREAMSPEC ground_dust_stream(SURFHANDLE tex) {
  return {.flags = 0,
          .srcsize = 8.0,
          .srcrate = 20.0,
          .v0 = 200.0,
          .srcspread = 0.5,
          .lifetime = 1.25,
          .growthrate = 20.0,
          .atmslowdown = 5.0,
          .ltype = PARTICLESTREAMSPEC::DIFFUSE,
          .levelmap = PARTICLESTREAMSPEC::LVL_SQRT,
          .lmin = 1.0,
          .lmax = 1.0,
          .atmsmap = PARTICLESTREAMSPEC::ATM_PLOG,
          .amin = 7e-08,
          .amax = 1.0,
          .tex = tex};
}

}  // namespace

// Turns the empty vessel into the rocket: state defaults, animations, then the physical description
// in the order the host is to receive it.
void tarvon_kx7::clbkSetClassCaps(FILEHANDLE /*cfg*/) {
  set_defaults();
  define_animations();

  SetSize(kx7::size_m);
  SetEmptyMass(kx7::empty_mass_kg);
  SetPMI(kx7::pmi_m2);
  SetCrossSections(kx7::cross_sections_m2);
  SetCW(kx7::cw_z_pos, kx7::cw_z_neg, kx7::cw_x, kx7::cw_y);
  SetRotDrag(kx7::rot_drag);

  SetTouchdownPoints(touchdown_table, 7);

  const UINT mesh = AddMesh(kx7::mesh_name);
  SetMeshVisibilityMode(mesh, MESHVIS_ALWAYS);
  SetCameraOffset(kx7::camera_offset_m);
  SetDockParams(kx7::dock_pos_m, kx7::dock_dir, kx7::dock_rot);

  main_tank = CreatePropellantResource(kx7::main_tank_kg, kx7::main_tank_kg, 1.0);
  rcs_tank = CreatePropellantResource(kx7::rcs_tank_kg, kx7::rcs_tank_kg, 1.0);
  reserve_tank = CreatePropellantResource(kx7::reserve_tank_kg, kx7::reserve_tank_kg, 1.0);

  // Main engines round the z axis, engine 1 on +y.
  for (int i = 0; i < 3; ++i) {
    const MATRIX3 turn = axis_rotation(_V(0, 0, 1), kx7::engine_angle_deg[i] * RAD);
    main_engine[i] =
        CreateThruster(mul(turn, kx7::engine_ref_pos_m), mul(turn, kx7::engine_dir), kx7::engine_thrust_n,
                       main_tank, kx7::engine_isp_vac_m_s, kx7::engine_isp_ref_m_s, kx7::isp_ref_pressure_pa);
  }

  // Engine flames; the ids of engines 1 and 2 are kept so that the engine count can change them.
  SURFHANDLE engine_tex = oapiRegisterExhaustTexture(kx7::engine_exhaust_tex);
  exhaust_id[0] = AddExhaust(main_engine[0], kx7::long_flame_length_m, kx7::long_flame_width_m, engine_tex);
  exhaust_id[2] = AddExhaust(main_engine[1], kx7::long_flame_length_m, kx7::long_flame_width_m, engine_tex);
  AddExhaust(main_engine[2], kx7::long_flame_length_m, kx7::long_flame_width_m, engine_tex);
  exhaust_id[1] = AddExhaust(main_engine[0], kx7::short_flame_length_m, kx7::short_flame_width_m,
                             kx7::short_flame_offset_m);
  exhaust_id[3] = AddExhaust(main_engine[1], kx7::short_flame_length_m, kx7::short_flame_width_m,
                             kx7::short_flame_offset_m);
  AddExhaust(main_engine[2], kx7::short_flame_length_m, kx7::short_flame_width_m, kx7::short_flame_offset_m);

  for (int i = 0; i < 3; ++i) group_scratch[i] = main_engine[i];
  CreateThrusterGroup(group_scratch, 3, THGROUP_MAIN);

  for (int i = 0; i < 6; ++i) {
    rcs[i] = CreateThruster(kx7::rcs_layout[i].pos_m, kx7::rcs_layout[i].dir, kx7::rcs_layout[i].thrust_n,
                            rcs_tank, kx7::rcs_isp_m_s, 0.0, kx7::isp_ref_pressure_pa);
  }

  // Gimbal-torque thrusters: pitch and yaw on the axis, roll couples at the sides.
  const double z = kx7::tvc_plane_z_m;
  const double r = kx7::engine_circle_radius_m * std::sin(kx7::roll_couple_angle_deg * RAD);
  auto engine_like = [this](const VECTOR3& pos, const VECTOR3& dir, double thrust_n) {
    return CreateThruster(pos, dir, thrust_n, main_tank, kx7::engine_isp_vac_m_s, kx7::engine_isp_ref_m_s,
                          kx7::isp_ref_pressure_pa);
  };
  tvc_pitch_up = engine_like(_V(0, 0, z), _V(0, -1, 0), kx7::tvc_axis_thrust_n);
  tvc_pitch_down = engine_like(_V(0, 0, z), _V(0, 1, 0), kx7::tvc_axis_thrust_n);
  tvc_yaw_a = engine_like(_V(0, 0, z), _V(1, 0, 0), kx7::tvc_axis_thrust_n);
  tvc_yaw_b = engine_like(_V(0, 0, z), _V(-1, 0, 0), kx7::tvc_axis_thrust_n);
  tvc_roll_a = engine_like(_V(r, 0, z), _V(0, 1, 0), kx7::tvc_roll_thrust_n);
  tvc_roll_b = engine_like(_V(-r, 0, z), _V(0, -1, 0), kx7::tvc_roll_thrust_n);
  tvc_roll_c = engine_like(_V(r, 0, z), _V(0, -1, 0), kx7::tvc_roll_thrust_n);
  tvc_roll_d = engine_like(_V(-r, 0, z), _V(0, 1, 0), kx7::tvc_roll_thrust_n);

  SURFHANDLE rcs_tex = oapiRegisterExhaustTexture(kx7::rcs_exhaust_tex);
  for (THRUSTER_HANDLE th : rcs) AddExhaust(th, kx7::rcs_flame_length_m, kx7::rcs_flame_width_m, rcs_tex);
  SURFHANDLE contrail_tex = oapiRegisterParticleTexture(kx7::particle_tex);
  const PARTICLESTREAMSPEC rcs_plume = rcs_plume_stream(contrail_tex);
  for (THRUSTER_HANDLE th : rcs) AddExhaustStream(th, &rcs_plume);

  // Attitude groups from the RCS; the slots run PITCHUP, PITCHDOWN, BANKRIGHT, BANKLEFT, YAWRIGHT,
  // YAWLEFT.
  group_scratch[0] = rcs[2];
  group_scratch[1] = rcs[3];
  att_group[0] = CreateThrusterGroup(group_scratch, 2, THGROUP_ATT_PITCHUP);
  group_scratch[0] = rcs[0];
  group_scratch[1] = rcs[1];
  att_group[1] = CreateThrusterGroup(group_scratch, 2, THGROUP_ATT_PITCHDOWN);
  group_scratch[0] = rcs[1];
  group_scratch[1] = rcs[3];
  att_group[3] = CreateThrusterGroup(group_scratch, 2, THGROUP_ATT_BANKLEFT);
  group_scratch[0] = rcs[0];
  group_scratch[1] = rcs[2];
  att_group[2] = CreateThrusterGroup(group_scratch, 2, THGROUP_ATT_BANKRIGHT);
  group_scratch[0] = rcs[4];
  att_group[5] = CreateThrusterGroup(group_scratch, 1, THGROUP_ATT_YAWLEFT);
  group_scratch[0] = rcs[5];
  att_group[4] = CreateThrusterGroup(group_scratch, 1, THGROUP_ATT_YAWRIGHT);

  fuel_dump = CreateThruster(kx7::fuel_dump_pos_m, _V(0, 0, 1), kx7::fuel_dump_thrust_n, main_tank,
                             kx7::fuel_dump_isp_m_s, kx7::fuel_dump_isp_m_s, kx7::isp_ref_pressure_pa);
  const PARTICLESTREAMSPEC dump = fuel_dump_stream(contrail_tex);
  AddExhaustStream(fuel_dump, &dump);

  const double canard_chord_m = std::sqrt(kx7::canard_area_m2);
  const double wing_chord_m = std::sqrt(kx7::wing_area_m2);
  body_airfoil_v =
      CreateAirfoil3(LIFT_VERTICAL, kx7::body_airfoil_ref_m, vlift_coeff, nullptr, kx7::body_airfoil_chord_m,
                     kx7::body_airfoil_area_m2, kx7::body_airfoil_aspect);
  body_airfoil_h =
      CreateAirfoil3(LIFT_HORIZONTAL, kx7::body_airfoil_ref_m, hlift_coeff, nullptr,
                     kx7::body_airfoil_chord_m, kx7::body_airfoil_area_m2, kx7::body_airfoil_aspect);
  for (int i = 0; i < 2; ++i) {
    canard_airfoil[i] = CreateAirfoil3(LIFT_VERTICAL, kx7::canard_ref_m[i], vlift_coeff, nullptr,
                                       canard_chord_m, kx7::canard_area_m2, kx7::flap_aspect);
  }
  for (int i = 0; i < 2; ++i) {
    wing_airfoil[i] = CreateAirfoil3(LIFT_VERTICAL, kx7::wing_ref_m[i], vlift_coeff, nullptr, wing_chord_m,
                                     kx7::wing_area_m2, kx7::flap_aspect);
  }
  // The fin carries the aft flaps' chord on half their area.
  fin_airfoil = CreateAirfoil3(LIFT_HORIZONTAL, kx7::fin_ref_m, hlift_coeff, nullptr, wing_chord_m,
                               kx7::fin_area_m2, kx7::flap_aspect);

  ground_dust = CreateThruster(kx7::ground_dust_pos_m, _V(0, 0, 1), 0.0, main_tank, kx7::ground_dust_isp_m_s,
                               0.0, kx7::isp_ref_pressure_pa);
  const PARTICLESTREAMSPEC dust = ground_dust_stream(oapiRegisterParticleTexture(kx7::particle_tex));
  AddExhaustStream(ground_dust, &dust);
}
