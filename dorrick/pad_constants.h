// Fixed figures of the landing pad, with their units.
#pragma once

#include "host/types.h"

namespace pad_k {

// Physical set-up.
constexpr double empty_mass_kg = 25000.0;
constexpr double cw = 1.0;  // all four drag coefficients
constexpr double size_m = 150.0;
constexpr VECTOR3 cross_sections_m2{100.0, 100.0, 100.0};
constexpr VECTOR3 pmi_m2{200.0, 100.0, 200.0};
constexpr VECTOR3 rot_drag{2.0, 2.0, 2.0};
constexpr const char* mesh_name = "tarvon_kx7/dorrick";
constexpr UINT mesh_index = 0;
constexpr VECTOR3 camera_offset_m{0.0, 10.0, -100.0};

// Touchdown points: an equilateral triangle of radius 100 m, 0.5 m below the origin.
constexpr double touchdown_stiffness_N_m = 1000000.0;
constexpr double touchdown_damping_N_s_m = 100000.0;
constexpr double touchdown_mu = 1.0;

// Floodlight at the pad's -z edge, shining across it.
constexpr VECTOR3 light_pos_m{0.0, 20.0, -100.0};
constexpr VECTOR3 light_dir{0.0, 0.0, 1.0};
constexpr double light_range_m = 400.0;
constexpr double light_att[3] = {1.0, 0.0, 5e-05};  // constant, linear, quadratic
constexpr double light_umbra_deg = 45.0;
constexpr double light_penumbra_deg = 90.0;
constexpr COLOUR4 light_colour{1.0f, 1.0f, 0.9f, 0.0f};  // diffuse and specular
constexpr COLOUR4 light_ambient{0.0f, 0.0f, 0.0f, 0.0f};

// Beacons: red stars flashing together.
constexpr double beacon_size_m = 1.0;
constexpr double beacon_falloff = 0.5;
constexpr double beacon_period_s = 2.0;
constexpr double beacon_duration_s = 0.2;
constexpr double beacon_tofs_s = 0.0;

// Propellant and thruster (never fired by the module).
constexpr double propellant_max_kg = 750.0;
constexpr double propellant_efficiency = 1.0;
constexpr VECTOR3 thruster_pos_m{0.0, 0.0, 0.0};
constexpr VECTOR3 thruster_dir{0.0, 0.0, 1.0};
constexpr double thruster_max_N = 1000.0;
constexpr double thruster_isp_m_s = 50000.0;
constexpr double thruster_isp_ref_m_s = 0.0;
constexpr double thruster_p_ref_Pa = 101400.0;

// Proximity of an approaching vessel, in the pad's frame.
constexpr double approach_range_m = 5000.0;     // farther away never counts
constexpr double approach_min_height_m = 50.0;  // above it a vessel counts anywhere within range
constexpr double approach_max_height_m = 5000.0;
constexpr double ground_radius_m = 300.0;  // below the minimum height, only this close counts

// Scenario line key.
constexpr const char* visibility_key = "PADVIS";

}  // namespace pad_k
