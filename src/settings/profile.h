// The settings file "ZLGEN.INI": typed reads and plain writes of INI keys.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace zl::settings {

// A value read from or written to the profile: a boolean, an integer or a text.
using ProfileValue = std::variant<bool, std::int32_t, std::string>;

// The typed default of a read: a 16-bit integer, or a text that is either a marker
// ("BOOLEAN_TRUE", "BOOLEAN_FALSE", "ENUMd,min TO max") or a plain text default.
using ProfileDefault = std::variant<std::int16_t, std::string>;

// Where "ZLGEN.INI" lives: $ZLGEN_INI, else $XDG_CONFIG_HOME/zlgen/ZLGEN.INI, else
// ~/.config/zlgen/ZLGEN.INI.
std::string defaultProfilePath();

// Typed read from any profile file. Never fails: an absent file or key gives the default.
ProfileValue ProfileRead(const std::string& section, const std::string& key,
                         const ProfileDefault& typedDefault, const std::string& fileName);
// Write to any profile file, creating file, folder, section and key as needed; other lines and
// comments stay as they are. Failures are silent.
void ProfileWrite(const std::string& section, const std::string& key, const ProfileValue& value,
                  const std::string& fileName);

// The same on "ZLGEN.INI" at defaultProfilePath().
ProfileValue ProfileGet(const std::string& section, const std::string& key,
                        const ProfileDefault& typedDefault);
void ProfileSet(const std::string& section, const std::string& key, const ProfileValue& value);

// Conversions of a read value for callers that know what they asked for.
bool profileBool(const ProfileValue& value);
std::int32_t profileInt(const ProfileValue& value);
std::string profileText(const ProfileValue& value);

}  // namespace zl::settings
