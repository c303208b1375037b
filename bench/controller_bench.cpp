// How long the main window's controller takes to open a database of 1,000 tables (filling the
// table list, counting every table's fields, showing the first entry) and to show another
// table after a click, which fetches that TableDef again. The view keeps the row texts, as a
// list would, and nothing else. The memory engine copies each TableDef it hands out; that copy
// is part of the time, as a real reader's fetch would be.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/memory_engine.h"
#include "controller/database_connection.h"

namespace {

namespace zc = zl::controller;
namespace zt = zl::testing;

class ListOnlyView : public zc::MainView {
public:
    void setCaption(const std::string&) override {}
    void clearList(zc::ListId list) override { rows(list).clear(); }
    void appendRow(zc::ListId list, const std::string& text, bool) override {
        rows(list).push_back(text);
    }
    void setRowSelected(zc::ListId, int, bool) override {}
    void setAllRowsSelected(zc::ListId, bool) override {}
    void setCurrentRow(zc::ListId, int) override {}
    void setListVisible(zc::ListId, bool) override {}
    void setLabelText(zc::LabelId, const std::string&) override {}
    void setLabelVisible(zc::LabelId, bool) override {}
    void setDatabaseCommandsEnabled(bool) override {}
    std::string askOpenFileName(const zc::FileDialogRequest&) override { return {}; }
    std::string askSaveFileName(const zc::FileDialogRequest&) override { return {}; }
    void showMessage(const std::string&, const std::string&, zc::MessageIcon) override {}
    int askChoice(const std::string&, const std::string&,
                  const std::vector<std::string>&) override {
        return -1;
    }
    void showTextViewer(const std::string&, const std::string&) override {}
    std::optional<zl::settings::GenerationSettings> editSettings(
        const zl::settings::GenerationSettings&) override {
        return std::nullopt;
    }
    bool openTutorial() override { return false; }
    void closeTutorial() override {}
    void showAbout() override {}
    void setBusyPointer(bool) override {}
    std::optional<zc::PostgresConnection> askPostgresConnection(
        const zc::PostgresConnection&) override {
        return std::nullopt;
    }
    zc::ExportOutcome runWithProgress(const std::string&, const zc::ProgressWork&) override {
        return {};
    }

    std::vector<std::string>& rows(zc::ListId list) {
        return m_rows[static_cast<std::size_t>(list)];
    }

private:
    std::vector<std::string> m_rows[3];
};

// `tables` tables of `fields` fields and 5 indexes, and a QueryDef for every tenth table.
zt::MemoryDatabaseContent largeDatabase(int tables, int fields) {
    zt::MemoryDatabaseContent content;
    content.name = "/bench/large.mdb";
    for (int t = 0; t < tables; ++t) {
        zt::MemoryTable table;
        table.name = "Table " + std::to_string(t);
        for (int j = 0; j < fields; ++j) {
            table.fields.push_back(zt::textField("Field " + std::to_string(j), 50));
        }
        for (int k = 0; k < 5; ++k) {
            table.indexes.push_back(zt::index("Index " + std::to_string(k), "+Field 0"));
        }
        content.table(std::move(table));
        if (t % 10 == 0) content.query("Query " + std::to_string(t), "SELECT *\r\nFROM T;\r\n");
    }
    return content;
}

void BM_OpenDatabase(benchmark::State& state) {
    zt::MemoryEngine engine;
    engine.add(largeDatabase(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))));
    ListOnlyView view;
    zc::DatabaseConnection connection(engine, view);
    std::size_t entries = 0;
    for (auto _ : state) {
        connection.OpenDatabaseFile("/bench/large.mdb");
        entries = view.rows(zc::ListId::Tables).size();
        benchmark::DoNotOptimize(entries);
        state.PauseTiming();
        connection.CloseDatabase();
        state.ResumeTiming();
    }
    state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_OpenDatabase)
    ->Args({100, 50})
    ->Args({1000, 50})
    ->Args({1000, 255})
    ->Unit(benchmark::kMillisecond);

// One click on another table: toggles it, fetches its TableDef, refills Fields and Indexes.
void BM_ClickTableToTable(benchmark::State& state) {
    zt::MemoryEngine engine;
    const int fields = static_cast<int>(state.range(0));
    engine.add(largeDatabase(1000, fields));
    ListOnlyView view;
    zc::DatabaseConnection connection(engine, view);
    connection.OpenDatabaseFile("/bench/large.mdb");
    const int entries = static_cast<int>(connection.model().size());
    int row = 0;
    bool selected = false;
    for (auto _ : state) {
        row = (row + 37) % entries;
        connection.rowToggled(zc::ListId::Tables, row, selected);
        selected = !selected;
        benchmark::DoNotOptimize(view.rows(zc::ListId::Fields).size());
    }
}
BENCHMARK(BM_ClickTableToTable)->Arg(50)->Arg(500)->Unit(benchmark::kMicrosecond);

}  // namespace
