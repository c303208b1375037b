// Reads the saved-query rows of the fixture databases through the engine's own row cursor.
#include "schema/jet/query_fixture_rows.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "schema/jet/jet_engine.h"

namespace zl::schema::jet::test {

namespace {

std::optional<int> integerOf(const Value& value) {
    return value.isNull() ? std::nullopt : std::optional<int>(static_cast<int>(value.integer));
}

std::optional<std::string> textOf(const Value& value) {
    return value.isNull() ? std::nullopt : std::optional<std::string>(value.text);
}

// The rows of every query of one database, by object id in storage order.
void readQueries(const std::filesystem::path& path, std::vector<FixtureQuery>& queries) {
    JetEngine engine;
    const std::unique_ptr<Database> database = engine.openDatabase(path.string());
    const std::vector<TableListRow> listing = database->listTables();
    if (std::none_of(listing.begin(), listing.end(),
                     [](const TableListRow& row) { return row.name == "MSysQueries"; })) {
        return;
    }
    const std::unique_ptr<TableDef> definition = database->tableDef("MSysQueries");
    std::map<std::string, std::size_t> column;
    for (int i = 0; i < definition->fieldCount(); ++i) {
        column[definition->field(i).name] = static_cast<std::size_t>(i);
    }
    const auto get = [&](const std::vector<Value>& values, const char* name) {
        static const Value kNullValue;
        const auto found = column.find(name);
        return found == column.end() ? kNullValue : values.at(found->second);
    };
    std::map<std::int32_t, std::vector<QueryRow>> byObject;
    const std::unique_ptr<Recordset> rows = database->openRecordset("MSysQueries");
    while (rows->moveNext()) {
        const std::vector<Value>& values = rows->values();
        QueryRow row;
        row.attribute = integerOf(get(values, "Attribute"));
        row.expression = textOf(get(values, "Expression"));
        row.flag = integerOf(get(values, "Flag"));
        row.name1 = textOf(get(values, "Name1"));
        row.name2 = textOf(get(values, "Name2"));
        row.objectId = static_cast<std::int32_t>(get(values, "ObjectId").integer);
        for (const std::byte b : get(values, "Order").bytes) {
            row.order.push_back(std::to_integer<std::uint8_t>(b));
        }
        row.extra = integerOf(get(values, "LvExtra"));
        byObject[row.objectId].push_back(std::move(row));
    }
    for (auto& [objectId, queryRows] : byObject) {
        queries.push_back({path.filename().string(), objectId, std::move(queryRows)});
    }
}

}  // namespace

std::vector<FixtureQuery> fixtureQueries() {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("../shared/fixtures", error)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".mdb" || extension == ".accdb") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<FixtureQuery> queries;
    for (const std::filesystem::path& file : files) readQueries(file, queries);
    return queries;
}

std::vector<QueryRow> toRows(const std::vector<RowLiteral>& literals, std::int32_t objectId) {
    const auto text = [](std::optional<std::string_view> value) {
        return value ? std::optional<std::string>(std::string(*value)) : std::nullopt;
    };
    std::vector<QueryRow> rows;
    for (const RowLiteral& literal : literals) {
        QueryRow row;
        row.attribute = literal.attribute;
        row.flag = literal.flag;
        row.name1 = text(literal.name1);
        row.name2 = text(literal.name2);
        row.expression = text(literal.expression);
        row.extra = literal.extra;
        row.objectId = objectId;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<QueryRow> framed(std::vector<RowLiteral> literals, std::int32_t objectId) {
    literals.insert(literals.begin(), RowLiteral(0, 0));
    literals.emplace_back(255);
    return toRows(literals, objectId);
}

}  // namespace zl::schema::jet::test
