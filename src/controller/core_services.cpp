// The main window's commands wired to the generators and the settings file.
#include "controller/core_services.h"

#include <string>

#include "settings/profile.h"
#include "vbgen/module_options.h"

namespace zl::controller {

namespace {
constexpr const char* kTutorialSection = "Tutorial";
constexpr const char* kTutorialKey = "Show";
}  // namespace

vbgen::ModuleOutcome CoreServices::writeModule(const std::string& fileName,
                                               const schema::SchemaModel& model,
                                               const schema::Database& db) {
    const vbgen::ModuleOptions options = vbgen::gatherModuleOptions();
    const vbgen::ModuleEnvironment environment{vbgen::currentDateText(),
                                               vbgen::moduleEncodingSetting()};
    return vbgen::WriteModule(fileName, options, model, db, environment);
}

std::string CoreServices::sqlScript(sqlgen::SqlDialect dialect, const schema::SchemaModel& model,
                                    const schema::Database* db) {
    return sqlgen::GenerateSqlScript(dialect, model, db);
}

settings::GenerationSettings CoreServices::currentSettings() { return settings::CurrentSettings(); }

void CoreServices::storeSettings(const settings::GenerationSettings& edited) {
    settings::StoreSettings(edited);
}

bool CoreServices::tutorialShownAtStart() {
    return settings::profileBool(
        settings::ProfileGet(kTutorialSection, kTutorialKey, std::string("BOOLEAN_TRUE")));
}

void CoreServices::setTutorialShownAtStart(bool show) {
    settings::ProfileSet(kTutorialSection, kTutorialKey, show);
}

}  // namespace zl::controller
