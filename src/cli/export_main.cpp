// Entry point of zlgen-export: zlgen-cli with the export command, which zlgen-cli starts for
// `zlgen-cli export ...`.
#include <iostream>

#include "cli/cli_app.h"
#include "cli/export_command.h"

int main(int argc, char** argv) {
    return zl::cli::runCli(argc, argv, std::cout, std::cerr, &zl::cli::runExportCommand);
}
