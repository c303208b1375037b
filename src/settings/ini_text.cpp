// The INI text format: "[section]" heads, "key=value" lines, ";" comment lines. Lines keep their
// own line ends when the text is rewritten; added lines use the first line end of the text.
#include "settings/ini_text.h"

#include <vector>

#include "support/text.h"

namespace zl::settings {

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool isQuote(char c) { return c == '"' || c == '\''; }

bool enclosedInQuotes(std::string_view text) {
    return text.size() >= 2 && isQuote(text.front()) && text.front() == text.back();
}

// One line of the text: its content and its line end ("", "\n" or "\r\n").
struct Line {
    std::string_view text;
    std::string_view end;
};

enum class Kind { Other, Section, Key };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name
    std::string_view value;  // raw text after "=" of a key line
};

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        std::size_t lf = content.find('\n');
        std::string_view whole = content.substr(0, lf == std::string_view::npos ? lf : lf + 1);
        content.remove_prefix(whole.size());
        Line line{whole, {}};
        if (!whole.empty() && whole.back() == '\n') {
            bool crlf = whole.size() >= 2 && whole[whole.size() - 2] == '\r';
            line.text = whole.substr(0, whole.size() - (crlf ? 2 : 1));
            line.end = whole.substr(line.text.size());
        }
        lines.push_back(line);
    }
    return lines;
}

Parsed parse(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::string_view trimmed = trim(text);
    if (trimmed.empty() || trimmed.front() == ';') return {};
    if (trimmed.front() == '[') {
        std::string_view name = trimmed.substr(1);
        name = name.substr(0, name.find(']'));
        return {Kind::Section, trim(name), {}};
    }
    std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return {};
    return {Kind::Key, trim(trimmed.substr(0, equals)), trimmed.substr(equals + 1)};
}

// Where a key stands: the index of the first matching section head (npos when absent), of the
// key's line (npos when absent), and of the line after which a new key of that section goes.
struct Location {
    std::size_t section = std::string_view::npos;
    std::size_t key = std::string_view::npos;
    std::size_t lastOfSection = std::string_view::npos;
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location where;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Parsed p = parse(lines[i].text);
        if (where.section == std::string_view::npos) {
            if (p.kind == Kind::Section && support::equalsIgnoringAsciiCase(p.name, section)) {
                where.section = i;
                where.lastOfSection = i;
            }
            continue;
        }
        if (p.kind == Kind::Section) break;
        if (p.kind == Kind::Key) {
            where.lastOfSection = i;
            if (support::equalsIgnoringAsciiCase(p.name, key)) {
                where.key = i;
                break;
            }
        }
    }
    return where;
}

std::string encodeValue(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    // Reading trims blanks and drops enclosing quotes; a pair of quotes around the value keeps
    // both intact.
    bool blankAtEdge = !text.empty() && (kBlanks.find(text.front()) != std::string_view::npos ||
                                         kBlanks.find(text.back()) != std::string_view::npos);
    if (blankAtEdge || enclosedInQuotes(text)) text = "\"" + text + "\"";
    return text;
}

}  // namespace

std::optional<std::string> iniLookup(std::string_view content, std::string_view section,
                                     std::string_view key) {
    std::vector<Line> lines = splitLines(content);
    Location where = locate(lines, section, key);
    if (where.key == std::string_view::npos) return std::nullopt;
    std::string_view value = trim(parse(lines[where.key].text).value);
    if (enclosedInQuotes(value)) value = value.substr(1, value.size() - 2);
    return std::string(value);
}

std::string iniUpdate(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
    std::vector<Line> lines = splitLines(content);
    std::string_view newline = "\n";
    if (!lines.empty() && lines.front().end == "\r\n") newline = "\r\n";
    Location where = locate(lines, section, key);

    std::string result;
    result.reserve(content.size() + key.size() + value.size() + section.size() + 8);
    auto appendKeyLine = [&](std::string_view name) {
        result.append(name).append("=").append(encodeValue(value)).append(newline);
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == where.key) {
            // The key keeps the spelling it has in the file.
            appendKeyLine(parse(lines[i].text).name);
            continue;
        }
        result.append(lines[i].text);
        // A last line without a line end gets one when something follows it.
        bool last = i + 1 == lines.size();
        bool somethingFollows = where.key == std::string_view::npos && last;
        result.append(lines[i].end.empty() && somethingFollows ? newline : lines[i].end);
        if (i == where.lastOfSection && where.key == std::string_view::npos) appendKeyLine(key);
    }
    if (where.section == std::string_view::npos) {
        if (!result.empty()) result.append(newline);
        result.append("[").append(section).append("]").append(newline);
        appendKeyLine(key);
    }
    return result;
}

}  // namespace zl::settings
