// Frames of the world: body rotation, equatorial coordinates, the local horizon frame, and the
// conversions between a vessel's surface terms (position, attitude, ground speed) and its state
// vectors.
//
// Equatorial coordinates of a body: a point at longitude lng, latitude lat and distance r from the
// centre lies at r (cos lat cos lng, sin lat, cos lat sin lng) in the body-fixed frame. The body
// frame turns about +y by the rotation angle; longitude grows towards east.
// Horizon frame at a point: x east, y up (away from the body centre), z north.
#pragma once

#include "sim/records.h"

namespace sim {

// Rotation angle of the body at simulation time t (rad).
double body_rotation_angle(const Body& b, double t);
// Body-fixed frame to global frame at time t.
MATRIX3 body_rotation(const Body& b, double t);
// Angular velocity of the body in the global frame.
VECTOR3 body_omega(const Body& b);

// Global position of a point given in equatorial coordinates.
VECTOR3 equ_to_global(const Body& b, double t, double lng, double lat, double r);
// Equatorial coordinates of a global position.
void global_to_equ(const Body& b, double t, const VECTOR3& gpos, double& lng, double& lat, double& r);

// Horizon frame at a global position: columns east, up, north as global vectors
// (horizon to global).
MATRIX3 horizon_basis(const Body& b, const VECTOR3& gpos);

// Velocity of the surface (the co-rotating air) at a global position, global frame.
VECTOR3 surface_velocity(const Body& b, const VECTOR3& gpos);

// Attitude from heading, pitch and bank (rad) in the horizon frame: the vessel's +z axis points at
// the heading (azimuth from north towards east) and pitch; bank turns +y towards +x.
// Returns vessel frame to horizon frame.
MATRIX3 attitude_from_hpb(double heading, double pitch, double bank);
// Heading (0..2pi), pitch and bank of a vessel-to-horizon rotation.
void hpb_from_attitude(const MATRIX3& vessel_to_horizon, double& heading, double& pitch, double& bank);

// Euler angles (rad) of the orbiting scenario line AROT: rot = Rx(a) Ry(b) Rz(c).
MATRIX3 rotation_from_euler(const VECTOR3& abc);
VECTOR3 euler_from_rotation(const MATRIX3& r);

// A vessel standing on its touchdown points: the plane of the first three points lies on the
// ground, the vessel origin above it. "Forward" is the vessel's +z axis projected onto that plane,
// or its +y axis where +z is (nearly) perpendicular to the plane (a vessel standing on its tail);
// the heading is the azimuth of forward.
// Up direction in the vessel frame (unit, from the support plane towards the origin).
VECTOR3 support_up(const std::vector<TOUCHDOWNVTX>& td);
// Height of the vessel origin above the support plane (m).
double support_height(const std::vector<TOUCHDOWNVTX>& td);
// Vessel-to-horizon rotation of a vessel standing at the heading (rad).
MATRIX3 landed_attitude(const std::vector<TOUCHDOWNVTX>& td, double heading);
// Heading (0..2pi) of a vessel-to-horizon rotation under the same rule.
double landed_heading(const std::vector<TOUCHDOWNVTX>& td, const MATRIX3& vessel_to_horizon);

// Vessel-frame views of a vessel's state.
MATRIX3 vessel_to_horizon(const HostVessel& v);
double altitude_meanrad(const HostVessel& v);
double altitude_ground(const HostVessel& v);  // the surface is the sphere of mean radius
VECTOR3 groundspeed_global(const HostVessel& v);
// wind_horizon: the wind at the vessel (east, 0, north), m/s.
VECTOR3 airspeed_global(const HostVessel& v, const VECTOR3& wind_horizon);

}  // namespace sim
