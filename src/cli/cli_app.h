// zlgen-cli: runs one parsed request against the database engine.
#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

namespace zl::schema {
class Database;
class Engine;
class SchemaModel;
}  // namespace zl::schema

namespace zl::cli {

// Runs the export command on an open database (see export_command.h). The export links the
// database client libraries, so it lives in its own program (zlgen-export); zlgen-cli passes it on.
using ExportRunner = int (*)(const CliRequest&, const schema::Database&, const schema::SchemaModel&,
                             std::ostream&);

// Runs `request` with `engine`; results go to `out` (or the request's output file), messages to
// `err`. Returns the exit status: 0 success, 1 generation failed, 2 usage, 3 cannot open.
// An export request needs `exporter`.
int runRequest(const CliRequest& request, schema::Engine& engine, std::ostream& out,
               std::ostream& err, ExportRunner exporter = nullptr);

// The whole program: parses argv and runs it with the Jet engine.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ExportRunner exporter = nullptr);

// zlgen-cli export: replaces this process by the program zlgen-export beside it, with the same
// arguments. Returns only when that program cannot be started (exit status 1, message on `err`).
int runExportProgram(char** argv, std::ostream& err);

}  // namespace zl::cli
