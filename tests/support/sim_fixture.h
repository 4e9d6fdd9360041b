// Test support: a headless host with this build's modules, set up from a scenario string.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "sim/simulation.h"

namespace test_support {

// Host options pointing at this build's modules and configuration, seed 1.
sim::Options build_options();

// A simulation loaded from scenario text (post-creation done, no frame run yet).
std::unique_ptr<sim::Simulation> load(std::string_view scenario_text);

// A scenario holding the given vessel blocks ("NAME:CLASS\n  lines...\nEND\n"), at the given MJD,
// with the first vessel in focus.
std::string scenario(std::string_view ships, double mjd = 60000.5, std::string_view focus = "");

// Runs frames of length dt until t seconds of simulated time have passed.
void run_for(sim::Simulation& s, double seconds, double dt = 0.02);

}  // namespace test_support
