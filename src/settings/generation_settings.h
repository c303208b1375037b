// The module options as the settings file stores them: six keys loaded and stored, and the
// encoding, which only a hand-edited file sets.
#pragma once

#include <string>

#include "vbgen/module_writer.h"

namespace zl::settings {

// The record the Settings dialog edits is the module writer's options.
using GenerationSettings = vbgen::ModuleOptions;

// Reads the record from the profile file `fileName` (defaults for what is absent).
GenerationSettings loadGenerationSettings(const std::string& fileName);
// Stores the six keys in their order and form into `fileName`; fails with the first key that
// could not be written.
[[nodiscard]] support::Status storeGenerationSettings(const GenerationSettings& settings,
                                                      const std::string& fileName);

// Key "Private functions" of section "Code" alone (default true): a generation reads it again
// from the file, whatever the record in force says.
bool loadPrivateFunctions(const std::string& fileName);

// The module's encoding: UTF-8 when key "Encoding" of section "Code" says "UTF-8" (in any
// case), Windows-1252 otherwise.
vbgen::ModuleEncoding loadModuleEncoding(const std::string& fileName);

}  // namespace zl::settings
