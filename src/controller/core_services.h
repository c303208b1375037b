// The real generators and settings store behind the main window's commands.
#pragma once

#include <optional>
#include <string>

#include "controller/services.h"

namespace zl::controller {

// Module options and settings come from one settings file; the module header's date is today's
// and its encoding the one the file names.
class CoreServices : public Services {
public:
    // `profilePath` names the settings file; empty: the default place (settings::
    // defaultProfilePath()), looked up at each use.
    explicit CoreServices(std::string profilePath = {});

    support::Status writeModule(const std::string& fileName, const schema::SchemaModel& model,
                                const schema::Database& db) override;
    std::string sqlScript(sqlgen::SqlDialect dialect, const schema::SchemaModel& model,
                          const schema::Database* db) override;
    ExportOutcome exportData(const ExportJob& job, const schema::SchemaModel& model,
                             const schema::Database& db, const std::atomic<bool>& cancel,
                             const ExportProgress& progress) override;
    // The record in force: loaded from the file on first use, then replaced only by
    // storeSettings.
    settings::GenerationSettings currentSettings() override;
    support::Status storeSettings(const settings::GenerationSettings& edited) override;
    bool tutorialShownAtStart() override;
    void setTutorialShownAtStart(bool show) override;

private:
    std::string profilePath() const;

    std::string m_profilePath;
    std::optional<settings::GenerationSettings> m_inForce;
};

}  // namespace zl::controller
