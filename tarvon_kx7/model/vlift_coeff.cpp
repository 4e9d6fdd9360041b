#include "tarvon_kx7/tarvon_kx7.h"

// Coefficients of the vertical-lift airfoils (body, canards, aft flaps).
void vlift_coeff(VESSEL* /*v*/, double aoa, double /*M*/, double /*Re*/, void* /*context*/, double* cl,
                 double* cm, double* cd) {
  aero_coeff(aoa, cl, cm, cd);
}
