// Databases made for what real files hold and the fixtures lack: relations of every attribute
// combination, documented tables with rules, saved queries without their Type and Flags rows,
// rows of attributes later Access versions write, and damaged queries beside good ones.
#pragma once

#include <set>
#include <string>

#include "jetwrite/edge_databases.h"

namespace zl::jetwrite::testing {

// An edge database and the QueryDefs in it whose rows are damaged.
struct DamagedEdgeDatabase {
    EdgeDatabase database;
    std::set<std::string> damagedQueries;
};

// 96 relationships, each between a table "Pnn" (the "one" side) and "Cnn": the five attribute
// bits (one-to-one, not enforced, cascade updates, cascade deletes, cascade to null) in all 32
// combinations, each without a join, with a left and with a right join; odd-numbered ones over
// a two-column key.
inline EdgeDatabase relationsDatabase() {
    EdgeDatabase db{"every_relation", {}, {}};
    for (int i = 0; i < 96; ++i) {
        const int bits = i % 32;
        const int join = i / 32;
        const bool twoColumns = i % 2 == 1;
        const std::string parentName = numbered("P", i, 2);
        const std::string childName = numbered("C", i, 2);
        TableDescription parent =
            table(parentName, {field("A", FieldType::Long), field("B", FieldType::Long)});
        parent.indexes = {twoColumns ? index("PrimaryKey", {"A", "B"}, true)
                                     : index("PrimaryKey", {"A"}, true)};
        db.description.tables.push_back(parent);
        db.description.tables.push_back(
            table(childName, {field("ID", FieldType::Long), field("A", FieldType::Long),
                              field("B", FieldType::Long)}));
        RelationshipDescription relation;
        relation.name = numbered("R", i, 2);
        relation.primaryTable = parentName;
        relation.foreignTable = childName;
        relation.fields = {{"A", "A"}};
        if (twoColumns) relation.fields.push_back({"B", "B"});
        relation.oneToOne = (bits & 1) != 0;
        relation.enforce = (bits & 2) == 0;
        relation.cascadeUpdates = (bits & 4) != 0;
        relation.cascadeDeletes = (bits & 8) != 0;
        relation.cascadeToNull = (bits & 16) != 0;
        relation.leftJoin = join == 1;
        relation.rightJoin = join == 2;
        db.description.relationships.push_back(relation);
    }
    return db;
}

// A table with a description, a validation rule and text, documented fields and a Decimal
// field; queries of several kinds without Type and Flags rows, one with a row of attribute 12,
// and two damaged queries (a second Type row; a Type row of kind 0) beside them.
inline DamagedEdgeDatabase documentedDatabase() {
    DamagedEdgeDatabase result{{"documented", {}, {}}, {"Damaged Twice Typed", "Damaged Kind"}};
    DatabaseDescription& d = result.database.description;
    std::map<std::string, std::string>& sql = result.database.expectedSql;

    FieldDescription id = field("ID", FieldType::Long);
    id.description = "Number of the entry";
    FieldDescription amount = field("Amount", FieldType::Decimal);
    amount.precision = 12;
    amount.scale = 4;
    amount.description = "Amount in the ledger's currency, four places";
    FieldDescription note = field("Note", FieldType::Text, 40);
    TableDescription ledger = table("Ledger", {id, amount, note});
    ledger.description = "Every booking, one row each";
    ledger.validationRule = "[Amount] <> 0";
    ledger.validationText = "A booking needs an amount";
    ledger.indexes = {index("PrimaryKey", {"ID"}, true)};
    d.tables.push_back(ledger);
    TableDescription plain = table("Plain", {field("ID", FieldType::Long)});
    d.tables.push_back(plain);

    // What Access 2007 writes for some queries: neither Type nor Flags row.
    auto bare = [&](QueryDescription q, const std::string& text) {
        q.writeTypeRow = false;
        q.writeFlagsRow = false;
        sql[q.name] = text;
        d.queries.push_back(q);
    };
    QueryDescription select = query("Bare Select");
    select.tables = {{"Ledger", ""}};
    select.columns = {{"Ledger.ID", "", "", CrosstabRole::RowHeading}};
    bare(select, "SELECT Ledger.ID\r\nFROM Ledger;\r\n");
    QueryDescription remove = query("Bare Delete", QueryKind::Delete);
    remove.tables = {{"Ledger", ""}};
    remove.columns = {{"Ledger.*", "", "", CrosstabRole::RowHeading}};
    remove.where = "Ledger.ID>5";
    bare(remove, "DELETE Ledger.*\r\nFROM Ledger\r\nWHERE Ledger.ID>5;\r\n");
    QueryDescription update = query("Bare Update", QueryKind::Update);
    update.tables = {{"Ledger", ""}};
    update.columns = {{"'none'", "", "Ledger.Note", CrosstabRole::RowHeading}};
    bare(update, "UPDATE Ledger\r\nSET Ledger.Note = 'none';\r\n");
    QueryDescription both = query("Bare Union", QueryKind::Union);
    both.unionParts = {"SELECT ID FROM Ledger", "SELECT ID FROM Plain"};
    both.unionAll = true;
    bare(both, "SELECT ID FROM Ledger\r\nUNION ALL SELECT ID FROM Plain;\r\n");
    QueryDescription crosstab = query("Bare Crosstab", QueryKind::Crosstab);
    crosstab.tables = {{"Ledger", ""}};
    crosstab.columns = {{"Ledger.Note", "", "", CrosstabRole::RowHeading},
                        {"Ledger.ID", "", "", CrosstabRole::ColumnHeading},
                        {"Sum(Ledger.Amount)", "", "", CrosstabRole::Transform}};
    crosstab.groupBy = {{"Ledger.Note", "", "", CrosstabRole::RowHeading}};
    bare(crosstab,
         "TRANSFORM Sum(Ledger.Amount)\r\nSELECT Ledger.Note\r\nFROM Ledger\r\n"
         "GROUP BY Ledger.Note\r\nPIVOT Ledger.ID;\r\n");

    QueryDescription later = simpleSelect("With Attribute 12", "Plain", "Plain.ID", sql);
    later.extraRows = {{12, 3, "", "", std::nullopt}};
    d.queries.push_back(later);

    QueryDescription twice = simpleSelect("Damaged Twice Typed", "Plain", "Plain.ID", sql);
    sql.erase(twice.name);
    twice.extraRows = {{1, 1, "", "", std::nullopt}};
    d.queries.push_back(twice);
    QueryDescription kindless = simpleSelect("Damaged Kind", "Plain", "Plain.ID", sql);
    sql.erase(kindless.name);
    kindless.writeTypeRow = false;
    kindless.extraRows = {{1, 0, "", "", std::nullopt}};
    d.queries.push_back(kindless);
    return result;
}

}  // namespace zl::jetwrite::testing
