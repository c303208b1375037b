// zlmkdb: makes a Jet 4 database (.mdb) from a JSON description.
#include <cstring>
#include <iostream>

#include "description_json.h"
#include "jetwrite/database_writer.h"
#include "jetwrite/write_error.h"

namespace {

constexpr const char* kUsage =
    "usage: zlmkdb DESCRIPTION.json OUTPUT.mdb\n"
    "Writes the database that DESCRIPTION.json describes (see docs/database-description.md).\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage;
        return 0;
    }
    if (argc != 3) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        const zl::jetwrite::DatabaseDescription database =
            zl::jetwrite::readDescriptionFile(argv[1]);
        zl::jetwrite::writeDatabase(database, argv[2]);
    } catch (const zl::jetwrite::WriteError& error) {
        std::cerr << "zlmkdb: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
