// One table or QueryDef function of the generated module. Every text from the database is put
// into a literal through QuoteLiteral, and into a comment with its control characters made
// spaces, so that no name can end a literal or a line and smuggle code into the module.
#include "vbgen/entry_procedure.h"

#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "schema/engine.h"
#include "schema/schema_model.h"
#include "support/encoding.h"
#include "support/text.h"
#include "vbgen/vb_literals.h"

namespace zl::vbgen {

namespace {

std::string_view vbBool(bool value) { return value ? "True" : "False"; }

void writeQueryDefBody(std::string& out, const schema::Database& db, const std::string& name) {
    // The QueryDef is read and closed before anything of the body is written.
    std::string sql;
    {
        std::unique_ptr<schema::QueryDef> queryDef = db.openQueryDef(name);
        sql = queryDef->sql();
        queryDef->close();
    }
    line(out, {"Dim SQL As String"});
    line(out);
    // Each line gets a trailing blank inside its literal, so the assembled text holds a blank
    // where the stored text held a line break.
    std::vector<std::string> lines = SplitSqlLines(sql);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.append(i == 0 ? "SQL = " : "SQL = SQL & ");
        lines[i].push_back(' ');
        appendQuoteLiteral(out, lines[i]);
        line(out);
    }
    line(out);
    out.append("AddQueryDef db, ");
    appendQuoteLiteral(out, name);
    line(out, {", SQL"});
}

void appendOptionalLiteral(std::string& out, std::string_view text) {
    if (!text.empty()) appendQuoteLiteral(out, text);
}

void writeFieldLine(std::string& out, const schema::Field& f) {
    out.append("AddField td, ");
    appendQuoteLiteral(out, f.name);
    out.append(", ").append(TypeConstant(f)).append(", ").append(std::to_string(f.size));
    out.append(", ").append(vbBool(f.required)).append(", ").append(vbBool(f.allowZeroLength));
    out.append(", ");
    appendOptionalLiteral(out, f.defaultValue);
    out.append(", ");
    appendOptionalLiteral(out, f.validationRule);
    out.append(", ");
    appendQuoteLiteral(out, f.validationText);
    line(out);
}

void writeIndexLine(std::string& out, const schema::Index& index) {
    if (index.foreign) {
        out.append("' Foreign key ");
        support::appendControlsToSpaces(out, index.name);
        out.append(" [");
        support::appendControlsToSpaces(out, index.fields);
        line(out, {"] not generated"});
        return;
    }
    out.append("AddIndex td, ");
    appendQuoteLiteral(out, index.name);
    out.append(", ");
    appendQuoteLiteral(out, index.fields);
    line(out, {", ", index.primary ? "idxPrimary, " : "idxNonPrimary, ",
               index.unique ? "idxUnique" : "idxNonUnique"});
}

void writeTableBody(std::string& out, const schema::SchemaModel& model, const schema::Database& db,
                    std::size_t entryIndex, const std::string& name) {
    line(out, {"Dim td as New TableDef"});
    out.append("td.Name = ");
    appendQuoteLiteral(out, name);
    line(out);
    line(out);
    std::unique_ptr<schema::TableDef> table = db.tableDef(name);
    const int fieldCount = table->fieldCount();
    for (int j = 0; j < fieldCount; ++j) {
        // The whole field is read before its line is written.
        if (model.IsFieldIncluded(entryIndex, j)) writeFieldLine(out, table->field(j));
    }
    line(out);
    const int indexCount = table->indexCount();
    for (int k = 0; k < indexCount; ++k) {
        if (model.IsIndexIncluded(entryIndex, k)) writeIndexLine(out, table->index(k));
    }
    line(out);
    line(out, {"db.TableDefs.Append td"});
}

}  // namespace

std::string_view TypeConstant(const schema::Field& field) {
    namespace dao = schema::dao;
    switch (field.type) {
        case dao::kBoolean:
            return "dbBoolean";
        case dao::kByte:
            return "dbByte";
        case dao::kInteger:
            return "dbInteger";
        case dao::kLong:
            return (field.attributes & dao::kAutoIncrField) != 0 ? "dbCounter" : "dbLong";
        case dao::kCurrency:
            return "dbCurrency";
        case dao::kSingle:
            return "dbSingle";
        case dao::kDouble:
            return "dbDouble";
        case dao::kDate:
            return "dbDate";
        case dao::kText:
            return (field.attributes & dao::kFixedField) != 0 ? "dbFixedText" : "dbText";
        case dao::kLongBinary:
            return "dbLongBinary";
        case dao::kMemo:
            return "dbMemo";
        default:
            return "<Unknown Field Type>";
    }
}

void WriteEntryProcedure(std::string& out, const schema::SchemaModel& model,
                         const schema::Database& db, std::size_t entryIndex,
                         const ModuleOptions& options) {
    const schema::SchemaEntry& entry = model.entry(entryIndex);
    const std::string function =
        (entry.isQueryDef ? "CQuery_" : "CTable_") + MakeIdentifier(entry.name);
    const std::string label = function + "_Error";

    line(out, {entry.isQueryDef ? "' Creates a QueryDef called '" : "' Creates a table called '",
               support::controlsToSpaces(entry.name), "'"});
    line(out, {options.PrivateFunctions ? "Private " : "", "Function ", function,
               " (db as Database) As Integer"});
    line(out);
    line(out, {"On Error Goto ", label});

    if (entry.isQueryDef) {
        writeQueryDefBody(out, db, entry.name);
    } else {
        writeTableBody(out, model, db, entryIndex, entry.name);
    }

    // The message is the user's own text and keeps its quotes; its control characters become
    // spaces, since a line break would cut the statement in two. The name put into it is the
    // database's and is made safe for the literal.
    const std::string message = support::controlsToSpaces(
        entry.isQueryDef ? options.QueryDefErrorMessage : options.TableErrorMessage);
    std::string safeName = support::ReplaceAll(support::controlsToSpaces(entry.name), "\"", "\"\"");
    line(out);
    line(out, {function, " = True"});
    line(out, {"Exit Function"});
    line(out);
    line(out, {label, ":"});
    line(out, {"MsgBox Error, 48, \"", support::ReplaceAll(message, "%n", safeName), "\""});
    line(out);
    line(out, {"End Function"});
    line(out);
}

}  // namespace zl::vbgen
