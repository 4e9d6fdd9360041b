// Rigid-body kinematics of the host's left-handed frames, and the geometry of attachments.
#include <algorithm>
#include <cmath>

#include "sim/physics.h"

namespace sim {
namespace {

VECTOR3 column(const MATRIX3& m, int i) {
  switch (i) {
    case 0:
      return _V(m.m11, m.m21, m.m31);
    case 1:
      return _V(m.m12, m.m22, m.m32);
    default:
      return _V(m.m13, m.m23, m.m33);
  }
}

MATRIX3 from_columns(const VECTOR3& a, const VECTOR3& b, const VECTOR3& c) {
  return _M(a.x, b.x, c.x, a.y, b.y, c.y, a.z, b.z, c.z);
}

// A unit vector perpendicular to the unit vector u.
VECTOR3 perpendicular(const VECTOR3& u) {
  const VECTOR3 t = std::abs(u.x) < 0.9 ? _V(1, 0, 0) : _V(0, 1, 0);
  return unit(crossp(u, t));
}

// Orthonormal basis whose first axis is d and whose second lies in the plane of d and r.
MATRIX3 basis(const VECTOR3& d_in, const VECTOR3& r_in) {
  VECTOR3 d = unit(d_in);
  if (length(d) == 0.0) d = _V(0, 0, 1);
  VECTOR3 r = r_in - d * dotp(d, r_in);
  r = length(r) > 1e-12 ? unit(r) : perpendicular(d);
  return from_columns(d, r, crossp(d, r));
}

}  // namespace

MATRIX3 step_rotation(const VECTOR3& w, double h) {
  // dR/dt = R W with W r = r x w: W = [[0, w.z, -w.y], [-w.z, 0, w.x], [w.y, -w.x, 0]];
  // the exact solution for constant w is R exp(W h) (Rodrigues' formula).
  const double rate = length(w);
  const double th = rate * h;
  const MATRIX3 W = _M(0, w.z * h, -w.y * h, -w.z * h, 0, w.x * h, w.y * h, -w.x * h, 0);
  double a, b;  // sin th / th, (1 - cos th) / th^2
  if (th < 1e-4) {
    a = 1.0 - th * th / 6.0;
    b = 0.5 - th * th / 24.0;
  } else {
    a = std::sin(th) / th;
    b = (1.0 - std::cos(th)) / (th * th);
  }
  const MATRIX3 W2 = mul(W, W);
  return _M(1 + a * W.m11 + b * W2.m11, a * W.m12 + b * W2.m12, a * W.m13 + b * W2.m13,  //
            a * W.m21 + b * W2.m21, 1 + a * W.m22 + b * W2.m22, a * W.m23 + b * W2.m23,  //
            a * W.m31 + b * W2.m31, a * W.m32 + b * W2.m32, 1 + a * W.m33 + b * W2.m33);
}

MATRIX3 orthonormalise(const MATRIX3& r) {
  VECTOR3 x = unit(column(r, 0));
  if (length(x) == 0.0) x = _V(1, 0, 0);
  VECTOR3 y = column(r, 1) - x * dotp(x, column(r, 1));
  y = length(y) > 1e-12 ? unit(y) : perpendicular(x);
  return from_columns(x, y, crossp(x, y));
}

VECTOR3 angular_accel(const VECTOR3& inertia, const VECTOR3& w, const VECTOR3& torque) {
  const VECTOR3 iw = _V(inertia.x * w.x, inertia.y * w.y, inertia.z * w.z);
  const VECTOR3 t = torque + crossp(w, iw);
  auto div = [](double a, double i) { return i > 0.0 ? a / i : 0.0; };
  return _V(div(t.x, inertia.x), div(t.y, inertia.y), div(t.z, inertia.z));
}

RelativePose attachment_pose(const HostAttachment& pp, const HostAttachment& cp) {
  // Child basis (its direction, its rotation reference) maps onto the parent's basis built from
  // the opposite of the parent's direction and the parent's rotation reference.
  const MATRIX3 child = basis(cp.dir, cp.rot);
  const MATRIX3 parent = basis(-pp.dir, pp.rot);
  RelativePose out;
  out.rot = mul(parent, transpose(child));
  out.pos = pp.pos - mul(out.rot, cp.pos);
  return out;
}

}  // namespace sim
