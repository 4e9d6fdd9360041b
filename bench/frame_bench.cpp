// Frame cost of the headless host with the three vessel modules, reported as simulated seconds
// per wall-clock second at a 0.02 s frame (counter sim_s_per_s).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/frames.h"
#include "sim/simulation.h"
#include "tests/support/sim_fixture.h"

namespace {

constexpr double kFrame_s = 0.02;

std::string read(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::ostringstream os;
  os << in.rdbuf();
  return os.str();
}

void report(benchmark::State& state) {
  state.counters["sim_s_per_s"] =
      benchmark::Counter(kFrame_s * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The landing pad and the launch mount standing near the rocket in the scenarios below.
const std::string kPadAndMount =
    "Pad:dorrick\n  STATUS Landed Earth\n  POS -80.675 28.52\n  HEADING 0\nEND\n"
    "Mount:velk_pad\n  STATUS Landed Earth\n  POS -80.604 28.608\n  HEADING 0\nEND\n";

// The default scenario: the pad and the mount landed, the rocket held on the mount.
void BM_DefaultScenarioFrame(benchmark::State& state) {
  const std::string text = read(std::filesystem::path(ORBHOST_SOURCE_DIR) / "scenarios" / "default.scn");
  auto sim = test_support::load(text);
  for (auto _ : state) sim->step(kFrame_s);
  report(state);
}
BENCHMARK(BM_DefaultScenarioFrame);

// The rocket falling belly first through the air (seven airfoils, all forces live) beside the
// landed pad and mount; reloaded before it reaches the ground.
void BM_SkydivingRocketFrame(benchmark::State& state) {
  const std::string text = test_support::scenario(
      "KX7:tarvon_kx7\n  STATUS Flying Earth\n  POS -80.60 28.60\n  ALT 30000\n  ATT 0 0 0\n"
      "  GSPEED 0 -300 100\nEND\n" +
          kPadAndMount,
      60000.5);
  auto sim = test_support::load(text);
  for (auto _ : state) {
    sim->step(kFrame_s);
    if (sim::altitude_ground(*sim->vessel("KX7")) < 3000.0) {
      state.PauseTiming();
      sim.reset();
      sim = test_support::load(text);
      state.ResumeTiming();
    }
  }
  report(state);
}
BENCHMARK(BM_SkydivingRocketFrame);

// The rocket standing free on its legs, held at rest, beside the other two.
void BM_LandedRocketFrame(benchmark::State& state) {
  const std::string text = test_support::scenario(
      "KX7:tarvon_kx7\n  STATUS Landed Earth\n  POS -80.60 28.60\n  HEADING 0\nEND\n" + kPadAndMount,
      60000.5);
  auto sim = test_support::load(text);
  for (auto _ : state) sim->step(kFrame_s);
  report(state);
}
BENCHMARK(BM_LandedRocketFrame);

}  // namespace

BENCHMARK_MAIN();
