// Replays every input the fuzzer ever failed on (fuzz/regressions, sparse hex dumps) through the
// fuzz target's own code, without the fuzzer runtime: each must end without a crash or an
// exception other than EngineError.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../../../fuzz/jet_fuzz_body.h"
#include "common/test_names.h"

namespace zl::schema::jet {
namespace {

namespace fs = std::filesystem;

const fs::path kRegressionFolder = "fuzz/regressions";
constexpr char kNoInputs[] = "none";
// Replayed inputs stay small; a larger size line is a damaged dump, not an input.
constexpr std::size_t kMaxInputSize = 64u << 20;

std::vector<std::string> regressionNames() {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(kRegressionFolder, error)) {
        if (item.path().extension() == ".hex") {
            names.push_back(item.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    if (names.empty()) {
        names.push_back(kNoInputs);
    }
    return names;
}

// Reads a sparse hex dump: "#" comment lines, one "size N" line, then "OFFSET: XX XX ..." lines
// (hex offset); bytes no line mentions are zero.
std::vector<std::uint8_t> readSparseHex(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        if (line.rfind("size ", 0) == 0) {
            std::string word;
            std::size_t size = 0;
            fields >> word >> size;
            if (size > kMaxInputSize) {
                throw std::runtime_error("size line too large in " + path.string());
            }
            bytes.assign(size, 0);
            continue;
        }
        std::string offsetText;
        fields >> offsetText;
        std::size_t offset = std::stoul(offsetText, nullptr, 16);
        std::string byteText;
        while (fields >> byteText) {
            if (offset >= bytes.size()) {
                throw std::runtime_error("byte past the size line in " + path.string());
            }
            bytes[offset++] = static_cast<std::uint8_t>(std::stoul(byteText, nullptr, 16));
        }
    }
    return bytes;
}

class JetFuzzReplayTest : public testing::TestWithParam<std::string> {};

TEST_P(JetFuzzReplayTest, EndsWithoutAFault) {
    if (GetParam() == kNoInputs) {
        GTEST_SKIP() << "no inputs in " << kRegressionFolder;
    }
    const std::vector<std::uint8_t> input = readSparseHex(kRegressionFolder / GetParam());
    EXPECT_NO_THROW(exerciseDatabase(input.data(), input.size()));
}

std::string testName(const testing::TestParamInfo<std::string>& info) {
    return testNameOf(info.param);
}

INSTANTIATE_TEST_SUITE_P(Regressions, JetFuzzReplayTest, testing::ValuesIn(regressionNames()),
                         testName);

}  // namespace
}  // namespace zl::schema::jet
