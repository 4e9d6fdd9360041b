#include <iostream>

#include "sim/runner.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  return sim::orbhost_main(args, std::cout, std::cerr);
}
