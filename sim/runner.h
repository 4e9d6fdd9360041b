// The command line of orbhost: `orbhost run SCENARIO [options]`.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sim {

// Runs the command line; returns the exit status (0 success, 2 bad input, 1 internal failure).
int orbhost_main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace sim
