#include <cstring>

#include "tarvon_kx7/tarvon_kx7.h"

// Gives every field of the state record its default. Host handles start empty until the
// configuration creates their objects; the animation components are left to define_animations.
void tarvon_kx7::set_defaults() {
  std::strcpy(target_name, "NULL");

  tvc_pitch_up = tvc_pitch_down = nullptr;
  tvc_yaw_a = tvc_yaw_b = nullptr;
  tvc_roll_a = tvc_roll_b = tvc_roll_c = tvc_roll_d = nullptr;
  for (THRUSTER_HANDLE& th : rcs) th = nullptr;
  for (THRUSTER_HANDLE& th : group_scratch) th = nullptr;
  for (THRUSTER_HANDLE& th : main_engine) th = nullptr;
  ground_dust = nullptr;
  fuel_dump = nullptr;
  main_tank = rcs_tank = reserve_tank = nullptr;
  leg_parent = nullptr;
  body_airfoil_h = body_airfoil_v = nullptr;
  canard_airfoil[0] = canard_airfoil[1] = nullptr;
  wing_airfoil[0] = wing_airfoil[1] = nullptr;
  fin_airfoil = nullptr;
  for (THGROUP_HANDLE& g : att_group) g = nullptr;

  for (UINT& a : anim_flap) a = 0;
  anim_gear = 0;

  for (double& p : flap_pos) p = 0.0;
  gear_pos = 0.0;
  gear_state = 0;
  tvc_attitude = 0;
  throttle_cmd = 0;
  main_level = 0.0;

  for (double& l : man_level) l = 0.0;
  for (double& k : key_att) k = 0.0;
  ctrl_pitch = ctrl_bank = ctrl_yaw = 0.0;
  for (double& g : gimbal_cmd) g = 0.0;
  simdt = 0.0;
  navmode_active = false;

  // Nose straight ahead, +y up: the attitude the rocket already has.
  const double goal[6] = {0, 0, 1, 0, 1, 0};
  for (int i = 0; i < 6; ++i) att_goal[i] = goal[i];
  target_wind = _V(0, 0, 0);
  for (double& t : torque_cap) t = 0.0;
  landing_burn = 0;
  skydive_land = 0;
  aero_mode = 0;
  camera_view = 0;
  retro_landing = 0;
  prop_select = 0;
  turn_side = 0;
  trim = 0.09;
  for (double& g : guid_out) g = 0.0;
  dust_level = 0.0;
  target_windspeed = 0.0;

  engine_count = 3;
  for (UINT& id : exhaust_id) id = 0;
  fuel_dump_on = 0;
  guidance_primed = 0;
}
