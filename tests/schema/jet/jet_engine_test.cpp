// Opening files: read-only copies open, nothing about the file changes, names are absolute,
// and files that cannot be opened say why.
#include "schema/jet/jet_engine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <thread>

#include "common/temporary_folder.h"
#include "test_database.h"

namespace zl::schema::jet {
namespace {

namespace fs = std::filesystem;

struct timespec modificationTime(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mtim;
}

class JetEngineTest : public ::testing::Test {
protected:
    // A read-only database file in the test's folder.
    fs::path readOnlyDatabase() {
        test::TestDatabase builder;
        builder.table(
            {"Orders",
             0,
             {{"ID", 0x04, 0, 0x06}, {"Note", 0x0C}},
             {{"PrimaryKey", {{"ID", true}}, 0x09, 1}},
             test::PropertyBlob().column("Note").boolean("AllowZeroLength", true).build()});
        builder.query({"Recent", 0, {{1, std::nullopt, 0}}});
        const fs::path path = m_folder / "orders.mdb";
        const test::ByteVector bytes = builder.build();
        std::ofstream out(path, std::ios::binary);
        for (const std::byte b : bytes) {
            out.put(static_cast<char>(b));
        }
        out.close();
        fs::permissions(path,
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        return path;
    }

    zl::testing::TemporaryFolder m_temporary;
    fs::path m_folder = m_temporary.path();
};

void readEverything(Database& database) {
    for (const TableListRow& row : database.listTables()) {
        if (row.isQueryDef()) {
            try {
                (void)database.openQueryDef(row.name)->sql();
            } catch (const EngineError&) {
                // The saved rows here are not a whole query; reading them is what counts.
            }
            continue;
        }
        auto table = database.tableDef(row.name);
        for (int i = 0; i < table->fieldCount(); ++i) {
            (void)table->field(i);
        }
        for (int i = 0; i < table->indexCount(); ++i) {
            (void)table->index(i);
        }
    }
}

TEST_F(JetEngineTest, ReadOnlyFileOpensAndStaysUntouched) {
    const fs::path path = readOnlyDatabase();
    const std::string before = zl::testing::readFile(path);
    const struct timespec modifiedBefore = modificationTime(path);
    JetEngine engine;
    std::unique_ptr<Database> database = engine.openDatabase(path.string());
    readEverything(*database);
    EXPECT_TRUE(database->tableDef("Orders")->field(1).allowZeroLength);
    database->close();
    database.reset();
    EXPECT_EQ(zl::testing::readFile(path), before);
    const struct timespec modifiedAfter = modificationTime(path);
    EXPECT_EQ(modifiedAfter.tv_sec, modifiedBefore.tv_sec);
    EXPECT_EQ(modifiedAfter.tv_nsec, modifiedBefore.tv_nsec);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(JetEngineTest, NameIsAbsoluteForRelativeOpens) {
    const fs::path path = readOnlyDatabase();
    const fs::path previous = fs::current_path();
    fs::current_path(m_folder);
    JetEngine engine;
    std::unique_ptr<Database> database;
    EXPECT_NO_THROW(database = engine.openDatabase("./sub/../orders.mdb"));
    fs::current_path(previous);
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(database->name(), path.string());
}

// The description of the EngineError that opening `path` throws, on a thread given a few
// seconds: a path that blocks the open (a pipe without a writer) fails the test instead of
// hanging it.
std::string openFailure(const fs::path& path) {
    auto outcome = std::make_shared<std::promise<std::string>>();
    std::future<std::string> done = outcome->get_future();
    std::thread([outcome, path] {
        try {
            JetEngine engine;
            engine.openDatabase(path.string());
            outcome->set_value("opened");
        } catch (const EngineError& error) {
            outcome->set_value(error.description());
        }
    }).detach();
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        return "still opening after 10 seconds";
    }
    return done.get();
}

TEST_F(JetEngineTest, FilesThatCannotBeOpenedSayWhy) {
    const fs::path missing = m_folder / "missing.mdb";
    std::ofstream(m_folder / "notes.txt") << "just some text, not a database at all";
    const fs::path pipe = m_folder / "pipe.mdb";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::vector<std::pair<fs::path, std::string>> cases = {
        {missing, "Cannot open \"" + missing.string() + "\": No such file or directory"},
        {m_folder, "it is a folder, not a database file"},
        {pipe, "it is a named pipe, not a database file"},
        {"/dev/null", "it is a character device, not a database file"},
        {m_folder / "notes.txt", "The file is not a Microsoft Access database."},
    };
    for (const auto& [path, expected] : cases) {
        const std::string failure = openFailure(path);
        EXPECT_NE(failure.find(expected), std::string::npos) << path << ": " << failure;
    }
}

}  // namespace
}  // namespace zl::schema::jet
