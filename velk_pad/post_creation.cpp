#include "velk_pad/gravity_at_distance.h"
#include "velk_pad/velk_pad.h"

// The gravitational acceleration at the mount's position, once, from its reference body. Without a
// reference body (or at its centre) the start value stays.
void velk_pad::clbkPostCreation() {
  OBJHANDLE body = GetGravityRef();
  if (body == nullptr) return;
  VECTOR3 rel{};
  GetRelativePos(body, rel);
  if (const auto g = gravity_at_distance_m_s2(oapiGetMass(body), length(rel))) local_gravity = *g;
}
