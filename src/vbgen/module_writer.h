// Writes the Visual Basic module that recreates the selected schema through DAO.
#pragma once

#include <string>

#include "support/result.h"

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::vbgen {

// The options of one module generation; the settings file stores them
// (settings::GenerationSettings).
struct ModuleOptions {
    bool PrivateFunctions = true;
    bool IncludeProcedures = true;
    bool NameAfterDatabase = false;
    std::string TableErrorMessage = "Could not create table '%n'";
    std::string QueryDefErrorMessage = "Could not create query '%n'";
    std::string DatabaseErrorMessage = "Could not create a new database '%n'";
};

// How the module's bytes are encoded: Windows-1252 (unmappable characters become "?") or UTF-8.
enum class ModuleEncoding { Windows1252, Utf8 };

// What the module text depends on besides the schema and the options.
struct ModuleEnvironment {
    std::string dateText;  // the header's date, e.g. "06/12/2026", as the caller's locale has it
    ModuleEncoding encoding = ModuleEncoding::Windows1252;
};

// What the caller shows when a module has been written.
inline constexpr const char* kModuleSuccessMessage = "The VB module has been created successfully";

// Builds the whole module text (UTF-8, CR LF line ends) for the selected entries of `model`,
// reading the schema through `db`. An engine error inside one entry's function ends only that
// function; `lastError` receives the description of the last such error (empty when none).
// Database.Name and CollatingOrder are read first; when either fails, the EngineError passes
// to the caller and there is no text.
std::string ModuleText(const ModuleOptions& options, const schema::SchemaModel& model,
                       const schema::Database& db, const std::string& dateText,
                       std::string& lastError);

// Writes the module to `fileName` (beside it, then renamed over it). Never throws. Fails with the
// system's error text when the file cannot be written (an existing file stays as it was), else
// with the last engine error of an entry (the module is written all the same).
[[nodiscard]] support::Status WriteModule(const std::string& fileName, const ModuleOptions& options,
                                          const schema::SchemaModel& model,
                                          const schema::Database& db,
                                          const ModuleEnvironment& environment);

}  // namespace zl::vbgen
