// Pure functions of the flight dynamics: the arithmetic of gravity, aerodynamics, ground contact,
// rigid-body motion and attachment geometry, apart from the host records they read and write.
// Frames follow records.h: vessel frame, left-handed, component cross product; a force F at r
// gives the torque crossp(F, r), a body point r moves with crossp(r, omega).
#pragma once

#include "sim/records.h"

namespace sim {

constexpr double kGravitationalConstant = 6.67430e-11;  // m^3 / (kg s^2)
constexpr double kAirViscosity_Pa_s = 1.6894e-5;        // dynamic viscosity used for Reynolds numbers
constexpr double kRotDragSpeedOffset_m_s = 30.0;        // airspeed added in the rotational drag pressure

// A force and its torque about the vessel origin, both in the vessel frame.
struct Wrench {
  VECTOR3 force{0, 0, 0};
  VECTOR3 torque{0, 0, 0};
};

inline Wrench& operator+=(Wrench& a, const Wrench& b) {
  a.force += b.force;
  a.torque += b.torque;
  return a;
}

// Torque of a force applied at a point (vessel frame).
inline VECTOR3 torque_of(const VECTOR3& force, const VECTOR3& point) { return crossp(force, point); }

// Gravitational acceleration towards a point mass gm_m3_s2 at relative position rel (global).
VECTOR3 gravity_accel(double gm_m3_s2, const VECTOR3& rel_m);

// --- Aerodynamics ---

// Angle the coefficient function of an airfoil gets for the airspeed vector a (vessel frame):
// vertical lift: atan2(-a.y, a.z); horizontal lift: atan2(-a.x, a.z).
double airfoil_angle(AIRFOIL_ORIENTATION orientation, const VECTOR3& airspeed_vessel);

struct AirfoilLoad {
  Wrench wrench;          // force at the reference point and its torque, plus the airfoil moment
  VECTOR3 lift{0, 0, 0};  // lift force, vessel frame
  VECTOR3 drag{0, 0, 0};  // drag force, vessel frame
};

// Forces of one airfoil from its coefficients: lift perpendicular to the airflow in the airfoil's
// plane, drag along the airflow, both q S coefficient at the reference point; the moment
// q S chord cm about the axis normal to the airfoil's plane (x for vertical lift, nose up
// positive; y for horizontal lift, nose towards +x positive).
AirfoilLoad airfoil_load(AIRFOIL_ORIENTATION orientation, const VECTOR3& ref, double chord_m, double area_m2,
                         const VECTOR3& airspeed_vessel, double density_kg_m3, double cl, double cm,
                         double cd);

// Drag of the simple model: along the airflow, q times the cross sections seen by the airflow
// weighted with the drag coefficient of each axis (cw: +z, -z, x, y).
VECTOR3 simple_drag(const std::array<double, 4>& cw, const VECTOR3& cross_sections_m2,
                    const VECTOR3& airspeed_vessel, double density_kg_m3);

// Decay rate (1/s) of each component of the angular velocity relative to the air under
// rotational drag: q' S_y c_i / I_i with q' = 1/2 rho (|a| + 30 m/s)^2.
VECTOR3 rot_drag_rates(const VECTOR3& rot_drag, double cross_section_y_m2, double airspeed_m_s,
                       double density_kg_m3, const VECTOR3& inertia_kg_m2);

// --- Ground contact ---

struct ContactPoint {
  VECTOR3 pos_vessel;      // touchdown point, vessel frame
  double depth_m;          // below the surface (positive) or above it (negative)
  VECTOR3 up;              // surface normal at the point, global
  VECTOR3 vel_rel_global;  // velocity of the point relative to the ground, global
  VECTOR3 long_global;     // the vessel's longitudinal (+z) direction laid on the ground, unit
};

// Reaction force (global) of the ground on one touchdown point: spring and damper along the
// normal (never pulling), friction along the ground as Coulomb friction mu N, regularised by a
// viscous term of coefficient viscous_long / viscous_lat (N s/m) that stops slipping smoothly.
VECTOR3 contact_force(const TOUCHDOWNVTX& td, const ContactPoint& cp, double viscous_long_n_s_m,
                      double viscous_lat_n_s_m);

// Inverse effective mass (1/kg) of a rigid body for a push at point p (vessel frame) along the
// direction d (vessel frame, unit): 1/m + sum_i (p x d)_i^2 / I_i.
double inverse_effective_mass(double mass_kg, const VECTOR3& inertia_kg_m2, const VECTOR3& p,
                              const VECTOR3& d);

// Largest step (s) for which the explicit spring-damper update stays well inside its stability
// limit, given bounds on the stiffness and damping rates (sum of k w and c w over the points).
double stable_contact_step(double stiffness_rate_1_s2, double damping_rate_1_s);

// --- Rigid-body motion ---

// Rotation of the body frame over a step h at the constant angular velocity omega (vessel
// frame): R(t+h) = R(t) * step_rotation(omega, h).
MATRIX3 step_rotation(const VECTOR3& omega_rad_s, double h_s);

// Re-orthonormalises a rotation matrix (columns), keeping the third axis as the component
// cross product of the first two, as every vessel frame of the host is built.
MATRIX3 orthonormalise(const MATRIX3& r);

// Angular acceleration by Euler's equations in the host's frame: I dw/dt = tau + w x (I w).
VECTOR3 angular_accel(const VECTOR3& inertia_kg_m2, const VECTOR3& omega_rad_s, const VECTOR3& torque_n_m);

// --- Attachment geometry ---

// Pose of a child attached by its point cp to its parent's point pp: the rotation from the child
// frame to the parent frame and the child origin in the parent frame.
struct RelativePose {
  MATRIX3 rot = identity3();
  VECTOR3 pos{0, 0, 0};
};
RelativePose attachment_pose(const HostAttachment& parent_point, const HostAttachment& child_point);

}  // namespace sim
