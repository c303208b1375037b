// Entry point of zlgen-cli. The export runs in zlgen-export, which links the database client
// libraries; every other command runs here, in a program that needs no shared library but libc.
#include <iostream>
#include <string_view>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
    if (argc > 1 && std::string_view(argv[1]) == "export") {
        return zl::cli::runExportProgram(argv, std::cerr);
    }
    return zl::cli::runCli(argc, argv, std::cout, std::cerr);
}
