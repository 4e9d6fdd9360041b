#include "tarvon_kx7/tarvon_kx7.h"

// Coefficients of the horizontal-lift airfoils (body, fin): the same model as the vertical ones.
void hlift_coeff(VESSEL* /*v*/, double aoa, double /*M*/, double /*Re*/, void* /*context*/, double* cl,
                 double* cm, double* cd) {
  aero_coeff(aoa, cl, cm, cd);
}
