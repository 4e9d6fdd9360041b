// The rocket's vessel class and its state record.
//
// Vessel frame: +z is the nose, along which the main engines push; +y is the side of engine 1.
// All state of one rocket lives in the flat fields below, in this order. Their defaults are given at
// the start of clbkSetClassCaps, not in the constructor.
#pragma once

#include "host/vessel.h"

// Configuration constants of the rocket, the same for every rocket of the module.
namespace kx7 {

constexpr double size_m = 30.0;
constexpr double empty_mass_kg = 120000.0;
constexpr VECTOR3 pmi_m2{100.0, 100.0, 12.0};  // mass-normalised principal moments of inertia
constexpr VECTOR3 cross_sections_m2{426.0, 426.0, 76.0};
constexpr double cw_z_pos = 0.5, cw_z_neg = 1.0, cw_x = 1.0, cw_y = 1.0;  // drag coefficients
constexpr VECTOR3 rot_drag{0.5, 0.4, 0.5};

constexpr const char* mesh_name = "tarvon_kx7/tarvon_kx7";
constexpr VECTOR3 camera_offset_m{0.0, 0.0, 0.0};
constexpr VECTOR3 dock_pos_m{0.0, 0.0, -16.78};
constexpr VECTOR3 dock_dir{0.0, 0.0, -1.0};
constexpr VECTOR3 dock_rot{0.0, 1.0, 0.0};

// Propellant capacities, kg (tanks start full).
constexpr double main_tank_kg = 1175000.0;
constexpr double rcs_tank_kg = 500.0;
constexpr double reserve_tank_kg = 25000.0;

// Main engines: engine 1 sits at the reference position; engines 2 and 3 sit 120 and 240 degrees
// further round the z axis.
constexpr VECTOR3 engine_ref_pos_m{0.0, 1.027, -16.7};
constexpr VECTOR3 engine_dir{0.0, 0.0, 1.0};
constexpr double engine_angle_deg[3] = {0.0, 120.0, 240.0};
constexpr double engine_thrust_n = 2000000.0;
constexpr double engine_isp_vac_m_s = 3490.0;
constexpr double engine_isp_ref_m_s = 3250.0;  // at the reference pressure
constexpr double isp_ref_pressure_pa = 101400.0;
constexpr double rcs_isp_m_s = 800.0;  // no pressure dependence

// Radius of the circle the main engines sit on. Engines 2 and 3 sit radius x sin 60 deg to the sides
// of the z axis; the roll-couple thrusters sit at the same distance.
constexpr double engine_circle_radius_m = 1.027;
constexpr double roll_couple_angle_deg = 60.0;

// RCS thrusters.
struct thruster_layout {
  VECTOR3 pos_m;
  VECTOR3 dir;
  double thrust_n;
};
constexpr thruster_layout rcs_layout[6] = {
    {{1.267, 0.9, 31.679}, {0, -1, 0}, 6000.0},    {{-1.267, 0.9, 31.679}, {0, -1, 0}, 6000.0},
    {{5.071, 0.359, -16.296}, {0, -1, 0}, 4000.0}, {{-5.071, 0.359, -16.296}, {0, -1, 0}, 4000.0},
    {{1.542, 0.139, 31.898}, {-1, 0, 0}, 4000.0},  {{-1.542, 0.139, 31.898}, {1, 0, 0}, 4000.0},
};

// Gimbal-torque thrusters at the engine plane.
constexpr double tvc_plane_z_m = -16.7;
constexpr double tvc_axis_thrust_n = 600000.0;  // pitch and yaw
constexpr double tvc_roll_thrust_n = 300000.0;  // each roll-couple thruster

// Fuel dump and ground-dust emitters.
constexpr VECTOR3 fuel_dump_pos_m{0.0, 1.027, -16.7};
constexpr double fuel_dump_thrust_n = 500.0;
constexpr double fuel_dump_isp_m_s = 1.0;  // 500 kg/s at full level
constexpr VECTOR3 ground_dust_pos_m{0.0, 0.0, -70.0};
constexpr double ground_dust_isp_m_s = 1000000.0;

// Exhaust flames: long textured flame and short default flame on each engine, one on each RCS
// thruster.
constexpr const char* engine_exhaust_tex = "tarvon_kx7/qv1_exhaust";
constexpr const char* rcs_exhaust_tex = "exhaust_atrcs";
constexpr const char* particle_tex = "Contrail1";
constexpr double long_flame_length_m = 40.0, long_flame_width_m = 3.0;
constexpr double short_flame_length_m = 10.0, short_flame_width_m = 1.5, short_flame_offset_m = 0.6;
constexpr double rcs_flame_length_m = 12.0, rcs_flame_width_m = 1.0;

// Airfoils.
constexpr VECTOR3 body_airfoil_ref_m{0.0, 0.2165, -0.003};
constexpr double body_airfoil_chord_m = 45.0;
constexpr double body_airfoil_area_m2 = 450.0;
constexpr double body_airfoil_aspect = 1.0;
constexpr VECTOR3 canard_ref_m[2] = {{-7.0, 0.0, 27.0}, {7.0, 0.0, 27.0}};
constexpr double canard_area_m2 = 20.0;
constexpr VECTOR3 wing_ref_m[2] = {{-7.0, 0.0, -9.0}, {7.0, 0.0, -9.0}};
constexpr double wing_area_m2 = 60.0;
constexpr VECTOR3 fin_ref_m{0.0, 2.0, -4.0};
constexpr double fin_area_m2 = 30.0;
constexpr double flap_aspect = 3.0;

// Coefficient model of all airfoils: lift every 22.5 degrees of angle of attack from -180 to +180.
constexpr double lift_table[17] = {0.0, 0.2, 0.4, 0.2, 0.0,  -0.2, -0.4, -0.2, 0.0,
                                   0.2, 0.4, 0.2, 0.0, -0.2, -0.4, -0.2, 0.0};
constexpr double lift_table_step_deg = 22.5;
constexpr double profile_drag = 0.12;
constexpr double induced_drag_aspect = 0.16;
constexpr double induced_drag_efficiency = 0.2;
constexpr double drag_factor = 0.5;

// Leg feet: z of the touchdown points with the legs stowed, and how far they move out when deployed.
constexpr double leg_foot_z_stowed_m = -16.78;
constexpr double leg_foot_travel_m = 2.15;

// Legs: hinge of leg 0; each further leg is turned -60 degrees about z from the previous one.
constexpr VECTOR3 leg0_hinge_ref_m{3.972, 0.0, -16.427};
constexpr VECTOR3 leg0_hinge_axis{0.0, -1.0, 0.0};
constexpr double leg_spacing_deg = -60.0;
constexpr double leg_fold_deg = 195.0;
constexpr VECTOR3 leg_extension_m{0.0, 0.0, 0.9};
constexpr double leg_fold_end_state = 0.7;  // animation state at which the fold ends and extension starts

// Wind above the target is sampled this high above it.
constexpr double target_wind_height_m = 1400.0;

}  // namespace kx7

