// The frame integration of every free vessel and the environment it senses.
//
// Integrator: each free vessel and everything attached below it form one rigid assembly, moved
// by a kick-drift-kick leapfrog (velocity Verlet) in sub-steps:
//   v += h/2 F/m, w += h/2 dw/dt;  x += h v, R = R exp(W(w) h);  forces at the new state;
//   v += h/2 F/m, w += h/2 dw/dt.
// The forces at the end of a sub-step start the next one, so a sub-step costs one force
// evaluation. Leapfrog is symplectic and time-reversible for position-dependent forces: an orbit
// keeps its energy to (w h)^2 with no drift, where a Runge-Kutta scheme would drift; velocity-
// dependent forces (drag, dampers) see the half-step velocity, which keeps the damped contact
// stable up to the explicit limit. The attitude moves on the exact rotation for the sub-step's
// angular velocity (Rodrigues' formula) and is re-orthonormalised after every frame; Euler's
// equations take the torques of all forces about the vessel origin. Rotational drag is applied
// as the exact exponential decay of the angular velocity relative to the air.
//
// Sub-steps: one per frame in free flight; near the ground as many as the stiffness and damping of
// the touchdown points need (bounded by the sums of k w and c w over the points, w being the
// inverse effective mass a point sees), so frames up to 0.1 s stay stable.
//
// Propellant: each frame the flow of every thruster (thrust / Isp / efficiency) is taken from its
// resource first; a resource that cannot feed the whole frame empties to exactly 0 and its
// thrusters deliver only the matching part of the frame's impulse. The dynamics use the mass at
// mid-frame, which makes the velocity change follow the rocket equation to second order.
//
// Resting: a vessel at rest on at least three touchdown points is held fixed to the turning
// surface (no integration) for as long as the ground can carry what acts on it: the load on the
// ground stays above half the weight, the sideways load within half the friction limit, the
// torques within what the support can take, and the points neither sink in nor lift off. Thrust,
// wind, added forces or moving touchdown points that break any of these release it to the full
// contact dynamics; it is held again when it has come to rest there.
#include "sim/dynamics.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/propulsion.h"
#include "sim/simulation.h"

