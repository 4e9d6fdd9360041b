// Fixed figures of the launch mount, with their units.
#pragma once

#include "host/types.h"

namespace mount_k {

// Physical set-up.
constexpr double empty_mass_kg = 500000.0;
constexpr double cw = 1.0;  // all four drag coefficients
constexpr double size_m = 9.0;
constexpr VECTOR3 cross_sections_m2{100.0, 100.0, 100.0};
constexpr VECTOR3 pmi_m2{100.0, 100.0, 100.0};
constexpr VECTOR3 rot_drag{1.0, 1.0, 1.0};
constexpr const char* mesh_name = "tarvon_kx7/velk_pad";
constexpr VECTOR3 camera_offset_m{0.0, 7.0, -10.0};

// Touchdown points: an equilateral triangle of radius 50 m, 3.05 m below the origin.
constexpr double touchdown_stiffness_N_m = 1000000.0;
constexpr double touchdown_damping_N_s_m = 1000000.0;
constexpr double touchdown_mu = 0.7;

// The holding point for the child vessel.
constexpr VECTOR3 hold_point_pos_m{0.0, 3.43, 0.0};
constexpr VECTOR3 hold_point_dir{0.0, 1.0, 0.0};
constexpr VECTOR3 hold_point_rot{0.0, 0.0, -1.0};
constexpr const char* hold_point_id = "QV";

// Start values of the state.
constexpr double start_local_gravity_m_s2 = 9.9;
constexpr double gravitational_constant = 6.67259e-11;  // m^3 / (kg s^2)

// Floodlights.
constexpr double flood_range_m = 5000.0;
constexpr double flood_att[3] = {0.00035, 0.0, 0.00035};  // constant, linear, quadratic
constexpr double flood_umbra_deg = 90.0;
constexpr double flood_penumbra_deg = 150.0;
constexpr COLOUR4 flood_colour{1.0f, 1.0f, 0.9f, 0.0f};  // diffuse and specular
constexpr COLOUR4 flood_ambient{0.0f, 0.0f, 0.0f, 0.0f};
constexpr VECTOR3 flood_pos_m[2] = {{40.0, 25.0, 40.0}, {-40.0, 25.0, -40.0}};
constexpr VECTOR3 flood_dir[2] = {{-0.612, 0.5, -0.612}, {0.612, 0.5, 0.612}};

// Step rule.
constexpr double max_stream_time_acceleration = 10.0;  // above it the streams stop
constexpr double burst_threshold = 0.99;               // a random draw above it starts a burst
constexpr double burst_threshold_client = 0.005;       // added to the threshold with a graphics client
constexpr double burst_duration_s = 6.0;
constexpr double release_lights_delay_s = 10.0;  // after a release the floodlights go off

// Scenario line key.
constexpr const char* state_key = "STTS";

}  // namespace mount_k
