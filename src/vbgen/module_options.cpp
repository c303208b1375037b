// Options of one module generation, from the settings file and the record in force.
#include "vbgen/module_options.h"

#include "settings/generation_settings.h"
#include "settings/profile.h"

namespace zl::vbgen {

ModuleOptions gatherModuleOptions() {
    const settings::GenerationSettings& current = settings::CurrentSettings();
    ModuleOptions options;
    options.PrivateFunctions = settings::profileBool(
        settings::ProfileGet("Code", "Private functions", std::string("BOOLEAN_TRUE")));
    options.IncludeProcedures = current.IncludeProcedures;
    options.NameAfterDatabase = current.NameAfterDatabase;
    options.TableErrorMessage = current.TableErrorMessage;
    options.QueryDefErrorMessage = current.QueryDefErrorMessage;
    options.DatabaseErrorMessage = current.DatabaseErrorMessage;
    return options;
}

ModuleEncoding moduleEncodingSetting() {
    std::string value =
        settings::profileText(settings::ProfileGet("Code", "Encoding", std::string()));
    for (char& c : value) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return value == "UTF-8" ? ModuleEncoding::Utf8 : ModuleEncoding::Windows1252;
}

}  // namespace zl::vbgen
