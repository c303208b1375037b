// The main program's command line: which database to open at start.
#pragma once

#include <string>
#include <vector>

namespace zl::controller {

// The database named by `arguments` (the program name excluded), or empty text for none.
// An argument OPEN=name (keyword in any case) names it, the name kept exactly as given; so does
// an argument that is neither an option (starting with "-") nor a KEYWORD=value pair. A later
// name replaces an earlier one; options and other keywords are ignored.
std::string DatabaseFromCommandLine(const std::vector<std::string>& arguments);

}  // namespace zl::controller
