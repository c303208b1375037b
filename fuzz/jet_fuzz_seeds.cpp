// Writes a few small databases built in memory into a folder, as fuzzer seeds that are far
// smaller than real files.
#include <fstream>
#include <iostream>
#include <string>

#include "test_database.h"

namespace {

using namespace zl::schema::jet::test;

void save(const std::string& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary);
    for (const std::byte b : bytes) {
        out.put(static_cast<char>(b));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: jet_fuzz_seeds <folder>\n";
        return 2;
    }
    const std::string folder = argv[1];
    TableSpec table{
        "T",
        0,
        {{"ID", 0x04, 0, 0x06}, {"Name", 0x0A}, {"Notes", 0x0C, 0, 0x82}},
        {{"PrimaryKey", {{"ID", true}}, 0x09, 1, 0}, {"ByName", {{"Name", false}}, 0x02, 0, 1}},
        PropertyBlob()
            .column("Name")
            .boolean("Required", true)
            .text("DefaultValue", "\"x\"")
            .build(),
        false};
    TestDatabase small;
    small.table(table);
    small.link({"L", 6, "C:\\a.mdb", "", "T"});
    small.query({"Q",
                 0,
                 {{1, std::nullopt, 0, std::nullopt, std::nullopt, {}},
                  {5, std::nullopt, 0, "T", std::nullopt, {}},
                  {6, "T.*", 0, std::nullopt, std::nullopt, {}}}});
    save(folder + "/built-small.mdb", small.build());
    table.propertiesOnOwnPage = true;
    TestDatabase ownPage;
    ownPage.table(table);
    save(folder + "/built-property-page.mdb", ownPage.build());
    return 0;
}