namespace sim {
namespace {

// Constants of the integration, with units.
constexpr double kMinMass_kg = 1e-3;             // guards the division by a massless vessel
constexpr int kMaxSubsteps = 4000;               // per frame
constexpr double kContactMargin_m = 0.5;         // distance from the ground at which contact sub-steps start
constexpr double kFrictionStopFraction = 0.5;    // share of the slip friction removes per sub-step
constexpr double kMaxRotationPerStep_rad = 0.5;  // rotation per sub-step of a fast spin
constexpr double kSettleDepth_m = 1e-5;          // landed vessels: touchdown points this far in the ground
constexpr double kRestSpeed_m_s = 0.02;          // at rest: speed relative to the ground below this
constexpr double kRestRate_rad_s = 0.002;        // and rotation relative to the ground below this
constexpr double kRestAccel_m_s2 = 0.05;         // and acceleration relative to the ground below this
constexpr double kRestAngAccel_rad_s2 = 0.005;
constexpr double kHoldLoadFraction = 0.5;      // the ground must carry at least this share of the weight
constexpr double kHoldFrictionFraction = 0.5;  // sideways load at most this share of mu N
constexpr double kHoldSinkFactor = 1.5;        // points may sink this times the static compression
constexpr double kHoldSinkSlack_m = 0.01;      // plus this
constexpr double kHoldLiftSlack_m = 1e-3;      // a point this far above the ground no longer carries
constexpr double kStillAir_m_s = 1e-6;         // airspeed below which the air exerts nothing

struct Part {
  HostVessel* v;
  RelativePose pose;  // part frame to root frame
  double mass;        // at mid-frame, kg
};

struct State {
  VECTOR3 pos, vel;  // global
  MATRIX3 rot;       // root frame to global
  VECTOR3 omega;     // root frame
};

struct Assembly {
  HostVessel* root = nullptr;
  std::vector<Part> parts;   // root first
  double mass = 0.0;         // kg
  VECTOR3 inertia{1, 1, 1};  // principal moments in the root frame, kg m^2
  Wrench fixed;              // thrust and added forces of the frame (root frame)
  double gm = 0.0;           // gravitational parameter of the reference body
  double reach = 0.0;        // farthest touchdown point from the origin, m
};

struct Eval {
  VECTOR3 force_nc{0, 0, 0};   // global: gravity, thrust, aerodynamics, added forces
  VECTOR3 torque_nc{0, 0, 0};  // root frame
  VECTOR3 force_gr{0, 0, 0};   // global: ground reaction
  VECTOR3 torque_gr{0, 0, 0};  // root frame
  int contacts = 0;
  double airspeed = 0.0;
  double density = 0.0;
  VECTOR3 force() const { return force_nc + force_gr; }
  VECTOR3 torque() const { return torque_nc + torque_gr; }
};

void children_of(Simulation& sim, const HostVessel* parent, std::vector<HostVessel*>& out) {
  for (auto& v : sim.vessels())
    if (v->parent() == parent) out.push_back(v.get());
}

VECTOR3 rot_from_body(const MATRIX3& rot, const Body& b) { return tmul(rot, body_omega(b)); }

// Ground-relative quantities of the root at a state.
VECTOR3 ground_rel_vel(const Body& b, const State& s) { return s.vel - surface_velocity(b, s.pos); }
VECTOR3 corotation_accel(const Body& b, const VECTOR3& pos) {
  return crossp(crossp(pos - b.pos, body_omega(b)), body_omega(b));
}

// Propellant of the frame: takes each thruster's flow from its resource and returns, per thruster
// of the vessel, its mean thrust over the frame (less than its thrust where its resource runs dry).
void burn_propellant(HostVessel& v, double dt, std::vector<double>& thrust_out) {
  const double p = v.atm.pressure;
  thrust_out.assign(v.thrusters.size(), 0.0);
  for (size_t k = 0; k < v.thrusters.size(); ++k) thrust_out[k] = thruster_thrust_at(*v.thrusters[k], p);
  thread_local std::vector<double> demand, fed;
  demand.assign(v.propellants.size(), 0.0);
  auto res_index = [&v](const HostPropellant* r) -> int {
    for (size_t i = 0; i < v.propellants.size(); ++i)
      if (v.propellants[i].get() == r) return static_cast<int>(i);
    return -1;
  };
  for (size_t k = 0; k < v.thrusters.size(); ++k) {
    const HostThruster* t = v.thrusters[k].get();
    const double thrust = thrust_out[k];
    if (thrust <= 0.0) continue;
    const double isp = thruster_isp_at(*t, p);
    const int r = res_index(t->res);
    if (r < 0 || isp <= 0.0) continue;
    const double eff = t->res->efficiency > 0.0 ? t->res->efficiency : 1.0;
    demand[r] += thrust / isp / eff * dt;
  }
  fed.assign(v.propellants.size(), 1.0);
  for (size_t i = 0; i < v.propellants.size(); ++i) {
    HostPropellant& res = *v.propellants[i];
    if (demand[i] <= 0.0) continue;
    if (demand[i] >= res.mass) {  // runs dry in this frame: exactly empty
      fed[i] = res.mass > 0.0 ? res.mass / demand[i] : 0.0;
      res.mass = 0.0;
    } else {
      res.mass -= demand[i];
    }
  }
  for (size_t k = 0; k < v.thrusters.size(); ++k) {
    const int r = res_index(v.thrusters[k]->res);
    if (r >= 0) thrust_out[k] *= fed[r];
  }
}

// Builds the assembly of a free vessel, burns the frame's propellant and sums the frame's
// thrust and added forces.
void build_assembly(Simulation& sim, HostVessel& root, double dt, Assembly& a) {
  a.root = &root;
  a.parts.clear();
  a.parts.push_back({&root, RelativePose{}, 0.0});
  thread_local std::vector<HostVessel*> kids;
  for (size_t i = 0; i < a.parts.size(); ++i) {  // breadth first through the children
    kids.clear();
    children_of(sim, a.parts[i].v, kids);
    for (HostVessel* c : kids) {
      const HostAttachment* cp = c->parent_point();
      if (cp == nullptr || cp->peer == nullptr) continue;
      const RelativePose rel = attachment_pose(*cp->peer, *cp);
      RelativePose pose;
      pose.rot = mul(a.parts[i].pose.rot, rel.rot);
      pose.pos = a.parts[i].pose.pos + mul(a.parts[i].pose.rot, rel.pos);
      a.parts.push_back({c, pose, 0.0});
    }
  }

  a.fixed = Wrench{};
  a.mass = 0.0;
  a.inertia = _V(0, 0, 0);
  thread_local std::vector<double> thrust;
  for (Part& part : a.parts) {
    HostVessel& v = *part.v;
    const double m0 = v.mass();
    burn_propellant(v, dt, thrust);
    const double m1 = v.mass();
    part.mass = std::max(0.5 * (m0 + m1), kMinMass_kg);
    a.mass += part.mass;

    // Inertia: the part's principal moments turned into the root frame (diagonal terms) plus
    // the parallel-axis terms of its offset.
    const MATRIX3& r = part.pose.rot;
    const VECTOR3 ip = _V(std::max(v.pmi.x, 0.0), std::max(v.pmi.y, 0.0), std::max(v.pmi.z, 0.0)) * part.mass;
    const VECTOR3 p = part.pose.pos;
    const double p2 = dotp(p, p);
    a.inertia.x +=
        r.m11 * r.m11 * ip.x + r.m12 * r.m12 * ip.y + r.m13 * r.m13 * ip.z + part.mass * (p2 - p.x * p.x);
    a.inertia.y +=
        r.m21 * r.m21 * ip.x + r.m22 * r.m22 * ip.y + r.m23 * r.m23 * ip.z + part.mass * (p2 - p.y * p.y);
    a.inertia.z +=
        r.m31 * r.m31 * ip.x + r.m32 * r.m32 * ip.y + r.m33 * r.m33 * ip.z + part.mass * (p2 - p.z * p.z);

    auto add = [&](const VECTOR3& f_part, const VECTOR3& at_part) {
      const VECTOR3 f = mul(r, f_part);
      a.fixed.force += f;
      a.fixed.torque += torque_of(f, part.pose.pos + mul(r, at_part));
    };
    for (size_t k = 0; k < v.thrusters.size(); ++k) {
      const HostThruster& t = *v.thrusters[k];
      if (thrust[k] > 0.0 && is_finite(t.dir)) add(t.dir * thrust[k], t.pos);
    }
    for (const auto& [f, at] : v.added_forces)
      if (is_finite(f) && is_finite(at)) add(f, at);
  }
  // A body without rotational inertia would spin up without bound: give it a token one.
  const double floor_i = 1e-6 * a.mass;
  a.inertia =
      _V(std::max(a.inertia.x, floor_i), std::max(a.inertia.y, floor_i), std::max(a.inertia.z, floor_i));
  a.gm = root.ref != nullptr ? kGravitationalConstant * root.ref->mass : 0.0;
  a.reach = 0.0;
  for (const TOUCHDOWNVTX& td : root.touchdown) a.reach = std::max(a.reach, length(td.pos));
}

// Whether no touchdown point can be within `margin` of the ground at this state.
bool far_from_ground(const Assembly& a, const State& s, double margin_m) {
  const Body& b = *a.root->ref;
  return length(s.pos - b.pos) - b.radius > a.reach + margin_m;
}

// Aerodynamic forces on every part at a state (root frame wrench); records each part's drag and
// lift when asked.
Wrench aerodynamics(Simulation& sim, const Assembly& a, const State& s, const Atmosphere& atm, bool record,
                    double* airspeed_out) {
  Wrench w;
  const Body& b = *a.root->ref;
  const double alt = length(s.pos - b.pos) - b.radius;
  const VECTOR3 wind_g = mul(horizon_basis(b, s.pos), wind_at(sim.wind(), alt));
  for (const Part& part : a.parts) {
    HostVessel& v = *part.v;
    const VECTOR3 origin = s.pos + mul(s.rot, part.pose.pos);
    const VECTOR3 vel = s.vel + mul(s.rot, crossp(part.pose.pos, s.omega));
    const MATRIX3 to_global = mul(s.rot, part.pose.rot);
    const VECTOR3 air = tmul(to_global, vel - surface_velocity(b, origin) - wind_g);  // part frame
    const double speed = length(air);
    if (&v == a.root && airspeed_out != nullptr) *airspeed_out = speed;
    VECTOR3 drag{0, 0, 0}, lift{0, 0, 0};
    Wrench wp;
    if (atm.density > 0.0 && speed > kStillAir_m_s) {
      if (!v.airfoils.empty()) {
        const double mach = atm.speed_of_sound > 0.0 ? speed / atm.speed_of_sound : 0.0;
        for (const auto& af : v.airfoils) {
          if (af->cf == nullptr) continue;
          const double aoa = airfoil_angle(af->orientation, air);
          const double re = atm.density * speed * af->chord / kAirViscosity_Pa_s;
          double cl = 0.0, cm = 0.0, cd = 0.0;
          af->cf(v.iface, aoa, mach, re, af->context, &cl, &cm, &cd);
          if (!std::isfinite(cl) || !std::isfinite(cm) || !std::isfinite(cd)) {
            sim.report_nonfinite(&v, "airfoil coefficients");
            continue;
          }
          const AirfoilLoad load =
              airfoil_load(af->orientation, af->ref, af->chord, af->area, air, atm.density, cl, cm, cd);
          wp += load.wrench;
          drag += load.drag;
          lift += load.lift;
        }
      } else {
        drag = simple_drag(v.cw, v.cross_sections, air, atm.density);
        wp.force = drag;
      }
    }
    if (record) {
      v.drag = length(drag);
      v.lift = length(lift);
    }
    const VECTOR3 f = mul(part.pose.rot, wp.force);
    w.force += f;
    w.torque += mul(part.pose.rot, wp.torque) + torque_of(f, part.pose.pos);
  }
  return w;
}

// The touchdown points of the root at a state.
struct PointState {
  ContactPoint cp;
  const TOUCHDOWNVTX* td;
};

void touchdown_points(const Assembly& a, const State& s, std::vector<PointState>& out) {
  out.clear();
  const Body& b = *a.root->ref;
  const VECTOR3 z_g = mul(s.rot, _V(0, 0, 1));
  const VECTOR3 y_g = mul(s.rot, _V(0, 1, 0));
  for (const TOUCHDOWNVTX& td : a.root->touchdown) {
    PointState ps;
    ps.td = &td;
    const VECTOR3 pg = s.pos + mul(s.rot, td.pos);
    const VECTOR3 rel = pg - b.pos;
    const double r = length(rel);
    ps.cp.pos_vessel = td.pos;
    ps.cp.depth_m = b.radius - r;
    ps.cp.up = r > 0.0 ? rel / r : _V(0, 1, 0);
    ps.cp.vel_rel_global = s.vel + mul(s.rot, crossp(td.pos, s.omega)) - surface_velocity(b, pg);
    VECTOR3 l = z_g - ps.cp.up * dotp(z_g, ps.cp.up);
    if (length(l) < 1e-3) l = y_g - ps.cp.up * dotp(y_g, ps.cp.up);
    ps.cp.long_global = unit(l);
    out.push_back(ps);
  }
}

// All forces at a state. h: the sub-step, which sets the viscous regularisation of friction.
// known_atm: the atmosphere at the state when the caller has it already.
Eval evaluate(Simulation& sim, const Assembly& a, const State& s, double h, bool with_ground, bool record,
              const Atmosphere* known_atm = nullptr) {
  Eval e;
  const Body& b = *a.root->ref;
  const double alt = length(s.pos - b.pos) - b.radius;
  const Atmosphere atm = known_atm != nullptr ? *known_atm
                         : b.has_atmosphere   ? standard_atmosphere(alt)
                                              : Atmosphere{};
  e.density = atm.density;

  e.force_nc = gravity_accel(a.gm, s.pos - b.pos) * a.mass + mul(s.rot, a.fixed.force);
  e.torque_nc = a.fixed.torque;
  const Wrench aero = aerodynamics(sim, a, s, atm, record, &e.airspeed);
  e.force_nc += mul(s.rot, aero.force);
  e.torque_nc += aero.torque;

  if (!with_ground || a.root->touchdown.empty() || far_from_ground(a, s, 0.0)) return e;
  thread_local std::vector<PointState> pts;
  touchdown_points(a, s, pts);
  for (const PointState& p : pts)
    if (p.cp.depth_m >= 0.0) ++e.contacts;
  if (e.contacts == 0) return e;
  for (const PointState& p : pts) {
    if (p.cp.depth_m < 0.0) continue;
    const VECTOR3 l_v = tmul(s.rot, p.cp.long_global);
    const VECTOR3 s_v = tmul(s.rot, crossp(p.cp.up, p.cp.long_global));
    const double share = kFrictionStopFraction / (h * e.contacts);
    const double visc_l = share / inverse_effective_mass(a.mass, a.inertia, p.td->pos, l_v);
    const double visc_s = share / inverse_effective_mass(a.mass, a.inertia, p.td->pos, s_v);
    const VECTOR3 f = contact_force(*p.td, p.cp, visc_l, visc_s);
    e.force_gr += f;
    e.torque_gr += torque_of(tmul(s.rot, f), p.td->pos);
  }
  return e;
}

// Whether the ground can hold the assembly at rest against the non-contact forces of e.
bool ground_holds(const Assembly& a, const State& s, const Eval& e) {
  const Body& b = *a.root->ref;
  const VECTOR3 up = unit(s.pos - b.pos);
  int carrying = 0;
  double k_sum = 0.0, max_depth = -std::numeric_limits<double>::infinity(), mu_sum = 0.0, d_support = 1e300;
  for (const TOUCHDOWNVTX& td : a.root->touchdown) {
    const VECTOR3 arm = mul(s.rot, td.pos);
    const double depth = b.radius - length(s.pos + arm - b.pos);
    max_depth = std::max(max_depth, depth);
    if (depth < -kHoldLiftSlack_m) continue;
    ++carrying;
    k_sum += std::max(0.0, td.stiffness);
    mu_sum += std::max(0.0, std::min(td.mu, td.mu_lng));
    d_support = std::min(d_support, length(arm - up * dotp(arm, up)));
  }
  if (carrying < 3 || k_sum <= 0.0) return false;
  const double mu = mu_sum / carrying;  // the friction the carrying points offer in any direction

  const double weight = a.mass * length(gravity_accel(a.gm, s.pos - b.pos));
  const VECTOR3 reaction = corotation_accel(b, s.pos) * a.mass - e.force_nc;
  const double normal = dotp(reaction, up);
  if (normal < kHoldLoadFraction * weight) return false;  // thrust or lift carries the vessel
  if (length(reaction - up * normal) > kHoldFrictionFraction * mu * normal) return false;

  const VECTOR3 t = mul(s.rot, e.torque_nc);  // the ground must answer it
  const double t_up = dotp(t, up);
  const double lever = 0.5 * d_support;
  if (length(t - up * t_up) > kHoldLoadFraction * normal * lever) return false;
  if (std::abs(t_up) > kHoldFrictionFraction * mu * normal * lever) return false;

  const double static_sink = normal / k_sum;
  if (max_depth > kHoldSinkFactor * static_sink + kHoldSinkSlack_m) return false;  // points moved down
  return true;
}

// Remembers where a resting vessel stands on its body at time t.
void capture_rest(const Body& b, double t, HostVessel& v) {
  const MATRIX3 br = body_rotation(b, t);
  v.rest_pos_body = tmul(br, v.pos - b.pos);
  v.rest_rot_body = mul(transpose(br), v.rot);
}

// Puts a resting vessel where it stands at time t, turning with the surface. Computed from the
// body-fixed place each time, so no rounding accumulates however long it rests.
void place_resting(const Body& b, double t, HostVessel& v) {
  const MATRIX3 br = body_rotation(b, t);
  v.pos = b.pos + mul(br, v.rest_pos_body);
  v.rot = mul(br, v.rest_rot_body);
  v.vel = surface_velocity(b, v.pos);
  v.omega = rot_from_body(v.rot, b);
}

// Whether the remembered place still is where the vessel is (something else may have moved it).
bool rest_place_current(const Body& b, double t, const HostVessel& v) {
  const MATRIX3 br = body_rotation(b, t);
  if (dist(b.pos + mul(br, v.rest_pos_body), v.pos) > 1e-3) return false;
  const MATRIX3 r = mul(br, v.rest_rot_body);
  const double d = std::abs(r.m11 - v.rot.m11) + std::abs(r.m22 - v.rot.m22) + std::abs(r.m33 - v.rot.m33) +
                   std::abs(r.m12 - v.rot.m12) + std::abs(r.m23 - v.rot.m23) + std::abs(r.m31 - v.rot.m31);
  return d < 1e-6;
}

// Records the first ground contact. The state is the one at the end of the sub-step in which a
// point first reached the ground, with the leapfrog's mid-step velocity (before the ground
// reaction acted); it is taken back to the moment of contact (the deepest point's depth over its
// sinking speed) under the other forces.
void record_touchdown(const Assembly& a, const State& s_end, const VECTOR3& accel_nc, double t_end,
                      double h) {
  HostVessel& v = *a.root;
  const Body& b = *v.ref;
  thread_local std::vector<PointState> pts;
  touchdown_points(a, s_end, pts);
  double back = 0.0;
  for (const PointState& p : pts) {
    const double sink = -dotp(p.cp.vel_rel_global, p.cp.up);
    if (p.cp.depth_m > 0.0 && sink > 0.0) back = std::max(back, std::min(h, p.cp.depth_m / sink));
  }
  State s = s_end;
  s.pos -= s.vel * back;
  s.vel += accel_nc * (0.5 * h - back);
  const double t = t_end - back;
  const VECTOR3 up = unit(s.pos - b.pos);
  const VECTOR3 vrel = ground_rel_vel(b, s);
  Touchdown td;
  td.t = t;
  td.vspeed = dotp(vrel, up);
  td.hspeed = length(vrel - up * td.vspeed);
  double lng, lat, r;
  global_to_equ(b, t, s.pos, lng, lat, r);
  td.lon = lng * DEG;
  td.lat = lat * DEG;
  double heading, pitch, bank;
  hpb_from_attitude(mul(transpose(horizon_basis(b, s.pos)), s.rot), heading, pitch, bank);
  td.pitch = pitch * DEG;
  td.bank = bank * DEG;
  v.touchdown_record = td;
}

// Number of sub-steps the frame needs.
int substeps_for(Simulation& sim, const Assembly& a, const State& s, double dt) {
  double h = dt;
  const Body& b = *a.root->ref;
  const double alt = length(s.pos - b.pos) - b.radius;
  const double density = b.has_atmosphere ? standard_atmosphere(alt).density : 0.0;
  // A fast spin: limit the rotation per sub-step so the explicit gyroscopic terms stay accurate.
  const double spin = length(s.omega);
  if (spin * dt > kMaxRotationPerStep_rad) h = std::min(h, kMaxRotationPerStep_rad / spin);
  // Dense air on a light vessel: keep the drag's damping explicit-stable.
  if (density > 0.0) {
    const VECTOR3 wind_g = mul(horizon_basis(b, s.pos), wind_at(sim.wind(), alt));
    const double airspeed = length(ground_rel_vel(b, s) - wind_g);
    double area = 0.0;
    for (const Part& p : a.parts) {
      if (p.v->airfoils.empty())
        area += std::max({p.v->cw[0], p.v->cw[1], p.v->cw[2], p.v->cw[3]}) *
                (p.v->cross_sections.x + p.v->cross_sections.y + p.v->cross_sections.z);
      else
        for (const auto& af : p.v->airfoils) area += 2.0 * std::abs(af->area);
    }
    const double rate = density * (airspeed + 1.0) * area / a.mass;
    if (rate * h > 0.5) h = 0.5 / rate;
  }
  // Touchdown points within reach of the ground in this frame.
  const double fall = length(ground_rel_vel(b, s)) + a.reach * length(s.omega);
  if (!a.root->touchdown.empty() && !far_from_ground(a, s, kContactMargin_m + 2.0 * fall * dt)) {
    thread_local std::vector<PointState> pts;
    touchdown_points(a, s, pts);
    double k_rate = 0.0, c_rate = 0.0;
    for (const PointState& p : pts) {
      const double reach = kContactMargin_m + 2.0 * length(p.cp.vel_rel_global) * dt;
      if (p.cp.depth_m < -reach) continue;
      const double w = inverse_effective_mass(a.mass, a.inertia, p.td->pos, tmul(s.rot, p.cp.up));
      k_rate += std::max(0.0, p.td->stiffness) * w;
      c_rate += std::max(0.0, p.td->damping) * w;
    }
    h = std::min(h, stable_contact_step(k_rate, c_rate));
  }
  const double n = std::ceil(dt / h - 1e-9);
  return static_cast<int>(std::clamp(n, 1.0, static_cast<double>(kMaxSubsteps)));
}

void integrate_assembly(Simulation& sim, Assembly& a, double dt) {
  HostVessel& root = *a.root;
  const Body& b = *root.ref;
  State s{root.pos, root.vel, root.rot, root.omega};

  if (root.resting) {
    if (!rest_place_current(b, sim.time(), root)) capture_rest(b, sim.time(), root);
    const Eval e = evaluate(sim, a, s, dt, false, true, &root.atm);
    if (ground_holds(a, s, e)) {
      place_resting(b, sim.time() + dt, root);
      return;
    }
    root.resting = false;
  }

  const int n = substeps_for(sim, a, s, dt);
  const double h = dt / n;
  const double t0 = sim.time();
  Eval e = evaluate(sim, a, s, h, true, false);
  bool contact_prev = root.ground_contact;
  const VECTOR3 body_w = body_omega(b);
  for (int i = 0; i < n; ++i) {
    s.vel += e.force() * (0.5 * h / a.mass);
    s.omega += angular_accel(a.inertia, s.omega, e.torque()) * (0.5 * h);
    s.pos += s.vel * h;
    s.rot = mul(s.rot, step_rotation(s.omega, h));
    if (e.density > 0.0) {  // rotational drag: exact decay of the rotation relative to the air
      const VECTOR3 rates =
          rot_drag_rates(root.rot_drag, root.cross_sections.y, e.airspeed, e.density, a.inertia);
      const VECTOR3 air_w = tmul(s.rot, body_w);
      VECTOR3 rel = s.omega - air_w;
      rel.x *= std::exp(-rates.x * h);
      rel.y *= std::exp(-rates.y * h);
      rel.z *= std::exp(-rates.z * h);
      s.omega = air_w + rel;
    }
    e = evaluate(sim, a, s, h, true, i == n - 1);
    const VECTOR3 vel_before_contact = s.vel;
    s.vel += e.force() * (0.5 * h / a.mass);
    s.omega += angular_accel(a.inertia, s.omega, e.torque()) * (0.5 * h);

    const bool contact = e.contacts > 0;
    if (!contact) root.airborne_since_start = true;
    if (contact && !contact_prev && root.airborne_since_start && !root.touchdown_record) {
      // The speed of the impact: before this sub-step's ground reaction acted on it.
      State at_contact = s;
      at_contact.vel = vel_before_contact;
      record_touchdown(a, at_contact, e.force_nc / a.mass, t0 + (i + 1) * h, h);
    }
    contact_prev = contact;
  }
  s.rot = orthonormalise(s.rot);

  // Come to rest on the ground: hold it there from now on.
  if (e.contacts >= 3) {
    const VECTOR3 a_rel = e.force() / a.mass - corotation_accel(b, s.pos);
    const VECTOR3 w_rel = s.omega - rot_from_body(s.rot, b);
    const VECTOR3 alpha = angular_accel(a.inertia, s.omega, e.torque());
    if (length(ground_rel_vel(b, s)) < kRestSpeed_m_s && length(w_rel) < kRestRate_rad_s &&
        length(a_rel) < kRestAccel_m_s2 && length(alpha) < kRestAngAccel_rad_s2 && ground_holds(a, s, e)) {
      root.pos = s.pos, root.rot = s.rot;
      root.resting = true;
      capture_rest(b, t0 + dt, root);
      place_resting(b, t0 + dt, root);
      return;
    }
  }
  root.pos = s.pos, root.vel = s.vel, root.rot = s.rot, root.omega = s.omega;
}

void place_subtree(Simulation& sim, HostVessel& parent) {
  std::vector<HostVessel*> kids;
  children_of(sim, &parent, kids);
  for (HostVessel* c : kids) {
    place_attached(*c);
    place_subtree(sim, *c);
  }
}

}  // namespace

void update_environment(Simulation& sim, HostVessel& v) {
  (void)sim;
  if (v.ref == nullptr) return;
  const Body& b = *v.ref;
  v.atm = b.has_atmosphere ? standard_atmosphere(altitude_meanrad(v)) : Atmosphere{};
  bool contact = v.resting;  // a resting vessel stands on its points by definition
  for (size_t i = 0; i < v.touchdown.size() && !contact; ++i)
    contact = length(v.pos + mul(v.rot, v.touchdown[i].pos) - b.pos) <= b.radius;
  v.ground_contact = contact;
  if (!contact) v.airborne_since_start = true;
}

void settle_landed(Simulation& sim, HostVessel& v) {
  if (v.ref == nullptr) return;
  if (v.parent() != nullptr) {
    place_attached(v);
    return;
  }
  const Body& b = *v.ref;
  // Keep the attitude the loader gave; move along the local vertical until the lowest touchdown
  // point lies just inside the sphere (the plane of the first three points is tangent at the
  // vessel, so points away from the vertical would otherwise hang a little above it).
  if (!v.touchdown.empty()) {
    for (int iter = 0; iter < 3; ++iter) {
      double max_depth = -std::numeric_limits<double>::infinity();
      for (const TOUCHDOWNVTX& td : v.touchdown)
        max_depth = std::max(max_depth, b.radius - length(v.pos + mul(v.rot, td.pos) - b.pos));
      const VECTOR3 up = unit(v.pos - b.pos);
      v.pos += up * (max_depth - kSettleDepth_m);
    }
  }
  v.rot = orthonormalise(v.rot);
  capture_rest(b, sim.time(), v);
  place_resting(b, sim.time(), v);
  int on_ground = 0;
  for (const TOUCHDOWNVTX& td : v.touchdown)
    if (b.radius - length(v.pos + mul(v.rot, td.pos) - b.pos) >= -kHoldLiftSlack_m) ++on_ground;
  v.resting = on_ground >= 3;
  v.ground_contact = !v.touchdown.empty();
  place_subtree(sim, v);
}

void integrate(Simulation& sim, double dt) {
  if (!(dt > 0.0)) return;
  thread_local Assembly a;
  for (auto& vp : sim.vessels()) {
    HostVessel& v = *vp;
    if (v.parent() != nullptr || v.ref == nullptr) continue;
    build_assembly(sim, v, dt, a);
    integrate_assembly(sim, a, dt);
    place_subtree(sim, v);
  }
}

void place_attached(HostVessel& child) {
  const HostAttachment* cp = child.parent_point();
  if (cp == nullptr || cp->peer == nullptr || cp->peer->owner == nullptr) return;
  const HostAttachment& pp = *cp->peer;
  const HostVessel& parent = *pp.owner;
  const RelativePose pose = attachment_pose(pp, *cp);
  child.ref = parent.ref;
  child.rot = orthonormalise(mul(parent.rot, pose.rot));
  child.pos = parent.pos + mul(parent.rot, pose.pos);
  child.omega = tmul(pose.rot, parent.omega);
  child.vel = parent.vel + mul(parent.rot, crossp(pose.pos, parent.omega));
  child.resting = false;
}

VECTOR3 detach_velocity(const HostVessel& parent, const HostAttachment& parent_point, double speed) {
  VECTOR3 vel = parent.vel;
  if (parent_point.peer != nullptr) {
    const RelativePose pose = attachment_pose(parent_point, *parent_point.peer);
    vel += mul(parent.rot, crossp(pose.pos, parent.omega));
  }
  if (std::isfinite(speed)) vel += mul(parent.rot, unit(parent_point.dir)) * speed;
  return vel;
}

}  // namespace sim
