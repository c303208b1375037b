// Reading a whole schema: per fixture, open + listing + every TableDef + every QueryDef, with
// the pages read from the file as counters. Built databases of one schema with and without
// thousands of data pages show that data pages cost nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "schema/jet/jet_database.h"
#include "test_database.h"

namespace {

using namespace zl::schema;
namespace fs = std::filesystem;

using SharedBytes = std::shared_ptr<const std::vector<std::byte>>;

SharedBytes share(std::vector<std::byte> bytes) {
    return std::make_shared<const std::vector<std::byte>>(std::move(bytes));
}

std::vector<std::byte> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> chars{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::vector<std::byte> bytes(chars.size());
    std::transform(chars.begin(), chars.end(), bytes.begin(), [](char c) { return std::byte(c); });
    return bytes;
}

struct SchemaCounts {
    std::uint64_t pagesRead = 0;
    int tables = 0;
    int queries = 0;
};

// Reads everything the generators would: the work being measured.
SchemaCounts readSchema(const SharedBytes& bytes) {
    auto database = jet::openJetDatabase(std::make_unique<jet::MemoryPageSource>(bytes), "bench");
    SchemaCounts counts;
    for (const TableListRow& row : database->listTables()) {
        try {
            if (row.isQueryDef()) {
                benchmark::DoNotOptimize(database->openQueryDef(row.name)->sql());
                ++counts.queries;
            } else {
                auto table = database->tableDef(row.name);
                for (int i = 0; i < table->fieldCount(); ++i) {
                    benchmark::DoNotOptimize(table->field(i));
                }
                for (int i = 0; i < table->indexCount(); ++i) {
                    benchmark::DoNotOptimize(table->index(i));
                }
                ++counts.tables;
            }
        } catch (const EngineError&) {
            // Linked tables and queries the rebuilder refuses still cost their reads.
        }
    }
    counts.pagesRead = database->readStats().pagesRead;
    return counts;
}

void runSchema(benchmark::State& state, const SharedBytes& bytes, std::size_t pageSize) {
    SchemaCounts counts;
    for (auto _ : state) {
        counts = readSchema(bytes);
    }
    state.counters["pages_read"] = static_cast<double>(counts.pagesRead);
    state.counters["pages_in_file"] = static_cast<double>(bytes->size() / pageSize);
    state.counters["tables"] = counts.tables;
    state.counters["queries"] = counts.queries;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(counts.pagesRead * pageSize));
}

// One schema, built with no data pages and with `dataPages` of them.
std::vector<std::byte> builtDatabase(std::size_t dataPages) {
    jet::test::TableSpec table{"Orders", 0, {}, {}, {}, false, dataPages};
    for (int i = 0; i < 40; ++i) {
        table.columns.push_back(
            {"Column" + std::to_string(i), static_cast<std::uint8_t>(i % 2 == 0 ? 0x04 : 0x0A)});
    }
    table.indexes.push_back({"PrimaryKey", {{"Column0", true}}, 0x09, 1});
    jet::test::TestDatabase builder;
    builder.table(table);
    return builder.build();
}

int registerBenchmarks() {
    const fs::path folder = fs::exists("../shared/fixtures") ? fs::path("../shared/fixtures")
                                                             : fs::path(ZL_FIXTURE_DIR);
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(folder, error)) {
        const std::string extension = item.path().extension().string();
        if (extension == ".mdb" || extension == ".accdb") {
            files.push_back(item.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::size_t pageSize =
            file.stem().string().find("1997") != std::string::npos ? 2048 : 4096;
        benchmark::RegisterBenchmark(
            ("Fixture/" + file.filename().string()).c_str(),
            [bytes = share(readFile(file)), pageSize](benchmark::State& state) {
                runSchema(state, bytes, pageSize);
            });
    }
    for (const std::size_t dataPages : {std::size_t{0}, std::size_t{5000}}) {
        benchmark::RegisterBenchmark(
            ("Built/40-columns/data-pages-" + std::to_string(dataPages)).c_str(),
            [bytes = share(builtDatabase(dataPages))](benchmark::State& state) {
                runSchema(state, bytes, 4096);
            });
    }
    return 0;
}

const int kRegistered = registerBenchmarks();

}  // namespace
