// The six options of module generation, loaded from and stored to the settings file.
#pragma once

#include <string>

namespace zl::settings {

struct GenerationSettings {
    bool PrivateFunctions = true;
    bool IncludeProcedures = true;
    bool NameAfterDatabase = false;
    std::string TableErrorMessage = "Could not create table '%n'";
    std::string QueryDefErrorMessage = "Could not create query '%n'";
    std::string DatabaseErrorMessage = "Could not create a new database '%n'";
};

// Reads the record from the profile file `fileName` (defaults for what is absent).
GenerationSettings loadGenerationSettings(const std::string& fileName);
// Stores the six keys in their order and form into `fileName`.
void storeGenerationSettings(const GenerationSettings& settings, const std::string& fileName);

// The record in force: loaded from "ZLGEN.INI" on first use, unchanged afterwards.
const GenerationSettings& CurrentSettings();
// Makes `settings` the record in force and stores it in "ZLGEN.INI" (the Settings dialog's OK).
void StoreSettings(const GenerationSettings& settings);
// Forgets the record in force so that the next CurrentSettings() loads again (tests).
void resetCurrentSettings();

}  // namespace zl::settings
