#!/usr/bin/env python3
"""Second, independent rendering of the generated module and SQL scripts.

Input is the schema listing that `zlgen-cli list DB --json` prints; output is the exact text
the generators must produce for it, so that a test can compare the two byte for byte.
Standard library only.
"""

from __future__ import annotations

from dataclasses import dataclass, field

CRLF = "\r\n"
Q = '"'

VERSION_TEXT = "1.1.05"

# DAO data type numbers and the two attribute bits that refine them.
DB_BOOLEAN, DB_BYTE, DB_INTEGER, DB_LONG, DB_CURRENCY = 1, 2, 3, 4, 5
DB_SINGLE, DB_DOUBLE, DB_DATE, DB_TEXT, DB_LONG_BINARY, DB_MEMO = 6, 7, 8, 10, 11, 12
AUTO_INCR_FIELD = 16
FIXED_FIELD = 1

# ListTables: catalog flags that mark a system object, and the QueryDef type mask.
SYSTEM_OBJECT_BITS = 0x80000002
QUERYDEF_MASK = 5

UNKNOWN_TYPE = "<Unknown Field Type>"

DEFAULT_TABLE_MESSAGE = "Could not create table '%n'"
DEFAULT_QUERYDEF_MESSAGE = "Could not create query '%n'"
DEFAULT_DATABASE_MESSAGE = "Could not create a new database '%n'"

ACCESS, SQLSERVER = 1, 2


# ---------------------------------------------------------------------------------------------
# Text helpers


def sanitize(text: str) -> str:
    """Every control character below U+0020 becomes a blank (texts that come from the file)."""
    return "".join(" " if ord(c) < 0x20 else c for c in text)


def sanitize_keep_line_breaks(text: str) -> str:
    """Like sanitize, but CR and LF stay: the SQL text of a view keeps its lines."""
    return "".join(" " if ord(c) < 0x20 and c not in "\r\n" else c for c in text)


def next_line(text: str) -> tuple[str, str]:
    """Returns (the text before the first CR LF, the text after it); no CR LF: (text, "")."""
    p = text.find(CRLF)
    if p < 0:
        return text, ""
    return text[:p], text[p + 2:]


def split_at(text: str, separator: str) -> tuple[str, str]:
    p = text.find(separator)
    if p < 0:
        return text, ""
    return text[:p], text[p + len(separator):]


def make_identifier(text: str) -> str:
    kept = "".join(c for c in text if "A" <= c <= "Z" or "a" <= c <= "z" or "0" <= c <= "9")
    return kept[:33]


def quote_literal(text: str) -> str:
    return Q + text.replace(Q, Q + Q) + Q


def quote_if_not_empty(text: str) -> str:
    return "" if text == "" else quote_literal(text)


def split_sql_lines(text: str) -> list[str]:
    """Lines of a QueryDef's SQL text that become assignment lines; stops at an empty line."""
    first, rest = next_line(text)
    lines = [first]
    while True:
        line, rest = next_line(rest)
        if line == "" or line == "\0":
            return lines
        lines.append(line)


def _rtrim(text: str) -> str:
    return text.rstrip(" ")


def file_base_name(path: str) -> str:
    """Base name of a file name (no drive, no directory, no last extension); '/' and '\\'
    both separate directories."""
    text = path
    if text.startswith(Q):
        close = text.find(Q, 1)
        if close >= 0:
            text = text[1:close]
    drive = ""
    # An absolute POSIX path has no drive or device part: a colon in it is an ordinary character
    # of a file name, not a reason to call the name unusable.
    colon = 0 if text.startswith("/") else text.find(":") + 1
    if colon == 2:
        drive = text[:2]
    elif colon != 0:
        # A device name such as LPT1: has no base name; any other colon makes the name invalid.
        return ""
    start = len(_rtrim(drive)) + 1
    i = 0
    for pos in range(len(text), start - 1, -1):
        if pos >= 1 and text[pos - 1] in "\\/":
            i = pos
            break
    if i == 0:
        i = start - 1
    rest = text[i:]
    if _rtrim(rest) == "..":
        return ""
    base, extension = rest, ""
    dot = rest.rfind(".")
    if dot >= 0:
        base, extension = rest[:dot], rest[dot + 1:]
    if _rtrim(extension) != "" and _rtrim(base) == "":
        return ""
    return base


# ---------------------------------------------------------------------------------------------
# Entries: the non-system rows of the table listing, in listing order


@dataclass
class Entry:
    name: str
    is_querydef: bool
    table: dict | None = None  # fields and indexes of a readable table
    sql: str | None = None  # SQL text of a readable QueryDef

    @property
    def readable(self) -> bool:
        return self.table is not None if not self.is_querydef else self.sql is not None


