// zlgen-cli: opens the database, applies the selection and writes the requested text.
#include "cli/cli_app.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <sstream>

#include "cli/schema_listing.h"
#include "cli/selection.h"
#include "schema/engine.h"
#include "schema/jet/jet_engine.h"
#include "schema/schema_model.h"
#include "settings/generation_settings.h"
#include "settings/profile.h"
#include "sqlgen/target_script.h"
#include "support/local_date.h"
#include "support/save_file.h"
#include "vbgen/dbcreate_module.h"
#include "vbgen/module_writer.h"

namespace zl::cli {

namespace {

// Sends `text` to standard output, or to the request's output file through save-and-rename.
int deliver(const CliRequest& request, const std::string& text, std::ostream& out,
            std::ostream& err) {
    if (request.outputFile.empty()) {
        out << text;
        out.flush();
        return kExitOk;
    }
    if (const support::Status saved = support::saveFileReplacing(request.outputFile, text);
        !saved) {
        err << "Cannot write " << request.outputFile << ": " << saved.error().message << '\n';
        return kExitGenerationFailed;
    }
    return kExitOk;
}

int runList(const CliRequest& request, const schema::Database& db, std::ostream& out,
            std::ostream& err) {
    std::ostringstream text;
    bool complete = true;
    if (request.json) {
        complete = writeJsonListing(text, err, db, request.system);
    } else {
        complete = writePlainListing(text, err, db, request.system);
    }
    const int status = deliver(request, text.str(), out, err);
    return status == kExitOk && !complete ? kExitGenerationFailed : status;
}

// The loadable targets: the script, its one-line ledger summary on standard error, and the whole
// ledger as JSON when asked for.
int runTargetSql(const CliRequest& request, const schema::Database& db,
                 const schema::SchemaModel& model, std::ostream& out, std::ostream& err) {
    const auto target = request.dialect == sqlgen::SqlDialect::PostgreSql
                            ? translate::Target::PostgreSql
                            : translate::Target::Sqlite;
    const sqlgen::TargetScript script = sqlgen::generateTargetScript(target, model, &db);
    if (!request.ledgerFile.empty()) {
        if (const support::Status saved =
                support::saveFileReplacing(request.ledgerFile, script.ledger.toJson() + "\n");
            !saved) {
            err << "Cannot write " << request.ledgerFile << ": " << saved.error().message << '\n';
            return kExitGenerationFailed;
        }
    }
    const int status = deliver(request, script.text, out, err);
    err << script.summary() << '\n';
    return status;
}

int runSql(const CliRequest& request, const schema::Database& db, const schema::SchemaModel& model,
           std::ostream& out, std::ostream& err) {
    if (request.dialect == sqlgen::SqlDialect::PostgreSql ||
        request.dialect == sqlgen::SqlDialect::Sqlite) {
        return runTargetSql(request, db, model, out, err);
    }
    return deliver(request, sqlgen::GenerateSqlScript(request.dialect, model, &db), out, err);
}

// The settings file: --settings, else the default place.
std::string profilePath(const CliRequest& request) {
    return request.settingsFile.empty() ? settings::defaultProfilePath() : request.settingsFile;
}

vbgen::ModuleOptions moduleOptions(const CliRequest& request) {
    vbgen::ModuleOptions options = settings::loadGenerationSettings(profilePath(request));
    if (request.privateFunctions) options.PrivateFunctions = *request.privateFunctions;
    if (request.includeProcedures) options.IncludeProcedures = *request.includeProcedures;
    if (request.nameAfterDatabase) options.NameAfterDatabase = true;
    return options;
}

int runVb(const CliRequest& request, const schema::Database& db, const schema::SchemaModel& model,
          std::ostream& err) {
    const vbgen::ModuleEnvironment environment{support::localShortDate(),
                                               settings::loadModuleEncoding(profilePath(request))};
    const support::Status written =
        vbgen::WriteModule(request.outputFile, moduleOptions(request), model, db, environment);
    err << (written ? vbgen::kModuleSuccessMessage : written.error().message) << '\n';
    return written ? kExitOk : kExitGenerationFailed;
}

int runDbCreate(const CliRequest& request, std::ostream& err) {
    const support::Status written = vbgen::WriteDbCreateModule(
        request.outputFile, settings::loadModuleEncoding(profilePath(request)));
    if (!written) err << written.error().message << '\n';
    return written ? kExitOk : kExitGenerationFailed;
}

int runOnDatabase(const CliRequest& request, const schema::Database& db, std::ostream& out,
                  std::ostream& err, ExportRunner exporter) {
    if (request.command == Command::List) return runList(request, db, out, err);
    schema::SchemaModel model;
    fillModel(model, db);
    if (const support::Status applied = applySelection(model, db, request.selection); !applied) {
        err << "zlgen-cli: " << applied.error().message << '\n';
        return kExitUsage;
    }
    if (request.command == Command::Sql) return runSql(request, db, model, out, err);
    if (request.command == Command::Export) {
        if (exporter == nullptr) {
            err << "zlgen-cli: this program cannot export; use zlgen-export\n";
            return kExitGenerationFailed;
        }
        return exporter(request, db, model, err);
    }
    return runVb(request, db, model, err);
}

}  // namespace

int runRequest(const CliRequest& request, schema::Engine& engine, std::ostream& out,
               std::ostream& err, ExportRunner exporter) {
    if (request.command == Command::DbCreate) return runDbCreate(request, err);

    std::unique_ptr<schema::Database> db;
    try {
        db = engine.openDatabase(request.database);
    } catch (const schema::EngineError& e) {
        err << "Couldn't open database: " << e.description() << '\n';
        return kExitCannotOpen;
    }
    try {
        return runOnDatabase(request, *db, out, err, exporter);
    } catch (const schema::EngineError& e) {
        err << e.description() << '\n';
        return kExitGenerationFailed;
    }
}

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ExportRunner exporter) {
    ParseOutcome parsed = parseArguments(argc, argv, out, err);
    if (!parsed.request) return parsed.exitStatus;
    schema::jet::JetEngine engine;
    return runRequest(*parsed.request, engine, out, err, exporter);
}

int runExportProgram(char** argv, std::ostream& err) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string program =
        (ec ? std::filesystem::path("zlgen-export") : self.parent_path() / "zlgen-export").string();
    ::execv(program.c_str(), argv);
    err << "zlgen-cli: cannot start " << program << ": " << std::strerror(errno) << '\n';
    return kExitGenerationFailed;
}

}  // namespace zl::cli
