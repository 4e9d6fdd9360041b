// Gravity and the aerodynamic forces of a vessel: airfoils, the simple drag model, rotational drag.
#include <algorithm>
#include <cmath>

#include "sim/physics.h"

namespace sim {

VECTOR3 gravity_accel(double gm_m3_s2, const VECTOR3& rel_m) {
  const double r2 = dotp(rel_m, rel_m);
  if (r2 <= 0.0) return _V(0, 0, 0);  // at the centre: no direction to fall in
  const double r = std::sqrt(r2);
  return rel_m * (-gm_m3_s2 / (r2 * r));
}

double airfoil_angle(AIRFOIL_ORIENTATION orientation, const VECTOR3& a) {
  // atan2 returns (-pi, pi]; atan2(0, 0) is 0 (no airflow: no angle).
  return orientation == LIFT_VERTICAL ? std::atan2(-a.y, a.z) : std::atan2(-a.x, a.z);
}

AirfoilLoad airfoil_load(AIRFOIL_ORIENTATION orientation, const VECTOR3& ref, double chord_m, double area_m2,
                         const VECTOR3& a, double density_kg_m3, double cl, double cm, double cd) {
  AirfoilLoad out;
  const double speed = length(a);
  if (speed <= 0.0 || density_kg_m3 <= 0.0) return out;
  const double qs = 0.5 * density_kg_m3 * speed * speed * area_m2;

  // Lift: perpendicular to the airflow within the airfoil's plane (y-z for vertical lift, x-z
  // for horizontal), towards +y (+x) when the flow comes straight along +z.
  VECTOR3 lift_dir = orientation == LIFT_VERTICAL ? _V(0, a.z, -a.y) : _V(a.z, 0, -a.x);
  lift_dir = unit(lift_dir);  // zero when the flow is normal to the plane: no lift direction
  const VECTOR3 drag_dir = a * (-1.0 / speed);

  out.lift = lift_dir * (qs * cl);
  out.drag = drag_dir * (qs * cd);
  out.wrench.force = out.lift + out.drag;
  out.wrench.torque = torque_of(out.wrench.force, ref);
  const double moment = qs * chord_m * cm;
  if (orientation == LIFT_VERTICAL)
    out.wrench.torque.x += moment;  // positive cm: nose up (omega.x > 0 pitches up)
  else
    out.wrench.torque.y -= moment;  // positive cm: nose towards +x (omega.y > 0 yaws towards -x)
  return out;
}

VECTOR3 simple_drag(const std::array<double, 4>& cw, const VECTOR3& cs, const VECTOR3& a,
                    double density_kg_m3) {
  const double speed = length(a);
  if (speed <= 0.0 || density_kg_m3 <= 0.0) return _V(0, 0, 0);
  const VECTOR3 d = a / speed;
  const double cw_z = d.z >= 0.0 ? cw[0] : cw[1];
  const double cwa =
      cw_z * cs.z * std::abs(d.z) + cw[2] * cs.x * std::abs(d.x) + cw[3] * cs.y * std::abs(d.y);
  return d * (-0.5 * density_kg_m3 * speed * speed * cwa);
}

VECTOR3 rot_drag_rates(const VECTOR3& rot_drag, double cs_y_m2, double airspeed_m_s, double density_kg_m3,
                       const VECTOR3& inertia) {
  if (density_kg_m3 <= 0.0) return _V(0, 0, 0);
  const double v = airspeed_m_s + kRotDragSpeedOffset_m_s;
  const double qs = 0.5 * density_kg_m3 * v * v * cs_y_m2;
  auto rate = [qs](double c, double i) { return i > 0.0 ? std::max(0.0, qs * c / i) : 0.0; };
  return _V(rate(rot_drag.x, inertia.x), rate(rot_drag.y, inertia.y), rate(rot_drag.z, inertia.z));
}

}  // namespace sim