// Module-wide variables, shared by all rockets of this module.
extern OBJHANDLE gravity_ref_body;       // gravity reference body for base look-ups
extern TOUCHDOWNVTX touchdown_table[7];  // 0..5 leg feet, 6 nose

// Rotation about the unit axis by angle_rad: a vector v turns into mul(result, v). About (0, 0, 1)
// a positive angle turns +x towards +y.
MATRIX3 axis_rotation(const VECTOR3& axis, double angle_rad);

// Lift, moment and drag coefficients of the rocket's airfoils at the given angle of attack (rad).
void aero_coeff(double aoa_rad, double* cl, double* cm, double* cd);
// Host coefficient callbacks: vertical-lift and horizontal-lift airfoils (the same model).
void vlift_coeff(VESSEL* v, double aoa, double M, double Re, void* context, double* cl, double* cm,
                 double* cd);
void hlift_coeff(VESSEL* v, double aoa, double M, double Re, void* context, double* cl, double* cm,
                 double* cd);

// Turning lever (m) of a thruster at ref_m pushing along dir for the attitude group in torque_cap
// order: 0 PITCHUP, 1 PITCHDOWN, 2 BANKLEFT, 3 BANKRIGHT, 4 YAWLEFT, 5 YAWRIGHT.
double torque_lever_m(int cap_index, const VECTOR3& ref_m, const VECTOR3& dir);

