// CHECK clause scanning over SQLite DDL.
#include "export/check_clauses.h"

#include <algorithm>

namespace zl::exporter {
namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool isWordChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

// Position one past the token at `at`: a quoted string or name (doubled quotes inside), a
// comment, a word, or one other character. Unterminated ones run to the end.
std::size_t tokenEnd(std::string_view sql, std::size_t at) {
    const char c = sql[at];
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
        const char close = c == '[' ? ']' : c;
        std::size_t i = at + 1;
        while (i < sql.size()) {
            if (sql[i] == close) {
                if (close != ']' && i + 1 < sql.size() && sql[i + 1] == close) {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return sql.size();
    }
    if (c == '-' && at + 1 < sql.size() && sql[at + 1] == '-') {
        const std::size_t newline = sql.find('\n', at);
        return newline == std::string_view::npos ? sql.size() : newline + 1;
    }
    if (c == '/' && at + 1 < sql.size() && sql[at + 1] == '*') {
        const std::size_t close = sql.find("*/", at + 2);
        return close == std::string_view::npos ? sql.size() : close + 2;
    }
    if (isWordChar(c)) {
        std::size_t i = at;
        while (i < sql.size() && isWordChar(sql[i])) ++i;
        return i;
    }
    return at + 1;
}

bool isBlank(std::string_view sql, std::size_t at) {
    return isSpace(sql[at]) || sql.compare(at, 2, "--") == 0 || sql.compare(at, 2, "/*") == 0;
}

bool isCheckWord(std::string_view token) {
    if (token.size() != 5) return false;
    static constexpr std::string_view kCheck = "CHECK";
    for (std::size_t i = 0; i < 5; ++i) {
        const char c = token[i];
        if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != kCheck[i]) return false;
    }
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::vector<CheckClause> checkClauses(std::string_view sql, std::size_t start,
                                      std::size_t& statementEnd) {
    std::vector<CheckClause> clauses;
    statementEnd = std::string_view::npos;
    int depth = 0;
    char previous = 0;  // the last significant token at depth 1 when it was ',' or '('
    std::size_t previousAt = 0;
    std::size_t i = start;
    while (i < sql.size()) {
        const std::size_t next = tokenEnd(sql, i);
        if (isBlank(sql, i)) {
            i = next;
            continue;
        }
        const char c = sql[i];
        if (c == '(') {
            if (++depth == 1) {
                previous = '(';
                previousAt = i;
            }
        } else if (c == ')') {
            if (--depth == 0) {
                statementEnd = i + 1;
                return clauses;
            }
        } else if (depth == 1 && c == ',') {
            previous = ',';
            previousAt = i;
        } else if (depth == 1 && isCheckWord(sql.substr(i, next - i))) {
            std::size_t open = next;
            while (open < sql.size() && isBlank(sql, open)) open = tokenEnd(sql, open);
            if (open >= sql.size() || sql[open] != '(') {
                i = next;
                continue;
            }
            std::size_t close = open + 1;
            int inner = 1;
            while (close < sql.size()) {
                if (!isBlank(sql, close) && sql[close] == '(') ++inner;
                if (!isBlank(sql, close) && sql[close] == ')' && --inner == 0) break;
                close = tokenEnd(sql, close);
            }
            if (close >= sql.size()) return clauses;
            // A table's own CHECK stands alone between commas: its comma goes with it.
            // (or the one after it, when it stands first).
            std::size_t begin = i;
            std::size_t after = close + 1;
            if (previous == ',') {
                begin = previousAt;
            } else if (previous == '(') {
                std::size_t comma = after;
                while (comma < sql.size() && isBlank(sql, comma)) comma = tokenEnd(sql, comma);
                if (comma < sql.size() && sql[comma] == ',') after = comma + 1;
            }
            clauses.push_back(
                {std::string(trimmed(sql.substr(open + 1, close - open - 1))), begin, after});
            i = close + 1;
            previous = 0;
            continue;
        } else if (depth == 1) {
            previous = 0;
        }
        i = next;
    }
    return clauses;
}

std::size_t findCreateTable(std::string_view script, std::string_view quotedName) {
    const std::string wanted = "CREATE TABLE " + std::string(quotedName) + " (";
    std::size_t at = script.find(wanted);
    while (at != std::string_view::npos && at > 0 && script[at - 1] != '\n') {
        at = script.find(wanted, at + 1);
    }
    return at;
}

std::vector<std::string> removeChecks(std::string& sql, std::size_t start,
                                      const std::vector<std::string>& expressions) {
    std::size_t end = 0;
    const std::vector<CheckClause> clauses = checkClauses(sql, start, end);
    std::vector<std::string> missing;
    for (const std::string& expression : expressions) {
        if (std::none_of(clauses.begin(), clauses.end(),
                         [&](const CheckClause& c) { return c.expression == expression; })) {
            missing.push_back(expression);
        }
    }
    // Back to front, so that earlier positions stay valid.
    for (std::size_t i = clauses.size(); i-- > 0;) {
        const CheckClause& clause = clauses[i];
        if (std::find(expressions.begin(), expressions.end(), clause.expression) !=
            expressions.end()) {
            sql.erase(clause.begin, clause.end - clause.begin);
        }
    }
    return missing;
}

}  // namespace zl::exporter
