// A million writer-made rows (the export benchmark's database, made by zlmkexportdb) through the
// real programs into SQLite and PostgreSQL, read back through each engine's client library:
// the count and every value of every row against what the benchmark's database maker wrote.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "common/pg_cluster.h"
#include "common/temporary_folder.h"

namespace zl::exporter::testing {
namespace {

constexpr std::size_t kRows = 1'000'000;

// What zlmkexportdb writes into row `i`, in the written forms of the targets.
struct Expected {
    std::string customer;
    std::string amount;  // exact decimal, as few decimals as it needs
    std::string ordered;
    bool paid;
    long long quantity;
    double ratio;
    bool hasNote;
    std::string note;
};

Expected expected(std::size_t i) {
    Expected e;
    e.customer = "Customer " + std::to_string(i % 5000);
    e.amount = std::to_string(i % 100000);
    std::string cents = std::to_string(i % 100);
    while (!cents.empty() && cents.back() == '0') cents.pop_back();
    if (!cents.empty()) e.amount += "." + cents;
    using namespace std::chrono;
    const year_month_day day{sys_days{1899y / December / 30} + days{40000 + i % 3000}};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u 06:00:00", static_cast<int>(day.year()),
                  static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
    e.ordered = text;
    e.paid = i % 3 == 0;
    e.quantity = static_cast<long long>(i % 1000);
    e.ratio = static_cast<double>(i) / 7.0;
    e.hasNote = i % 10 == 0;
    if (e.hasNote) e.note = "note for order " + std::to_string(i);
    return e;
}

// numeric(19,4) shows four decimals.
std::string fourDecimals(std::string amount) {
    const std::size_t dot = amount.find('.');
    if (dot == std::string::npos) return amount + ".0000";
    amount.resize(dot + 5, '0');
    return amount;
}

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ExportMillionRows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(run(std::string(ZLMKEXPORTDB) + " " + m_source.string()), 0);
    }
    zl::testing::TemporaryFolder m_folder;
    std::filesystem::path m_source = m_folder.path() / "orders.mdb";
};

TEST_F(ExportMillionRows, EveryValueArrivesInBothEngines) {
    const std::string sqliteFile = (m_folder.path() / "orders.sqlite").string();
    ASSERT_EQ(run(std::string(ZLGEN_CLI) + " export " + m_source.string() + " --to sqlite " +
                  sqliteFile + " 2>/dev/null"),
              0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(sqliteFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* rows = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "SELECT * FROM \"Orders\" ORDER BY \"ID\"", -1, &rows, nullptr),
        SQLITE_OK);
    auto text = [&](int column) {
        const auto* value = sqlite3_column_text(rows, column);
        return std::string(value == nullptr ? "" : reinterpret_cast<const char*>(value));
    };
    std::size_t count = 0;
    for (; sqlite3_step(rows) == SQLITE_ROW; ++count) {
        const Expected e = expected(count);
        ASSERT_EQ(sqlite3_column_int64(rows, 0), static_cast<long long>(count + 1));
        ASSERT_EQ(text(1), e.customer) << "row " << count;
        ASSERT_EQ(text(2), fourDecimals(e.amount)) << "row " << count;
        ASSERT_EQ(text(3), e.ordered) << "row " << count;
        ASSERT_EQ(sqlite3_column_int64(rows, 4), e.paid ? 1 : 0) << "row " << count;
        ASSERT_EQ(sqlite3_column_int64(rows, 5), e.quantity) << "row " << count;
        ASSERT_EQ(sqlite3_column_double(rows, 6), e.ratio) << "row " << count;
        ASSERT_EQ(sqlite3_column_type(rows, 7) != SQLITE_NULL, e.hasNote) << "row " << count;
        if (e.hasNote) {
            ASSERT_EQ(text(7), e.note) << "row " << count;
        }
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    EXPECT_EQ(count, kRows);

    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    const std::string database = cluster.createDatabase();
    const std::string conninfo = cluster.conninfo(database);
    ASSERT_EQ(run(std::string(ZLGEN_CLI) + " export " + m_source.string() + " --to postgresql '" +
                  conninfo + "' 2>/dev/null"),
              0);
    PGconn* conn = PQconnectdb(conninfo.c_str());
    ASSERT_EQ(PQstatus(conn), CONNECTION_OK) << PQerrorMessage(conn);
    // One row at a time, so that a million rows need no memory of their own.
    ASSERT_EQ(PQsendQuery(conn, "SELECT * FROM \"Orders\" ORDER BY \"ID\""), 1);
    ASSERT_EQ(PQsetSingleRowMode(conn), 1);
    count = 0;
    while (PGresult* result = PQgetResult(conn)) {
        if (PQresultStatus(result) == PGRES_SINGLE_TUPLE) {
            const Expected e = expected(count);
            auto value = [&](int column) { return std::string(PQgetvalue(result, 0, column)); };
            EXPECT_EQ(value(0), std::to_string(count + 1));
            EXPECT_EQ(value(1), e.customer);
            EXPECT_EQ(value(2), fourDecimals(e.amount));
            EXPECT_EQ(value(3), e.ordered);
            EXPECT_EQ(value(4), e.paid ? "t" : "f");
            EXPECT_EQ(value(5), std::to_string(e.quantity));
            EXPECT_EQ(std::strtod(value(6).c_str(), nullptr), e.ratio);
            EXPECT_EQ(PQgetisnull(result, 0, 7) == 0, e.hasNote);
            if (e.hasNote) {
                EXPECT_EQ(value(7), e.note);
            }
            ++count;
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "first difference at row " << count - 1;
                PQclear(result);
                break;
            }
        } else {
            EXPECT_EQ(PQresultStatus(result), PGRES_TUPLES_OK) << PQresultErrorMessage(result);
        }
        PQclear(result);
    }
    PQfinish(conn);
    EXPECT_EQ(count, kRows);
}

}  // namespace
}  // namespace zl::exporter::testing
