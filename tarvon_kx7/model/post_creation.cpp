#include <cstring>

#include "tarvon_kx7/tarvon_kx7.h"

OBJHANDLE gravity_ref_body = nullptr;

// Brings the vessel in line with the loaded state, measures the turning capability of the attitude
// groups and resolves the target.
void tarvon_kx7::clbkPostCreation() {
  if (aero_mode == 1) apply_aero_mode();
  if (prop_select == 1) select_propellant_source();

  // Turning capability per attitude group, in torque_cap order. The groups are the RCS groups here.
  const THGROUP_TYPE cap_groups[6] = {THGROUP_ATT_PITCHUP,   THGROUP_ATT_PITCHDOWN, THGROUP_ATT_BANKLEFT,
                                      THGROUP_ATT_BANKRIGHT, THGROUP_ATT_YAWLEFT,   THGROUP_ATT_YAWRIGHT};
  for (int g = 0; g < 6; ++g) {
    const DWORD n = GetGroupThrusterCount(cap_groups[g]);
    for (DWORD i = 0; i < n; ++i) {
      THRUSTER_HANDLE th = GetGroupThruster(cap_groups[g], i);
      VECTOR3 ref_m, dir;
      GetThrusterRef(th, ref_m);
      GetThrusterDir(th, dir);
      torque_cap[g] += torque_lever_m(g, ref_m, dir) * GetThrusterMax(th);
    }
  }

  update_touchdown_points();

  gravity_ref_body = GetGravityRef();

  // A target that is neither a host object nor a base of the gravity body is no target.
  if (oapiGetObjectByName(target_name) == nullptr &&
      oapiGetBaseByName(gravity_ref_body, target_name) == nullptr) {
    std::strcpy(target_name, "NULL");
  }
  lookup_target();
}
