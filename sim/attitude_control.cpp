// The host's own attitude control: the navigation modes fly the vessel's attitude thruster groups,
// and without a vessel's own handling the keypad and the joystick fire them.
//
// Every navigation mode works through angular rates: an attitude mode turns its attitude error
// into a wanted rotation rate (proportional, limited so the vessel can still stop in time), and
// a rate controller sets the levels of the two groups of each axis so the rate is reached with a
// time constant of a few frames. KILLROT wants zero rates and switches itself off once the
// rotation is below its threshold.
//
// Manual input (focus vessel only; the vessel's direct-key handler has cleared what it took):
// rotation mode: Numpad 2 pitch up, 8 pitch down, 1 yaw left, 3 yaw right, 4 bank left, 6 bank
// right; linear mode: Numpad 2 up, 8 down, 1 left, 3 right, 6 forward, 9 back. A held key
// drives its group at level 1 for the frame, the joystick at its deflection. Numpad + and -
// move the main group level at 0.5 per second and it stays where it was left.
//
// The host's levels last one frame: a group the host drove in the last frame and does not drive
// now goes back to 0, unless the vessel has set another level on it since.
#include <algorithm>
#include <cmath>

#include "sim/dynamics.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/propulsion.h"
#include "sim/simulation.h"

namespace sim {
namespace {

// Constants of the host's controllers, with units.
constexpr double kRateTimeConstant_s = 0.25;    // rate controller: reaches the wanted rate in about this
constexpr double kAttitudeGain_1_s = 0.5;       // wanted rate per radian of attitude error
constexpr double kMaxHoldRate_rad_s = 0.2;      // fastest turn an attitude mode asks for
constexpr double kKillrotDone_rad_s = 5e-4;     // KILLROT ends when every rate is below this
constexpr double kThrottleRate_1_s = 0.5;       // Numpad +/-: main level change per second
constexpr double kHoldAltTimeConstant_s = 2.0;  // HOLDALT: vertical speed decays with this
constexpr double kLevelMatch = 1e-9;            // a group level still as the host left it

constexpr int kGroupTypes = 15;

// The pair of rotation groups of an axis: the one that turns the positive way first.
struct AxisGroups {
  THGROUP_TYPE plus, minus;
};
// omega.x > 0 pitches up, omega.y > 0 yaws left, omega.z > 0 banks right.
constexpr AxisGroups kAxes[3] = {{THGROUP_ATT_PITCHUP, THGROUP_ATT_PITCHDOWN},
                                 {THGROUP_ATT_YAWLEFT, THGROUP_ATT_YAWRIGHT},
                                 {THGROUP_ATT_BANKRIGHT, THGROUP_ATT_BANKLEFT}};

double axis(const VECTOR3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

// Torque of a group at level 1 (vessel frame).
VECTOR3 group_torque(const HostVessel& v, THGROUP_TYPE t) {
  VECTOR3 tq{0, 0, 0};
  if (const HostThrusterGroup* g = v.group_of_type(t))
    for (const HostThruster* th : g->thrusters) {
      if (th->res == nullptr || th->res->mass <= 0.0) continue;
      tq += torque_of(th->dir * thruster_max_at(*th, v.atm.pressure), th->pos);
    }
  return tq;
}

double group_mean_level(const HostVessel& v, THGROUP_TYPE t) {
  const HostThrusterGroup* g = v.group_of_type(t);
  if (g == nullptr || g->thrusters.empty()) return 0.0;
  double sum = 0.0;
  for (const HostThruster* th : g->thrusters) sum += th->level;
  return sum / static_cast<double>(g->thrusters.size());
}

struct Commands {
  std::array<double, kGroupTypes> level{};
  std::array<bool, kGroupTypes> set{};
  void put(THGROUP_TYPE t, double l) {
    level[t] = std::clamp(l, 0.0, 1.0);
    set[t] = true;
  }
};

// Angular acceleration (rad/s^2) each axis's groups give at level 1, positive and negative way.
struct Authority {
  double plus[3], minus[3];
};

Authority authority(const HostVessel& v) {
  Authority a{};
  const double m = std::max(v.mass(), 1e-3);
  const VECTOR3 inertia = _V(std::max(v.pmi.x, 1e-9), std::max(v.pmi.y, 1e-9), std::max(v.pmi.z, 1e-9)) * m;
  for (int i = 0; i < 3; ++i) {
    a.plus[i] = std::max(0.0, axis(group_torque(v, kAxes[i].plus), i)) / axis(inertia, i);
    a.minus[i] = std::max(0.0, -axis(group_torque(v, kAxes[i].minus), i)) / axis(inertia, i);
  }
  return a;
}

// Levels that move each rate towards the wanted one.
void rate_control(const VECTOR3& omega, const VECTOR3& wanted, const Authority& au, double dt, Commands& c) {
  const double tc = std::max(kRateTimeConstant_s, 1.5 * dt);
  for (int i = 0; i < 3; ++i) {
    const double accel = (axis(wanted, i) - axis(omega, i)) / tc;
    double up = 0.0, down = 0.0;
    if (accel > 0.0 && au.plus[i] > 0.0) up = accel / au.plus[i];
    if (accel < 0.0 && au.minus[i] > 0.0) down = -accel / au.minus[i];
    c.put(kAxes[i].plus, up);
    c.put(kAxes[i].minus, down);
  }
}

// Wanted rate for an attitude error (rad) on an axis with the given authority: proportional,
// and no faster than the vessel can brake over the remaining angle.
double hold_rate(double error_rad, double authority_rad_s2) {
  const double e = std::abs(error_rad);
  double r = std::min(kAttitudeGain_1_s * e, kMaxHoldRate_rad_s);
  if (authority_rad_s2 > 0.0) r = std::min(r, std::sqrt(authority_rad_s2 * e));
  return std::copysign(r, error_rad);
}

double weaker(const Authority& au, int i) { return std::min(au.plus[i], au.minus[i]); }

// Wanted rates that turn the nose (+z) onto the direction t (vessel frame, unit), bank held.
VECTOR3 point_rates(const VECTOR3& t, const Authority& au) {
  const double perp = std::hypot(t.x, t.y);
  const double angle = std::atan2(perp, t.z);  // 0..pi
  // The nose moves with z x w = (-w.y, w.x, 0): towards (t.x, t.y) for w = (t.y, -t.x) / perp.
  VECTOR3 dir = perp > 1e-9 ? _V(t.y / perp, -t.x / perp, 0) : _V(t.z < 0.0 ? 1.0 : 0.0, 0, 0);
  const double a = std::min(weaker(au, 0), weaker(au, 1));
  const double rate = hold_rate(angle, a);
  return dir * rate;
}

}  // namespace

void apply_host_attitude_control(Simulation& sim, HostVessel& v, double dt) {
  if (v.ref == nullptr) return;
  Commands cmd;
  const Body& b = *v.ref;

  // --- Navigation modes ---
  const bool attitude_mode_on = v.navmode[NAVMODE_KILLROT] || v.navmode[NAVMODE_HLEVEL] ||
                                v.navmode[NAVMODE_PROGRADE] || v.navmode[NAVMODE_RETROGRADE] ||
                                v.navmode[NAVMODE_NORMAL] || v.navmode[NAVMODE_ANTINORMAL];
  if (attitude_mode_on) {
    const Authority au = authority(v);
    VECTOR3 wanted{0, 0, 0};
    if (v.navmode[NAVMODE_KILLROT]) {
      if (std::abs(v.omega.x) < kKillrotDone_rad_s && std::abs(v.omega.y) < kKillrotDone_rad_s &&
          std::abs(v.omega.z) < kKillrotDone_rad_s) {
        v.navmode[NAVMODE_KILLROT] = false;
        for (const AxisGroups& g : kAxes) cmd.put(g.plus, 0.0), cmd.put(g.minus, 0.0);
        sim.notify_navmode(v, NAVMODE_KILLROT, false);
      } else {
        rate_control(v.omega, wanted, au, dt, cmd);
      }
    } else if (v.navmode[NAVMODE_HLEVEL]) {
      double heading, pitch, bank;
      hpb_from_attitude(vessel_to_horizon(v), heading, pitch, bank);
      wanted = _V(hold_rate(-pitch, weaker(au, 0)), 0, hold_rate(-bank, weaker(au, 2)));
      rate_control(v.omega, wanted, au, dt, cmd);
    } else {
      const VECTOR3 rel = v.pos - b.pos;
      VECTOR3 target{0, 0, 0};
      if (v.navmode[NAVMODE_PROGRADE])
        target = v.vel;
      else if (v.navmode[NAVMODE_RETROGRADE])
        target = -v.vel;
      // Orbit normal: along the orbital angular momentum, which in the left-handed frame is the
      // component product v x r (north for an eastward equatorial orbit).
      else if (v.navmode[NAVMODE_NORMAL])
        target = crossp(v.vel, rel);
      else
        target = crossp(rel, v.vel);
      const VECTOR3 t = tmul(v.rot, unit(target));
      if (length(t) > 0.0) wanted = point_rates(t, au);
      rate_control(v.omega, wanted, au, dt, cmd);
    }
  }
  if (v.navmode[NAVMODE_HOLDALT]) {
    // Holds the height by holding the vertical speed at zero with the hover engines.
    const HostThrusterGroup* hover = v.group_of_type(THGROUP_HOVER);
    if (hover != nullptr && !hover->thrusters.empty()) {
      const VECTOR3 up = unit(v.pos - b.pos);
      double lift = 0.0;
      for (const HostThruster* th : hover->thrusters)
        if (th->res != nullptr && th->res->mass > 0.0)
          lift += thruster_max_at(*th, v.atm.pressure) * dotp(mul(v.rot, th->dir), up);
      if (lift > 0.0) {
        const double g = kGravitationalConstant * b.mass / std::max(dotp(v.pos - b.pos, v.pos - b.pos), 1.0);
        const double vs = dotp(groundspeed_global(v), up);
        cmd.put(THGROUP_HOVER, v.mass() * (g - vs / kHoldAltTimeConstant_s) / lift);
      }
    }
  }

  // --- Manual input of the focus vessel ---
  if (&v == sim.focus()) {
    const auto& keys = sim.key_state();
    auto held = [&keys](unsigned k) { return (keys[k] & 0x80) != 0; };
    struct KeyGroup {
      unsigned key;
      THGROUP_TYPE group, opposite;
    };
    static constexpr KeyGroup kRot[] = {{OAPI_KEY_NUMPAD2, THGROUP_ATT_PITCHUP, THGROUP_ATT_PITCHDOWN},
                                        {OAPI_KEY_NUMPAD8, THGROUP_ATT_PITCHDOWN, THGROUP_ATT_PITCHUP},
                                        {OAPI_KEY_NUMPAD1, THGROUP_ATT_YAWLEFT, THGROUP_ATT_YAWRIGHT},
                                        {OAPI_KEY_NUMPAD3, THGROUP_ATT_YAWRIGHT, THGROUP_ATT_YAWLEFT},
                                        {OAPI_KEY_NUMPAD4, THGROUP_ATT_BANKLEFT, THGROUP_ATT_BANKRIGHT},
                                        {OAPI_KEY_NUMPAD6, THGROUP_ATT_BANKRIGHT, THGROUP_ATT_BANKLEFT}};
    static constexpr KeyGroup kLin[] = {{OAPI_KEY_NUMPAD2, THGROUP_ATT_UP, THGROUP_ATT_DOWN},
                                        {OAPI_KEY_NUMPAD8, THGROUP_ATT_DOWN, THGROUP_ATT_UP},
                                        {OAPI_KEY_NUMPAD1, THGROUP_ATT_LEFT, THGROUP_ATT_RIGHT},
                                        {OAPI_KEY_NUMPAD3, THGROUP_ATT_RIGHT, THGROUP_ATT_LEFT},
                                        {OAPI_KEY_NUMPAD6, THGROUP_ATT_FORWARD, THGROUP_ATT_BACK},
                                        {OAPI_KEY_NUMPAD9, THGROUP_ATT_BACK, THGROUP_ATT_FORWARD}};
    if (v.attitude_mode == RCS_ROT) {
      for (const KeyGroup& k : kRot)
        if (held(k.key)) cmd.put(k.group, 1.0), cmd.put(k.opposite, 0.0);
      // The joystick, where it is deflected, drives the rotation groups of its axes.
      for (const AxisGroups& g : kAxes) {
        const double jp = sim.manual_level(v, g.plus, MANCTRL_ROTMODE, MANCTRL_JOYSTICK);
        const double jm = sim.manual_level(v, g.minus, MANCTRL_ROTMODE, MANCTRL_JOYSTICK);
        if (jp > 0.0)
          cmd.put(g.plus, std::max(jp, cmd.set[g.plus] ? cmd.level[g.plus] : 0.0)), cmd.put(g.minus, 0.0);
        else if (jm > 0.0)
          cmd.put(g.minus, std::max(jm, cmd.set[g.minus] ? cmd.level[g.minus] : 0.0)), cmd.put(g.plus, 0.0);
      }
    } else if (v.attitude_mode == RCS_LIN) {
      for (const KeyGroup& k : kLin)
        if (held(k.key)) cmd.put(k.group, 1.0), cmd.put(k.opposite, 0.0);
    }
    const int throttle = (held(OAPI_KEY_ADD) ? 1 : 0) - (held(OAPI_KEY_SUBTRACT) ? 1 : 0);
    if (throttle != 0) {
      if (HostThrusterGroup* g = v.group_of_type(THGROUP_MAIN)) {
        const double l =
            std::clamp(group_mean_level(v, THGROUP_MAIN) + throttle * kThrottleRate_1_s * dt, 0.0, 1.0);
        for (HostThruster* th : g->thrusters) th->level = l;
      }
    }
  }

  // --- Apply: the levels of a thruster in several commanded groups add up (clamped) ---
  for (int t = THGROUP_RETRO; t < kGroupTypes; ++t) {  // the main group is the throttle's, above
    const auto type = static_cast<THGROUP_TYPE>(t);
    if (!cmd.set[t] && v.manual_override[t] != 0.0) {
      // Driven by the host in the last frame, not now: back to 0 unless the vessel changed it.
      if (std::abs(group_mean_level(v, type) - v.manual_override[t]) < kLevelMatch) {
        if (HostThrusterGroup* g = v.group_of_type(type))
          for (HostThruster* th : g->thrusters) th->level = 0.0;
      }
      v.manual_override[t] = 0.0;
    }
  }
  bool any = false;
  for (int t = THGROUP_RETRO; t < kGroupTypes; ++t) any = any || cmd.set[t];
  if (!any) return;
  for (int t = THGROUP_RETRO; t < kGroupTypes; ++t) {
    if (!cmd.set[t]) continue;
    if (HostThrusterGroup* g = v.group_of_type(static_cast<THGROUP_TYPE>(t)))
      for (HostThruster* th : g->thrusters) th->level = 0.0;
  }
  for (int t = THGROUP_RETRO; t < kGroupTypes; ++t) {
    if (!cmd.set[t] || cmd.level[t] <= 0.0) continue;
    if (HostThrusterGroup* g = v.group_of_type(static_cast<THGROUP_TYPE>(t)))
      for (HostThruster* th : g->thrusters) th->level = std::min(1.0, th->level + cmd.level[t]);
  }
  for (int t = THGROUP_RETRO; t < kGroupTypes; ++t)
    if (cmd.set[t]) {
      const double mean = group_mean_level(v, static_cast<THGROUP_TYPE>(t));
      // Remember a level the host left on the group; 0 needs no undoing.
      v.manual_override[t] = mean;
    }
}

}  // namespace sim
