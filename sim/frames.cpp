#include "sim/frames.h"

#include <algorithm>
#include <cmath>

namespace sim {

double body_rotation_angle(const Body& b, double t) {
  if (b.rot_period <= 0.0) return b.rot_offset;
  return b.rot_offset + PI2 * t / b.rot_period;
}

MATRIX3 body_rotation(const Body& b, double t) {
  const double a = body_rotation_angle(b, t);
  const double c = std::cos(a), s = std::sin(a);
  // (x, y, z) -> (x c - z s, y, x s + z c): longitude grows by the rotation angle.
  return _M(c, 0, -s, 0, 1, 0, s, 0, c);
}

VECTOR3 body_omega(const Body& b) { return b.rot_period > 0.0 ? _V(0, PI2 / b.rot_period, 0) : _V(0, 0, 0); }

VECTOR3 equ_to_global(const Body& b, double t, double lng, double lat, double r) {
  const VECTOR3 local =
      _V(r * std::cos(lat) * std::cos(lng), r * std::sin(lat), r * std::cos(lat) * std::sin(lng));
  return b.pos + mul(body_rotation(b, t), local);
}

void global_to_equ(const Body& b, double t, const VECTOR3& gpos, double& lng, double& lat, double& r) {
  const VECTOR3 local = tmul(body_rotation(b, t), gpos - b.pos);
  r = length(local);
  lat = r > 0.0 ? std::asin(std::clamp(local.y / r, -1.0, 1.0)) : 0.0;
  lng = std::atan2(local.z, local.x);
}

MATRIX3 horizon_basis(const Body& b, const VECTOR3& gpos) {
  const VECTOR3 rel = gpos - b.pos;
  VECTOR3 up = unit(rel);
  if (length(up) == 0.0) up = _V(1, 0, 0);
  // East is the direction of increasing longitude: at (lng 0, lat 0), where up is +x, it is +z.
  VECTOR3 east = _V(-up.z, 0, up.x);
  if (length(east) < 1e-12) east = _V(0, 0, 1);  // at a pole: any horizontal direction
  east = unit(east);
  const VECTOR3 north = crossp(up, east) * -1.0;
  // Columns: east, up, north.
  return _M(east.x, up.x, north.x, east.y, up.y, north.y, east.z, up.z, north.z);
}

VECTOR3 surface_velocity(const Body& b, const VECTOR3& gpos) { return crossp(gpos - b.pos, body_omega(b)); }

MATRIX3 attitude_from_hpb(double heading, double pitch, double bank) {
  const double ch = std::cos(heading), sh = std::sin(heading);
  const double cp = std::cos(pitch), sp = std::sin(pitch);
  const VECTOR3 z = _V(cp * sh, sp, cp * ch);
  const VECTOR3 y0 = _V(-sp * sh, cp, -sp * ch);
  const VECTOR3 x0 = crossp(y0, z);
  const double cb = std::cos(bank), sb = std::sin(bank);
  const VECTOR3 y = y0 * cb + x0 * sb;
  const VECTOR3 x = x0 * cb - y0 * sb;
  return _M(x.x, y.x, z.x, x.y, y.y, z.y, x.z, y.z, z.z);
}

void hpb_from_attitude(const MATRIX3& m, double& heading, double& pitch, double& bank) {
  const VECTOR3 z = _V(m.m13, m.m23, m.m33);
  const VECTOR3 y = _V(m.m12, m.m22, m.m32);
  pitch = std::asin(std::clamp(z.y, -1.0, 1.0));
  heading = (std::abs(z.x) < 1e-12 && std::abs(z.z) < 1e-12) ? 0.0 : std::atan2(z.x, z.z);
  if (heading < 0.0) heading += PI2;
  const double cp = std::cos(pitch), sp = std::sin(pitch);
  const double ch = std::cos(heading), sh = std::sin(heading);
  const VECTOR3 y0 = _V(-sp * sh, cp, -sp * ch);
  const VECTOR3 x0 = crossp(y0, z);
  bank = std::atan2(dotp(y, x0), dotp(y, y0));
}

MATRIX3 rotation_from_euler(const VECTOR3& e) {
  const double ca = std::cos(e.x), sa = std::sin(e.x);
  const double cb = std::cos(e.y), sb = std::sin(e.y);
  const double cc = std::cos(e.z), sc = std::sin(e.z);
  const MATRIX3 rx = _M(1, 0, 0, 0, ca, sa, 0, -sa, ca);
  const MATRIX3 ry = _M(cb, 0, -sb, 0, 1, 0, sb, 0, cb);
  const MATRIX3 rz = _M(cc, sc, 0, -sc, cc, 0, 0, 0, 1);
  return mul(mul(rx, ry), rz);
}

VECTOR3 euler_from_rotation(const MATRIX3& r) {
  // r = Rx(a) Ry(b) Rz(c): r13 = -sin b, r23 = sin a cos b, r33 = cos a cos b, r12 = cos b sin c,
  // r11 = cos b cos c.
  const double b = std::asin(std::clamp(-r.m13, -1.0, 1.0));
  double a, c;
  if (std::cos(b) > 1e-9) {
    a = std::atan2(r.m23, r.m33);
    c = std::atan2(r.m12, r.m11);
  } else {  // gimbal lock: fold everything into a
    a = std::atan2(r.m32, r.m22);
    c = 0.0;
  }
  return _V(a, b, c);
}

VECTOR3 support_up(const std::vector<TOUCHDOWNVTX>& td) {
  if (td.size() < 3) return _V(0, 1, 0);
  VECTOR3 n = unit(crossp(td[1].pos - td[0].pos, td[2].pos - td[0].pos));
  if (length(n) == 0.0) return _V(0, 1, 0);
  const double side = dotp(n, _V(0, 0, 0) - td[0].pos);
  if (side < 0.0 || (side == 0.0 && n.y < 0.0)) n = -n;
  return n;
}

double support_height(const std::vector<TOUCHDOWNVTX>& td) {
  if (td.size() < 3) return 0.0;
  return dotp(support_up(td), _V(0, 0, 0) - td[0].pos);
}

namespace {
VECTOR3 support_forward(const VECTOR3& up) {
  VECTOR3 f = _V(0, 0, 1) - up * up.z;
  if (length(f) < 0.5) f = _V(0, 1, 0) - up * up.y;
  return unit(f);
}
}  // namespace

MATRIX3 landed_attitude(const std::vector<TOUCHDOWNVTX>& td, double heading) {
  const VECTOR3 up = support_up(td);
  const VECTOR3 fwd = support_forward(up);
  const VECTOR3 side = crossp(up, fwd);
  const VECTOR3 U = _V(0, 1, 0);
  const VECTOR3 F = _V(std::sin(heading), 0, std::cos(heading));
  const VECTOR3 Sd = crossp(U, F);
  // M maps up -> U, fwd -> F, side -> Sd: M = [U F Sd] [up fwd side]^T.
  const MATRIX3 a = _M(U.x, F.x, Sd.x, U.y, F.y, Sd.y, U.z, F.z, Sd.z);
  const MATRIX3 b = _M(up.x, up.y, up.z, fwd.x, fwd.y, fwd.z, side.x, side.y, side.z);
  return mul(a, b);
}

double landed_heading(const std::vector<TOUCHDOWNVTX>& td, const MATRIX3& v2h) {
  const VECTOR3 f = mul(v2h, support_forward(support_up(td)));
  double h = std::atan2(f.x, f.z);
  if (h < 0.0) h += PI2;
  return h;
}

MATRIX3 vessel_to_horizon(const HostVessel& v) { return mul(transpose(horizon_basis(*v.ref, v.pos)), v.rot); }

double altitude_meanrad(const HostVessel& v) { return length(v.pos - v.ref->pos) - v.ref->radius; }

double altitude_ground(const HostVessel& v) { return altitude_meanrad(v); }

VECTOR3 groundspeed_global(const HostVessel& v) { return v.vel - surface_velocity(*v.ref, v.pos); }

VECTOR3 airspeed_global(const HostVessel& v, const VECTOR3& wind_horizon) {
  return groundspeed_global(v) - mul(horizon_basis(*v.ref, v.pos), wind_horizon);
}

}  // namespace sim
