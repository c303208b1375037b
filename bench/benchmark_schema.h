// The benchmark schema the generator, translator and target benchmarks share: `tables` tables of
// 50 fields (a text default and a number rule per six fields) and 5 indexes, and half as many
// QueryDefs, all selected, as after opening.
#pragma once

#include <memory>
#include <string>

#include "common/memory_engine.h"
#include "schema/schema_model.h"

namespace zl::bench {

namespace dao = zl::schema::dao;
namespace zt = zl::testing;

constexpr int kFieldsPerTable = 50;

inline zl::schema::Field benchField(int t, int j) {
    const std::string name = "Field " + std::to_string(j) + " of T" + std::to_string(t);
    switch (j % 6) {
        case 0:
            return zt::longField(name, j == 0);
        case 1: {
            zl::schema::Field f = zt::textField(name, 50);
            f.defaultValue = "\"n/a\"";
            f.validationText = "Must not be \"empty\"";
            return f;
        }
        case 2:
            return zt::typedField(name, dao::kCurrency, 8);
        case 3:
            return zt::typedField(name, dao::kDate, 8);
        case 4:
            return zt::typedField(name, dao::kMemo);
        default: {
            zl::schema::Field f = zt::typedField(name, dao::kDouble, 8);
            f.validationRule = ">= 0";
            return f;
        }
    }
}

inline zt::MemoryTable benchTable(int t) {
    zt::MemoryTable table;
    table.name = "Table " + std::to_string(t);
    for (int j = 0; j < kFieldsPerTable; ++j) table.fields.push_back(benchField(t, j));
    const std::string f1 = table.fields[1].name;
    const std::string f2 = table.fields[2].name;
    table.indexes.push_back(zt::index("PrimaryKey", "+" + table.fields[0].name, true, true));
    table.indexes.push_back(zt::index("ByText", "+" + f1, false, true));
    table.indexes.push_back(zt::index("ByTwo", "+" + f1 + ";-" + f2));
    table.indexes.push_back(zt::index("ByDate", "-" + table.fields[3].name));
    zl::schema::Index foreign = zt::index("Ref" + std::to_string(t), "+" + f2);
    foreign.foreign = true;
    table.indexes.push_back(foreign);
    return table;
}

// `tables` tables and half as many QueryDefs, all selected, as after opening.
struct Schema {
    std::unique_ptr<zl::schema::Database> db;
    zl::schema::SchemaModel model;
};

inline Schema buildSchema(int tables) {
    zt::MemoryDatabaseContent content;
    for (int t = 0; t < tables; ++t) content.table(benchTable(t));
    for (int q = 0; q < tables / 2; ++q) {
        content.query("Query " + std::to_string(q),
                      "SELECT [Table " + std::to_string(q) + "].*\r\nFROM [Table " +
                          std::to_string(q) + "]\r\nWHERE [Field 2 of T" + std::to_string(q) +
                          "] > 100\r\nORDER BY [Field 3 of T" + std::to_string(q) + "] DESC;\r\n");
    }
    Schema schema;
    for (const auto& row : content.listingRows()) schema.model.addEntry(row.name, row.isQueryDef());
    schema.model.ResetSelection();
    schema.db = zt::openMemoryDatabase(std::move(content));
    return schema;
}

}  // namespace zl::bench
