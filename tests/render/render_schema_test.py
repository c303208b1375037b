#!/usr/bin/env python3
"""Checks the independent rendering itself against the worked examples of the generation
rules, so that a match with zlgen-cli means both agree with the rules and not only with each
other."""

from __future__ import annotations

import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import render_schema as rs  # noqa: E402


def field(name, type_code, size=0, attributes=0, required=False, allow_zero_length=False,
          default="", rule="", text=""):
    return {"name": name, "type": type_code, "size": size, "attributes": attributes,
            "required": required, "allowZeroLength": allow_zero_length, "defaultValue": default,
            "validationRule": rule, "validationText": text}


def index(name, fields, primary=False, unique=False, foreign=False, required=False):
    return {"name": name, "fields": fields, "primary": primary, "unique": unique,
            "foreign": foreign, "required": required, "ignoreNulls": False}


def database(tables=(), queries=(), listing=None, name="/data/ORDERS.MDB", collating_order=1033):
    if listing is None:
        listing = [{"name": t["name"], "tableType": 1, "attributes": 0} for t in tables]
        listing += [{"name": q["name"], "tableType": 5, "attributes": 0} for q in queries]
    return {"name": name, "collatingOrder": collating_order, "listing": listing,
            "tables": list(tables), "queries": list(queries)}


ORDERS = {
    "name": "Orders",
    "fields": [field("ID", 4, 4, attributes=17, required=True),
               field("Customer", 10, 50, attributes=2, default='"none"'),
               field("Amount", 5, 8, attributes=1)],
    "indexes": [index("PrimaryKey", "+ID", primary=True, unique=True, required=True),
                index("Customer", "+Customer")],
}


class TextRules(unittest.TestCase):
    def test_make_identifier(self):
        self.assertEqual(rs.make_identifier("Order Details"), "OrderDetails")
        self.assertEqual(rs.make_identifier("Ship_Via"), "ShipVia")
        self.assertEqual(rs.make_identifier("2nd Qtr"), "2ndQtr")
        self.assertEqual(rs.make_identifier("%%"), "")
        self.assertEqual(rs.make_identifier("Größe"), "Gre")
        self.assertEqual(rs.make_identifier("x" * 40), "x" * 33)
        self.assertEqual(rs.make_identifier("Customers!"), "Customers")

    def test_literals(self):
        self.assertEqual(rs.quote_literal(""), '""')
        self.assertEqual(rs.quote_literal('"'), '""""')
        self.assertEqual(rs.quote_if_not_empty(""), "")
        self.assertEqual(rs.quote_if_not_empty("0"), '"0"')

    def test_split_sql_lines(self):
        self.assertEqual(rs.split_sql_lines("SELECT *\r\nFROM T;\r\n"), ["SELECT *", "FROM T;"])
        self.assertEqual(rs.split_sql_lines(""), [""])
        self.assertEqual(rs.split_sql_lines("A\r\n\r\nB"), ["A"])
        self.assertEqual(rs.split_sql_lines("A\nB\rC"), ["A\nB\rC"])
        self.assertEqual(rs.split_sql_lines("A\r\n\0\r\nB"), ["A"])
        self.assertEqual(rs.split_sql_lines("\r\nB\r\n"), ["", "B"])

    def test_file_base_name(self):
        cases = {
            "C:\\data\\orders.mdb": "orders",
            "C:\\data\\my.db.mdb": "my.db",
            "C:\\data\\orders": "orders",
            '"C:\\my data\\orders.mdb"': "orders",
            "C:\\data\\": "",
            "C:\\data\\archive.tar.gz": "archive.tar",
            "C:\\data.old\\orders": "orders",
            "orders.": "orders",
            ".profile": "",
            "LPT1:": "",
            "ab:c": "",
            "C:\\x:y": "x:y",
            "": "",
            "/home/u/ORDERS.MDB": "ORDERS",
            "/home/u/dir\\x.mdb": "x",
            "/home/u/C2:colon.mdb": "C2:colon",
        }
        for path, base in cases.items():
            with self.subTest(path=path):
                self.assertEqual(rs.file_base_name(path), base)

    def test_sanitize(self):
        self.assertEqual(rs.sanitize("a\tb\r\nc\0"), "a b  c ")
        self.assertEqual(rs.sanitize_keep_line_breaks("a\tb\r\nc\n"), "a b\r\nc\n")


