// The host's own records behind the opaque handles of the vessel interface.
//
// Conventions of the flight state (every part of the host uses them):
// - global frame: left-handed, +y ecliptic north; positions in m, velocities in m/s;
// - HostVessel::rot turns vessel-frame vectors into the global frame (global = rot * local);
// - HostVessel::omega is the angular velocity in the vessel frame (rad/s), with the physical signs
//   of the left-handed frame: a body point r moves with crossp(r, omega), a force F at r gives
//   the torque crossp(F, r);
// - a celestial body spins about the global +y axis with omega (0, 2 pi / period, 0).
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/vessel.h"

struct HostObject {
  enum class Kind { Vessel, Body, Base };
  HostObject(Kind k, std::string n) : kind(k), name(std::move(n)) {}
  virtual ~HostObject() = default;
  Kind kind;
  std::string name;
};

namespace sim {

struct Body;
struct HostVessel;

struct SurfaceBase : HostObject {
  SurfaceBase(std::string n, Body* b, double lng_rad, double lat_rad)
      : HostObject(Kind::Base, std::move(n)), body(b), lng(lng_rad), lat(lat_rad) {}
  Body* body;
  double lng, lat;  // rad
};

struct Body : HostObject {
  explicit Body(std::string n) : HostObject(Kind::Body, std::move(n)) {}
  double mass = 0.0;        // kg
  double radius = 0.0;      // mean radius, m
  double rot_period = 0.0;  // sidereal rotation period, s; 0: no rotation
  double rot_offset = 0.0;  // rotation angle at simulation time 0, rad
  VECTOR3 pos{0, 0, 0};     // global position of the centre, m
  bool has_atmosphere = false;
  std::vector<std::unique_ptr<SurfaceBase>> bases;
};

}  // namespace sim

struct HostPropellant {
  double max_mass = 0.0;
  double mass = 0.0;
  double efficiency = 1.0;
};

struct HostThruster {
  VECTOR3 pos{0, 0, 0};
  VECTOR3 dir{0, 0, 1};
  double max0 = 0.0;      // vacuum rating, N
  double isp_vac = 0.0;   // m/s
  double isp_ref = 0.0;   // m/s at p_ref; 0: no pressure dependence
  double p_ref = 101400;  // Pa
  HostPropellant* res = nullptr;
  double level = 0.0;  // 0..1
};

struct HostThrusterGroup {
  THGROUP_TYPE type = THGROUP_USER;
  std::vector<HostThruster*> thrusters;
  double level() const;  // the mean level of its thrusters
};

struct HostTexture {
  std::string name;
  bool particle = false;
};

struct HostParticleStream {
  PARTICLESTREAMSPEC spec{};
  HostThruster* thruster = nullptr;  // exhaust stream: follows this thruster's level
  bool has_pos = false;              // exhaust stream with its own position
  VECTOR3 pos{0, 0, 0};
  VECTOR3 dir{0, 0, 0};
  double* level_ptr = nullptr;  // particle stream: the level variable the vessel owns
  double level() const;
};

struct HostAirfoil {
  AIRFOIL_ORIENTATION orientation = LIFT_VERTICAL;
  VECTOR3 ref{0, 0, 0};
  AirfoilCoeffFuncEx cf = nullptr;
  void* context = nullptr;
  double chord = 0.0, area = 0.0, aspect = 0.0;
};

struct HostAnimComponent {
  UINT anim = 0;
  double state0 = 0.0, state1 = 1.0;
  MGROUP_TRANSFORM* trans = nullptr;  // owned by the vessel module
  HostAnimComponent* parent = nullptr;
};

struct HostAttachment {
  sim::HostVessel* owner = nullptr;
  bool toparent = false;
  VECTOR3 pos{0, 0, 0}, dir{0, 0, 1}, rot{0, 1, 0};
  std::string id;
  bool loose = false;
  HostAttachment* peer = nullptr;  // the other vessel's point while attached
};

struct HostDockPort {
  VECTOR3 pos, dir, rot;
};

struct HostScenarioFile {
  virtual ~HostScenarioFile() = default;
};

