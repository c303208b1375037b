// Writes the Visual Basic module that recreates the selected schema through DAO.
#pragma once

#include <string>

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::vbgen {

// The options of one module generation.
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
    std::string dateText;  // the header's date, e.g. "06/12/2026"; see currentDateText()
    ModuleEncoding encoding = ModuleEncoding::Windows1252;
};

// The result the caller shows: success, or the text of the last error that occurred.
struct ModuleOutcome {
    bool success = false;
    std::string message;  // "The VB module has been created successfully" or the last error
};

inline constexpr const char* kModuleSuccessMessage = "The VB module has been created successfully";

// Builds the whole module text (UTF-8, CR LF line ends) for the selected entries of `model`,
// reading the schema through `db`. An engine error inside one entry's function ends only that
// function; `lastError` receives the description of the last such error (empty when none).
// Database.Name and CollatingOrder are read first; when either fails, the EngineError passes
// to the caller and there is no text.
std::string ModuleText(const ModuleOptions& options, const schema::SchemaModel& model,
                       const schema::Database& db, const std::string& dateText,
                       std::string& lastError);

// Writes the module to `fileName` (beside it, then renamed over it) and returns the outcome.
// Never throws. When the file cannot be written, an existing file stays as it was and the
// outcome carries the system's error text.
ModuleOutcome WriteModule(const std::string& fileName, const ModuleOptions& options,
                          const schema::SchemaModel& model, const schema::Database& db,
                          const ModuleEnvironment& environment);

// Today's date in the short numeric form the header uses.
std::string currentDateText();

}  // namespace zl::vbgen