class SqlRules(unittest.TestCase):
    def test_index_field_list(self):
        access = rs.ACCESS
        self.assertEqual(rs.index_field_list("+ID", access), "[ID] Asc")
        self.assertEqual(rs.index_field_list("+LastName;-Born", access), "[LastName] Asc,[Born] Desc")
        self.assertEqual(rs.index_field_list("Code", access), "[Code] Asc")
        self.assertEqual(rs.index_field_list(" +A ; -B ", access), "[A] Asc,[B] Desc")
        self.assertEqual(rs.index_field_list("+ A", access), "[ A] Asc")
        self.assertEqual(rs.index_field_list("+A;", access), "[A] Asc")
        self.assertEqual(rs.index_field_list("+A;;-B", access), "[A] Asc,[B] Desc")
        self.assertEqual(rs.index_field_list("", access), "")
        self.assertEqual(rs.index_field_list('-a"b', rs.SQLSERVER), '"a""b" Desc')
        self.assertEqual(rs.index_field_list("+a]b", access), "[a]]b] Asc")
        # A control character ends up as a blank in the name, as in the column line, and is
        # not trimmed away like a stored blank.
        self.assertEqual(rs.index_field_list("+a\t;-\tb", access), "[a ] Asc,[ b] Desc")

    def test_documented_access_sample(self):
        self.assertEqual(rs.render_sql(database([ORDERS]), rs.ACCESS), "\r\n".join([
            "CREATE TABLE [Orders] (",
            "  [ID] Counter, ",
            '  [Customer] Text(50) DEFAULT "none", ',
            "  [Amount] Currency",
            ");",
            "CREATE UNIQUE INDEX [PrimaryKey] ON [Orders] ([ID] Asc) WITH PRIMARY;",
            "CREATE INDEX [Customer] ON [Orders] ([Customer] Asc) WITH IGNORE NULL;",
            "", ""]))

    def test_documented_sqlserver_sample(self):
        self.assertEqual(rs.render_sql(database([ORDERS]), rs.SQLSERVER), "\r\n".join([
            'CREATE TABLE "Orders" (',
            '  "ID" Integer Identity(1,1) NOT NULL, ',
            '  "Customer" Character Varying(50) NULL DEFAULT "none", ',
            '  "Amount" Money NULL',
            ",",
            '  CONSTRAINT "PrimaryKey" PRIMARY KEY CLUSTERED  ("ID" Asc) ',
            ");",
            'CREATE INDEX "Customer" ON "Orders" ("Customer" Asc) ;',
            "", ""]))

    def test_unselected_unique_index_stays_a_constraint(self):
        selection = rs.Selection(indexes={("Orders", "PrimaryKey")})
        server = rs.render_sql(database([ORDERS]), rs.SQLSERVER, selection)
        self.assertIn('CONSTRAINT "PrimaryKey" PRIMARY KEY', server)
        access = rs.render_sql(database([ORDERS]), rs.ACCESS, selection)
        self.assertNotIn("PrimaryKey", access)

    def test_all_fields_unselected(self):
        table = {"name": "T", "fields": [field("A", 3, 2)], "indexes": []}
        selection = rs.Selection(fields={("T", "A")})
        self.assertEqual(rs.render_sql(database([table]), rs.ACCESS, selection),
                         "CREATE TABLE [T] (\r\n);\r\n\r\n")
        self.assertEqual(rs.render_sql(database([table]), rs.SQLSERVER, selection),
                         'CREATE TABLE "T" (\r\n\r\n);\r\n\r\n')

    def test_column_types(self):
        cases = [(1, 0, 1, "Bit", "Bit"), (2, 0, 1, "Byte", "Tinyint"), (3, 0, 2, "Short", "Smallint"),
                 (4, 16, 4, "Counter", "Integer Identity(1,1)"), (4, 0, 4, "Long", "Integer"),
                 (5, 0, 8, "Currency", "Money"), (6, 0, 4, "Single", "Float(7)"),
                 (7, 0, 8, "Double", "Float(15)"), (8, 0, 8, "Date", "Datetime"),
                 (10, 1, 5, "Text(5)", "Character Varying(5)"), (10, 2, 0, "Text", "Character Varying"),
                 (11, 0, 0, "LongBinary", "Image"), (12, 0, 0, "Memo", "Text"),
                 (9, 0, 16, "<Unknown Field Type>", "<Unknown Field Type>")]
        for type_code, attributes, size, access, server in cases:
            f = field("F", type_code, size, attributes)
            with self.subTest(type=type_code, attributes=attributes):
                self.assertEqual(rs.column_definition(f, rs.ACCESS), access)
                self.assertEqual(rs.column_definition(f, rs.SQLSERVER), server + " NULL")

    def test_access_index_options(self):
        self.assertTrue(rs.create_index_statement(
            index("P", "+A", primary=True, unique=True, required=True), "T", rs.ACCESS)
            .endswith(" WITH PRIMARY;"))
        self.assertEqual(rs.create_index_statement(index("R", "+A", unique=True, required=True),
                                                   "T", rs.ACCESS),
                         "CREATE UNIQUE INDEX [R] ON [T] ([A] Asc) WITH DISALLOW NULL;")

    def test_view_keeps_line_ends(self):
        q = {"name": "Q", "sql": "SELECT *\r\nFROM T;\r\n"}
        self.assertEqual(rs.render_sql(database(queries=[q]), rs.SQLSERVER),
                         'CREATE VIEW "Q" AS SELECT *\r\nFROM T;\r\n\r\n\r\n')
        self.assertEqual(rs.render_sql(database(queries=[q]), rs.ACCESS), "")


