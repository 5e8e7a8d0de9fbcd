// The command line of zantrix-bench: sizes, runs, editors, output, and a session's own options.
#pragma once

#include "Operations.h"

#include <string>
#include <vector>

namespace zbench {

extern const char kUsage[];

struct Options {
    std::vector<std::string> sizes;
    int runs = 0; // 0: the default for each size
    std::vector<std::string> editors;
    std::string markdown;
    std::string workDir;
    bool smoke = false;
    bool help = false;
    SessionShape shape;
    // A session in a process of its own.
    std::string child;
    std::string file;
};

// Reads the arguments (without the program name) against the editors built in, in column
// order. Returns false with a message in `error` for a command line that cannot run.
bool ParseOptions(const std::vector<std::string>& args,
                  const std::vector<std::string>& builtEditors, Options& options,
                  std::string& error);

} // namespace zbench
