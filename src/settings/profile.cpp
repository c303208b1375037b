// The settings file: typed reads steered by the default, plain writes. Nothing is cached; every
// call goes to the file. Reads never fail; writes say when they do.
#include "settings/profile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>

#include "settings/ini_text.h"
#include "support/encoding.h"
#include "support/save_file.h"
#include "support/text.h"

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

bool textAsBool(std::string text) {
    text = support::asciiLower(text);
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
    const std::string& marker = typedDefault;
    if (marker == "BOOLEAN_TRUE" || marker == "BOOLEAN_FALSE") {
        if (!stored) return marker == "BOOLEAN_TRUE";
        return textAsBool(*stored);
    }
    if (stored) return *stored;
    return support::utf8Prefix(marker, kMaxValueCharacters);
}

support::Status ProfileWrite(const std::string& section, const std::string& key,
                             const ProfileValue& value, const std::string& fileName) {
    std::optional<std::string> content = readFile(fileName);
    // A file that exists but cannot be read must not be replaced by one holding only this key.
    if (!content) return support::Error{support::ErrorKind::Io, "cannot read " + fileName};
    std::filesystem::path folder = std::filesystem::path(fileName).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    return support::saveFileReplacing(fileName,
                                      iniUpdate(*content, section, key, valueText(value)));
}

ProfileValue ProfileGet(const std::string& section, const std::string& key,
                        const ProfileDefault& typedDefault) {
    return ProfileRead(section, key, typedDefault, defaultProfilePath());
}

support::Status ProfileSet(const std::string& section, const std::string& key,
                           const ProfileValue& value) {
    return ProfileWrite(section, key, value, defaultProfilePath());
}

bool profileBool(const ProfileValue& value) {
    if (const bool* b = std::get_if<bool>(&value)) return *b;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value)) return *i != 0;
    return textAsBool(std::get<std::string>(value));
}

std::string profileText(const ProfileValue& value) { return valueText(value); }

}  // namespace zl::settings
