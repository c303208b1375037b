// In-memory databases that exercise the PostgreSQL and SQLite targets: every type with defaults
// and rules, awkward names, many tables, relations of every kind, and what cannot be read.
#pragma once

#include <string>

#include "common/memory_engine.h"

namespace zl::testing::targets {

namespace dao = schema::dao;

inline schema::Field withRule(schema::Field field, std::string defaultValue, std::string rule) {
    field.defaultValue = std::move(defaultValue);
    field.validationRule = std::move(rule);
    field.allowZeroLength = true;
    return field;
}

inline schema::Index foreignIndex(std::string name, std::string fields) {
    schema::Index result = index(std::move(name), std::move(fields));
    result.foreign = true;
    return result;
}

inline schema::Relation relation(std::string name, std::string table, std::string foreignTable,
                                 std::vector<schema::RelationField> fields,
                                 std::int32_t attributes = 0) {
    return {std::move(name), std::move(table), std::move(foreignTable), attributes,
            std::move(fields)};
}

// One column of every type, with the defaults and rules seen in real databases.
inline MemoryDatabaseContent everyTypeDatabase() {
    MemoryDatabaseContent content;
    MemoryTable all;
    all.name = "Every Type";
    all.description = "One column of every type; it's \"quoted\"\r\nand on two lines";
    schema::Field guid = typedField("Row GUID", dao::kGuid);
    guid.defaultValue = "GenGUID()";
    schema::Field money = withRule(typedField("Money", dao::kCurrency), "0", ">=0");
    money.description = "Price in EUR, never negative";
    schema::Field exact = typedField("Exact", dao::kDecimal);
    exact.precision = 12;
    exact.scale = 3;
    schema::Field link = typedField("Link", dao::kMemo);
    link.attributes = dao::kHyperlinkField;
    link.allowZeroLength = true;
    schema::Field code = textField("Code", 5);
    code.required = true;
    code.allowZeroLength = false;
    schema::Field total = typedField("Total", dao::kDouble);
    total.calculated = true;
    total.expression = "[Quantity]*[Ratio]";
    // A rule long enough that its column's line outgrows the writer's first room while the
    // column's own name, taken from that line, is written into it again and again.
    std::string bands;
    for (int n = 0; n < 40; ++n) {
        bands += (n == 0 ? "" : " Or ") + std::string("Between ") + std::to_string(10 * n) +
                 " And " + std::to_string(10 * n + 5);
    }
    const schema::Field band = withRule(typedField("Band", dao::kLong), "", bands);
    // A calculated column that reads itself is left as a plain column: no engine computes it.
    schema::Field loop = typedField("Loop", dao::kLong);
    loop.calculated = true;
    loop.expression = "[Loop]+1";
    all.fields = {longField("ID", true),
                  withRule(typedField("Flag", dao::kBoolean), "Yes", ""),
                  typedField("Tiny", dao::kByte),
                  withRule(typedField("Quantity", dao::kInteger), "0", "Between 0 And 1000"),
                  typedField("Number", dao::kLong),
                  money,
                  withRule(typedField("Ratio", dao::kSingle), "", "Is Null Or >0"),
                  typedField("Precise", dao::kDouble),
                  withRule(typedField("StartDate", dao::kDate), "=Date()", ""),
                  withRule(typedField("EndDate", dao::kDate), "Now()", ""),
                  typedField("Raw", dao::kBinary, 16),
                  withRule(textField("Country", 50), "\"Germany\"", "Like \"[A-Z]*\""),
                  withRule(textField("Title", 10), "", "In (\"A\",\"Mr\",\"Ms\")"),
                  code,
                  typedField("Picture", dao::kLongBinary),
                  withRule(typedField("Notes", dao::kMemo), "", ""),
                  link,
                  guid,
                  typedField("Key", dao::kGuid),
                  exact,
                  typedField("Big", dao::kBigInt),
                  typedField("Stamp", dao::kExtendedDate),
                  typedField("Attachments", dao::kComplex),
                  total,
                  loop,
                  band};
    all.validationRule = "[EndDate]>=[StartDate]";
    all.indexes = {index("PrimaryKey", "+ID", true, true), index("Code", "+Code", false, true),
                   index("ByDates", "-StartDate;+EndDate")};
    content.table(all);
    content.query("Codes",
                  "SELECT [Every Type].Code, [Every Type].Money\r\nFROM [Every Type];\r\n");
    return content;
}

// Names that no identifier takes as they are: quotes, brackets, reserved words, 64 bytes,
// non-ASCII letters across the 63-byte limit, SQLite's reserved prefix, PostgreSQL's system
// columns, and names shared by tables and indexes.
inline MemoryDatabaseContent awkwardNamesDatabase() {
    MemoryDatabaseContent content;
    const std::string long64(64, 'L');
    const std::string umlauts = std::string(62, 'u') + "ü-first";  // cut inside "ü"
    const std::vector<std::string> names = {"Order \"Details\"", "[Select]",     "select",
                                            long64 + "A",        long64 + "B",   umlauts,
                                            umlauts + "-second", "sqlite_stat1", "Größe Ærø 名前"};
    for (const std::string& name : names) {
        MemoryTable t;
        t.name = name;
        t.fields = {longField("ID", true),
                    textField("group", 20),
                    longField("xmin"),
                    longField(std::string(70, 'c') + "1"),
                    longField(std::string(70, 'c') + "2"),
                    textField("Wert [€] \"x\"", 10)};
        t.indexes = {index("PrimaryKey", "+ID", true, true), index(names[1], "+group"),
                     index("select", "-xmin;+" + t.fields[3].name, false, true)};
        content.table(t);
    }
    content.query("Query \"quoted\"",
                  "SELECT [Order \"Details\"].ID FROM [Order \"Details\"];\r\n");
    content.query(long64 + "Q", "SELECT [select].group FROM [select];\r\n");
    return content;
}

// 250 tables, each referring to the one before it: 250 primary keys named alike.
inline MemoryDatabaseContent manyTablesDatabase(int count = 250) {
    MemoryDatabaseContent content;
    for (int i = 1; i <= count; ++i) {
        MemoryTable t;
        t.name = "Table " + std::to_string(i);
        t.fields = {longField("ID", true), longField("Previous"), textField("Label", 30)};
        t.indexes = {index("PrimaryKey", "+ID", true, true)};
        if (i > 1) {
            t.indexes.push_back(
                foreignIndex("Table " + std::to_string(i - 1) + t.name, "+Previous"));
            content.relation(relation("Table " + std::to_string(i - 1) + t.name,
                                      "Table " + std::to_string(i - 1), t.name,
                                      {{"ID", "Previous"}}));
        }
        content.table(t);
    }
    return content;
}

// Relations of every kind: multi-column with both cascades, SET NULL, one-to-one, a
// self-reference, one already covered by an index, one not enforced, and ones over a table or
// field that the selection leaves out.
inline MemoryDatabaseContent relationsDatabase() {
    MemoryDatabaseContent content;
    MemoryTable parent;
    parent.name = "Parent";
    parent.fields = {textField("Region", 10), longField("Number"), textField("Name", 40)};
    parent.indexes = {index("PrimaryKey", "+Region;+Number", true, true)};
    MemoryTable child;
    child.name = "Child";
    child.fields = {longField("ID", true), textField("Region", 10), longField("Number"),
                    longField("Manager"), longField("Other")};
    child.indexes = {index("PrimaryKey", "+ID", true, true),
                     foreignIndex("ParentChild", "+Region;+Number"),
                     foreignIndex("ChildChild", "+Manager"), index("ByOther", "+Other;+ID")};
    MemoryTable detail;
    detail.name = "Detail";
    detail.fields = {longField("ChildID"), textField("Note", 20), longField("Hidden")};
    detail.indexes = {index("PrimaryKey", "+childid", true, true),
                      foreignIndex("ChildDetail", "+ChildID"),
                      index("ByHidden", "+Hidden", false, true)};
    MemoryTable other;
    other.name = "Other";
    // A name with a quote, and a key stored in another case than its field.
    other.fields = {longField("ID", true), textField("Say \"hi\"", 10)};
    other.indexes = {index("PrimaryKey", "+id", true, true)};
    MemoryTable unselected;
    unselected.name = "Unselected";
    unselected.fields = {longField("ID", true)};
    unselected.indexes = {index("PrimaryKey", "+ID", true, true)};
    content.table(parent).table(child).table(detail).table(other).table(unselected);
    content.relation(relation("ParentChild", "Parent", "Child",
                              {{"Region", "Region"}, {"Number", "Number"}},
                              dao::kRelationUpdateCascade | dao::kRelationDeleteCascade));
    content.relation(
        relation("ChildChild", "Child", "Child", {{"ID", "Manager"}}, dao::kRelationDeleteSetNull));
    content.relation(relation("ChildDetail", "Child", "Detail", {{"ID", "ChildID"}},
                              dao::kRelationUnique | dao::kRelationDeleteCascade));
    // Stored in another case than the fields' names, which Access does not mind.
    content.relation(relation("OtherChild", "Other", "Child", {{"id", "other"}}));
    content.relation(
        relation("Loose", "Other", "Detail", {{"ID", "ChildID"}}, dao::kRelationDontEnforce));
    content.relation(relation("ToUnselected", "Unselected", "Detail", {{"ID", "ChildID"}}));
    content.relation(relation("OverHidden", "Other", "Detail", {{"ID", "Hidden"}}));
    content.relation(relation("MSysNavPaneGroupsMSysNavPaneGroupToObjects", "MSysNavPaneGroups",
                              "MSysNavPaneGroupToObjects", {{"Id", "GroupID"}}));
    return content;
}

// What cannot be read or carried: a linked table, a table and a query the engine fails on, a
// table of complex columns only, an action query, and names repeated in a damaged catalog.
inline MemoryDatabaseContent unreadableDatabase() {
    MemoryDatabaseContent content;
    MemoryTable fine;
    fine.name = "Fine";
    // A damaged catalog: a field and an index named twice, and a key naming its column twice.
    fine.fields = {longField("ID", true), textField("Name", 20), textField("name", 30)};
    fine.indexes = {index("PrimaryKey", "+ID;-id", true, true), index("ByName", "+Name"),
                    index("byname", "-Name")};
    MemoryTable broken;
    broken.name = "Broken";
    broken.fields = {longField("ID")};
    MemoryTable complex;
    complex.name = "Only Attachments";
    complex.fields = {typedField("Files", dao::kComplex)};
    MemoryTable linked;
    linked.name = "Linked";
    linked.fields = {longField("ID")};
    // A relationship between numbers of different kinds, which PostgreSQL cannot make a key of.
    MemoryTable measure;
    measure.name = "Measure";
    measure.fields = {typedField("Fine ID", dao::kDouble, 8)};
    content.table(fine).table(broken).table(complex).table(linked).table(measure);
    content.relation(relation("FineMeasure", "Fine", "Measure", {{"ID", "Fine ID"}}));
    content.query("Readable", "SELECT Fine.Name FROM Fine;\r\n");
    content.query("Damaged", "SELECT 1;\r\n");
    content.query("Purge", "DELETE FROM Fine;\r\n", dao::kQueryDelete);
    content.fail(Op::TableDef, "Broken", -1, "The table is damaged.");
    content.fail(Op::QueryDefs, "Damaged", -1, "The query is damaged.");
    content.fail(Op::OpenQueryDef, "Damaged", -1, "The query is damaged.");
    content.listing = content.listingRows();
    for (schema::TableListRow& row : *content.listing) {
        if (row.name == "Linked") row.tableType = dao::kTableTypeAccessLink;
    }
    return content;
}

}  // namespace zl::testing::targets
