// Argument parsing for zlgen-cli.
#include "cli/cli_options.h"

#include <CLI/CLI.hpp>
#include <map>
#include <ostream>

namespace zl::cli {

namespace {

constexpr const char* kVersionText = "1.1.05";

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
    const bool known = given == "list" || given == "sql" || given == "vb" || given == "dbcreate";
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
        sql->add_option("--dialect", dialect, "access or sqlserver")
            ->required()
            ->check(CLI::IsMember({"access", "sqlserver"}));
        sql->add_option("-o,--output", request.outputFile, "Write to FILE")->type_name("FILE");
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
    request.dialect =
        dialect == "sqlserver" ? sqlgen::SqlDialect::SqlServer : sqlgen::SqlDialect::MsAccess;
    applyModuleFlags(flags, request);
    return ParseOutcome{std::move(request), kExitOk};
}

}  // namespace zl::cli
