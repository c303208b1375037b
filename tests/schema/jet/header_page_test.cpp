// Header page: which generations are recognised, and what is refused with which words.
#include "schema/jet/header_page.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace zl::schema::jet {
namespace {

// A header page of `version` with clear fields set by `edit`, masked as in a real file.
std::vector<std::byte> header(int version, const char* engine,
                              const std::function<void(std::vector<std::uint8_t>&)>& edit = {}) {
    std::vector<std::uint8_t> clear(4096);
    clear[1] = 0x01;
    std::memcpy(clear.data() + 4, engine, std::strlen(engine));
    clear[0x14] = static_cast<std::uint8_t>(version);
    clear[0x3C] = 0xE4;  // code page 1252
    clear[0x3D] = 0x04;
    const bool jet3 = version == 0;
    clear[jet3 ? 0x3A : 0x6E] = 0x1D;  // 1053, Swedish/Finnish
    clear[jet3 ? 0x3B : 0x6F] = 0x04;
    if (edit) {
        edit(clear);
    }
    toggleHeaderMask(clear, jet3 ? JetVersion::Jet3 : JetVersion::Jet4);
    std::vector<std::byte> page(clear.size());
    std::transform(clear.begin(), clear.end(), page.begin(),
                   [](std::uint8_t b) { return std::byte{b}; });
    return page;
}

constexpr std::uint64_t kManyPages = 100 * 4096;

TEST(HeaderPageTest, RecognisesEveryGeneration) {
    const std::vector<std::tuple<int, const char*, JetVersion>> cases = {
        {0, "Standard Jet DB", JetVersion::Jet3}, {1, "Standard Jet DB", JetVersion::Jet4},
        {2, "Standard ACE DB", JetVersion::Ace},  {3, "Standard ACE DB", JetVersion::Ace},
        {5, "Standard ACE DB", JetVersion::Ace},  {6, "Standard ACE DB", JetVersion::Ace},
    };
    for (const auto& [version, engine, expected] : cases) {
        const Result<HeaderInfo> info = parseHeader(header(version, engine), kManyPages);
        ASSERT_TRUE(info.ok()) << version << ": " << info.error().message;
        EXPECT_EQ(info->version, expected);
        EXPECT_EQ(info->codePage, 1252);
        EXPECT_EQ(info->collatingOrder, 1053) << version;
        EXPECT_EQ(info->pageCount, version == 0 ? 200u : 100u);
    }
}

TEST(HeaderPageTest, AZeroSortOrderMeansGeneral) {
    const auto page =
        header(1, "Standard Jet DB", [](auto& clear) { clear[0x6E] = clear[0x6F] = 0; });
    EXPECT_EQ(parseHeader(page, kManyPages)->collatingOrder, 1033);
}

TEST(HeaderPageTest, TheCreationDateMasksTheJet4Password) {
    // Date 40000.75: whole days 40000 = 0x9C40, the mask for the password bytes.
    const auto maskedEmpty = header(1, "Standard Jet DB", [](auto& clear) {
        const double date = 40000.75;
        std::memcpy(clear.data() + 0x72, &date, sizeof date);
        for (std::size_t i = 0; i < 40; ++i) {
            clear[0x42 + i] = std::array<std::uint8_t, 4>{0x40, 0x9C, 0, 0}[i % 4];
        }
    });
    EXPECT_TRUE(parseHeader(maskedEmpty, kManyPages).ok());
}

struct Refusal {
    const char* what;
    std::vector<std::byte> page;
    std::uint64_t size;
    ErrorKind kind;
    const char* expected;
};

TEST(HeaderPageTest, RefusesWhatItCannotRead) {
    auto set = [](std::size_t offset, std::uint8_t value) {
        return [=](std::vector<std::uint8_t>& clear) { clear[offset] = value; };
    };
    const std::vector<Refusal> cases = {
        {"text file", std::vector<std::byte>(4096, std::byte{'x'}), kManyPages,
         ErrorKind::NotDatabase, "The file is not a Microsoft Access database."},
        {"other engine", header(1, "Standard XYZ DB"), kManyPages, ErrorKind::NotDatabase,
         "not a Microsoft Access"},
        {"money file", header(1, "MSISAM Database"), kManyPages, ErrorKind::Unsupported, "MSISAM"},
        {"future format", header(7, "Standard ACE DB"), kManyPages, ErrorKind::Unsupported,
         "newer than this program knows (format 7)"},
        {"Jet 3 encoded", header(0, "Standard Jet DB", set(0x3E, 0x12)), kManyPages,
         ErrorKind::Unsupported, "The database is encrypted"},
        {"ACE encrypted", header(3, "Standard ACE DB", set(0x41, 0x80)), kManyPages,
         ErrorKind::Unsupported, "The database is encrypted"},
        {"Jet 3 password", header(0, "Standard Jet DB", set(0x42 + 19, 'z')), kManyPages,
         ErrorKind::Unsupported, "protected by a password"},
        {"Jet 4 password", header(1, "Standard Jet DB", set(0x42, 's')), kManyPages,
         ErrorKind::Unsupported, "protected by a password"},
        {"two pages", header(1, "Standard Jet DB"), 2 * 4096, ErrorKind::Corrupt, "too short"},
    };
    for (const Refusal& c : cases) {
        const Result<HeaderInfo> info = parseHeader(c.page, c.size);
        ASSERT_FALSE(info.ok()) << c.what;
        EXPECT_EQ(info.error().kind, c.kind) << c.what;
        EXPECT_NE(info.error().message.find(c.expected), std::string::npos)
            << c.what << ": " << info.error().message;
    }
}

TEST(HeaderPageTest, ShortSourcesAreNotDatabases) {
    MemoryPageSource tiny(std::vector<std::byte>(20));
    const Result<HeaderInfo> info = readHeader(tiny);
    ASSERT_FALSE(info.ok());
    EXPECT_EQ(info.error().kind, ErrorKind::NotDatabase);
}

}  // namespace
}  // namespace zl::schema::jet
