// The settings file: typed reads steered by the default, plain writes. Nothing is cached; every
// call goes to the file, and no call reports a failure.
#include "settings/profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>

#include "settings/ini_text.h"
#include "support/encoding.h"
#include "support/save_file.h"

namespace zl::settings {

namespace {

// Values are read back at most this many characters long.
constexpr std::size_t kMaxValueCharacters = 255;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// The file's text; "" for an absent file, nullopt for one that exists but cannot be read (a
// folder or a pipe in its place, no permission, an I/O error). Plain system calls, so that no
// failure can surface as an exception; a pipe or device is never waited on.
std::optional<std::string> readFile(const std::string& fileName) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::string();
        return std::nullopt;
    }
    std::optional<std::string> content;
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        content.emplace();
        char buffer[8192];
        for (;;) {
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                content.reset();
                break;
            }
            if (got == 0) break;
            content->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return content;
}

std::optional<std::string> storedValue(const std::string& section, const std::string& key,
                                       const std::string& fileName) {
    std::optional<std::string> content = readFile(fileName);
    if (!content) return std::nullopt;
    std::optional<std::string> value = iniLookup(*content, section, key);
    if (value) *value = support::utf8Prefix(*value, kMaxValueCharacters);
    return value;
}

std::string asciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return text;
}

std::int32_t clampToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (value >= std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

// A stored text read as a decimal integer: leading blanks, a sign, then digits up to the first
// other character; 0 when no digit follows.
std::int32_t parseInteger(const std::string& text) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) return 0;
    bool negative = false;
    if (text[at] == '-' || text[at] == '+') negative = text[at++] == '-';
    double value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > 1e10) break;  // already past any 32-bit value
    }
    return clampToInt32(negative ? -value : value);
}

// The number formed by the leading characters of `text`, blanks anywhere ignored (Basic's Val):
// a sign, digits, a decimal point and an exponent ("E" or "D"); 0 when no number begins it.
double numericValue(std::string_view text) {
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') compact.push_back(c);
    }
    std::size_t at = 0;
    std::string number;
    auto digits = [&] {
        while (at < compact.size() && compact[at] >= '0' && compact[at] <= '9') {
            number.push_back(compact[at++]);
        }
    };
    if (at < compact.size() && (compact[at] == '-' || compact[at] == '+')) {
        number.push_back(compact[at++]);
    }
    digits();
    if (at < compact.size() && compact[at] == '.') {
        number.push_back(compact[at++]);
        digits();
    }
    std::size_t mantissaEnd = number.size();
    if (at < compact.size() &&
        (compact[at] == 'E' || compact[at] == 'e' || compact[at] == 'D' || compact[at] == 'd')) {
        std::string exponent = "e";
        std::size_t save = at++;
        if (at < compact.size() && (compact[at] == '-' || compact[at] == '+')) {
            exponent.push_back(compact[at++]);
        }
        std::size_t before = at;
        while (at < compact.size() && compact[at] >= '0' && compact[at] <= '9') {
            exponent.push_back(compact[at++]);
        }
        if (at == before)
            at = save;  // "E" without digits ends the number
        else
            number += exponent;
    }
    if (number.find_first_of("0123456789") >= mantissaEnd) return 0;
    char* end = nullptr;
    double value = std::strtod(number.c_str(), &end);
    return std::isfinite(value) ? value : 0;
}

// Rounds to a whole number, halves to the even neighbour.
std::int32_t roundHalfEven(double value) {
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    return clampToInt32(whole);
}

bool isEnumMarker(const std::string& text) {
    if (text.size() < 4) return false;
    return asciiLower(text.substr(0, 4)) == "enum";
}

std::int32_t readEnum(const std::string& marker, const std::optional<std::string>& stored) {
    std::string_view enumText = marker;
    std::int32_t fallback = roundHalfEven(numericValue(enumText.substr(4)));
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::size_t comma = enumText.find(',');
    if (comma != std::string_view::npos) {
        minimum = roundHalfEven(numericValue(enumText.substr(comma + 1)));
    }
    std::size_t to = asciiLower(marker).find("to");
    if (to != std::string::npos) maximum = roundHalfEven(numericValue(enumText.substr(to + 2)));
    if (!stored || stored->empty()) return fallback;
    std::int32_t value = parseInteger(*stored);
    return (value < minimum || value > maximum) ? fallback : value;
}

bool textAsBool(std::string text) {
    text = asciiLower(std::move(text));
    std::size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
    return !(text.empty() || text == "0" || text == "false");
}

std::string valueText(const ProfileValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? "True" : "False";
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return std::to_string(*i);
    return std::get<std::string>(value);
}

}  // namespace

std::string defaultProfilePath() {
    std::string explicitPath = environment("ZLGEN_INI");
    if (!explicitPath.empty()) return explicitPath;
    std::string config = environment("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and to be ignored.
    if (config.empty() || config.front() != '/') {
        std::string home = environment("HOME");
        if (home.empty()) {
            const passwd* user = ::getpwuid(::getuid());
            if (user && user->pw_dir) home = user->pw_dir;
        }
        config = home + "/.config";
    }
    return config + "/zlgen/ZLGEN.INI";
}

ProfileValue ProfileRead(const std::string& section, const std::string& key,
                         const ProfileDefault& typedDefault, const std::string& fileName) {
    std::optional<std::string> stored = storedValue(section, key, fileName);
    if (const std::int16_t* number = std::get_if<std::int16_t>(&typedDefault)) {
        if (!stored || stored->empty()) return std::int32_t{*number};
        return parseInteger(*stored);
    }
    const std::string& marker = std::get<std::string>(typedDefault);
    if (marker == "BOOLEAN_TRUE" || marker == "BOOLEAN_FALSE") {
        if (!stored) return marker == "BOOLEAN_TRUE";
        return textAsBool(*stored);
    }
    if (isEnumMarker(marker)) return readEnum(marker, stored);
    if (stored) return *stored;
    return support::utf8Prefix(marker, kMaxValueCharacters);
}

void ProfileWrite(const std::string& section, const std::string& key, const ProfileValue& value,
                  const std::string& fileName) {
    std::optional<std::string> content = readFile(fileName);
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    if (!content) return;
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    support::saveFileReplacing(fileName, iniUpdate(*content, section, key, valueText(value)));
}

ProfileValue ProfileGet(const std::string& section, const std::string& key,
                        const ProfileDefault& typedDefault) {
    return ProfileRead(section, key, typedDefault, defaultProfilePath());
}

void ProfileSet(const std::string& section, const std::string& key, const ProfileValue& value) {
    ProfileWrite(section, key, value, defaultProfilePath());
}

bool profileBool(const ProfileValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return *i != 0;
    return textAsBool(std::get<std::string>(value));
}

std::int32_t profileInt(const ProfileValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return *i;
    return parseInteger(std::get<std::string>(value));
}

std::string profileText(const ProfileValue& value) { return valueText(value); }

}  // namespace zl::settings
