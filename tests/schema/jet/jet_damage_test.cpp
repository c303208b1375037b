// Damaged files: every case must end in a clean EngineError naming what is wrong, never a
// crash, a hang or another exception.
#include <gtest/gtest.h>

#include <random>

#include "common/test_names.h"
#include "schema/jet/header_page.h"
#include "schema/jet/jet_database.h"
#include "test_database.h"

namespace zl::schema::jet {
namespace {

using test::ByteVector;
using test::kPageSize;

// Reads everything the engine offers; returns "" on success or the EngineError description.
std::string readAll(ByteVector bytes) {
    try {
        auto database =
            openJetDatabase(std::make_unique<MemoryPageSource>(std::move(bytes)), "x.mdb");
        for (const TableListRow& row : database->listTables()) {
            if (row.isQueryDef()) {
                (void)database->openQueryDef(row.name);
                continue;
            }
            auto def = database->tableDef(row.name);
            for (int i = 0; i < def->fieldCount(); ++i) {
                (void)def->field(i);
            }
            for (int i = 0; i < def->indexCount(); ++i) {
                (void)def->index(i);
            }
        }
    } catch (const EngineError& error) {
        return error.description();
    }
    return "";
}

// A database with one small table ("ID", index "PK") on page 7, its properties on page 8.
ByteVector sampleDatabase() {
    test::TableSpec table{"T",
                          0,
                          {{"ID", 0x04}},
                          {{"PK", {{"ID", true}}, 0x09, 1, 0}},
                          test::PropertyBlob().column("ID").boolean("Required", true).build(),
                          true};
    test::TestDatabase builder;
    builder.table(table);
    builder.query(
        {"Q", 0, {{1, std::nullopt, 1}, {5, std::nullopt, std::nullopt, "T"}, {6, "T.ID"}}});
    return builder.build();
}

constexpr std::size_t kTablePage = test::kFirstTablePage;
constexpr std::size_t kPropertyPage = kTablePage + 1;

std::size_t at(std::size_t page, std::size_t offset) { return page * kPageSize + offset; }

void put16(ByteVector& bytes, std::size_t offset, unsigned value) {
    bytes.at(offset) = static_cast<std::byte>(value & 0xFF);
    bytes.at(offset + 1) = static_cast<std::byte>((value >> 8) & 0xFF);
}

void put32(ByteVector& bytes, std::size_t offset, std::uint32_t value) {
    put16(bytes, offset, value & 0xFFFF);
    put16(bytes, offset + 2, value >> 16);
}

// Where row `row` of data page `page` starts.
std::size_t rowStart(const ByteVector& bytes, std::size_t page, std::size_t row) {
    const std::size_t entry = at(page, 14 + 2 * row);
    return (std::to_integer<std::size_t>(bytes[entry]) |
            (std::to_integer<std::size_t>(bytes[entry + 1]) << 8)) &
           0x1FFF;
}

// Rewrites a masked header field: unmask, change, mask again.
void patchHeader(ByteVector& bytes, std::size_t offset, std::uint8_t value) {
    std::vector<std::uint8_t> clear(0x98);
    for (std::size_t i = 0; i < clear.size(); ++i) {
        clear[i] = std::to_integer<std::uint8_t>(bytes[i]);
    }
    toggleHeaderMask(clear, JetVersion::Jet4);
    clear.at(offset) = value;
    toggleHeaderMask(clear, JetVersion::Jet4);
    for (std::size_t i = 0; i < clear.size(); ++i) {
        bytes[i] = static_cast<std::byte>(clear[i]);
    }
}

TEST(JetDamageTest, SampleDatabaseReadsCleanly) { EXPECT_EQ(readAll(sampleDatabase()), ""); }

struct Damage {
    const char* what;
    std::function<void(ByteVector&)> apply;
    const char* expected;  // part of the description
};

class JetDamageCaseTest : public testing::TestWithParam<Damage> {};

TEST_P(JetDamageCaseTest, EndsInACleanError) {
    ByteVector bytes = sampleDatabase();
    GetParam().apply(bytes);
    const std::string description = readAll(std::move(bytes));
    EXPECT_NE(description.find(GetParam().expected), std::string::npos)
        << GetParam().what << ": " << description;
}

const Damage kDamages[] = {
    {"empty file", [](ByteVector& b) { b.clear(); }, "not a Microsoft Access database"},
    {"engine name", [](ByteVector& b) { b[4] = std::byte{'X'}; },
     "not a Microsoft Access database"},
    {"future version", [](ByteVector& b) { b[0x14] = std::byte{9}; }, "newer than this program"},
    {"encrypted", [](ByteVector& b) { patchHeader(b, 0x3E, 1); }, "encrypted"},
    {"password", [](ByteVector& b) { patchHeader(b, 0x42, 'p'); }, "password"},
    {"two pages only", [](ByteVector& b) { b.resize(2 * kPageSize); }, "too short"},
    {"catalog cut off", [](ByteVector& b) { b.resize(4 * kPageSize); }, "past the end of the file"},
    {"catalog page type", [](ByteVector& b) { b[at(2, 0)] = std::byte{1}; },
     "page 2 +0x0: page type 1, expected a table definition page"},
    {"column count", [](ByteVector& b) { put16(b, at(2, 0x2D), 5000); },
     "page 2 +0x2D: column count 5000 exceeds 4096"},
    {"logical index count", [](ByteVector& b) { put32(b, at(2, 0x2F), 0xFFFFFFFF); },
     "logical index count 4294967295 needs"},
    {"physical index count", [](ByteVector& b) { put32(b, at(2, 0x33), 0x7FFFFFFF); },
     "physical index count 2147483647 needs"},
    {"definition cycle", [](ByteVector& b) { put32(b, at(2, 4), 2); },
     "form a cycle back to page 2"},
    {"definition chain past end", [](ByteVector& b) { put32(b, at(2, 4), 99999); },
     "table definition page 99999 is past the end"},
    {"usage map type", [](ByteVector& b) { b[at(3, kPageSize - 69)] = std::byte{7}; },
     "usage map type 7, expected 0 or 1"},
    {"usage map start", [](ByteVector& b) { put32(b, at(3, kPageSize - 68), 0x00FFFFF0); },
     "usage map marks page 16777204, past the end"},
    {"catalog row count", [](ByteVector& b) { put16(b, at(4, 12), 0xFFFF); },
     "page 4 +0xC: row count 65535 does not fit the page"},
    {"catalog row offset", [](ByteVector& b) { put16(b, at(4, 14), 5); }, "outside the row area"},
    {"catalog row moved to itself",
     [](ByteVector& b) {
         // Row 0 flagged "moved", pointing at page 4 row 0.
         const std::size_t start = rowStart(b, 4, 0);
         put16(b, at(4, 14), static_cast<unsigned>(start) | 0x4000);
         put32(b, at(4, start), 0x00000400);
     },
     "moved rows form a cycle"},
    {"moved row into a deleted row past the page",
     [](ByteVector& b) {
         const std::size_t start = rowStart(b, 4, 0);
         put16(b, at(4, 14), static_cast<unsigned>(start) | 0x4000);
         put32(b, at(4, start), (4u << 8) | 2);
         put16(b, at(4, 16), 0x8000 | 0x1F00);
         put16(b, at(4, 18), 0x8000 | 0x1E00);
     },
     "row 2 spans 7680..7936, outside the row area"},
    {"row column count", [](ByteVector& b) { put16(b, at(4, rowStart(b, 4, 0)), 0xFFFF); },
     "cannot hold 65535 columns"},
    {"table definition type", [](ByteVector& b) { b[at(kTablePage, 0)] = std::byte{1}; },
     "definition of table \"T\" is damaged"},
    {"index key column", [](ByteVector& b) { put16(b, at(kTablePage, 110), 42); },
     "refers to column number 42, which the table does not have"},
    {"logical index physical number", [](ByteVector& b) { put32(b, at(kTablePage, 166), 50); },
     "uses physical index 50, the table has 1"},
    {"property blob magic",
     [](ByteVector& b) { b[at(kPropertyPage, rowStart(b, kPropertyPage, 0))] = b[0]; },
     "does not start with MR2"},
    {"property page type", [](ByteVector& b) { b[at(kPropertyPage, 0)] = std::byte{4}; },
     "expected a data page"},
    {"saved query table damaged", [](ByteVector& b) { b[at(5, 0)] = std::byte{0}; },
     "page 5 +0x0: page type 0, expected a table definition page"},
};

std::string damageName(const testing::TestParamInfo<Damage>& info) {
    return testNameOf(info.param.what);
}

INSTANTIATE_TEST_SUITE_P(Cases, JetDamageCaseTest, testing::ValuesIn(kDamages), damageName);

TEST(JetDamageTest, EveryTruncationEndsCleanly) {
    const ByteVector full = sampleDatabase();
    for (std::size_t length = 0; length < full.size(); length += 97) {
        const std::string description =
            readAll(ByteVector(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_FALSE(description.empty()) << "length " << length;
    }
}

TEST(JetDamageTest, RandomByteChangesNeverEscapeAsOtherFailures) {
    const ByteVector full = sampleDatabase();
    std::mt19937 random(20240611);
    std::uniform_int_distribution<std::size_t> offset(0, 9 * kPageSize - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int round = 0; round < 400; ++round) {
        ByteVector bytes = full;
        for (int change = 0; change < 8; ++change) {
            bytes[offset(random)] = static_cast<std::byte>(value(random));
        }
        EXPECT_NO_FATAL_FAILURE((void)readAll(std::move(bytes)));  // only EngineError is caught
    }
}

}  // namespace
}  // namespace zl::schema::jet