@dataclass
class Selection:
    """What is left out; everything else is selected (the state right after opening)."""

    entries: set[str] = field(default_factory=set)
    fields: set[tuple[str, str]] = field(default_factory=set)  # (table, field)
    indexes: set[tuple[str, str]] = field(default_factory=set)  # (table, index)

    def entry_selected(self, entry: Entry) -> bool:
        return entry.name not in self.entries

    def field_included(self, entry: Entry, name: str) -> bool:
        return (entry.name, name) not in self.fields

    def index_included(self, entry: Entry, name: str) -> bool:
        return (entry.name, name) not in self.indexes


def is_system_row(row: dict) -> bool:
    return (row["attributes"] & 0xFFFFFFFF) & SYSTEM_OBJECT_BITS != 0


def is_querydef_row(row: dict) -> bool:
    return row["tableType"] & QUERYDEF_MASK == QUERYDEF_MASK


def entries_of(doc: dict) -> list[Entry]:
    tables = {t["name"]: t for t in doc["tables"]}
    queries = {q["name"]: q["sql"] for q in doc["queries"]}
    result = []
    for row in doc["listing"]:
        if is_system_row(row):
            continue
        name = row["name"]
        if is_querydef_row(row):
            result.append(Entry(name, True, sql=queries.get(name)))
        else:
            # A linked table appears in the listing but its TableDef cannot be read.
            result.append(Entry(name, False, table=tables.get(name)))
    return result


# ---------------------------------------------------------------------------------------------
# Visual Basic module


@dataclass
class ModuleOptions:
    private_functions: bool = True
    include_procedures: bool = True
    name_after_database: bool = False
    table_error_message: str = DEFAULT_TABLE_MESSAGE
    querydef_error_message: str = DEFAULT_QUERYDEF_MESSAGE
    database_error_message: str = DEFAULT_DATABASE_MESSAGE
    encoding: str = "windows-1252"  # or "utf-8"


@dataclass
class ModuleRendering:
    lines: list[str]
    failed_entries: list[str]  # entries whose function stops early (the tool reports an error)
    encoding: str

    def text(self) -> str:
        return "".join(line + CRLF for line in self.lines)

    def encoded(self) -> bytes:
        if self.encoding == "utf-8":
            return self.text().encode("utf-8")
        return self.text().encode("cp1252", errors="replace")


COPYRIGHT_PLACEHOLDER = "' <copyright>"
DATE_PLACEHOLDER = "' Date: <date>"

LANGUAGE_CONSTANTS = {
    1030: "dbLangNorwdan",
    1039: "dbLangIcelandic",
    1043: "dbLangDutch",
    1053: "dbLangSwedFin",
}

AUXILIARY_CONSTANTS = [
    "Const dbCounter = -10",
    "Const dbFixedText = -11",
    "Const idxUnique = True",
    "Const idxNonUnique = False",
    "Const idxPrimary = True",
    "Const idxNonPrimary = False",
    "",
]

ADD_FIELD_HEAD = (
    "Sub AddField (td As TableDef, ByVal FieldName As String, ByVal FieldType As Integer, "
    "ByVal Size As Integer, Optional ByVal Required As Variant, Optional ByVal AllowZeroLength "
    "As Variant, Optional ByVal DefaultValue As Variant, Optional ByVal ValidationRule As "
    "Variant, Optional ByVal ValidationText As Variant)"
)

ADD_FIELD_BODY = [
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
    "' Text and memo fields can allow zero length strings (" + Q + Q + ")",
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
]

ADD_INDEX_HEAD = (
    "Sub AddIndex (td As TableDef, ByVal IndexName As String, ByVal IndexFields As String, "
    "Byval IndexPrimary As Integer, ByVal IndexUnique As Integer)"
)

ADD_INDEX_BODY = [
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
]

ADD_QUERYDEF_HEAD = "Sub AddQueryDef (db As Database, ByVal QueryName As String, ByVal SQL As String)"

ADD_QUERYDEF_BODY = [
    "",
    "Dim qd As QueryDef",
    "On Error Resume Next",
    "Set qd = db.CreateQueryDef(QueryName, SQL)",
    "",
    "End Sub",
    "",
]


def master_function_name(doc: dict, options: ModuleOptions) -> str:
    if options.name_after_database:
        return "Create_" + make_identifier(file_base_name(doc["name"])) + "_Database"
    return "Create_Database"


