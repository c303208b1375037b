// Runs the mdbtools command-line programs, the independent reader the writer's files are
// checked against; tests that use them skip when mdbtools is not installed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zl::jetwrite::testing {

// True when mdb-tables, mdb-schema, mdb-export, mdb-queries, mdb-prop and mdb-ver are on PATH.
bool mdbtoolsInstalled();

// The standard output of `program` run with `arguments` (no shell involved); throws
// std::runtime_error when it cannot run or exits with a status other than 0.
std::string runMdbTool(const std::string& program, const std::vector<std::string>& arguments);

// The lines of `text`, without line ends; the last line may be empty only when not the end.
std::vector<std::string> lines(const std::string& text);

// One column of a CREATE TABLE that mdb-schema prints for the "access" backend.
struct MdbColumn {
    std::string name;
    std::string type;  // "Long Integer", "Text (40)", "Memo/Hyperlink (255)", ...
};

// The columns mdb-schema reports for `table` of `database`, in its order.
std::vector<MdbColumn> mdbSchemaColumns(const std::filesystem::path& database,
                                        const std::string& table);

}  // namespace zl::jetwrite::testing
