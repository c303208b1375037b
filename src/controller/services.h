// The generators and settings that the main window's commands call.
#pragma once

#include <atomic>
#include <string>

#include "controller/data_export.h"
#include "settings/generation_settings.h"
#include "sqlgen/sql_script.h"
#include "vbgen/module_writer.h"

namespace zl::schema {
class Database;
class SchemaModel;
}  // namespace zl::schema

namespace zl::controller {

// The program uses CoreServices (core_services.h); tests substitute their own.
class Services {
public:
    virtual ~Services() = default;

    // Gathers the module options from the settings and writes the module to `fileName`.
    // Never throws; a failure carries the text to show.
    virtual support::Status writeModule(const std::string& fileName,
                                        const schema::SchemaModel& model,
                                        const schema::Database& db) = 0;

    // The whole SQL script. An engine failure throws schema::EngineError.
    virtual std::string sqlScript(sqlgen::SqlDialect dialect, const schema::SchemaModel& model,
                                  const schema::Database* db) = 0;

    // The generation settings in force, and the Settings dialog's OK (store and put in force).
    virtual settings::GenerationSettings currentSettings() = 0;
    // A failure to store carries the text to show; the edited record is in force all the same.
    virtual support::Status storeSettings(const settings::GenerationSettings& edited) = 0;

    // Exports the model's selection from `db` as `job` says, reporting progress and stopping
    // when `cancel` turns true. Runs off the window's thread; never throws.
    virtual ExportOutcome exportData(const ExportJob& job, const schema::SchemaModel& model,
                                     const schema::Database& db, const std::atomic<bool>& cancel,
                                     const ExportProgress& progress) = 0;

    // The settings entry "Show" of section "Tutorial": whether the tutorial opens at start.
    virtual bool tutorialShownAtStart() = 0;
    virtual void setTutorialShownAtStart(bool show) = 0;
};

}  // namespace zl::controller
