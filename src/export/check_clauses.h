// The CHECK clauses of a CREATE TABLE statement as SQLite keeps it, found by scanning the SQL
// (strings, quoted names and comments skipped): SQLite has no catalog of its CHECKs, and names an
// unnamed one only by a cut-down form of its text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zl::exporter {

struct CheckClause {
    std::string expression;  // the text inside the parentheses, without surrounding blanks
    std::size_t begin = 0;   // the clause: "CHECK (...)", or ", CHECK (...)" for a table's own
    std::size_t end = 0;     // one past its closing parenthesis
};

// The CHECK clauses of the CREATE TABLE statement that starts at `start` in `sql`, and through
// `statementEnd` the position one past the statement's closing parenthesis (npos when the
// statement does not end).
std::vector<CheckClause> checkClauses(std::string_view sql, std::size_t start,
                                      std::size_t& statementEnd);

// The position of "CREATE TABLE <quotedName> (" at the start of a line of `script`, or npos.
std::size_t findCreateTable(std::string_view script, std::string_view quotedName);

// Takes the CHECK clauses whose expression is one of `expressions` out of the CREATE TABLE
// statement at `start` in `sql`. Returns the expressions not found.
std::vector<std::string> removeChecks(std::string& sql, std::size_t start,
                                      const std::vector<std::string>& expressions);

}  // namespace zl::exporter
