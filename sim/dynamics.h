// Flight dynamics of the headless host: atmosphere and wind, forces, integration, ground contact,
// attachments in motion, and the host's own attitude control (navigation modes, manual input).
#pragma once

#include <vector>

#include "sim/records.h"

namespace sim {

class Simulation;
struct WindLayer;

// U.S. Standard Atmosphere 1976 at a geometric altitude (m) above mean radius, decaying smoothly
// to vacuum above 86 km. Below 0 m the sea-level layer is extended.
Atmosphere standard_atmosphere(double alt_m);

// Wind (east, 0, north) in m/s at an altitude: linear between layers, constant outside them.
VECTOR3 wind_at(const std::vector<WindLayer>& layers, double alt_m);

// Refreshes what the vessel senses of its environment at its present state (atmosphere, ground
// contact); called after loading and after every integration.
void update_environment(Simulation& sim, HostVessel& v);

// Puts a vessel with status Landed at rest on its touchdown points at its present position and
// heading (called once when a scenario is loaded).
void settle_landed(Simulation& sim, HostVessel& v);

// Sets the levels of the vessel's attitude groups for the active navigation modes and the host's
// default manual attitude input (held keypad keys, joystick) of this frame.
void apply_host_attitude_control(Simulation& sim, HostVessel& v, double dt);

// Integrates every free vessel over dt: gravity, thrust and propellant flow, aerodynamics, forces
// added by the module, rotational drag, ground contact; attached children move with their parents.
void integrate(Simulation& sim, double dt);

// Places a child rigidly at its parent's attachment point: the child's point on the parent's,
// its direction opposite to the parent's, its rotation reference along the parent's; the child
// takes the velocity and rotation of that point of the parent.
void place_attached(HostVessel& child);

// Velocity of a child set free from the parent's point (the point's peer is the child's point,
// still attached): the velocity of the child's origin as part of the parent plus the separation
// speed along the parent's attachment direction. The child keeps the rotation place_attached gave.
VECTOR3 detach_velocity(const HostVessel& parent, const HostAttachment& parent_point, double speed_m_s);

}  // namespace sim
