// zlmkexportdb: writes the export benchmark's database, one table of a million rows (or the
// count given) of the common types: zlmkexportdb OUTPUT.mdb [ROWS].
#include <cstdlib>
#include <iostream>
#include <string>

#include "jetwrite/database_writer.h"
#include "jetwrite/write_error.h"

namespace {

using zl::jetwrite::FieldDescription;
using zl::jetwrite::FieldType;
using zl::jetwrite::Value;

FieldDescription field(std::string name, FieldType type, int size = 0) {
    FieldDescription description;
    description.name = std::move(name);
    description.type = type;
    description.size = size;
    return description;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: zlmkexportdb OUTPUT.mdb [ROWS]\n";
        return 2;
    }
    const std::size_t count = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1'000'000;
    zl::jetwrite::TableDescription table;
    table.name = "Orders";
    auto id = field("ID", FieldType::Long);
    id.autoNumber = true;
    table.fields = {id,
                    field("Customer", FieldType::Text, 40),
                    field("Amount", FieldType::Currency),
                    field("Ordered", FieldType::Date),
                    field("Paid", FieldType::Boolean),
                    field("Quantity", FieldType::Integer),
                    field("Ratio", FieldType::Double),
                    field("Note", FieldType::Memo)};
    table.indexes = {{"PrimaryKey", {{"ID", false}}, true, true, true, false}};
    table.generatedRows = zl::jetwrite::RowGenerator{
        count, [](std::size_t i) {
            const auto n = static_cast<std::int64_t>(i);
            return std::vector<Value>{
                n + 1,
                "Customer " + std::to_string(i % 5000),
                std::to_string(n % 100000) + "." + std::to_string(n % 100),
                40000.0 + static_cast<double>(i % 3000) + 0.25,
                i % 3 == 0,
                std::int64_t{n % 1000},
                static_cast<double>(i) / 7.0,
                i % 10 == 0 ? Value(std::string("note for order ") + std::to_string(i)) : Value()};
        }};
    zl::jetwrite::DatabaseDescription database;
    database.tables.push_back(std::move(table));
    try {
        zl::jetwrite::writeDatabase(database, argv[1]);
    } catch (const zl::jetwrite::WriteError& error) {
        std::cerr << "zlmkexportdb: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
