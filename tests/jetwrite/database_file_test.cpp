// The file as a whole: the masked header, the global page map, saving through a file beside the
// target, and files that are the same for the same description.
#include <gtest/gtest.h>

#include <fstream>

#include "common/temporary_folder.h"
#include "jetwrite/database_writer.h"
#include "jetwrite/edge_databases.h"
#include "jetwrite/rc4.h"
#include "jetwrite/write_error.h"

namespace zl::jetwrite::testing {
namespace {

using zl::testing::TemporaryFolder;

std::uint32_t le32(const Bytes& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::to_integer<std::uint32_t>(bytes.at(offset + i)) << (8 * i);
    return value;
}

TEST(Rc4, MatchesThePublishedTestVector) {
    const std::uint8_t key[] = {'K', 'e', 'y'};
    EXPECT_EQ(rc4KeyStream(key, 5), (std::vector<std::uint8_t>{0xEB, 0x9F, 0x77, 0x81, 0xB7}));
}

TEST(DatabaseFile, HeaderNamesJet4AndHidesItsFieldsUnderTheKeyStream) {
    DatabaseDescription database;
    database.collatingOrder = 1053;
    const Bytes file = buildDatabase(database);
    ASSERT_EQ(file.size() % 4096, 0u);
    std::string signature;
    for (std::size_t i = 4; i < 19; ++i)
        signature += static_cast<char>(std::to_integer<unsigned char>(file[i]));
    EXPECT_EQ(signature, "Standard Jet DB");
    EXPECT_EQ(le32(file, 0x14), 1u);
    Bytes plain(file.begin(), file.begin() + 0x98);
    const std::uint8_t key[] = {0xC7, 0xDA, 0x39, 0x6B};
    const auto stream = rc4KeyStream(key, 128);
    for (std::size_t i = 0; i < 128; ++i) plain[0x18 + i] ^= std::byte{stream[i]};
    EXPECT_EQ(le32(plain, 0x3C) & 0xFFFF, 1252u) << "code page";
    EXPECT_EQ(le32(plain, 0x3E), 0u) << "no encryption key";
    EXPECT_EQ(le32(plain, 0x6E) & 0xFFFF, 1053u) << "collating order";
    // An empty password is the mask itself: the creation day, repeated.
    const std::uint32_t creationDay = 45292;  // 2024-01-01
    for (std::size_t i = 0; i < 40; i += 4) EXPECT_EQ(le32(plain, 0x42 + i), creationDay);
}

TEST(DatabaseFile, GlobalMapMarksOnlyPagesPastTheEndAsFree) {
    const Bytes file = buildDatabase(DatabaseDescription{});
    const std::size_t pages = file.size() / 4096;
    const std::size_t rowStart = 4096 + (le32(file, 4096 + 14) & 0xFFFF);
    EXPECT_EQ(std::to_integer<int>(file[rowStart]), 0) << "inline map";
    EXPECT_EQ(le32(file, rowStart + 1), 0u) << "starting at page 0";
    for (std::size_t page = 0; page < 512; ++page) {
        const bool free =
            (std::to_integer<unsigned>(file[rowStart + 5 + page / 8]) >> (page % 8)) & 1u;
        EXPECT_EQ(free, page >= pages) << "page " << page;
    }
}

TEST(DatabaseFile, SameDescriptionGivesTheSameBytes) {
    const EdgeDatabase db = fieldTypesDatabase();
    EXPECT_EQ(buildDatabase(db.description), buildDatabase(db.description));
}

TEST(DatabaseFile, FailedWriteLeavesTheTargetAsItWas) {
    TemporaryFolder folder;
    const std::filesystem::path target = folder.path() / "keep.mdb";
    std::ofstream(target) << "previous contents";
    DatabaseDescription broken;
    broken.tables = {table("T", {field("A", FieldType::Long)})};
    broken.tables[0].rows = {{std::string("not a number")}};
    EXPECT_THROW(writeDatabase(broken, target), WriteError);
    std::ifstream in(target);
    std::string contents;
    std::getline(in, contents);
    EXPECT_EQ(contents, "previous contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST(DatabaseFile, UnwritableTargetFailsWithoutLeavingATemporaryFile) {
    TemporaryFolder folder;
    const std::filesystem::path target = folder.path() / "a folder";
    std::filesystem::create_directory(target);
    EXPECT_THROW(writeDatabase(DatabaseDescription{}, target), WriteError);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST(DatabaseFile, WriteReplacesAnExistingFile) {
    TemporaryFolder folder;
    const std::filesystem::path target = folder.path() / "db.mdb";
    std::ofstream(target) << "old";
    writeDatabase(DatabaseDescription{}, target);
    EXPECT_EQ(std::filesystem::file_size(target) % 4096, 0u);
}

}  // namespace
}  // namespace zl::jetwrite::testing
