#include "tarvon_kx7/tarvon_kx7.h"

namespace {

// Mesh groups moved by the animations (all on mesh 0). The host keeps pointers to these lists.
UINT flap_groups[4][1] = {{8}, {9}, {22}, {23}};
UINT leg_fold_groups[6][2] = {{1, 2}, {24, 25}, {27, 28}, {30, 31}, {33, 34}, {36, 37}};
UINT leg_extend_groups[6][1] = {{4}, {26}, {29}, {32}, {35}, {38}};

struct flap_hinge {
  VECTOR3 ref_m;
  VECTOR3 axis;
  double angle_deg;
};
// Forward left, forward right, aft left, aft right.
constexpr flap_hinge flap_hinges[4] = {
    {{-5.103, 0.0, 23.678}, {0.30902, 0.0, 0.95106}, -60.0},
    {{5.103, 0.0, 23.678}, {-0.30902, 0.0, 0.95106}, 60.0},
    {{-5.821, 0.0, 1.031}, {0.0, 0.0, 1.0}, -70.0},
    {{5.821, 0.0, 1.031}, {0.0, 0.0, 1.0}, 70.0},
};

}  // namespace

// Four flap animations with one rotation each, then the leg animation: for each of the six legs a
// fold-out rotation over the first 70 % of the state range and, riding on it, the extension of the
// lower leg over the rest.
void tarvon_kx7::define_animations() {
  // Forward pair, then aft pair: both animations of a pair first, then their rotations.
  for (int pair = 0; pair < 4; pair += 2) {
    anim_flap[pair] = CreateAnimation(0.0);
    anim_flap[pair + 1] = CreateAnimation(0.0);
    for (int i = pair; i < pair + 2; ++i) {
      anim_comp[i] = new MGROUP_ROTATE(0, flap_groups[i], 1, flap_hinges[i].ref_m, flap_hinges[i].axis,
                                       static_cast<float>(flap_hinges[i].angle_deg * RAD));
      AddAnimationComponent(anim_flap[i], 0.0, 1.0, anim_comp[i]);
    }
  }

  anim_gear = CreateAnimation(0.0);
  // The legs sit every 60 degrees round the z axis, each hinged about its tangent.
  const MATRIX3 next_leg = axis_rotation(_V(0, 0, 1), kx7::leg_spacing_deg * RAD);
  VECTOR3 hinge_ref = kx7::leg0_hinge_ref_m;
  VECTOR3 hinge_axis = kx7::leg0_hinge_axis;
  for (int k = 0; k < 6; ++k) {
    if (k > 0) {
      hinge_ref = mul(next_leg, hinge_ref);
      hinge_axis = mul(next_leg, hinge_axis);
    }
    MGROUP_TRANSFORM*& fold = anim_comp[4 + 2 * k];
    MGROUP_TRANSFORM*& extend = anim_comp[5 + 2 * k];
    fold = new MGROUP_ROTATE(0, leg_fold_groups[k], 2, hinge_ref, hinge_axis,
                             static_cast<float>(kx7::leg_fold_deg * RAD));
    leg_parent = AddAnimationComponent(anim_gear, 0.0, kx7::leg_fold_end_state, fold);
    extend = new MGROUP_TRANSLATE(0, leg_extend_groups[k], 1, kx7::leg_extension_m);
    AddAnimationComponent(anim_gear, kx7::leg_fold_end_state, 1.0, extend, leg_parent);
  }
}
