// Databases the export tests write with the project's own writer, and the expected written form
// of each value.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/temporary_folder.h"
#include "export/exporter.h"
#include "export/target_writer.h"
#include "jetwrite/database_description.h"

namespace zl::schema {
class SchemaModel;
}

namespace zl::exporter::testing {

// Every Jet 4 type with edge values: currency extremes, Decimal(28,10), dates of 1753,
// 1899-12-29 12:00 and 100-01-01, empty, 255-character and non-BMP texts, memos of 0 B, 4 KB
// and 5 MB, a text holding U+0000, BigInt extremes, extended dates to 100 ns (0001-01-01,
// 9999-12-31 23:59:59.9999999), and a row that is NULL in every nullable column.
jetwrite::DatabaseDescription everyTypeDatabase();

// The value of `value` in column `type` as the tests compare it: integers and exact decimals as
// text, REALs as their shortest text, dates as "YYYY-MM-DD HH:MM:SS", GUIDs lowercase,
// binaries as "\x" and hex, NULL as "<null>". `postgres` drops U+0000 from texts; SQLite
// reads a negative zero back as 0.
std::string expectedText(jetwrite::FieldType type, const jetwrite::Value& value, bool postgres);

using Table = std::vector<std::vector<std::string>>;

// The loadable target script of the selection of `model`, with its names, as the command line
// gives it to the export.
std::shared_ptr<const SchemaScript> targetScript(Target target, const schema::SchemaModel& model,
                                                 const schema::Database& db);

// Plans and runs the export of `tables` of `db` (every table but the system ones when empty) as
// the command line does; `withScript` gives it the target's own script.
ExportResult exportTables(const schema::Database& db, ExportRequest request,
                          const std::vector<std::string>& tables = {}, bool withScript = false);
// The same for the database in `file`.
ExportResult exportFile(const std::filesystem::path& file, const ExportRequest& request,
                        const std::vector<std::string>& tables = {}, bool withScript = false);

// Every row of `table` in the SQLite file, ordered by its first column, each value in the form
// expectedText gives (empty when the file or table cannot be read).
Table readSqlite(const std::filesystem::path& file, const std::string& table);

using TemporaryFolder = zl::testing::TemporaryFolder;

}  // namespace zl::exporter::testing
