// The real generators and settings store behind the main window's commands.
#pragma once

#include "controller/services.h"

namespace zl::controller {

// Module options and settings come from "ZLGEN.INI" through the profile store; the module
// header's date is today's and its encoding the one the settings name.
class CoreServices : public Services {
public:
    vbgen::ModuleOutcome writeModule(const std::string& fileName, const schema::SchemaModel& model,
                                     const schema::Database& db) override;
    std::string sqlScript(sqlgen::SqlDialect dialect, const schema::SchemaModel& model,
                          const schema::Database* db) override;
    settings::GenerationSettings currentSettings() override;
    void storeSettings(const settings::GenerationSettings& edited) override;
    bool tutorialShownAtStart() override;
    void setTutorialShownAtStart(bool show) override;
};

}  // namespace zl::controller
