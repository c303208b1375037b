// zlgen-cli: runs one parsed request against the database engine.
#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace zl::schema {
class Engine;
}

namespace zl::cli {

// Runs `request` with `engine`; results go to `out` (or the request's output file), messages to
// `err`. Returns the exit status: 0 success, 1 generation failed, 2 usage, 3 cannot open.
int runRequest(const CliRequest& request, schema::Engine& engine, std::ostream& out,
               std::ostream& err);

// The whole program: parses argv and runs it with the Jet engine.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace zl::cli
