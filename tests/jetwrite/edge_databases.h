// Builders of the edge-case databases that tests write and read back: many entries, very wide
// tables, many indexes, every field type, awkward names, long, empty and multi-line queries.
// Header-only, so that any test (generators, command line) can include it and make them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "jetwrite/database_description.h"
#include "jetwrite/database_writer.h"

namespace zl::jetwrite::testing {

// A description, and the QueryDef.SQL that an engine must report for each of its QueryDefs
// (lines joined by CR LF, ending with CR LF).
struct EdgeDatabase {
    std::string name;  // what it exercises; also the file name stem
    DatabaseDescription description;
    std::map<std::string, std::string> expectedSql;
};

inline FieldDescription field(std::string name, FieldType type, int size = 0) {
    FieldDescription result;
    result.name = std::move(name);
    result.type = type;
    result.size = size;
    return result;
}

inline QueryDescription query(std::string name, QueryKind kind = QueryKind::Select) {
    QueryDescription result;
    result.name = std::move(name);
    result.kind = kind;
    return result;
}

// An index over `fields` ("-Name" for descending).
inline IndexDescription index(std::string name, const std::vector<std::string>& fields,
                              bool primary = false, bool unique = false) {
    IndexDescription result;
    result.name = std::move(name);
    for (const std::string& f : fields) {
        const bool descending = !f.empty() && f.front() == '-';
        result.columns.push_back({descending ? f.substr(1) : f, descending});
    }
    result.primary = primary;
    result.unique = unique;
    return result;
}

inline TableDescription table(std::string name, std::vector<FieldDescription> fields) {
    TableDescription result;
    result.name = std::move(name);
    result.fields = std::move(fields);
    return result;
}

// SELECT <column> FROM <table>, with the SQL a reader rebuilds for it (`shownTable` is the
// table name as the SQL shows it, bracketed when it holds characters other than A-Z, 0-9, _).
inline QueryDescription simpleSelect(std::string name, const std::string& tableName,
                                     const std::string& column,
                                     std::map<std::string, std::string>& expected,
                                     const std::string& shownTable = {}) {
    QueryDescription query;
    query.name = std::move(name);
    query.tables = {{tableName, ""}};
    query.columns = {{column, "", "", CrosstabRole::RowHeading}};
    expected[query.name] =
        "SELECT " + column + "\r\nFROM " + (shownTable.empty() ? tableName : shownTable) + ";\r\n";
    return query;
}

inline std::string numbered(const std::string& stem, int n, int width = 3) {
    std::string digits = std::to_string(n);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    return stem + digits;
}

// `entries` catalog entries, tables and QueryDefs alternating, with names that sort the
// kinds into each other ("Entry001" table, "Entry002" query, ...).
inline EdgeDatabase manyEntriesDatabase(int entries = 250) {
    EdgeDatabase db{"many_entries", {}, {}};
    for (int i = 1; i <= entries; ++i) {
        const std::string name = numbered("Entry", i);
        if (i % 2 == 1) {
            db.description.tables.push_back(
                table(name, {field("ID", FieldType::Long), field("Label", FieldType::Text, 20)}));
        } else {
            const std::string source = numbered("Entry", i - 1);
            db.description.queries.push_back(
                simpleSelect(name, source, source + ".Label", db.expectedSql));
        }
    }
    return db;
}

inline TableDescription wideTable(const std::string& name, int fields) {
    TableDescription result;
    result.name = name;
    static constexpr FieldType kCycle[] = {FieldType::Long,    FieldType::Text, FieldType::Double,
                                           FieldType::Boolean, FieldType::Date, FieldType::Memo,
                                           FieldType::Integer};
    for (int i = 1; i <= fields; ++i) {
        const FieldType type = kCycle[static_cast<std::size_t>(i) % std::size(kCycle)];
        result.fields.push_back(
            field(numbered("Field", i), type, type == FieldType::Text ? 30 : 0));
        result.fields.back().description = "Column number " + std::to_string(i);
        // Properties late in the table sit deep in a property blob that spans several pages.
        if (i % 50 == 0) {
            result.fields.back().required = true;
            result.fields.back().validationText = "Checked field " + std::to_string(i);
        }
    }
    return result;
}

// Tables with exactly 500 and 501 fields: the 500-field listing limit and the warning past it.
inline EdgeDatabase wideTablesDatabase() {
    EdgeDatabase db{"wide_tables", {}, {}};
    db.description.tables = {wideTable("Wide500", 500), wideTable("Wide501", 501)};
    return db;
}

// A table with `count` indexes (past the 50-index listing limit), single- and multi-field,
// ascending and descending, with every flag.
inline EdgeDatabase manyIndexesDatabase(int count = 60) {
    EdgeDatabase db{"many_indexes", {}, {}};
    TableDescription indexed = table("Indexed", {});
    for (int i = 1; i <= count; ++i)
        indexed.fields.push_back(field(numbered("Col", i, 2), FieldType::Long));
    for (int i = 1; i <= count; ++i) {
        IndexDescription index;
        index.name = numbered("Index", i, 2);
        index.columns.push_back({numbered("Col", i, 2), i % 3 == 0});
        if (i % 4 == 0) index.columns.push_back({numbered("Col", i % count + 1, 2), i % 8 == 0});
        index.primary = i == 1;
        index.unique = i % 5 == 0;
        index.required = i % 6 == 0;
        index.ignoreNulls = i % 7 == 0;
        indexed.indexes.push_back(index);
    }
    db.description.tables = {indexed};
    return db;
}

// One field of every type, Binary (type 9), fixed-length text and binary, a hyperlink memo,
// AutoNumber, every column property, and a row with a value in every field.
inline EdgeDatabase fieldTypesDatabase() {
    EdgeDatabase db{"field_types", {}, {}};
    TableDescription all = table("AllTypes", {
                                                 field("Counter", FieldType::Long),
                                                 field("Flag", FieldType::Boolean),
                                                 field("Tiny", FieldType::Byte),
                                                 field("Small", FieldType::Integer),
                                                 field("Number", FieldType::Long),
                                                 field("Money", FieldType::Currency),
                                                 field("Real", FieldType::Single),
                                                 field("Precise", FieldType::Double),
                                                 field("Moment", FieldType::Date),
                                                 field("Raw", FieldType::Binary, 16),
                                                 field("Label", FieldType::Text, 80),
                                                 field("Code", FieldType::Text, 5),
                                                 field("Blob", FieldType::LongBinary),
                                                 field("Notes", FieldType::Memo),
                                                 field("Link", FieldType::Memo),
                                                 field("Key", FieldType::Guid),
                                                 field("Exact", FieldType::Decimal),
                                                 field("RawFixed", FieldType::Binary, 4),
                                             });
    all.fields[0].autoNumber = true;
    all.fields[0].required = true;
    all.fields[10].allowZeroLength = true;
    all.fields[10].defaultValue = "\"unnamed\"";
    all.fields[10].validationRule = "Len([Label]) > 0";
    all.fields[10].validationText = "A label cannot be empty.";
    all.fields[11].fixedLength = true;
    all.fields[11].required = true;
    all.fields[14].hyperlink = true;
    all.fields[16].precision = 12;
    all.fields[16].scale = 3;
    all.fields[17].fixedLength = true;
    all.fields[5].defaultValue = "0";
    all.fields[8].defaultValue = "Now()";
    all.indexes = {{"PrimaryKey", {{"Counter", false}}, true, false, false, false},
                   {"ByMoment", {{"Moment", true}, {"Money", false}}, false, false, false, false}};
    all.rows.push_back(
        {std::monostate{}, true, std::int64_t{200}, std::int64_t{-1234}, std::int64_t{123456789},
         std::string("1234.5678"), 1.5, 2.25, DateTime{2024, 2, 29, 13, 45, 30},
         std::vector<std::uint8_t>{0xde, 0xad, 0xbe, 0xef}, std::string("Grüße"), std::string("AB"),
         std::vector<std::uint8_t>(300, 0x5a), std::string(5000, 'm'),
         std::string("#http://example.com#"), std::string("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"),
         std::string("-123456.789"), std::vector<std::uint8_t>{1, 2}});
    all.rows.push_back(std::vector<Value>(all.fields.size()));
    db.description.tables = {all};
    return db;
}

// Names with double quotes, brackets, spaces and letters outside ASCII, in tables, fields,
// indexes, a relationship and queries.
inline EdgeDatabase awkwardNamesDatabase() {
    EdgeDatabase db{"awkward_names", {}, {}};
    TableDescription quoted =
        table("Order \"Details\"",
              {field("Größe", FieldType::Long), field("Price [EUR]", FieldType::Currency),
               field("Customer Name", FieldType::Text, 50), field("名前", FieldType::Text, 10)});
    quoted.indexes = {{"Primär Schlüssel", {{"Größe", false}}, true, false, false, false}};
    TableDescription danish =
        table("Ærø Øst", {field("Nummer", FieldType::Long), field("Größe", FieldType::Long)});
    danish.indexes = {{"PrimaryKey", {{"Nummer", false}}, true, false, false, false}};
    db.description.tables = {quoted, danish};
    RelationshipDescription link;
    link.primaryTable = quoted.name;
    link.foreignTable = danish.name;
    link.fields = {{"Größe", "Größe"}};
    db.description.relationships = {link};
    db.description.queries = {
        simpleSelect("Query \"quoted\"", quoted.name, "[Order \"Details\"].[Price [EUR]]]",
                     db.expectedSql, "[Order \"Details\"]"),
        simpleSelect("Größen Übersicht", danish.name, "[Ærø Øst].Größe", db.expectedSql,
                     "[Ærø Øst]"),
        simpleSelect("名前の一覧", quoted.name, "[Order \"Details\"].名前", db.expectedSql,
                     "[Order \"Details\"]"),
    };
    return db;
}

// A QueryDef whose SQL is exactly `length` characters: a long WHERE clause.
inline EdgeDatabase longQueryDatabase(std::size_t length = 40000) {
    EdgeDatabase db{"long_query", {}, {}};
    db.description.tables = {table("Numbers", {field("N", FieldType::Long)})};
    QueryDescription query;
    query.name = "Very Long Query";
    query.tables = {{"Numbers", ""}};
    query.columns = {{"Numbers.N", "", "", CrosstabRole::RowHeading}};
    const std::string head = "SELECT Numbers.N\r\nFROM Numbers\r\nWHERE ";
    const std::string tail = ";\r\n";
    std::string where = "Numbers.N In (0";
    for (int n = 1; head.size() + where.size() + 1 + tail.size() < length; ++n) {
        const std::string next = "," + std::to_string(n);
        if (head.size() + where.size() + next.size() + 1 + tail.size() > length) break;
        where += next;
    }
    while (head.size() + where.size() + 1 + tail.size() < length) where += ' ';
    where += ')';
    query.where = where;
    db.expectedSql[query.name] = head + where + tail;
    db.description.queries = {query};
    return db;
}

// QueryDefs with nothing in them: a select without clauses, a pass-through without text.
inline EdgeDatabase emptyQueryDatabase() {
    EdgeDatabase db{"empty_queries", {}, {}};
    QueryDescription select;
    select.name = "Empty Select";
    QueryDescription passThrough;
    passThrough.name = "Empty Pass-Through";
    passThrough.kind = QueryKind::PassThrough;
    passThrough.connect = "ODBC;";
    db.description.queries = {select, passThrough};
    db.expectedSql[select.name] = "SELECT ;\r\n";
    db.expectedSql[passThrough.name] = "\r\n";
    return db;
}

// QueryDefs whose SQL has an empty line: in a pass-through text and inside a WHERE clause.
inline EdgeDatabase emptyLineQueryDatabase() {
    EdgeDatabase db{"empty_line_queries", {}, {}};
    db.description.tables = {table("T", {field("ID", FieldType::Long)})};
    QueryDescription passThrough;
    passThrough.name = "Two Statements";
    passThrough.kind = QueryKind::PassThrough;
    passThrough.connect = "ODBC;DSN=Server";
    passThrough.sqlText = "SELECT 1\r\n\r\nSELECT 2";
    QueryDescription select;
    select.name = "Spaced Where";
    select.tables = {{"T", ""}};
    select.columns = {{"T.ID", "", "", CrosstabRole::RowHeading}};
    select.where = "T.ID = 1\r\n\r\nOR T.ID = 2";
    db.description.queries = {passThrough, select};
    db.expectedSql[passThrough.name] = "SELECT 1\r\n\r\nSELECT 2\r\n";
    db.expectedSql[select.name] = "SELECT T.ID\r\nFROM T\r\nWHERE T.ID = 1\r\n\r\nOR T.ID = 2;\r\n";
    return db;
}

// Hidden and system tables and queries: the catalog flags that keep objects out of lists.
inline EdgeDatabase hiddenAndSystemDatabase() {
    EdgeDatabase db{"hidden_and_system", {}, {}};
    TableDescription visible = table("Visible", {field("ID", FieldType::Long)});
    TableDescription hidden = table("Hidden Table", {field("ID", FieldType::Long)});
    hidden.hidden = true;
    TableDescription system = table(
        "USysSettings", {field("Setting", FieldType::Text, 30), field("Value", FieldType::Memo)});
    system.system = true;
    system.rows = {{std::string("Theme"), std::string("Dark")}};
    TableDescription both = table("USysHiddenLog", {field("Entry", FieldType::Memo)});
    both.hidden = true;
    both.system = true;
    db.description.tables = {visible, hidden, system, both};
    QueryDescription hiddenQuery =
        simpleSelect("Hidden Query", "Visible", "Visible.ID", db.expectedSql);
    hiddenQuery.hidden = true;
    QueryDescription systemQuery = simpleSelect("~sq_cOrders~sq_cCustomer", "USysSettings",
                                                "USysSettings.Setting", db.expectedSql);
    systemQuery.system = true;
    systemQuery.hidden = true;
    db.description.queries = {hiddenQuery, systemQuery};
    return db;
}

inline std::vector<EdgeDatabase> allEdgeDatabases() {
    return {manyEntriesDatabase(), wideTablesDatabase(),     manyIndexesDatabase(),
            fieldTypesDatabase(),  awkwardNamesDatabase(),   longQueryDatabase(),
            emptyQueryDatabase(),  emptyLineQueryDatabase(), hiddenAndSystemDatabase()};
}

// Writes `db` as `<folder>/<db.name>.mdb` and returns the path. Throws WriteError.
inline std::filesystem::path writeEdgeDatabase(const EdgeDatabase& db,
                                               const std::filesystem::path& folder) {
    const std::filesystem::path path = folder / (db.name + ".mdb");
    writeDatabase(db.description, path);
    return path;
}

}  // namespace zl::jetwrite::testing
