// zelm-find as a function: arguments in, the table to `out` (or the --output file), messages to `err`; returns the
// exit status (0 done, 1 a usage error, 2 input or data that cannot be used). main() only calls it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace zelm {

int FindMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace zelm
