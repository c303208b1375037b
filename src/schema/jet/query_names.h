// How names from the rows of a saved query are written into its SQL text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zl::schema::jet {

// `text` in square brackets, unless it already starts with "[" and ends with "]".
std::string bracketed(std::string_view text);

// A name written whole (an alias): bracketed when it holds any character other than an ASCII
// letter, digit or underscore, as is otherwise.
std::string quotedName(std::string_view name);

// A dotted name ("Table1.col1", "[My Table].[col]"): each part between dots outside brackets
// is written like quotedName, so parts already in brackets stay as they are.
std::string quotedPath(std::string_view path);

// The " IN 'path' [connect]" that names an external database; the path is always written,
// empty when absent. Empty when neither is given.
std::string externalDatabase(const std::optional<std::string>& path,
                             const std::optional<std::string>& connect);

// The texts joined by `separator`.
std::string joined(const std::vector<std::string>& texts, std::string_view separator = ", ");

}  // namespace zl::schema::jet