def language_constant(collating_order: int) -> str:
    return LANGUAGE_CONSTANTS.get(collating_order, "dbLangGeneral")


def _header(doc: dict, options: ModuleOptions, master: str) -> list[str]:
    lines = [
        "' Database Creation Module",
        "' Generated by Zerlin Wizard " + VERSION_TEXT,
        COPYRIGHT_PLACEHOLDER,
        DATE_PLACEHOLDER,
        "' Original database: " + sanitize(doc["name"]),
    ]
    if not options.include_procedures:
        lines.append("' Needs DBCREATE.BAS to work")
    lines += [
        "' Usage: Call function " + master + "(" + Q + "filename.mdb" + Q + ") from your application",
        "",
        "Option Explicit",
    ]
    return lines


def _auxiliary(options: ModuleOptions) -> list[str]:
    private = "Private " if options.private_functions else ""
    return (
        AUXILIARY_CONSTANTS
        + ["' Appends a new field 'FieldName' to a TableDef", private + ADD_FIELD_HEAD]
        + ADD_FIELD_BODY
        + ["' Appends a new index 'IndexName' to a TableDef", private + ADD_INDEX_HEAD]
        + ADD_INDEX_BODY
        + ["' Appends a QueryDef 'QueryName' to a database", private + ADD_QUERYDEF_HEAD]
        + ADD_QUERYDEF_BODY
    )


def _master(doc: dict, options: ModuleOptions, master: str, selected: list[Entry]) -> list[str]:
    language = language_constant(doc["collatingOrder"])
    message = options.database_error_message.replace("%n", Q + " & DatabaseName & " + Q)
    lines = [
        "' This function creates the whole database in the file",
        "' 'DatabaseName'. True on success, False on error.",
        "' This is the function that should be called",
        "' from outside this module, e.g. after the user has",
        "' clicked Create Database from a menu",
        "Function " + master + " (ByVal DatabaseName as String) As Integer",
        "",
        "Dim db as Database",
        "",
        "On Error Resume Next",
        "Kill DatabaseName",
        "Err = 0",
        "",
        "Set db = WorkSpaces(0).CreateDatabase(DatabaseName, " + language + ")",
        "' You could replace the above " + language + " with:",
        "' dbLangSpanish, dbLangDutch, dbLangSwedfin,",
        "' dbLangNorwdan, or dbLangIcelandic or any other language constant",
        "'",
        "' You can also add a third parameter to CreateDatabase:",
        "' dbEncrypt to encrypt the database",
        "' dbVersion10, dbVersion11, dbVersion25 or dbVersion30 to specify the database version",
        "' (see VB help for CreateDatabase)",
        "",
        "",
        "' The process will terminate on any error",
        "If Err Then",
        "    MsgBox Error, 48, " + Q + message + Q,
        "    Exit Function",
    ]
    for entry in selected:
        if not entry.is_querydef:
            lines += ["ElseIf CTable_" + make_identifier(entry.name) + "(db) = False Then", "    ' Error"]
    for entry in selected:
        if entry.is_querydef:
            lines += ["ElseIf CQuery_" + make_identifier(entry.name) + "(db) = False Then", "    ' Error"]
    lines += [
        "Else",
        "    " + master + " = True",
        "End If",
        "",
        "db.Close",
        "",
        "End Function",
        "",
    ]
    return lines


def vb_type_constant(type_code: int, attributes: int) -> str:
    if type_code == DB_LONG:
        return "dbCounter" if attributes & AUTO_INCR_FIELD else "dbLong"
    if type_code == DB_TEXT:
        return "dbFixedText" if attributes & FIXED_FIELD else "dbText"
    return {
        DB_BOOLEAN: "dbBoolean",
        DB_BYTE: "dbByte",
        DB_INTEGER: "dbInteger",
        DB_CURRENCY: "dbCurrency",
        DB_SINGLE: "dbSingle",
        DB_DOUBLE: "dbDouble",
        DB_DATE: "dbDate",
        DB_LONG_BINARY: "dbLongBinary",
        DB_MEMO: "dbMemo",
    }.get(type_code, UNKNOWN_TYPE)


def _vb_bool(value: bool) -> str:
    return "True" if value else "False"


def _field_line(f: dict) -> str:
    return (
        "AddField td, " + quote_literal(sanitize(f["name"])) + ", "
        + vb_type_constant(f["type"], f["attributes"]) + ", "
        + str(f["size"]) + ", "
        + _vb_bool(f["required"]) + ", "
        + _vb_bool(f["allowZeroLength"]) + ", "
        + quote_if_not_empty(sanitize(f["defaultValue"])) + ", "
        + quote_if_not_empty(sanitize(f["validationRule"])) + ", "
        + quote_literal(sanitize(f["validationText"]))
    )


