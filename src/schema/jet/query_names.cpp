// Quoting of names and the other small text pieces of a rebuilt query.
#include "schema/jet/query_names.h"

#include <algorithm>

namespace zl::schema::jet {
namespace {

// Only ASCII word characters count: Access brackets a name with any other character, and
// every byte of a multi-byte UTF-8 character is outside this set.
bool isWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string bracketed(std::string_view text) {
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size() + 2);
    result += '[';
    result += text;
    result += ']';
    return result;
}

std::string quotedName(std::string_view name) {
    if (std::all_of(name.begin(), name.end(), isWordCharacter)) {
        return std::string(name);
    }
    return bracketed(name);
}

std::string quotedPath(std::string_view path) {
    // Dots inside brackets belong to the name ("[Sales.2024].Total" has two parts).
    std::string result;
    std::size_t partStart = 0;
    int depth = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        const bool atEnd = i == path.size();
        if (!atEnd && path[i] == '[') {
            ++depth;
        } else if (!atEnd && path[i] == ']' && depth > 0) {
            --depth;
        } else if (atEnd || (path[i] == '.' && depth == 0)) {
            result += quotedName(path.substr(partStart, i - partStart));
            if (!atEnd) {
                result += '.';
            }
            partStart = i + 1;
        }
    }
    return result;
}

std::string externalDatabase(const std::optional<std::string>& path,
                             const std::optional<std::string>& connect) {
    if (!path && !connect) {
        return {};
    }
    std::string result = " IN '" + path.value_or(std::string()) + "'";
    if (connect) {
        result += " [" + *connect + "]";
    }
    return result;
}

std::string joined(const std::vector<std::string>& texts, std::string_view separator) {
    std::string result;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (i > 0) {
            result += separator;
        }
        result += texts[i];
    }
    return result;
}

}  // namespace zl::schema::jet
