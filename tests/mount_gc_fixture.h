// Shared by the launch mount's graphics-client tests. The probe's answer is kept once per loaded
// module, so each situation runs in a program of its own: a stand-in client is loaded by path
// before any mount exists, and the module is loaded fresh by the first simulation.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"
#include "velk_pad/velk_pad.h"

namespace mount_gc {

// Loads a stand-in client (built from tests/stand_ins/NAME.cpp) by its path; it then answers to
// the client module name its source declares.
inline void* load_stand_in(const std::string& name) {
  const std::string path = std::string(ORBHOST_BINARY_DIR) + "/stand_ins/lib" + name + ".so";
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  EXPECT_NE(h, nullptr) << path << ": " << dlerror();
  return h;
}

inline std::unique_ptr<sim::Simulation> load_mount() {
  return test_support::load(test_support::scenario(
      "Mount:velk_pad\n  STATUS Landed Earth\n  POS 0.0 0.0\n  HEADING 0\nEND\n", 60000.0));
}

inline velk_pad& mount(sim::Simulation& s) { return *static_cast<velk_pad*>(s.vessel("Mount")->iface); }

inline int not_found_lines(sim::Simulation& s) {
  return static_cast<int>(std::count(s.log().begin(), s.log().end(), "gcAPI: [Graphics Client Not Found]"));
}

// True when the mount was configured for a graphics client: the larger, longer-lived particles
// and the rarer bursts. Checks that all five streams agree.
inline bool configured_for_client(sim::Simulation& s) {
  const auto& ps = s.vessel("Mount")->particle_streams;
  EXPECT_EQ(ps.size(), 5u);
  if (ps.size() != 5u) return false;
  const bool client = ps[0]->spec.srcsize == 0.6;
  EXPECT_EQ(ps[0]->spec.lifetime, client ? 3.0 : 2.0);
  EXPECT_EQ(ps[0]->spec.growthrate, client ? 3.0 : 1.5);
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(ps[i]->spec.srcsize, client ? 0.4 : 0.3) << i;
    EXPECT_EQ(ps[i]->spec.growthrate, client ? 1.0 : 0.5) << i;
  }
  EXPECT_EQ(ps[4]->spec.srcsize, client ? 0.6 : 0.5);
  EXPECT_EQ(ps[4]->spec.growthrate, client ? 1.0 : 0.5);
  EXPECT_EQ(mount(s).burst_chance_offset, client ? 0.005 : 0.0);
  return client;
}

}  // namespace mount_gc
