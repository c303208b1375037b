// The generation options and where each lives in the settings file.
#include "settings/generation_settings.h"

#include <optional>

#include "settings/profile.h"

namespace zl::settings {

namespace {

constexpr const char* kCode = "Code";
constexpr const char* kErrorMessage = "Error message";
constexpr const char* kPrivateFunctions = "Private functions";
constexpr const char* kUseDbCreate = "Use DBCREATE.BAS";
constexpr const char* kNameAfterDatabase = "Create_FNAME_Database";

std::optional<GenerationSettings>& recordInForce() {
    static std::optional<GenerationSettings> record;
    return record;
}

// Check boxes are stored as the negated check state: -1 checked, 0 not.
std::int32_t checkBoxValue(bool checked) { return checked ? -1 : 0; }

}  // namespace

GenerationSettings loadGenerationSettings(const std::string& fileName) {
    const GenerationSettings builtIn;
    GenerationSettings s;
    s.PrivateFunctions =
        profileBool(ProfileRead(kCode, kPrivateFunctions, std::string("BOOLEAN_TRUE"), fileName));
    // The file holds the opposite: whether the separate module is used.
    s.IncludeProcedures =
        !profileBool(ProfileRead(kCode, kUseDbCreate, std::string("BOOLEAN_FALSE"), fileName));
    s.NameAfterDatabase =
        profileBool(ProfileRead(kCode, kNameAfterDatabase, std::string("BOOLEAN_FALSE"), fileName));
    s.TableErrorMessage =
        profileText(ProfileRead(kErrorMessage, "Table", builtIn.TableErrorMessage, fileName));
    s.QueryDefErrorMessage =
        profileText(ProfileRead(kErrorMessage, "QueryDef", builtIn.QueryDefErrorMessage, fileName));
    s.DatabaseErrorMessage =
        profileText(ProfileRead(kErrorMessage, "Database", builtIn.DatabaseErrorMessage, fileName));
    return s;
}

void storeGenerationSettings(const GenerationSettings& settings, const std::string& fileName) {
    ProfileWrite(kCode, kPrivateFunctions, checkBoxValue(settings.PrivateFunctions), fileName);
    ProfileWrite(kCode, kUseDbCreate, !settings.IncludeProcedures, fileName);
    ProfileWrite(kCode, kNameAfterDatabase, checkBoxValue(settings.NameAfterDatabase), fileName);
    ProfileWrite(kErrorMessage, "Table", settings.TableErrorMessage, fileName);
    ProfileWrite(kErrorMessage, "QueryDef", settings.QueryDefErrorMessage, fileName);
    ProfileWrite(kErrorMessage, "Database", settings.DatabaseErrorMessage, fileName);
}

const GenerationSettings& CurrentSettings() {
    std::optional<GenerationSettings>& record = recordInForce();
    if (!record) record = loadGenerationSettings(defaultProfilePath());
    return *record;
}

void StoreSettings(const GenerationSettings& settings) {
    recordInForce() = settings;
    storeGenerationSettings(settings, defaultProfilePath());
}

void resetCurrentSettings() { recordInForce().reset(); }

}  // namespace zl::settings
