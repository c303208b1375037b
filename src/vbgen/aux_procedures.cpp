// The auxiliary constants and procedures, shared by the generated module and DBCREATE.BAS.
// dbCounter and dbFixedText are not DAO type numbers: AddField turns them back into a Long
// with the auto-increment attribute and a Text with the fixed-length attribute.
#include "vbgen/aux_procedures.h"

namespace zl::vbgen {

namespace {

constexpr std::string_view kConstants[] = {
    "Const dbCounter = -10",      "Const dbFixedText = -11", "Const idxUnique = True",
    "Const idxNonUnique = False", "Const idxPrimary = True", "Const idxNonPrimary = False",
};

constexpr std::string_view kAddFieldHead =
    "Sub AddField (td As TableDef, ByVal FieldName As String, ByVal FieldType As Integer, "
    "ByVal Size As Integer, Optional ByVal Required As Variant, Optional ByVal AllowZeroLength "
    "As Variant, Optional ByVal DefaultValue As Variant, Optional ByVal ValidationRule As "
    "Variant, Optional ByVal ValidationText As Variant)";

constexpr std::string_view kAddFieldBody[] = {
    "",
    "Dim fl As New Field",
    "fl.Name = FieldName",
    "If FieldType = dbCounter Then",
    "    fl.Type = dbLong",
    "    fl.Attributes = fl.Attributes Or dbAutoIncrField",
    "ElseIf FieldType = dbFixedText Then",
    "    fl.Type = dbText",
    "    fl.Attributes = fl.Attributes Or dbFixedField",
    "Else",
    "    fl.Type = FieldType",
    "End If",
    "",
    "' AllowZeroLength",
    "' Text and memo fields can allow zero length strings (\"\")",
    "If FieldType = dbText Or FieldType = dbMemo Or FieldType = dbFixedText Then",
    "    If Not IsMissing(AllowZeroLength) Then",
    "        fl.AllowZeroLength = CBool(AllowZeroLength)",
    "    End If",
    "End If",
    "",
    "' Required",
    "If Not IsMissing(Required) Then",
    "    fl.Required = CBool(Required)",
    "End If",
    "",
    "' DefaultValue",
    "If Not IsMissing(DefaultValue) Then",
    "    fl.DefaultValue = DefaultValue",
    "End If",
    "",
    "' Validation",
    "If Not IsMissing(ValidationRule) Then",
    "    fl.ValidationRule = ValidationRule",
    "End If",
    "If Not IsMissing(ValidationText) Then",
    "    fl.ValidationText = ValidationText",
    "End If",
    "",
    "If FieldType = dbText Then fl.Size = Size",
    "td.Fields.Append fl",
    "",
    "End Sub",
    "",
};

constexpr std::string_view kAddIndexHead =
    "Sub AddIndex (td As TableDef, ByVal IndexName As String, ByVal IndexFields As String, "
    "Byval IndexPrimary As Integer, ByVal IndexUnique As Integer)";

constexpr std::string_view kAddIndexBody[] = {
    "",
    "Dim idx As New Index",
    "idx.Name = IndexName",
    "idx.Fields = IndexFields",
    "idx.Primary = IndexPrimary",
    "idx.Unique = IndexUnique",
    "td.Indexes.Append idx",
    "",
    "End Sub",
    "",
};

constexpr std::string_view kAddQueryDefHead =
    "Sub AddQueryDef (db As Database, ByVal QueryName As String, ByVal SQL As String)";

constexpr std::string_view kAddQueryDefBody[] = {
    "",
    "Dim qd As QueryDef",
    "On Error Resume Next",
    "Set qd = db.CreateQueryDef(QueryName, SQL)",
    "",
    "End Sub",
    "",
};

template <std::size_t N>
void appendLines(std::string& out, const std::string_view (&lines)[N]) {
    for (std::string_view text : lines) out.append(text).append("\r\n");
}

void appendProcedure(std::string& out, std::string_view comment, bool privateProcedure,
                     std::string_view head) {
    out.append(comment).append("\r\n");
    if (privateProcedure) out.append("Private ");
    out.append(head).append("\r\n");
}

}  // namespace

void appendAuxConstants(std::string& out, std::string_view prefix) {
    for (std::string_view text : kConstants) out.append(prefix).append(text).append("\r\n");
    out.append("\r\n");
}

void appendAuxProcedures(std::string& out, bool privateProcedures) {
    appendProcedure(out, "' Appends a new field 'FieldName' to a TableDef", privateProcedures,
                    kAddFieldHead);
    appendLines(out, kAddFieldBody);
    appendProcedure(out, "' Appends a new index 'IndexName' to a TableDef", privateProcedures,
                    kAddIndexHead);
    appendLines(out, kAddIndexBody);
    appendProcedure(out, "' Appends a QueryDef 'QueryName' to a database", privateProcedures,
                    kAddQueryDefHead);
    appendLines(out, kAddQueryDefBody);
}

}  // namespace zl::vbgen
