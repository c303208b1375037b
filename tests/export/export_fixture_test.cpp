// Databases written by Access itself: each fixture is exported to SQLite, and every table's
// rows are compared, count and values, with a second read through the cursor.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>

#include "common/pg_cluster.h"
#include "common/sqlite_db.h"
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
        case ValueKind::ExtendedDate:
            return std::string(extendedDateText(value.text));
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
        for (const schema::TableListRow& row : db->listTables()) {
            if (!row.isSystemObject()) model.addEntry(row.name, row.isQueryDef());
        }
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

// Rows of one fixture table through the cursor, each value in stored form, keyed by field name.
std::vector<std::map<std::string, std::string>> fixtureRows(const std::string& file,
                                                            const std::string& table) {
    schema::jet::JetEngine engine;
    const auto db = engine.openDatabase((kFixtureFolder / file).string());
    const auto definition = db->tableDef(table);
    const auto recordset = db->openRecordset(table);
    std::vector<std::map<std::string, std::string>> rows;
    while (recordset->moveNext()) {
        std::map<std::string, std::string> row;
        for (int i = 0; i < definition->fieldCount(); ++i) {
            row[definition->field(i).name] =
                storedText(recordset->values()[static_cast<std::size_t>(i)]);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

// Access stored each extended date twice: as the value, and as text in a calculated column.
TEST(ExportFixtures, ExtendedDatesMatchTheTextAccessWroteBesideThem) {
    if (!fs::exists(kFixtureFolder / "extDateTestV2019.accdb")) {
        GTEST_SKIP() << "fixture extDateTestV2019.accdb missing";
    }
    int compared = 0;
    for (const auto& row : fixtureRows("extDateTestV2019.accdb", "Table1")) {
        if (row.at("DateExt") == "<null>") continue;
        // "6/14/2021 12:45:00.0000000 PM" against "2021-06-14 12:45:00".
        int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
        char fraction[8] = "0000000";
        char meridiem[3] = "AM";
        const int parts =
            std::sscanf(row.at("DateExtStr").c_str(), "%d/%d/%d %d:%d:%d.%7[0-9] %2s", &month, &day,
                        &year, &hour, &minute, &second, fraction, meridiem);
        if (parts >= 6 && std::string(meridiem) == "PM" && hour < 12) hour += 12;
        if (parts >= 6 && std::string(meridiem) == "AM" && hour == 12) hour = 0;
        char expected[64];
        std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d.%s", year, month,
                      day, hour, minute, second, fraction);
        EXPECT_EQ(row.at("DateExt"), extendedDateText(expected)) << row.at("DateExtStr");
        ++compared;
    }
    EXPECT_GE(compared, 4);
}

// Calculated columns hold the results Access computed; the inputs sit in the same row.
TEST(ExportFixtures, CalculatedColumnsHoldAccessResults) {
    if (!fs::exists(kFixtureFolder / "calcFieldTestV2010.accdb")) {
        GTEST_SKIP() << "fixture calcFieldTestV2010.accdb missing";
    }
    const auto rows = fixtureRows("calcFieldTestV2010.accdb", "Table1");
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) {
        EXPECT_EQ(row.at("LastFirst"), row.at("LastName") + ", " + row.at("FirstName"));
        EXPECT_EQ(row.at("LastFirstLen"), std::to_string(row.at("LastFirst").size()));
        EXPECT_EQ(row.at("SalaryTest"), row.at("Salary"));
        EXPECT_EQ(row.at("DecimalTest"), row.at("Popularity"));
        EXPECT_EQ(row.at("AllNames"), row.at("LastFirst") + "=" + row.at("LastFirst"));
    }
    EXPECT_EQ(rows[0].at("Salary"), "1000000.0000");
    EXPECT_EQ(rows[0].at("MonthlySalary"), "83333.3333");
    EXPECT_EQ(rows[0].at("IsRich"), "1");
    EXPECT_EQ(rows[1].at("Popularity"), "-36.222200");
}

// The same through the target scripts, which make calculated fields generated columns: the
// engines compute those, so the export leaves them out of its rows.
TEST(ExportFixtures, CalculatedColumnsBecomeTheTargetsOwn) {
    if (!fs::exists(kFixtureFolder / "calcFieldTestV2010.accdb")) {
        GTEST_SKIP() << "fixture calcFieldTestV2010.accdb missing";
    }
    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    TemporaryFolder folder;
    for (const Target target : {Target::Sqlite, Target::Postgresql}) {
        ExportRequest request;
        request.target = target;
        const std::string pgDatabase = target == Target::Sqlite ? "" : cluster.createDatabase();
        request.destination = target == Target::Sqlite ? (folder.path() / "calc.sqlite").string()
                                                       : cluster.conninfo(pgDatabase);
        const ExportResult result =
            exportFile(kFixtureFolder / "calcFieldTestV2010.accdb", request, {"Table1"}, true);
        ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
        const std::string sql = R"(SELECT "LastFirst" FROM "Table1" ORDER BY "ID")";
        zl::testing::QueryRows rows;
        if (target == Target::Sqlite) {
            zl::testing::SqliteDb sqlite(request.destination);
            rows = sqlite.query(sql);
        } else {
            rows = cluster.query(pgDatabase, sql);
        }
        ASSERT_TRUE(rows.ok) << rows.error;
        ASSERT_EQ(rows.rows.size(), 4u);
        EXPECT_EQ(rows.rows[0][0], "Wayne, Bruce");
    }
}

}  // namespace
}  // namespace zl::exporter::testing
