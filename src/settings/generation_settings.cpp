// The module options and where each lives in the settings file.
#include "settings/generation_settings.h"

#include "settings/profile.h"
#include "support/text.h"

namespace zl::settings {

namespace {

constexpr const char* kCode = "Code";
constexpr const char* kErrorMessage = "Error message";
constexpr const char* kPrivateFunctions = "Private functions";
constexpr const char* kUseDbCreate = "Use DBCREATE.BAS";
constexpr const char* kNameAfterDatabase = "Create_FNAME_Database";

// Check boxes are stored as the negated check state: -1 checked, 0 not.
std::int32_t checkBoxValue(bool checked) { return checked ? -1 : 0; }

}  // namespace

GenerationSettings loadGenerationSettings(const std::string& fileName) {
    const GenerationSettings builtIn;
    GenerationSettings s;
    s.PrivateFunctions = loadPrivateFunctions(fileName);
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

support::Status storeGenerationSettings(const GenerationSettings& settings,
                                        const std::string& fileName) {
    const support::Status written[] = {
        ProfileWrite(kCode, kPrivateFunctions, checkBoxValue(settings.PrivateFunctions), fileName),
        ProfileWrite(kCode, kUseDbCreate, !settings.IncludeProcedures, fileName),
        ProfileWrite(kCode, kNameAfterDatabase, checkBoxValue(settings.NameAfterDatabase),
                     fileName),
        ProfileWrite(kErrorMessage, "Table", settings.TableErrorMessage, fileName),
        ProfileWrite(kErrorMessage, "QueryDef", settings.QueryDefErrorMessage, fileName),
        ProfileWrite(kErrorMessage, "Database", settings.DatabaseErrorMessage, fileName),
    };
    for (const support::Status& status : written) {
        if (!status) return status;
    }
    return {};
}

bool loadPrivateFunctions(const std::string& fileName) {
    return profileBool(
        ProfileRead(kCode, kPrivateFunctions, std::string("BOOLEAN_TRUE"), fileName));
}

vbgen::ModuleEncoding loadModuleEncoding(const std::string& fileName) {
    const std::string value = profileText(ProfileRead(kCode, "Encoding", std::string(), fileName));
    return support::equalsIgnoringAsciiCase(value, "UTF-8") ? vbgen::ModuleEncoding::Utf8
                                                            : vbgen::ModuleEncoding::Windows1252;
}

}  // namespace zl::settings
