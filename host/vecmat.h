// Vectors and 3x3 matrices of the host interface, with the usual helpers.
//
// The host's frames are left-handed; the cross product is given by its
// component formula and is the same in either handedness.
#pragma once

#include <cmath>

constexpr double PI = 3.14159265358979323846;
constexpr double PI05 = PI * 0.5;
constexpr double PI2 = PI * 2.0;
constexpr double RAD = PI / 180.0;  // degrees to radians
constexpr double DEG = 180.0 / PI;  // radians to degrees

struct VECTOR3 {
  double x, y, z;
};

// Row-major 3x3 matrix.
struct MATRIX3 {
  double m11, m12, m13;
  double m21, m22, m23;
  double m31, m32, m33;
};

inline constexpr VECTOR3 _V(double x, double y, double z) { return VECTOR3{x, y, z}; }

inline constexpr MATRIX3 _M(double m11, double m12, double m13, double m21, double m22, double m23,
                            double m31, double m32, double m33) {
  return MATRIX3{m11, m12, m13, m21, m22, m23, m31, m32, m33};
}

inline constexpr MATRIX3 identity3() { return MATRIX3{1, 0, 0, 0, 1, 0, 0, 0, 1}; }

inline constexpr VECTOR3 operator+(const VECTOR3& a, const VECTOR3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline constexpr VECTOR3 operator-(const VECTOR3& a, const VECTOR3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline constexpr VECTOR3 operator-(const VECTOR3& a) { return {-a.x, -a.y, -a.z}; }
inline constexpr VECTOR3 operator*(const VECTOR3& a, double f) { return {a.x * f, a.y * f, a.z * f}; }
inline constexpr VECTOR3 operator*(double f, const VECTOR3& a) { return {a.x * f, a.y * f, a.z * f}; }
inline constexpr VECTOR3 operator/(const VECTOR3& a, double f) { return {a.x / f, a.y / f, a.z / f}; }
inline VECTOR3& operator+=(VECTOR3& a, const VECTOR3& b) {
  a.x += b.x;
  a.y += b.y;
  a.z += b.z;
  return a;
}
inline VECTOR3& operator-=(VECTOR3& a, const VECTOR3& b) {
  a.x -= b.x;
  a.y -= b.y;
  a.z -= b.z;
  return a;
}
inline VECTOR3& operator*=(VECTOR3& a, double f) {
  a.x *= f;
  a.y *= f;
  a.z *= f;
  return a;
}
inline VECTOR3& operator/=(VECTOR3& a, double f) {
  a.x /= f;
  a.y /= f;
  a.z /= f;
  return a;
}

inline constexpr double dotp(const VECTOR3& a, const VECTOR3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// a x b by components: (a.y b.z - a.z b.y, a.z b.x - a.x b.z, a.x b.y - a.y b.x).
inline constexpr VECTOR3 crossp(const VECTOR3& a, const VECTOR3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double length(const VECTOR3& a) { return std::sqrt(dotp(a, a)); }

inline double dist(const VECTOR3& a, const VECTOR3& b) { return length(a - b); }

// Unit vector along a; the zero vector stays zero rather than turning into NaN.
inline VECTOR3 unit(const VECTOR3& a) {
  const double len = length(a);
  return len > 0.0 ? a / len : VECTOR3{0, 0, 0};
}

inline void normalise(VECTOR3& a) { a = unit(a); }

inline bool is_finite(const VECTOR3& a) {
  return std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(a.z);
}

// Matrix times column vector.
inline constexpr VECTOR3 mul(const MATRIX3& m, const VECTOR3& v) {
  return {m.m11 * v.x + m.m12 * v.y + m.m13 * v.z, m.m21 * v.x + m.m22 * v.y + m.m23 * v.z,
          m.m31 * v.x + m.m32 * v.y + m.m33 * v.z};
}

// Transposed matrix times column vector (the inverse rotation for a rotation matrix).
inline constexpr VECTOR3 tmul(const MATRIX3& m, const VECTOR3& v) {
  return {m.m11 * v.x + m.m21 * v.y + m.m31 * v.z, m.m12 * v.x + m.m22 * v.y + m.m32 * v.z,
          m.m13 * v.x + m.m23 * v.y + m.m33 * v.z};
}

inline constexpr MATRIX3 mul(const MATRIX3& a, const MATRIX3& b) {
  return {a.m11 * b.m11 + a.m12 * b.m21 + a.m13 * b.m31, a.m11 * b.m12 + a.m12 * b.m22 + a.m13 * b.m32,
          a.m11 * b.m13 + a.m12 * b.m23 + a.m13 * b.m33, a.m21 * b.m11 + a.m22 * b.m21 + a.m23 * b.m31,
          a.m21 * b.m12 + a.m22 * b.m22 + a.m23 * b.m32, a.m21 * b.m13 + a.m22 * b.m23 + a.m23 * b.m33,
          a.m31 * b.m11 + a.m32 * b.m21 + a.m33 * b.m31, a.m31 * b.m12 + a.m32 * b.m22 + a.m33 * b.m32,
          a.m31 * b.m13 + a.m32 * b.m23 + a.m33 * b.m33};
}

inline constexpr MATRIX3 transpose(const MATRIX3& m) {
  return {m.m11, m.m21, m.m31, m.m12, m.m22, m.m32, m.m13, m.m23, m.m33};
}
