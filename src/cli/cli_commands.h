#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace morvik::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Runs one command line (without the program name, UTF-8): 0 on success, 1 on
// a failure (one line on err saying why), 2 on a usage error (the usage on err).
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morvik::cli
