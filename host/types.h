// Handles, enumerations and plain structures of the host interface.
//
// Handles are opaque to the modules: they store them and never free them.
#pragma once

#include <cstdint>

#include "host/vecmat.h"

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using UINT = unsigned int;
using HINSTANCE = void*;

// Opaque host records behind the handles (defined by the host only).
struct HostObject;
struct HostThruster;
struct HostThrusterGroup;
struct HostPropellant;
struct HostAirfoil;
struct HostAnimComponent;
struct HostAttachment;
struct HostParticleStream;
struct HostTexture;
struct HostScenarioFile;
struct HostDockPort;

using OBJHANDLE = HostObject*;  // a vessel, a celestial body or a surface base
using THRUSTER_HANDLE = HostThruster*;
using THGROUP_HANDLE = HostThrusterGroup*;
using PROPELLANT_HANDLE = HostPropellant*;
using AIRFOILHANDLE = HostAirfoil*;
using ANIMATIONCOMPONENT_HANDLE = HostAnimComponent*;
using ATTACHMENTHANDLE = HostAttachment*;
using PSTREAM_HANDLE = HostParticleStream*;
using SURFHANDLE = HostTexture*;
using FILEHANDLE = HostScenarioFile*;
using DOCKHANDLE = HostDockPort*;

// Thruster group types.
enum THGROUP_TYPE {
  THGROUP_MAIN = 0,
  THGROUP_RETRO = 1,
  THGROUP_HOVER = 2,
  THGROUP_ATT_PITCHUP = 3,
  THGROUP_ATT_PITCHDOWN = 4,
  THGROUP_ATT_YAWLEFT = 5,
  THGROUP_ATT_YAWRIGHT = 6,
  THGROUP_ATT_BANKLEFT = 7,
  THGROUP_ATT_BANKRIGHT = 8,
  THGROUP_ATT_RIGHT = 9,
  THGROUP_ATT_LEFT = 10,
  THGROUP_ATT_UP = 11,
  THGROUP_ATT_DOWN = 12,
  THGROUP_ATT_FORWARD = 13,
  THGROUP_ATT_BACK = 14,
  THGROUP_USER = 0x40
};

// Navigation modes.
constexpr int NAVMODE_KILLROT = 1;
constexpr int NAVMODE_HLEVEL = 2;
constexpr int NAVMODE_PROGRADE = 3;
constexpr int NAVMODE_RETROGRADE = 4;
constexpr int NAVMODE_NORMAL = 5;
constexpr int NAVMODE_ANTINORMAL = 6;
constexpr int NAVMODE_HOLDALT = 7;

// Manual control: which attitude mode the input counts in, and from which device.
constexpr DWORD MANCTRL_ATTMODE = 0;  // the vessel's current attitude mode
constexpr DWORD MANCTRL_REVMODE = 1;  // the other attitude mode
constexpr DWORD MANCTRL_ROTMODE = 2;
constexpr DWORD MANCTRL_LINMODE = 3;
constexpr DWORD MANCTRL_ANYMODE = 4;
constexpr DWORD MANCTRL_KEYBOARD = 0;
constexpr DWORD MANCTRL_JOYSTICK = 1;
constexpr DWORD MANCTRL_ANYDEVICE = 2;

// Attitude (RCS) modes.
constexpr int RCS_NONE = 0;
constexpr int RCS_ROT = 1;
constexpr int RCS_LIN = 2;

enum AltitudeMode { ALTMODE_MEANRAD = 0, ALTMODE_GROUND = 1 };

enum REFFRAME { FRAME_GLOBAL = 0, FRAME_LOCAL = 1, FRAME_REFLOCAL = 2, FRAME_HORIZON = 3 };

enum AIRFOIL_ORIENTATION { LIFT_VERTICAL = 0, LIFT_HORIZONTAL = 1 };

// Which parameters EditAirfoil changes.
constexpr DWORD AIRFOIL_EDIT_REF = 0x01;
constexpr DWORD AIRFOIL_EDIT_CF = 0x02;
constexpr DWORD AIRFOIL_EDIT_CHORD = 0x04;
constexpr DWORD AIRFOIL_EDIT_AREA = 0x08;
constexpr DWORD AIRFOIL_EDIT_ASPECT = 0x10;

// Mesh visibility.
constexpr WORD MESHVIS_NEVER = 0x00;
constexpr WORD MESHVIS_EXTERNAL = 0x01;
constexpr WORD MESHVIS_COCKPIT = 0x02;
constexpr WORD MESHVIS_ALWAYS = 0x03;
constexpr WORD MESHVIS_VC = 0x04;

