// Test vessels for the flight-dynamics tests: a VESSEL3 whose configuration is given by the test
// as a function (called from clbkSetClassCaps, through the vessel interface as a module would),
// created on a handle of a simulation with no scenario (Earth at rest in its frame, time 0).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/vessel.h"
#include "sim/dynamics.h"
#include "sim/frames.h"
#include "sim/physics.h"
#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"

namespace physics_test {

class TestVessel final : public VESSEL3 {
 public:
  using Setup = std::function<void(TestVessel&)>;
  TestVessel(OBJHANDLE h, Setup setup) : VESSEL3(h), setup_(std::move(setup)) {}
  void clbkSetClassCaps(FILEHANDLE) override {
    if (setup_) setup_(*this);
  }
  void clbkNavMode(int mode, bool active) override { navmode_calls.emplace_back(mode, active); }
  void clbkPreStep(double, double, double) override {
    if (prestep) prestep(*this);
  }

  std::vector<std::pair<int, bool>> navmode_calls;
  std::function<void(TestVessel&)> prestep;

 private:
  Setup setup_;
};

struct World {
  std::unique_ptr<sim::Simulation> sim = std::make_unique<sim::Simulation>(test_support::build_options());
  sim::Body& earth() { return *sim->body("Earth"); }

  // A test vessel at a global position, at rest in the global frame.
  std::pair<sim::HostVessel*, TestVessel*> add(const std::string& name, const VECTOR3& pos,
                                               TestVessel::Setup setup) {
    TestVessel* made = nullptr;
    sim::HostVessel& hv = sim->create_vessel(
        name, &earth(), pos,
        [&](OBJHANDLE h) {
          made = new TestVessel(h, setup);
          return static_cast<VESSEL*>(made);
        },
        [](VESSEL* p) { delete static_cast<TestVessel*>(p); });
    return {&hv, made};
  }

  // Global position at longitude, latitude (deg) and altitude above mean radius (m), time 0.
  VECTOR3 at(double lon_deg, double lat_deg, double alt_m) {
    return sim::equ_to_global(earth(), sim->time(), lon_deg * RAD, lat_deg * RAD, earth().radius + alt_m);
  }

  // Puts a vessel at rest relative to the ground with the attitude (heading, pitch, bank, deg).
  void ground_rest(sim::HostVessel& v, double heading, double pitch, double bank) {
    v.rot = mul(sim::horizon_basis(earth(), v.pos),
                sim::attitude_from_hpb(heading * RAD, pitch * RAD, bank * RAD));
    v.vel = sim::surface_velocity(earth(), v.pos);
    v.omega = tmul(v.rot, sim::body_omega(earth()));
    sim::update_environment(*sim, v);
  }

  double gm() { return sim::kGravitationalConstant * earth().mass; }
};

inline void run(sim::Simulation& s, double seconds, double dt) {
  const int n = static_cast<int>(std::lround(seconds / dt));
  for (int i = 0; i < n; ++i) s.step(dt);
}

}  // namespace physics_test
