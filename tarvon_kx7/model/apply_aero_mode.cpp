#include <initializer_list>

#include "tarvon_kx7/tarvon_kx7.h"

// Re-edits the two body airfoils for the aerofoil mode. Only the reference point and the wing area
// take effect (edit bits 1 and 8); both modes use the same values.
void tarvon_kx7::apply_aero_mode() {
  const DWORD flags = AIRFOIL_EDIT_REF | AIRFOIL_EDIT_AREA;
  for (AIRFOILHANDLE airfoil : {body_airfoil_v, body_airfoil_h}) {
    EditAirfoil(airfoil, flags, kx7::body_airfoil_ref_m, nullptr, kx7::body_airfoil_chord_m,
                kx7::body_airfoil_area_m2, kx7::body_airfoil_aspect);
  }
}