namespace sim {

struct Exhaust {
  UINT id = 0;
  HostThruster* thruster = nullptr;
  double length = 0.0, width = 0.0;
  double offset = 0.0;
  bool has_offset = false;
  SURFHANDLE tex = nullptr;
};

struct Mesh {
  std::string name;
  VECTOR3 ofs{0, 0, 0};
  WORD visibility = MESHVIS_EXTERNAL;
};

struct Animation {
  double state = 0.0;
  std::vector<HostAnimComponent*> components;
};

struct Atmosphere {
  double density = 0.0;         // kg/m^3
  double pressure = 0.0;        // Pa
  double temperature = 0.0;     // K
  double speed_of_sound = 0.0;  // m/s
};

struct Touchdown {
  double t = 0.0;                     // simulation time, s
  double vspeed = 0.0, hspeed = 0.0;  // m/s, vertical positive up
  double lon = 0.0, lat = 0.0;        // deg
  double pitch = 0.0, bank = 0.0;     // deg
};

enum class FlightStatus { Landed, Flying, Orbiting };

struct Module;

struct HostVessel : HostObject {
  explicit HostVessel(std::string n) : HostObject(Kind::Vessel, std::move(n)) {}

  std::string class_name;
  Module* module = nullptr;
  VESSEL* iface = nullptr;                     // the module's object (from ovcInit)
  std::function<void(VESSEL*)> destroy_iface;  // test vessels: how to delete iface
  int index = 0;                               // creation order

  // Configuration
  double size = 1.0;
  double empty_mass = 0.0;
  VECTOR3 pmi{1, 1, 1};
  VECTOR3 cross_sections{1, 1, 1};
  std::array<double, 4> cw{0.5, 0.5, 1.0, 1.0};  // +z, -z, x, y
  VECTOR3 rot_drag{0, 0, 0};
  std::vector<TOUCHDOWNVTX> touchdown;
  std::vector<Mesh> meshes;
  VECTOR3 camera_offset{0, 0, 0};
  VECTOR3 camera_dir{0, 0, 1};
  double camera_tilt = 0.0;
  std::vector<std::unique_ptr<HostDockPort>> dock_ports;

  std::vector<std::unique_ptr<HostPropellant>> propellants;
  HostPropellant* default_propellant = nullptr;
  std::vector<std::unique_ptr<HostThruster>> thrusters;
  std::vector<std::unique_ptr<HostThrusterGroup>> groups;  // creation order
  std::vector<Exhaust> exhausts;
  UINT next_exhaust_id = 0;
  std::vector<std::unique_ptr<HostParticleStream>> exhaust_streams;
  std::vector<std::unique_ptr<HostParticleStream>> particle_streams;
  std::vector<std::unique_ptr<HostAirfoil>> airfoils;
  std::vector<Animation> animations;
  std::vector<std::unique_ptr<HostAnimComponent>> anim_components;
  std::vector<std::unique_ptr<HostAttachment>> attachments;  // creation order, both kinds
  std::vector<std::unique_ptr<LightEmitter>> lights;
  std::vector<BEACONLIGHTSPEC*> beacons;

  // Flight state
  Body* ref = nullptr;   // gravity reference body
  VECTOR3 pos{0, 0, 0};  // global, m
  VECTOR3 vel{0, 0, 0};  // global, m/s
  MATRIX3 rot = identity3();
  VECTOR3 omega{0, 0, 0};  // vessel frame, rad/s
  FlightStatus status = FlightStatus::Flying;
  bool resting = false;  // held at rest on the ground (landed and not lifted off)
  bool ground_contact = false;
  Atmosphere atm;
  double drag = 0.0;  // magnitude of the aerodynamic drag of the last frame, N
  double lift = 0.0;
  std::vector<std::pair<VECTOR3, VECTOR3>> added_forces;  // (force, point) of this frame, vessel frame
  std::optional<Touchdown> touchdown_record;
  bool airborne_since_start = false;  // seen off the ground: the next contact is a touchdown
  // Where a resting vessel stands: position relative to the body centre and attitude, both in the
  // body-fixed frame of its reference body (kept by the dynamics while resting).
  VECTOR3 rest_pos_body{0, 0, 0};
  MATRIX3 rest_rot_body = identity3();

  // Modes
  std::array<bool, 8> navmode{};  // index 1..7
  DWORD adctrl_mode = 7;
  int attitude_mode = RCS_ROT;
  std::array<double, 15> manual_override{};  // host manual levels applied this frame, by group type

  double mass() const;  // empty mass plus all propellant
  HostThrusterGroup* group_of_type(THGROUP_TYPE t) const;
  HostAttachment* parent_point() const;  // this vessel's to-parent point while attached
  HostVessel* parent() const;
};

}  // namespace sim
