// zelm-find as a function: arguments in, the table to `out` (or the --output file), messages to `err`; returns the
// exit status (0 done, 1 a usage error, 2 input or data that cannot be used). main() only calls it.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "find/find_run.h"
#include "find/peak_input.h"

namespace zelm {

int FindMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// zelm-find's search made ready from its arguments, for tools that hand it queries of their own (the evaluation
// bench): the same element table, blocks, ion types, tolerance and rules zelm-find uses with these arguments.
class FindSession {
 public:
  // args as on the command line, without the program's name; nullptr with the message in *why when they cannot be
  // used.
  static std::unique_ptr<FindSession> Make(const std::vector<std::string>& args, std::string* why);
  ~FindSession();
  // The query's candidates by rank, as zelm-find would write them.
  std::vector<Candidate> Rank(const Query& query) const;

  struct Impl;

 private:
  explicit FindSession(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace zelm
