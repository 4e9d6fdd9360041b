// Particle-stream descriptions of the launch mount: A, the downward stream under the holding
// point; B, the three radial streams; C, the burst stream. A graphics client draws larger,
// longer-lived particles.
#pragma once

#include "host/types.h"

enum class mount_stream { a, b, c };

inline PARTICLESTREAMSPEC mount_stream_description(mount_stream kind, bool graphics_client) {
  PARTICLESTREAMSPEC s{};
  s.flags = 0;
  s.ltype = PARTICLESTREAMSPEC::EMISSIVE;
  s.levelmap = PARTICLESTREAMSPEC::LVL_SQRT;
  s.lmin = 0.0;
  s.lmax = 1.0;
  s.atmsmap = PARTICLESTREAMSPEC::ATM_FLAT;
  s.amin = 1.0;
  s.amax = 1.0;
  s.tex = nullptr;
  switch (kind) {
    case mount_stream::a:
      s.srcsize = graphics_client ? 0.6 : 0.5;
      s.srcrate = 15.0;
      s.v0 = 0.5;
      s.srcspread = 15.0;
      s.lifetime = graphics_client ? 3.0 : 2.0;
      s.growthrate = graphics_client ? 3.0 : 1.5;
      s.atmslowdown = 0.4;
      break;
    case mount_stream::b:
      s.srcsize = graphics_client ? 0.4 : 0.3;
      s.srcrate = 20.0;
      s.v0 = 5.0;
      s.srcspread = 0.25;
      s.lifetime = 2.0;
      s.growthrate = graphics_client ? 1.0 : 0.5;
      s.atmslowdown = 0.75;
      break;
    case mount_stream::c:
      s.srcsize = graphics_client ? 0.6 : 0.5;
      s.srcrate = 20.0;
      s.v0 = 8.0;
      s.srcspread = 0.15;
      s.lifetime = 0.6;
      s.growthrate = graphics_client ? 1.0 : 0.5;
      s.atmslowdown = 1.25;
      break;
  }
  return s;
}

// Where the five streams sit and point, and which description each takes. Streams 1 to 4 run on
// the base level, stream 5 on the burst level.
struct mount_stream_slot {
  VECTOR3 pos_m;
  VECTOR3 dir;
  mount_stream kind;
  bool burst;
};

inline constexpr mount_stream_slot mount_stream_slots[5] = {
    {{0.0, 4.0, 0.0}, {0.0, -1.0, 0.0}, mount_stream::a, false},
    {{0.0, 8.0, -4.45}, {0.0, 0.0, -1.0}, mount_stream::b, false},
    {{-4.3, 8.0, 1.153}, {-0.966, 0.0, 0.259}, mount_stream::b, false},
    {{4.3, 8.0, 1.153}, {0.966, 0.0, 0.259}, mount_stream::b, false},
    {{0.0, 27.0, -4.45}, {0.0, 0.0, -1.0}, mount_stream::c, true},
};
