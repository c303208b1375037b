// Access Like patterns (*, ?, #, [...], [!...]) as PostgreSQL ILIKE or regular expressions and as
// SQLite GLOB, all ignoring case as Access does.
#include <cctype>

#include "translate/emitter.h"

namespace zl::translate {

namespace {

enum class PartKind { Any, One, Digit, Class, Literal };

struct Part {
    PartKind kind;
    std::string text;  // Class: the members; Literal: one (UTF-8) character
    bool negated = false;
};

std::vector<Part> parsePattern(std::string_view pattern) {
    std::vector<Part> parts;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '*') {
            parts.push_back({PartKind::Any, {}});
            ++i;
        } else if (c == '?') {
            parts.push_back({PartKind::One, {}});
            ++i;
        } else if (c == '#') {
            parts.push_back({PartKind::Digit, {}});
            ++i;
        } else if (c == '[') {
            const std::size_t end = pattern.find(']', i + 1);
            if (end == std::string_view::npos) {
                throw Untranslatable{"the Like pattern has '[' without ']'"};
            }
            std::string members(pattern.substr(i + 1, end - i - 1));
            Part part{PartKind::Class, {}};
            if (!members.empty() && members[0] == '!') {
                part.negated = true;
                members.erase(0, 1);
            }
            if (members.empty()) {
                if (part.negated) throw Untranslatable{"the Like pattern has an empty [!]"};
                i = end + 1;  // "[]" matches the empty string
                continue;
            }
            if (members.size() == 1 && !part.negated) {
                parts.push_back({PartKind::Literal, members});  // [*], [?], [#], [[]
            } else {
                part.text = members;
                parts.push_back(part);
            }
            i = end + 1;
        } else {
            std::size_t len = 1;
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0xF0) {
                len = 4;
            } else if (u >= 0xE0) {
                len = 3;
            } else if (u >= 0xC0) {
                len = 2;
            }
            parts.push_back({PartKind::Literal, std::string(pattern.substr(i, len))});
            i += len;
        }
    }
    return parts;
}

std::string regexEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80 && std::isalnum(u) == 0) out += '\\';
        out += c;
    }
    return out;
}

std::string classMembers(const std::string& members) {
    std::string out;
    for (char c : members) {
        if (c == '\\' || c == '[' || c == '^') out += '\\';
        out += c;
    }
    return out;
}

std::string pgPattern(const std::vector<Part>& parts, const std::string& operand, bool negated) {
    bool simple = true;
    for (const Part& p : parts) {
        simple = simple && (p.kind == PartKind::Any || p.kind == PartKind::One ||
                            p.kind == PartKind::Literal);
    }
    std::string pattern;
    if (simple) {
        for (const Part& p : parts) {
            if (p.kind == PartKind::Any) {
                pattern += '%';
            } else if (p.kind == PartKind::One) {
                pattern += '_';
            } else {
                if (p.text == "%" || p.text == "_" || p.text == "\\") pattern += '\\';
                pattern += p.text;
            }
        }
        return operand + (negated ? " NOT ILIKE " : " ILIKE ") + Emitter::textLiteral(pattern);
    }
    pattern = "^";
    for (const Part& p : parts) {
        switch (p.kind) {
            case PartKind::Any:
                pattern += ".*";
                break;
            case PartKind::One:
                pattern += '.';
                break;
            case PartKind::Digit:
                pattern += "[0-9]";
                break;
            case PartKind::Class:
                pattern += (p.negated ? "[^" : "[") + classMembers(p.text) + "]";
                break;
            case PartKind::Literal:
                pattern += regexEscape(p.text);
                break;
        }
    }
    pattern += '$';
    return operand + (negated ? " !~* " : " ~* ") + Emitter::textLiteral(pattern);
}

std::string sqlitePattern(const std::vector<Part>& parts, const std::string& operand,
                          bool negated) {
    std::string pattern;
    for (const Part& p : parts) {
        switch (p.kind) {
            case PartKind::Any:
                pattern += '*';
                break;
            case PartKind::One:
                pattern += '?';
                break;
            case PartKind::Digit:
                pattern += "[0-9]";
                break;
            case PartKind::Class:
                pattern += (p.negated ? "[^" : "[") + lowerAscii(p.text) + "]";
                break;
            case PartKind::Literal:
                if (p.text == "*" || p.text == "?" || p.text == "[") {
                    pattern += "[" + p.text + "]";
                } else {
                    pattern += lowerAscii(p.text);
                }
                break;
        }
    }
    // GLOB follows the pattern exactly; both sides are lower-cased so that case is ignored.
    return "lower(" + operand + (negated ? ") NOT GLOB " : ") GLOB ") +
           Emitter::textLiteral(pattern);
}

}  // namespace

std::string likeSql(Target target, const std::string& operand, std::string_view pattern,
                    bool negated) {
    const std::vector<Part> parts = parsePattern(pattern);
    return target == Target::PostgreSql ? pgPattern(parts, operand, negated)
                                        : sqlitePattern(parts, operand, negated);
}

}  // namespace zl::translate