def _index_line(i: dict) -> str:
    name = sanitize(i["name"])
    fields = sanitize(i["fields"])
    if i["foreign"]:
        return "' Foreign key " + name + " [" + fields + "] not generated"
    return (
        "AddIndex td, " + quote_literal(name) + ", " + quote_literal(fields) + ", "
        + ("idxPrimary, " if i["primary"] else "idxNonPrimary, ")
        + ("idxUnique" if i["unique"] else "idxNonUnique")
    )


def entry_procedure(entry: Entry, options: ModuleOptions, selection: Selection) -> list[str]:
    """Lines of one entry's function; a table whose TableDef cannot be read stops after the
    lines written before it is fetched."""
    name = sanitize(entry.name)
    function = ("CQuery_" if entry.is_querydef else "CTable_") + make_identifier(entry.name)
    label = function + "_Error"
    kind = "QueryDef" if entry.is_querydef else "table"
    lines = [
        "' Creates a " + kind + " called '" + name + "'",
        ("Private " if options.private_functions else "") + "Function " + function
        + " (db as Database) As Integer",
        "",
        "On Error Goto " + label,
    ]
    if entry.is_querydef:
        if entry.sql is None:
            return lines
        sql_lines = [sanitize(l) for l in split_sql_lines(entry.sql.replace(Q, Q + Q))]
        lines += ["Dim SQL As String", "", "SQL = " + Q + sql_lines[0] + " " + Q]
        lines += ["SQL = SQL & " + Q + l + " " + Q for l in sql_lines[1:]]
        lines += ["", "AddQueryDef db, " + quote_literal(name) + ", SQL"]
        message = options.querydef_error_message
    else:
        lines += ["Dim td as New TableDef", "td.Name = " + quote_literal(name), ""]
        if entry.table is None:
            return lines
        lines += [_field_line(f) for f in entry.table["fields"] if selection.field_included(entry, f["name"])]
        lines.append("")
        lines += [_index_line(i) for i in entry.table["indexes"] if selection.index_included(entry, i["name"])]
        lines += ["", "db.TableDefs.Append td"]
        message = options.table_error_message
    # The name goes into a string literal, so its quotes are doubled; the message's own are not.
    message = message.replace("%n", name.replace(Q, Q + Q))
    lines += [
        "",
        function + " = True",
        "Exit Function",
        "",
        label + ":",
        "MsgBox Error, 48, " + Q + message + Q,
        "",
        "End Function",
        "",
    ]
    return lines


def render_module(doc: dict, options: ModuleOptions | None = None,
                  selection: Selection | None = None) -> ModuleRendering:
    options = options or ModuleOptions()
    selection = selection or Selection()
    selected = [e for e in entries_of(doc) if selection.entry_selected(e)]
    master = master_function_name(doc, options)
    lines = _header(doc, options, master)
    if options.include_procedures:
        lines += _auxiliary(options)
    lines += _master(doc, options, master, selected)
    failed = []
    for entry in selected:
        lines += entry_procedure(entry, options, selection)
        if not entry.readable:
            failed.append(entry.name)
    return ModuleRendering(lines, failed, options.encoding)


# ---------------------------------------------------------------------------------------------
# SQL scripts


class ScriptAbandoned(Exception):
    """The script cannot be generated: an entry's definition cannot be read."""


def quote_sql_name(name: str, dialect: int) -> str:
    name = sanitize(name)
    if dialect == ACCESS:
        return "[" + name.replace("]", "]]") + "]"
    return Q + name.replace(Q, Q + Q) + Q


SQL_TYPES = {
    DB_BOOLEAN: ("Bit", "Bit"),
    DB_BYTE: ("Byte", "Tinyint"),
    DB_INTEGER: ("Short", "Smallint"),
    DB_CURRENCY: ("Currency", "Money"),
    DB_SINGLE: ("Single", "Float"),
    DB_DOUBLE: ("Double", "Float"),
    DB_DATE: ("Date", "Datetime"),
    DB_TEXT: ("Text", "Character Varying"),
    DB_LONG_BINARY: ("LongBinary", "Image"),
    DB_MEMO: ("Memo", "Text"),
}