// Camera attachment modes.
constexpr int CAMERA_INTERNAL = 0;
constexpr int CAMERA_EXTERNAL = 1;
constexpr int CAMERA_KEEPMODE = 2;

struct TOUCHDOWNVTX {
  VECTOR3 pos;
  double stiffness;  // N/m
  double damping;    // N s/m
  double mu;         // lateral friction coefficient
  double mu_lng;     // longitudinal friction coefficient
};

struct PARTICLESTREAMSPEC {
  DWORD flags;
  double srcsize;      // particle size at creation (m)
  double srcrate;      // particles per second
  double v0;           // emission speed (m/s)
  double srcspread;    // emission speed spread
  double lifetime;     // s
  double growthrate;   // m/s
  double atmslowdown;  // deceleration in atmosphere
  enum LTYPE { EMISSIVE = 0, DIFFUSE = 1 } ltype;
  enum LEVELMAP { LVL_FLAT = 0, LVL_LIN = 1, LVL_SQRT = 2, LVL_PLIN = 3, LVL_PSQRT = 4 } levelmap;
  double lmin, lmax;
  enum ATMSMAP { ATM_FLAT = 0, ATM_PLIN = 1, ATM_PLOG = 2 } atmsmap;
  double amin, amax;
  SURFHANDLE tex;  // null: the host's default texture
};

constexpr DWORD BEACONSHAPE_COMPACT = 0;
constexpr DWORD BEACONSHAPE_DIFFUSE = 1;
constexpr DWORD BEACONSHAPE_STAR = 2;

// A beacon light. The host keeps the pointer: the structure must stay in place.
struct BEACONLIGHTSPEC {
  DWORD shape;
  VECTOR3* pos;
  VECTOR3* col;
  double size;
  double falloff;
  double period;    // s; 0: steady light
  double duration;  // s
  double tofs;      // s
  bool active;
};

struct COLOUR4 {
  float r, g, b, a;
};

struct HUDPAINTSPEC {
  int W, H;    // HUD size in pixels
  int CX, CY;  // centre
  double Scale;
  int Markersize;
};

// Extended airfoil coefficient callback: angle of attack (rad), Mach and Reynolds numbers in;
// lift, moment and drag coefficients out.
class VESSEL;
using AirfoilCoeffFuncEx = void (*)(VESSEL* v, double aoa, double M, double Re, void* context, double* cl,
                                    double* cm, double* cd);

// Input-box callback: true accepts the text.
using KeyFunc = bool (*)(void* id, char* str, void* usrdata);

// Mesh-group transformations of the animations.
class MGROUP_TRANSFORM {
 public:
  enum TYPE { NULLTRANSFORM = 0, ROTATE = 1, TRANSLATE = 2, SCALE = 3 };
  MGROUP_TRANSFORM(UINT mesh_, UINT* grp_, UINT ngrp_) : mesh(mesh_), grp(grp_), ngrp(ngrp_) {}
  virtual ~MGROUP_TRANSFORM() = default;
  virtual TYPE Type() const { return NULLTRANSFORM; }
  UINT mesh;
  UINT* grp;
  UINT ngrp;
};

class MGROUP_ROTATE : public MGROUP_TRANSFORM {
 public:
  MGROUP_ROTATE(UINT mesh_, UINT* grp_, UINT ngrp_, const VECTOR3& ref_, const VECTOR3& axis_, float angle_)
      : MGROUP_TRANSFORM(mesh_, grp_, ngrp_), ref(ref_), axis(axis_), angle(angle_) {}
  TYPE Type() const override { return ROTATE; }
  VECTOR3 ref;
  VECTOR3 axis;
  float angle;  // rad
};

class MGROUP_TRANSLATE : public MGROUP_TRANSFORM {
 public:
  MGROUP_TRANSLATE(UINT mesh_, UINT* grp_, UINT ngrp_, const VECTOR3& shift_)
      : MGROUP_TRANSFORM(mesh_, grp_, ngrp_), shift(shift_) {}
  TYPE Type() const override { return TRANSLATE; }
  VECTOR3 shift;
};

// Key state: a key is down while bit 0x80 of its byte is set.
#define KEYDOWN(buf, key) (((buf)[(key)] & 0x80) != 0)
#define RESETKEY(buf, key) ((buf)[(key)] = 0)