class ModuleRules(unittest.TestCase):
    def test_entry_lines(self):
        lines = rs.render_module(database([ORDERS])).lines
        self.assertIn('AddField td, "ID", dbCounter, 4, True, False, , , ""', lines)
        self.assertIn('AddField td, "Customer", dbText, 50, False, False, """none""", , ""', lines)
        self.assertIn('AddIndex td, "PrimaryKey", "+ID", idxPrimary, idxUnique', lines)
        self.assertIn("Private Function CTable_Orders (db as Database) As Integer", lines)
        self.assertIn("MsgBox Error, 48, \"Could not create table 'Orders'\"", lines)
        self.assertIn("    MsgBox Error, 48, \"Could not create a new database '\" & DatabaseName & \"'\"",
                      lines)

    def test_excluded_table_body_is_three_blank_lines(self):
        selection = rs.Selection(fields={("Orders", f["name"]) for f in ORDERS["fields"]},
                                 indexes={("Orders", i["name"]) for i in ORDERS["indexes"]})
        lines = rs.render_module(database([ORDERS]), selection=selection).lines
        at = lines.index('td.Name = "Orders"')
        self.assertEqual(lines[at + 1:at + 5], ["", "", "", "db.TableDefs.Append td"])

    def test_querydef_lines(self):
        doc = database(queries=[{"name": "Q", "sql": 'SELECT * \r\nFROM "x";\r\n'},
                                {"name": "E", "sql": ""}])
        lines = rs.render_module(doc).lines
        self.assertIn('SQL = "SELECT *  "', lines)
        self.assertIn('SQL = SQL & "FROM ""x""; "', lines)
        at = lines.index("' Creates a QueryDef called 'E'")
        self.assertEqual(lines[at + 4:at + 8], ["Dim SQL As String", "", 'SQL = " "', ""])

    def test_master_calls_tables_before_querydefs(self):
        t1 = {"name": "T1", "fields": [], "indexes": []}
        t2 = {"name": "T2", "fields": [], "indexes": []}
        listing = [{"name": "T1", "tableType": 1, "attributes": 0},
                   {"name": "Q1", "tableType": 5, "attributes": 0},
                   {"name": "T2", "tableType": 1, "attributes": 0},
                   {"name": "MSysX", "tableType": 1, "attributes": -2147483648}]
        lines = rs.render_module(database([t1, t2], [{"name": "Q1", "sql": ""}], listing)).lines
        calls = [l for l in lines if l.startswith("ElseIf C")]
        self.assertEqual(calls, ["ElseIf CTable_T1(db) = False Then", "ElseIf CTable_T2(db) = False Then",
                                 "ElseIf CQuery_Q1(db) = False Then"])
        heads = [l for l in lines if l.startswith("' Creates")]
        self.assertEqual(heads, ["' Creates a table called 'T1'", "' Creates a QueryDef called 'Q1'",
                                 "' Creates a table called 'T2'"])

    def test_options(self):
        doc = database([ORDERS], collating_order=1053)
        lines = rs.render_module(doc, rs.ModuleOptions(include_procedures=False,
                                                       name_after_database=True)).lines
        self.assertEqual(lines[5:9], ["' Needs DBCREATE.BAS to work",
                                      "' Usage: Call function Create_ORDERS_Database(\"filename.mdb\") "
                                      "from your application", "", "Option Explicit"])
        self.assertEqual(lines[9], "' This function creates the whole database in the file")
        self.assertIn("Set db = WorkSpaces(0).CreateDatabase(DatabaseName, dbLangSwedFin)", lines)
        self.assertIn("' You could replace the above dbLangSwedFin with:", lines)
        all_in_one = rs.render_module(database([ORDERS], collating_order=1034)).lines
        self.assertEqual(all_in_one[7:9], ["Option Explicit", "Const dbCounter = -10"])
        self.assertIn("Set db = WorkSpaces(0).CreateDatabase(DatabaseName, dbLangGeneral)", all_in_one)

    def test_linked_table_function_is_cut_off(self):
        listing = [{"name": "Linked", "tableType": 6, "attributes": 0}]
        rendering = rs.render_module(database(listing=listing))
        self.assertEqual(rendering.failed_entries, ["Linked"])
        self.assertEqual(rendering.lines[-3:], ["Dim td as New TableDef", 'td.Name = "Linked"', ""])
        with self.assertRaises(rs.ScriptAbandoned):
            rs.render_sql(database(listing=listing), rs.ACCESS)

    def test_encoding(self):
        doc = database([{"name": "Ωx€", "fields": [], "indexes": []}])
        self.assertIn("' Creates a table called '?x\x80'".encode("latin-1"),
                      rs.render_module(doc).encoded())
        utf8 = rs.render_module(doc, rs.ModuleOptions(encoding="utf-8")).encoded()
        self.assertIn("' Creates a table called 'Ωx€'".encode("utf-8"), utf8)


if __name__ == "__main__":
    unittest.main()
