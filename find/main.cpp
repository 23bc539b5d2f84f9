// zelm-find: candidate formulas for the masses of a peak list, on the command line.
#include <iostream>
#include <string>
#include <vector>

#include "find/find_main.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv, argv + argc);
  return zelm::FindMain(args, std::cin, std::cout, std::cerr);
}
