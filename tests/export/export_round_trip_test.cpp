// Round trip through the real engines: a writer-made database with every type and edge value is
// exported to SQLite and to PostgreSQL, read back through each engine's own client library, and
// every value compared with what was written.
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "common/pg_cluster.h"
#include "export/exporter.h"
#include "export/value_text.h"
#include "export_databases.h"
#include "jetwrite/database_writer.h"

namespace zl::exporter::testing {
namespace {

using jetwrite::FieldType;

// The same through libpq; PostgreSQL's own text forms are brought to the compared form.
Table readPostgres(const std::string& conninfo, const std::string& qualified,
                   const std::vector<FieldType>& types) {
    PGconn* conn = PQconnectdb(conninfo.c_str());
    EXPECT_EQ(PQstatus(conn), CONNECTION_OK) << PQerrorMessage(conn);
    PGresult* result = PQexec(
        conn, ("SET extra_float_digits = 1; SELECT * FROM " + qualified + " ORDER BY 1").c_str());
    EXPECT_EQ(PQresultStatus(result), PGRES_TUPLES_OK) << PQerrorMessage(conn);
    Table rows;
    for (int r = 0; r < PQntuples(result); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < PQnfields(result); ++c) {
            if (PQgetisnull(result, r, c)) {
                row.push_back("<null>");
                continue;
            }
            std::string text(PQgetvalue(result, r, c),
                             static_cast<std::size_t>(PQgetlength(result, r, c)));
            switch (types[static_cast<std::size_t>(c)]) {
                case FieldType::Boolean:
                    text = text == "t" ? "1" : "0";
                    break;
                case FieldType::Single:
                    text = realText(static_cast<double>(std::strtof(text.c_str(), nullptr)), false);
                    break;
                case FieldType::Double:
                    text = realText(std::strtod(text.c_str(), nullptr), false);
                    break;
                default:
                    break;
            }
            row.push_back(std::move(text));
        }
        rows.push_back(std::move(row));
    }
    PQclear(result);
    PQfinish(conn);
    return rows;
}

class ExportRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        m_database = everyTypeDatabase();
        m_source = m_folder.path() / "every.mdb";
        jetwrite::writeDatabase(m_database, m_source);
        for (const auto& field : m_database.tables[0].fields) m_types.push_back(field.type);
    }
    // Compares every row and value with the description.
    void expectRows(const Table& rows, bool postgres) {
        const auto& written = m_database.tables[0].rows;
        ASSERT_EQ(rows.size(), written.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            ASSERT_EQ(rows[r].size(), m_types.size());
            for (std::size_t c = 0; c < m_types.size(); ++c) {
                EXPECT_EQ(rows[r][c], expectedText(m_types[c], written[r][c], postgres))
                    << "row " << r + 1 << " column " << m_database.tables[0].fields[c].name;
            }
        }
    }

    TemporaryFolder m_folder;
    jetwrite::DatabaseDescription m_database;
    std::filesystem::path m_source;
    std::vector<FieldType> m_types;
};

TEST_F(ExportRoundTrip, SqliteHoldsEveryValueExactly) {
    ExportRequest request;
    request.destination = (m_folder.path() / "out.sqlite").string();
    const ExportResult result = exportFile(m_source, request);
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    EXPECT_EQ(result.rowsWritten, 5u);
    expectRows(readSqlite(request.destination, "Every Type"), false);
    // Dates as written, independent of the date formatting under test: before 1899-12-30 the
    // time of day keeps its own sign (-1.5 is noon of 1899-12-29).
    std::vector<std::string> dates;
    for (const auto& row : readSqlite(request.destination, "Every Type")) dates.push_back(row[8]);
    EXPECT_EQ(dates,
              (std::vector<std::string>{"1753-01-01 00:00:00", "1899-12-29 12:00:00",
                                        "0100-01-01 23:59:59", "<null>", "2024-02-29 13:14:15"}));
    // The one value SQLite cannot hold exactly, the -0.0 of row 5, is in the ledger.
    ASSERT_EQ(result.ledger.count(), 1u);
    EXPECT_EQ(result.ledger.items()[0].field, "Float");
    EXPECT_EQ(result.ledger.items()[0].row, "ID=5");
}

TEST_F(ExportRoundTrip, PostgresHoldsEveryValueAndNotesTheNulCharacter) {
    zl::testing::PgCluster& cluster = zl::testing::PgCluster::shared();
    ASSERT_TRUE(cluster.ok()) << cluster.error();
    const std::string database = cluster.createDatabase();
    ExportRequest request;
    request.target = Target::Postgresql;
    request.destination = cluster.conninfo(database);
    request.schema = "Imported";
    const ExportResult result = exportFile(m_source, request);
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    expectRows(readPostgres(request.destination, "\"Imported\".\"Every Type\"", m_types), true);
    // The U+0000 of row 5 and the seventh fractional digits of extended dates are what
    // PostgreSQL cannot hold: one ledger item each.
    std::vector<std::string> noted;
    for (const LedgerItem& item : result.ledger.items())
        noted.push_back(item.field + " " + item.row);
    EXPECT_EQ(noted,
              (std::vector<std::string>{"Stamp ID=1", "Stamp ID=3", "Notes ID=5", "Stamp ID=5"}));
    // The identity continues past the largest id.
    const auto next = cluster.query(database,
                                    "INSERT INTO \"Imported\".\"Every Type\" (\"Flag\") "
                                    "VALUES (true) RETURNING \"ID\"");
    ASSERT_TRUE(next.ok) << next.error;
    EXPECT_EQ(next.rows.at(0).at(0), "6");
}

TEST_F(ExportRoundTrip, ExistingFileIsRefusedWithoutForceAndReplacedWithIt) {
    const auto target = m_folder.path() / "out.sqlite";
    std::ofstream(target) << "keep me";
    ExportRequest request;
    request.destination = target.string();
    ExportResult result = exportFile(m_source, request);
    EXPECT_EQ(result.status, ExportStatus::Failed);
    EXPECT_NE(result.message.find("--force"), std::string::npos);
    std::ifstream kept(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep me");
    request.force = true;
    result = exportFile(m_source, request);
    ASSERT_EQ(result.status, ExportStatus::Ok) << result.message;
    EXPECT_EQ(readSqlite(target, "Every Type").size(), 5u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_folder.path()), {}), 2)
        << "a temporary file was left beside the result";
}

}  // namespace
}  // namespace zl::exporter::testing
