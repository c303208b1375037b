// The settings file "ZLGEN.INI": typed reads and plain writes of INI keys.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "support/result.h"

namespace zl::settings {

// A value read from the profile (a boolean or a text) or written to it (also an integer).
using ProfileValue = std::variant<bool, std::int32_t, std::string>;

// The default of a read: a marker ("BOOLEAN_TRUE", "BOOLEAN_FALSE") that makes the read a
// boolean one, or a plain text default.
using ProfileDefault = std::string;

// Where "ZLGEN.INI" lives: $ZLGEN_INI, else $XDG_CONFIG_HOME/zlgen/ZLGEN.INI, else
// ~/.config/zlgen/ZLGEN.INI.
std::string defaultProfilePath();

// Typed read from any profile file. Never fails: an absent file or key gives the default.
ProfileValue ProfileRead(const std::string& section, const std::string& key,
                         const ProfileDefault& typedDefault, const std::string& fileName);
// Write to any profile file, creating file, folder, section and key as needed; other lines and
// comments stay as they are. Fails (ErrorKind::Io) when the file cannot be read or written; it
// is then left as it was.
[[nodiscard]] support::Status ProfileWrite(const std::string& section, const std::string& key,
                                           const ProfileValue& value, const std::string& fileName);

// The same on "ZLGEN.INI" at defaultProfilePath() (tests that prepare or inspect that file).
ProfileValue ProfileGet(const std::string& section, const std::string& key,
                        const ProfileDefault& typedDefault);
support::Status ProfileSet(const std::string& section, const std::string& key,
                           const ProfileValue& value);

// Conversions of a read value for callers that know what they asked for.
bool profileBool(const ProfileValue& value);
std::string profileText(const ProfileValue& value);

}  // namespace zl::settings
