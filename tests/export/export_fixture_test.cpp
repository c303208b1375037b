// Databases written by Access itself: each fixture is exported to SQLite, and every table's
// rows are compared, count and values, with a second read through the cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "export/export_plan.h"
#include "export/exporter.h"
#include "export/value_text.h"
#include "export_databases.h"
#include "schema/jet/jet_engine.h"
#include "schema/schema_model.h"

namespace zl::exporter::testing {
namespace {

namespace fs = std::filesystem;
using schema::Value;
using schema::ValueKind;

const fs::path kFixtureFolder = "../shared/fixtures";

// A cursor value as SQLite holds it, in the form readSqlite gives.
std::string storedText(const Value& value) {
    static constexpr char kHex[] = "0123456789abcdef";
    switch (value.kind) {
        case ValueKind::Null:
            return "<null>";
        case ValueKind::Boolean:
        case ValueKind::Integer:
            return std::to_string(value.integer);
        case ValueKind::Currency:
            return currencyText(value.integer);
        case ValueKind::Single:
        case ValueKind::Double:
            return realText(value.real == 0 ? 0.0 : value.real, false);
        case ValueKind::Date:
            return dateText(value.real).value_or(realText(value.real, false));
        case ValueKind::Guid:
            return guidText(value.bytes);
        case ValueKind::Binary: {
            std::string text = "\\x";
            for (const std::byte b : value.bytes) {
                text += kHex[std::to_integer<unsigned>(b) >> 4];
                text += kHex[std::to_integer<unsigned>(b) & 15];
            }
            return text;
        }
        default:
            return value.text;
    }
}

std::vector<fs::path> fixtureFiles() {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(kFixtureFolder, error)) {
        const auto extension = item.path().extension();
        if (extension == ".mdb" || extension == ".accdb") files.push_back(item.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ExportFixtures, EveryRowOfEveryFixtureArrivesAsTheCursorReadsIt) {
    const std::vector<fs::path> files = fixtureFiles();
    if (files.empty()) GTEST_SKIP() << "no fixtures in " << kFixtureFolder;
    TemporaryFolder folder;
    std::size_t rowsCompared = 0;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        schema::jet::JetEngine engine;
        const auto db = engine.openDatabase(file.string());
        schema::SchemaModel model;
        std::vector<schema::SchemaEntry> entries;
        for (const schema::TableListRow& row : db->listTables()) {
            if (!row.isSystemObject()) entries.push_back({row.name, row.isQueryDef(), true});
        }
        model.setEntries(entries);
        model.ResetSelection();
        const ExportPlan plan = planExport(*db, model);
        ExportRequest request;
        request.destination = (folder.path() / (file.filename().string() + ".sqlite")).string();
        request.noConstraints = true;  // the rows as they are, whatever rules they break
        std::atomic<bool> cancel{false};
        const ExportResult result = runExport(*db, plan, request, cancel, nullptr);
        ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;

        for (const PlannedTable& table : plan.tables) {
            SCOPED_TRACE(table.name);
            Table expected;
            const auto recordset = db->openRecordset(table.name);
            while (recordset->moveNext()) {
                std::vector<std::string> row;
                for (const PlannedColumn& column : table.columns) {
                    row.push_back(storedText(recordset->values()[column.position]));
                }
                expected.push_back(std::move(row));
            }
            Table actual = readSqlite(request.destination, table.name);
            std::sort(expected.begin(), expected.end());
            std::sort(actual.begin(), actual.end());
            EXPECT_EQ(actual, expected);
            rowsCompared += expected.size();
        }
    }
    EXPECT_GT(rowsCompared, 600u);
}

}  // namespace
}  // namespace zl::exporter::testing
