#include "tests/support/sim_fixture.h"

#include <sstream>

namespace test_support {

sim::Options build_options() {
  sim::Options o;
  o.modules_dir = sim::default_modules_dir();
  o.config_dir = sim::default_config_dir();
  o.seed = 1;
  return o;
}

std::unique_ptr<sim::Simulation> load(std::string_view scenario_text) {
  auto s = std::make_unique<sim::Simulation>(build_options());
  s->load_scenario_text(scenario_text, "<test>");
  return s;
}

std::string scenario(std::string_view ships, double mjd, std::string_view focus) {
  std::string focus_name(focus);
  if (focus_name.empty()) {
    // The first block's name, up to the colon.
    std::string_view rest = ships;
    while (!rest.empty() && (rest.front() == '\n' || rest.front() == ' ')) rest.remove_prefix(1);
    focus_name = std::string(rest.substr(0, rest.find(':')));
  }
  std::ostringstream os;
  os.precision(10);
  os << "BEGIN_ENVIRONMENT\n  System Sol\n  Date MJD " << mjd << "\nEND_ENVIRONMENT\n\n"
     << "BEGIN_FOCUS\n  Ship " << focus_name << "\nEND_FOCUS\n\n"
     << "BEGIN_SHIPS\n"
     << ships << "END_SHIPS\n";
  return os.str();
}

void run_for(sim::Simulation& s, double seconds, double dt) {
  const double end = s.time() + seconds - 1e-9;
  while (s.time() < end) s.step(dt);
}

}  // namespace test_support
