// Entry point of zlgen-cli.
#include <iostream>

#include "cli/cli_app.h"

int main(int argc, char** argv) { return zl::cli::runCli(argc, argv, std::cout, std::cerr); }
