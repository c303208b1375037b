// Command-line reading of the main program.
#include "controller/command_line.h"

#include <algorithm>
#include <cctype>

#include "support/text.h"

namespace zl::controller {

namespace {

// A keyword is a bare word before "="; a path such as "./a=b.mdb" is not one.
bool isKeyword(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) != 0 || c == '_';
    });
}

}  // namespace

std::string DatabaseFromCommandLine(const std::vector<std::string>& arguments) {
    std::string database;
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument.front() == '-') continue;
        const std::size_t equals = argument.find('=');
        if (equals != std::string::npos) {
            const std::string keyword = argument.substr(0, equals);
            if (isKeyword(keyword)) {
                if (support::equalsIgnoringAsciiCase(keyword, "OPEN"))
                    database = argument.substr(equals + 1);
                continue;
            }
        }
        database = argument;
    }
    return database;
}

}  // namespace zl::controller
