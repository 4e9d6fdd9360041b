#include <cmath>

#include "tarvon_kx7/tarvon_kx7.h"

// Rotation matrix about a unit axis (Rodrigues' form); the axis is not normalised here.
MATRIX3 axis_rotation(const VECTOR3& axis, double angle_rad) {
  const double x = axis.x, y = axis.y, z = axis.z;
  const double c = std::cos(angle_rad);
  const double s = std::sin(angle_rad);
  const double t = 1.0 - c;
  return _M(t * x * x + c, t * x * y - z * s, t * x * z + y * s,  //
            t * x * y + z * s, t * y * y + c, t * y * z - x * s,  //
            t * x * z - y * s, t * y * z + x * s, t * z * z + c);
}