// z of the leg feet in the vessel frame for a leg position 0 (stowed) to 1 (deployed).
double leg_foot_z_m(double gear_pos);

class tarvon_kx7 final : public VESSEL3 {
 public:
  tarvon_kx7(OBJHANDLE hVessel, int flightmodel);
  ~tarvon_kx7();

  // Host callbacks.
  void clbkSetClassCaps(FILEHANDLE cfg) override;
  void clbkSaveState(FILEHANDLE scn) override;
  void clbkLoadStateEx(FILEHANDLE scn, void* status) override;
  void clbkPostCreation() override;
  bool clbkLoadGenericCockpit() override;

  // Operations.
  void set_defaults();
  void define_animations();
  void apply_aero_mode();
  void select_propellant_source();
  void update_touchdown_points();
  void lookup_target();
  void apply_camera_view();

  // --- Target ---
  char target_name[256];

  // --- Thrusters, propellant, airfoils, groups ---
  THRUSTER_HANDLE tvc_pitch_up, tvc_pitch_down;
  THRUSTER_HANDLE tvc_yaw_a, tvc_yaw_b;
  THRUSTER_HANDLE tvc_roll_a, tvc_roll_b, tvc_roll_c, tvc_roll_d;
  THRUSTER_HANDLE rcs[6];
  THRUSTER_HANDLE group_scratch[3];
  THRUSTER_HANDLE main_engine[3];
  THRUSTER_HANDLE ground_dust;
  THRUSTER_HANDLE fuel_dump;
  PROPELLANT_HANDLE main_tank, rcs_tank, reserve_tank;
  ANIMATIONCOMPONENT_HANDLE leg_parent;
  AIRFOILHANDLE body_airfoil_h;
  AIRFOILHANDLE body_airfoil_v;
  AIRFOILHANDLE canard_airfoil[2];
  AIRFOILHANDLE wing_airfoil[2];
  AIRFOILHANDLE fin_airfoil;
  THGROUP_HANDLE att_group[6];  // PITCHUP, PITCHDOWN, BANKRIGHT, BANKLEFT, YAWRIGHT, YAWLEFT

  // --- Animations ---
  UINT anim_flap[4];  // forward left, forward right, aft left, aft right
  UINT anim_gear;

  // --- Mechanism state ---
  double flap_pos[4];
  double gear_pos;
  int gear_state;  // 0 up, 1 extending, 2 down, 3 retracting
  int tvc_attitude;
  int throttle_cmd;  // 0 none, 1 full, 2 cut
  double main_level;

  // --- Control demands ---
  double man_level[6];  // PITCHUP, PITCHDOWN, BANKLEFT, BANKRIGHT, YAWLEFT, YAWRIGHT
  double key_att[6];
  double ctrl_pitch;
  double ctrl_bank;
  double ctrl_yaw;
  double gimbal_cmd[3];
  double simdt;
  bool navmode_active;

  // --- Guidance memory ---
  double att_goal[6];
  VECTOR3 target_wind;
  double torque_cap[6];  // N m, PITCHUP, PITCHDOWN, BANKLEFT, BANKRIGHT, YAWLEFT, YAWRIGHT
  int landing_burn;
  int skydive_land;
  int aero_mode;  // 0 SKYDIVE, 1 REENTRY
  int camera_view;
  int retro_landing;
  int prop_select;  // 0 MAIN, 1 RESERVE
  int turn_side;
  double trim;
  double guid_out[4];
  double dust_level;
  double target_windspeed;

  // --- Owned objects and engines ---
  // The animation components are owned by the rocket; null until the animations are defined, so
  // that a rocket destroyed before its configuration releases nothing.
  MGROUP_TRANSFORM* anim_comp[16] = {};
  int engine_count;
  UINT exhaust_id[4];  // engine 1 long, engine 1 short, engine 2 long, engine 2 short
  int fuel_dump_on;
  int guidance_primed;
};
