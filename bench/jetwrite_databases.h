// Builders of the databases the reader benchmarks open: a large schema (1,000 tables of 50
// fields, 2,000 QueryDefs) and a table of a million rows beside the same table empty.
#pragma once

#include <cstdint>
#include <string>

#include "jetwrite/database_description.h"

namespace zl::jetwrite::bench {

inline FieldDescription benchField(std::string name, FieldType type, int size = 0) {
    FieldDescription field;
    field.name = std::move(name);
    field.type = type;
    field.size = size;
    return field;
}

// `tables` tables of `fields` fields each (with a primary key and one more index), and
// `queries` QueryDefs joining pairs of them.
inline DatabaseDescription largeSchemaDatabase(int tables = 1000, int fields = 50,
                                               int queries = 2000) {
    static constexpr FieldType kCycle[] = {FieldType::Text, FieldType::Long,   FieldType::Currency,
                                           FieldType::Date, FieldType::Double, FieldType::Boolean,
                                           FieldType::Memo, FieldType::Integer};
    DatabaseDescription database;
    for (int t = 0; t < tables; ++t) {
        TableDescription table;
        table.name = "Table" + std::to_string(t);
        table.fields.push_back(benchField("ID", FieldType::Long));
        table.fields.back().autoNumber = true;
        for (int f = 1; f < fields; ++f) {
            const FieldType type = kCycle[static_cast<std::size_t>(f) % std::size(kCycle)];
            table.fields.push_back(
                benchField("Field" + std::to_string(f), type, type == FieldType::Text ? 50 : 0));
            table.fields.back().defaultValue =
                type == FieldType::Long ? std::optional<std::string>("0") : std::nullopt;
        }
        table.indexes = {{"PrimaryKey", {{"ID", false}}, true, false, false, false},
                         {"Field2", {{"Field2", false}}, false, false, false, false}};
        database.tables.push_back(std::move(table));
    }
    for (int q = 0; q < queries; ++q) {
        const std::string left = "Table" + std::to_string(q % tables);
        const std::string right = "Table" + std::to_string((q + 1) % tables);
        QueryDescription query;
        query.name = "Query" + std::to_string(q);
        query.tables = {{left, ""}, {right, ""}};
        query.joins = {{left, right, JoinKind::Inner, left + ".ID = " + right + ".Field2"}};
        query.columns = {{left + ".Field1", "", "", CrosstabRole::RowHeading},
                         {right + ".Field3", "Amount", "", CrosstabRole::RowHeading}};
        query.where = right + ".Field3 > " + std::to_string(q);
        query.orderBy = {{left + ".Field1", false}};
        database.queries.push_back(std::move(query));
    }
    return database;
}

// One table "Sales" with `rows` rows (Long primary key, a date index) and a few QueryDefs.
inline DatabaseDescription largeDataDatabase(std::size_t rows) {
    DatabaseDescription database;
    TableDescription sales;
    sales.name = "Sales";
    sales.fields = {
        benchField("SaleID", FieldType::Long),      benchField("CustomerID", FieldType::Long),
        benchField("Product", FieldType::Text, 40), benchField("Quantity", FieldType::Integer),
        benchField("Price", FieldType::Currency),   benchField("SoldOn", FieldType::Date),
        benchField("Paid", FieldType::Boolean),     benchField("Note", FieldType::Memo)};
    sales.fields[0].required = true;
    sales.indexes = {{"PrimaryKey", {{"SaleID", false}}, true, false, false, false},
                     {"SoldOn", {{"SoldOn", true}}, false, false, false, false}};
    sales.generatedRows =
        RowGenerator{rows, [](std::size_t i) {
                         const auto n = static_cast<std::int64_t>(i);
                         return std::vector<Value>{
                             n + 1,
                             n % 9973,
                             "Product " + std::to_string(i % 500),
                             n % 50 + 1,
                             static_cast<double>(n % 10000) / 100.0,
                             DateTime{2000 + static_cast<int>(i % 25), 1 + static_cast<int>(i % 12),
                                      1 + static_cast<int>(i % 28), static_cast<int>(i % 24), 0, 0},
                             i % 3 == 0,
                             i % 100 == 0 ? Value{std::string("Checked by hand")} : Value{}};
                     }};
    database.tables = {sales};
    QueryDescription recent;
    recent.name = "Recent Sales";
    recent.tables = {{"Sales", ""}};
    recent.columns = {{"Sales.SaleID", "", "", CrosstabRole::RowHeading},
                      {"Sales.Price", "", "", CrosstabRole::RowHeading}};
    recent.where = "Sales.SoldOn > #1/1/2020#";
    QueryDescription totals;
    totals.name = "Totals by Product";
    totals.tables = {{"Sales", ""}};
    totals.columns = {{"Sales.Product", "", "", CrosstabRole::RowHeading},
                      {"Sum(Sales.Price*Sales.Quantity)", "Total", "", CrosstabRole::RowHeading}};
    totals.groupBy = {{"Sales.Product", "", "", CrosstabRole::RowHeading}};
    database.queries = {recent, totals};
    return database;
}

}  // namespace zl::jetwrite::bench
