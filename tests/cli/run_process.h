// Runs a program with arguments and captures its exit status, standard output and error.
#pragma once

#include <string>
#include <vector>

namespace zl::testing {

struct ProcessResult {
    int exitStatus = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs `program` with `args` (no shell), with `env` entries ("NAME=value") added to the
// environment. Blocks until it ends.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& env = {});

}  // namespace zl::testing
