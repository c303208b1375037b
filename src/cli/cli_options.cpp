// Argument parsing for zlgen-cli.
#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <iterator>
#include <map>
#include <ostream>
#include <string_view>
#include <utility>

#include "version.h"

namespace zl::cli {

namespace {

void addSelectionOptions(CLI::App& command, SelectionRequest& selection) {
    command.add_option("--only", selection.only, "Select only this table or QueryDef (repeatable)")
        ->type_name("NAME");
    command.add_option("--exclude", selection.exclude, "Leave out this table or QueryDef")
        ->type_name("NAME");
    command.add_option("--exclude-field", selection.excludeFields, "Leave out a field")
        ->type_name("TABLE.FIELD");
    command.add_option("--exclude-index", selection.excludeIndexes, "Leave out an index")
        ->type_name("TABLE.INDEX");
}

struct ModuleFlags {
    bool privateFlag = false;
    bool publicFlag = false;
    bool dbcreate = false;
    bool allInOne = false;
};

void addModuleOptions(CLI::App& vb, CliRequest& request, ModuleFlags& flags) {
    vb.add_option("--settings", request.settingsFile, "Settings file to use instead of ZLGEN.INI")
        ->type_name("FILE");
    auto* priv = vb.add_flag("--private", flags.privateFlag, "Declare the functions Private");
    auto* pub = vb.add_flag("--public", flags.publicFlag, "Declare the functions public");
    priv->excludes(pub);
    auto* dbcreate =
        vb.add_flag("--dbcreate", flags.dbcreate, "Rely on the separate module DBCREATE.BAS");
    auto* allInOne = vb.add_flag("--all-in-one", flags.allInOne,
                                 "Write the auxiliary procedures into the module");
    dbcreate->excludes(allInOne);
    vb.add_flag("--name-after-database", request.nameAfterDatabase,
                "Name the master function after the database file");
}

void applyModuleFlags(const ModuleFlags& flags, CliRequest& request) {
    if (flags.privateFlag) request.privateFunctions = true;
    if (flags.publicFlag) request.privateFunctions = false;
    if (flags.dbcreate) request.includeProcedures = false;
    if (flags.allInOne) request.includeProcedures = true;
}

CLI::App* addExportCommand(CLI::App& app, CliRequest& request) {
    ExportOptions& options = request.exportOptions;
    auto* command = app.add_subcommand(
        "export",
        "Copy every row of the selected tables into a new SQLite file or a PostgreSQL "
        "database, with the schema of the loadable SQL targets");
    command->add_option("DB", request.database, "Database file")->required();
    command->add_option("--to", options.to, "sqlite or postgresql")
        ->required()
        ->check(CLI::IsMember({"sqlite", "postgresql"}));
    command
        ->add_option("TARGET", options.destination,
                     "sqlite: the file to create; postgresql: a libpq connection string")
        ->required();
    command->add_flag("--force", options.force, "sqlite: replace an existing file");
    command->add_option("--schema", options.schema, "postgresql: create the tables in this schema")
        ->type_name("NAME");
    auto* skip = command->add_flag("--skip-invalid-rows", options.skipInvalidRows,
                                   "Leave out rows that break keys, Required or relations");
    auto* loose = command->add_flag("--no-constraints", options.noConstraints,
                                    "Load every row; leave off the constraints rows break");
    skip->excludes(loose);
    command->add_option("--ledger", request.ledgerFile, "Write the ledger as JSON")
        ->type_name("FILE.json");
    addSelectionOptions(*command, request.selection);
    return command;
}

}  // namespace

ParseOutcome parseArguments(int argc, const char* const* argv, std::ostream& out,
                            std::ostream& err) {
    CliRequest request;
    ModuleFlags flags;
    std::string dialect;

    CLI::App app{
        "Generates a Visual Basic module or SQL scripts that rebuild the schema of a "
        "Microsoft Access database.",
        "zlgen-cli"};
    app.set_version_flag("--version", kVersionText);
    app.require_subcommand(1);

    // Only the given command is set up (every command when none is given, for the overall help
    // and errors): setting up an option costs about as much as reading a table.
    const std::string given = argc > 1 ? argv[1] : "";
    const bool known = given == "list" || given == "sql" || given == "vb" || given == "dbcreate" ||
                       given == "export";
    auto wanted = [&](const char* command) { return !known || given == command; };

    // A command not given is not set up at all.
    CLI::App* list = nullptr;
    CLI::App* sql = nullptr;
    CLI::App* vb = nullptr;
    CLI::App* dbcreate = nullptr;
    if (wanted("list")) {
        list = app.add_subcommand("list", "Show the tables and QueryDefs of a database");
        list->add_option("DB", request.database, "Database file")->required();
        list->add_flag("--json", request.json, "Print JSON");
        list->add_flag("--system", request.system, "Include system objects");
        list->add_option("-o,--output", request.outputFile, "Write to FILE")->type_name("FILE");
    }

    if (wanted("sql")) {
        sql = app.add_subcommand("sql", "Generate the SQL data-definition script");
        sql->add_option("DB", request.database, "Database file")->required();
        sql->add_option("--dialect", dialect,
                        "access or sqlserver (the original texts), or postgresql or sqlite "
                        "(scripts that load as they are into PostgreSQL 15 and SQLite 3)")
            ->required();
        sql->add_option("-o,--output", request.outputFile, "Write to FILE")->type_name("FILE");
        sql->add_option("--ledger", request.ledgerFile,
                        "postgresql and sqlite: write what the script could not carry as JSON")
            ->type_name("FILE.json");
        addSelectionOptions(*sql, request.selection);
    }

    if (wanted("vb")) {
        vb = app.add_subcommand("vb", "Generate the Visual Basic module");
        vb->add_option("DB", request.database, "Database file")->required();
        vb->add_option("-o,--output", request.outputFile, "Module file (.bas)")
            ->required()
            ->type_name("FILE");
        addModuleOptions(*vb, request, flags);
        addSelectionOptions(*vb, request.selection);
    }

    CLI::App* exportCommand = wanted("export") ? addExportCommand(app, request) : nullptr;

    if (wanted("dbcreate")) {
        dbcreate = app.add_subcommand("dbcreate", "Write the module DBCREATE.BAS");
        dbcreate->add_option("-o,--output", request.outputFile, "Module file")
            ->required()
            ->type_name("FILE");
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int status = app.exit(e, out, err);
        return ParseOutcome{std::nullopt, status == 0 ? kExitOk : kExitUsage};
    }

    if (list != nullptr && *list) request.command = Command::List;
    if (sql != nullptr && *sql) request.command = Command::Sql;
    if (vb != nullptr && *vb) request.command = Command::Vb;
    if (dbcreate != nullptr && *dbcreate) request.command = Command::DbCreate;
    if (exportCommand != nullptr && *exportCommand) request.command = Command::Export;
    // The dialect is checked here rather than by a validator of the option parser, which costs
    // as much to set up as reading a small table.
    constexpr std::pair<std::string_view, sqlgen::SqlDialect> kDialects[] = {
        {"access", sqlgen::SqlDialect::MsAccess},
        {"sqlserver", sqlgen::SqlDialect::SqlServer},
        {"postgresql", sqlgen::SqlDialect::PostgreSql},
        {"sqlite", sqlgen::SqlDialect::Sqlite}};
    if (request.command == Command::Sql) {
        const auto* found = std::find_if(std::begin(kDialects), std::end(kDialects),
                                         [&](const auto& entry) { return entry.first == dialect; });
        if (found == std::end(kDialects)) {
            err << "--dialect: " << dialect
                << " not in {access,sqlserver,postgresql,sqlite}\nRun with --help for more "
                   "information.\n";
            return ParseOutcome{std::nullopt, kExitUsage};
        }
        request.dialect = found->second;
    }
    if (!request.ledgerFile.empty() && request.command == Command::Sql &&
        request.dialect != sqlgen::SqlDialect::PostgreSql &&
        request.dialect != sqlgen::SqlDialect::Sqlite) {
        err << "zlgen-cli: --ledger needs --dialect postgresql or sqlite\n";
        return ParseOutcome{std::nullopt, kExitUsage};
    }
    applyModuleFlags(flags, request);
    return ParseOutcome{std::move(request), kExitOk};
}

}  // namespace zl::cli
