// Turning names and values from the database into pieces of Visual Basic: identifiers, string
// literals, and the lines of a QueryDef's SQL text.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace zl::vbgen {

// The characters A-Z, a-z and 0-9 of `text`, in order, cut to 33 characters. May be empty or
// begin with a digit: it always follows a fixed prefix such as "CTable_".
std::string MakeIdentifier(std::string_view text);

// A Visual Basic string literal for `text`: in double quotes, with quotes inside doubled. A
// literal must stay on its line, so control characters (below U+0020) become spaces.
std::string QuoteLiteral(std::string_view text);
// The same, appended to `out`.
void appendQuoteLiteral(std::string& out, std::string_view text);

// Appends `pieces` and a CR LF: one line of the module.
void line(std::string& out, std::initializer_list<std::string_view> pieces = {});

// The lines of a QueryDef's SQL text that become assignment lines: split at CR LF pairs; the
// first line always counts; an empty line, or one holding exactly one NUL, ends the list.
std::vector<std::string> SplitSqlLines(std::string_view sql);

}  // namespace zl::vbgen