def column_definition(f: dict, dialect: int) -> str:
    type_code = f["type"]
    size = 0
    if type_code == DB_LONG:
        counter = f["attributes"] & AUTO_INCR_FIELD
        if dialect == ACCESS:
            type_name = "Counter" if counter else "Long"
        else:
            type_name = "Integer Identity(1,1)" if counter else "Integer"
    elif type_code in SQL_TYPES:
        type_name = SQL_TYPES[type_code][0 if dialect == ACCESS else 1]
        if type_code == DB_TEXT:
            size = f["size"]
        elif dialect == SQLSERVER and type_code == DB_SINGLE:
            size = 7
        elif dialect == SQLSERVER and type_code == DB_DOUBLE:
            size = 15
    else:
        type_name = UNKNOWN_TYPE
    text = type_name
    if size > 0:
        text += "(" + str(size) + ")"
    if dialect == SQLSERVER:
        text += " NOT NULL" if f["required"] else " NULL"
    if f["defaultValue"] != "":
        text += " DEFAULT " + sanitize(f["defaultValue"])
    return text


def index_field_list(stored: str, dialect: int) -> str:
    # The list is taken apart as stored; control characters in a name become blanks only when
    # the name is quoted, so that an index names its columns exactly as the column lines do.
    result = ""
    rest = stored
    while rest.strip(" ") != "":
        token, rest = split_at(rest, ";")
        token = token.strip(" ")
        if token == "":
            continue
        if token[0] == "+":
            direction, name = "Asc", token[1:]
        elif token[0] == "-":
            direction, name = "Desc", token[1:]
        else:
            direction, name = "Asc", token
        result += quote_sql_name(name, dialect) + " " + direction
        if rest.strip(" ") != "":
            result += ","
    return result


def create_index_statement(i: dict, table_name: str, dialect: int) -> str:
    text = "CREATE " + ("UNIQUE " if i["unique"] else "")
    text += "CLUSTERED " if dialect == SQLSERVER and i["primary"] else ""
    text += "INDEX " + quote_sql_name(i["name"], dialect) + " ON " + quote_sql_name(table_name, dialect)
    text += " (" + index_field_list(i["fields"], dialect) + ") "
    if dialect == ACCESS:
        if i["primary"]:
            text += "WITH PRIMARY"
        elif i["required"]:
            text += "WITH DISALLOW NULL"
        else:
            text += "WITH IGNORE NULL"
    return text + ";"


def key_constraint(i: dict, dialect: int) -> str:
    kind, clustered = ("PRIMARY KEY ", "CLUSTERED ") if i["primary"] else ("UNIQUE ", "")
    return ("CONSTRAINT " + quote_sql_name(i["name"], dialect) + " " + kind + clustered
            + " (" + index_field_list(i["fields"], dialect) + ") ")


def create_table_statement(entry: Entry, dialect: int, selection: Selection) -> str:
    if entry.table is None:
        raise ScriptAbandoned("the definition of table '%s' cannot be read" % entry.name)
    text = "CREATE TABLE " + quote_sql_name(entry.name, dialect) + " (" + CRLF
    columns = [f for f in entry.table["fields"] if selection.field_included(entry, f["name"])]
    text += (", " + CRLF).join(
        "  " + quote_sql_name(f["name"], dialect) + " " + column_definition(f, dialect) for f in columns)
    if columns:
        text += CRLF
    indexes = entry.table["indexes"]
    if dialect == SQLSERVER:
        # Key constraints ignore the index selection: a unique index is part of the table.
        for i in indexes:
            if i["unique"] and not i["foreign"]:
                text += "," + CRLF + "  " + key_constraint(i, dialect)
        text += CRLF
    text += ");" + CRLF
    for i in indexes:
        if (selection.index_included(entry, i["name"]) and (dialect == ACCESS or not i["unique"])
                and not i["foreign"]):
            text += create_index_statement(i, entry.name, dialect) + CRLF
    return text


def create_view_statement(entry: Entry, dialect: int) -> str:
    if entry.sql is None:
        raise ScriptAbandoned("the SQL text of QueryDef '%s' cannot be read" % entry.name)
    return ("CREATE VIEW " + quote_sql_name(entry.name, dialect) + " AS "
            + sanitize_keep_line_breaks(entry.sql) + CRLF)


def render_sql(doc: dict, dialect: int, selection: Selection | None = None) -> str:
    """The whole script; raises ScriptAbandoned when a selected entry cannot be read."""
    selection = selection or Selection()
    selected = [e for e in entries_of(doc) if selection.entry_selected(e)]
    script = ""
    for entry in selected:
        if not entry.is_querydef:
            script += create_table_statement(entry, dialect, selection) + CRLF
    if dialect == SQLSERVER:
        for entry in selected:
            if entry.is_querydef:
                script += create_view_statement(entry, dialect) + CRLF
    return script
