// The main window's commands wired to the generators and the settings file.
#include "controller/core_services.h"

#include <string>
#include <utility>

#include "settings/profile.h"
#include "support/local_date.h"

namespace zl::controller {

namespace {
constexpr const char* kTutorialSection = "Tutorial";
constexpr const char* kTutorialKey = "Show";
}  // namespace

CoreServices::CoreServices(std::string profilePath) : m_profilePath(std::move(profilePath)) {}

std::string CoreServices::profilePath() const {
    return m_profilePath.empty() ? settings::defaultProfilePath() : m_profilePath;
}

support::Status CoreServices::writeModule(const std::string& fileName,
                                          const schema::SchemaModel& model,
                                          const schema::Database& db) {
    const std::string profile = profilePath();
    vbgen::ModuleOptions options = currentSettings();
    options.PrivateFunctions = settings::loadPrivateFunctions(profile);
    const vbgen::ModuleEnvironment environment{support::localShortDate(),
                                               settings::loadModuleEncoding(profile)};
    return vbgen::WriteModule(fileName, options, model, db, environment);
}

std::string CoreServices::sqlScript(sqlgen::SqlDialect dialect, const schema::SchemaModel& model,
                                    const schema::Database* db) {
    return sqlgen::GenerateSqlScript(dialect, model, db);
}

ExportOutcome CoreServices::exportData(const ExportJob& job, const schema::SchemaModel& model,
                                       const schema::Database& db, const std::atomic<bool>& cancel,
                                       const ExportProgress& progress) {
    return runDataExport(db, model, job, cancel, progress);
}

settings::GenerationSettings CoreServices::currentSettings() {
    if (!m_inForce) m_inForce = settings::loadGenerationSettings(profilePath());
    return *m_inForce;
}

support::Status CoreServices::storeSettings(const settings::GenerationSettings& edited) {
    m_inForce = edited;
    return settings::storeGenerationSettings(edited, profilePath());
}

bool CoreServices::tutorialShownAtStart() {
    return settings::profileBool(settings::ProfileRead(kTutorialSection, kTutorialKey,
                                                       std::string("BOOLEAN_TRUE"), profilePath()));
}

void CoreServices::setTutorialShownAtStart(bool show) {
    // Only whether the tutorial opens at start is lost when the file cannot be written; the
    // settings command reports such a file.
    static_cast<void>(settings::ProfileWrite(kTutorialSection, kTutorialKey, show, profilePath()));
}

}  // namespace zl::controller
