// Random damage inside the data pages of a writer-made file: every export ends either complete
// or with a clear message, never with a crash or a hang, and a failed one leaves no file behind.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>
#include <utility>

#include "export/exporter.h"
#include "export_databases.h"
#include "jetwrite/database_writer.h"
#include "jetwrite/edge_databases.h"
#include "schema/jet/jet_engine.h"

namespace zl::exporter::testing {
namespace {

constexpr std::size_t kPageSize = 4096;
constexpr int kTrials = 300;

std::vector<char> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The data pages (type 0x01) that do not hold the catalog (owner page 2), which the export
// reads row by row.
std::vector<std::size_t> dataPages(const std::vector<char>& file) {
    std::vector<std::size_t> pages;
    for (std::size_t page = 1; page * kPageSize < file.size(); ++page) {
        const char* bytes = file.data() + page * kPageSize;
        if (bytes[0] == 0x01 &&
            !(bytes[4] == 2 && bytes[5] == 0 && bytes[6] == 0 && bytes[7] == 0)) {
            pages.push_back(page);
        }
    }
    return pages;
}

// Exports `table` of `file` to `target`; a database that does not open counts as a clear
// failure.
ExportResult exportDamaged(const std::filesystem::path& file, const std::filesystem::path& target,
                           const std::string& table = "Every Type") {
    ExportResult result;
    try {
        ExportRequest request;
        request.destination = target.string();
        request.noConstraints = true;  // damage may well break keys; the rows are what is tested
        return exportFile(file, request, {table});
    } catch (const schema::EngineError& error) {
        result.status = ExportStatus::Failed;
        result.message = error.description();
    }
    return result;
}

TEST(ExportDamage, DamagedDataPagesEndInAClearErrorAndLeaveNoFile) {
    TemporaryFolder folder;
    jetwrite::DatabaseDescription database = everyTypeDatabase();
    database.tables[0].rows.erase(database.tables[0].rows.begin() + 2);  // the 5 MB values
    const auto clean = folder.path() / "clean.mdb";
    jetwrite::writeDatabase(database, clean);
    const std::vector<char> original = readFile(clean);
    const std::vector<std::size_t> pages = dataPages(original);
    ASSERT_FALSE(pages.empty());

    std::mt19937 random(20261207);
    int failures = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        std::vector<char> damaged = original;
        const std::size_t page = pages[random() % pages.size()];
        const int hits = 1 + static_cast<int>(random() % 8);
        for (int hit = 0; hit < hits; ++hit) {
            damaged[page * kPageSize + random() % kPageSize] = static_cast<char>(random());
        }
        const auto file = folder.path() / "damaged.mdb";
        std::ofstream(file, std::ios::binary)
            .write(damaged.data(), static_cast<std::streamsize>(damaged.size()));
        const auto target = folder.path() / "out.sqlite";
        std::filesystem::remove(target);
        const ExportResult result = exportDamaged(file, target);
        if (result.status != ExportStatus::Ok) {
            ++failures;
            EXPECT_EQ(result.status, ExportStatus::Failed) << "trial " << trial;
            EXPECT_FALSE(result.message.empty()) << "trial " << trial;
            EXPECT_FALSE(std::filesystem::exists(target)) << "trial " << trial;
        }
        // Nothing but the two databases (and a finished export) may be in the folder.
        EXPECT_LE(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3)
            << "trial " << trial << " left a file behind";
    }
    EXPECT_GT(failures, 0) << "no damage was ever noticed; the test damages nothing";
}

// A table of many rows, read ahead of the writing in batches: damage on its last data page
// surfaces only after thousands of rows are written.
jetwrite::DatabaseDescription manyRows() {
    jetwrite::TableDescription table;
    table.name = "Many";
    table.fields = {jetwrite::testing::field("ID", jetwrite::FieldType::Long),
                    jetwrite::testing::field("Name", jetwrite::FieldType::Text, 40)};
    table.generatedRows =
        jetwrite::RowGenerator{5000, [](std::size_t i) {
                                   return std::vector<jetwrite::Value>{static_cast<std::int64_t>(i),
                                                                       "name " + std::to_string(i)};
                               }};
    jetwrite::DatabaseDescription database;
    database.tables.push_back(std::move(table));
    return database;
}

TEST(ExportDamage, MessageNamesTableAndPage) {
    jetwrite::DatabaseDescription everyType = everyTypeDatabase();
    everyType.tables[0].rows.erase(everyType.tables[0].rows.begin() + 2);
    const std::vector<std::pair<std::string, jetwrite::DatabaseDescription>> cases = {
        {"Every Type", everyType}, {"Many", manyRows()}};
    for (const auto& [table, database] : cases) {
        TemporaryFolder folder;
        const auto file = folder.path() / "bad.mdb";
        jetwrite::writeDatabase(database, file);
        std::vector<char> bytes = readFile(file);
        // The user table is written last, so its data pages have the highest owner (long value
        // pages carry "LVAL" there instead) and its last rows lie on the last such page. That
        // page's first row's directory entry is made to point at its last byte, leaving too
        // little for a row.
        std::size_t page = 0;
        std::uint32_t highest = 0;
        for (const std::size_t candidate : dataPages(bytes)) {
            std::uint32_t owner = 0;
            std::memcpy(&owner, bytes.data() + candidate * kPageSize + 4, 4);
            if (std::memcmp(bytes.data() + candidate * kPageSize + 4, "LVAL", 4) != 0 &&
                owner >= highest) {
                highest = owner;
                page = candidate;
            }
        }
        char* entry = bytes.data() + page * kPageSize + 14;
        entry[0] = static_cast<char>(0xFF);
        entry[1] = 0x0F;
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const auto target = folder.path() / "out.sqlite";
        const ExportResult result = exportDamaged(file, target, table);
        ASSERT_EQ(result.status, ExportStatus::Failed) << table;
        EXPECT_NE(result.message.find("\"" + table + "\""), std::string::npos) << result.message;
        EXPECT_NE(result.message.find("page " + std::to_string(page)), std::string::npos)
            << result.message;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
            << table << ": a file was left behind";
    }
}

}  // namespace
}  // namespace zl::exporter::testing
