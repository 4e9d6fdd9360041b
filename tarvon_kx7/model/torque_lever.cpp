#include "tarvon_kx7/tarvon_kx7.h"

// Lever of one thruster for one attitude group. The sign conventions differ between the groups
// (these are not the components of one cross product); the attitude controllers use magnitudes only.
double torque_lever_m(int cap_index, const VECTOR3& ref_m, const VECTOR3& dir) {
  switch (cap_index) {
    case 0:  // PITCHUP
    case 1:  // PITCHDOWN
      return ref_m.y * dir.z + ref_m.z * dir.y;
    case 2:  // BANKLEFT
    case 3:  // BANKRIGHT
      return ref_m.y * dir.x - ref_m.x * dir.y;
    case 4:  // YAWLEFT
    case 5:  // YAWRIGHT
      return ref_m.x * dir.z + ref_m.z * dir.x;
    default:
      return 0.0;
  }
}
