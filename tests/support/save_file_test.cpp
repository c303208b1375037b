// Save beside, then rename: what is left behind in success and failure.
#include "support/save_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/temporary_folder.h"

namespace {

// "" for success, else the failure's text.
std::string messageOf(const zl::support::Status& saved) {
    return saved ? std::string() : saved.error().message;
}

class SaveFileTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (m_dir / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(m_dir),
                                                      std::filesystem::directory_iterator()));
    }
    zl::testing::TemporaryFolder m_folder;
    std::filesystem::path m_dir = m_folder.path();
};

TEST_F(SaveFileTest, ReplacesContentAndKeepsPermissions) {
    const std::string target = path("m.bas");
    std::ofstream(target) << std::string(5000, 'x');
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(messageOf(zl::support::saveFileReplacing(target, "new")), "");
    EXPECT_EQ(zl::testing::readFile(target), "new");
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SaveFileTest, LinkedFileIsReplacedAndLinkStays) {
    const std::string real = path("real.bas");
    const std::string link = path("link.bas");
    std::ofstream(real) << "old";
    std::filesystem::create_symlink(real, link);
    EXPECT_EQ(messageOf(zl::support::saveFileReplacing(link, "new")), "");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(zl::testing::readFile(real), "new");
}

TEST_F(SaveFileTest, FailureLeavesNothingBehind) {
    std::filesystem::create_directory(m_dir / "sub");
    EXPECT_EQ(messageOf(zl::support::saveFileReplacing(path("sub"), "x")), "Is a directory");
    EXPECT_EQ(messageOf(zl::support::saveFileReplacing(path("none") + "/f", "x")),
              "No such file or directory");
    std::ofstream(path("plain")) << "old";
    EXPECT_EQ(messageOf(zl::support::saveFileReplacing(path("plain") + "/f", "x")),
              "Not a directory");
    EXPECT_EQ(zl::testing::readFile(path("plain")), "old");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(SaveFileTest, WritableFileInReadOnlyFolderIsWrittenInPlace) {
    std::filesystem::create_directory(m_dir / "locked");
    const std::string target = (m_dir / "locked" / "m.bas").string();
    std::ofstream(target) << "old";
    ::chmod((m_dir / "locked").c_str(), 0555);
    const std::string error = messageOf(zl::support::saveFileReplacing(target, "new"));
    ::chmod((m_dir / "locked").c_str(), 0755);
    EXPECT_EQ(error, "");
    EXPECT_EQ(zl::testing::readFile(target), "new");
}

}  // namespace
