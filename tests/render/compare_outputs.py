#!/usr/bin/env python3
"""Runs zlgen-cli on real and crafted databases and compares its module and SQL scripts byte
for byte with the independent rendering of render_schema.py.

Databases: every *.mdb / *.accdb of the shared fixtures folder (skipped with a note when it is
absent), the bundled sample database, and the descriptions in databases/*.json made into
databases with zlmkdb, and random descriptions for a range of fixed seeds (a failing one is
reproduced with --random-seeds N:N+1 --keep). Exit status 0 when every comparison matches or is a listed expected
mismatch, 1 otherwise.
"""

from __future__ import annotations

import argparse
import fnmatch
import json
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass, field
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import random_schema  # noqa: E402
import render_schema as rs  # noqa: E402

# Known faults of the program, kept here until they are mended so that the test passes
# meanwhile: (database pattern, output pattern, what is wrong). Patterns are fnmatch patterns
# over the labels that the report prints, e.g. "crafted/names" and "vb:messages". An entry that
# no longer fails makes the test fail, so that it gets removed.
EXPECTED_MISMATCHES: list[tuple[str, str, str]] = [
]

DIALECTS = {"access": rs.ACCESS, "sqlserver": rs.SQLSERVER}

# Messages with quotes, several %n, an ampersand, letters of the code page and one outside it.
CUSTOM_MESSAGES = {
    "Table": 'Table "%n" failed (%n) & » Größe Ω',
    "QueryDef": "Query '%n' — kaputt %n%n",
    "Database": 'DB "%n" not made; %n again',
}


@dataclass
class Variant:
    """One way of running `zlgen-cli vb`: a settings file, flags, and the options they mean."""

    name: str
    settings: str | None  # contents of the settings file; None: no file at all
    flags: list[str]
    options: rs.ModuleOptions


def _messages_ini() -> str:
    return "[Error message]\n" + "".join(f"{k}={v}\n" for k, v in CUSTOM_MESSAGES.items())


def _custom(**kw) -> rs.ModuleOptions:
    return rs.ModuleOptions(table_error_message=CUSTOM_MESSAGES["Table"],
                            querydef_error_message=CUSTOM_MESSAGES["QueryDef"],
                            database_error_message=CUSTOM_MESSAGES["Database"], **kw)


VARIANTS = [
    Variant("defaults", None, [], rs.ModuleOptions()),
    Variant("public", None, ["--public"], rs.ModuleOptions(private_functions=False)),
    Variant("dbcreate", None, ["--dbcreate"], rs.ModuleOptions(include_procedures=False)),
    Variant("name-after-database", None, ["--name-after-database"],
            rs.ModuleOptions(name_after_database=True)),
    Variant("settings-file",
            "; options as the Settings dialog stores them\n[Code]\nPrivate functions=0\n"
            "Use DBCREATE.BAS=True\nCreate_FNAME_Database=-1\n",
            [], rs.ModuleOptions(private_functions=False, include_procedures=False,
                                 name_after_database=True)),
    Variant("flags-over-settings",
            "[code]\nprivate functions=0\nuse dbcreate.bas=True\n",
            ["--private", "--all-in-one"], rs.ModuleOptions()),
    Variant("settings-case",
            "[CODE]\nPRIVATE FUNCTIONS=0\n[error MESSAGE]\ntable=Table %n failed\n",
            [], rs.ModuleOptions(private_functions=False, table_error_message="Table %n failed")),
    Variant("messages", _messages_ini(), [], _custom()),
    Variant("utf8", "[Code]\nEncoding=UTF-8\n" + _messages_ini(), [], _custom(encoding="utf-8")),
    Variant("settings-odd-values",
            "[Code]\nPrivate functions=\nUse DBCREATE.BAS=yes\nCreate_FNAME_Database=FALSE  \n"
            "[Error message]\nTable=\nQueryDef=" + "q" * 300 + "\n",
            [], rs.ModuleOptions(private_functions=False, include_procedures=False,
                                 table_error_message="", querydef_error_message="q" * 255)),
    Variant("utf8-all-flags", "[Code]\nEncoding=UTF-8\n",
            ["--public", "--dbcreate", "--name-after-database"],
            rs.ModuleOptions(private_functions=False, include_procedures=False,
                             name_after_database=True, encoding="utf-8")),
]


@dataclass
class Database:
    label: str
    path: Path


# Selections other than "everything" for some databases: the zlgen-cli options and what they
# leave out. They are run for both dialects and the module with default settings.
SELECTIONS: dict[str, list[tuple[str, str]]] = {
    "sample/orders.mdb": [("--exclude", "Employees"), ("--exclude-field", "Customers.Notes"),
                          ("--exclude-field", "Customers.CustomerID"),
                          ("--exclude-index", "Customers.PrimaryKey")],
    "crafted/types": [("--exclude-field", "AllTypes.Amount"), ("--exclude-field", "AllTypes.Flag"),
                      ("--exclude-index", "AllTypes.UniqueName"), ("--exclude-index", "AllTypes.Multi"),
                      ("--exclude-index", "AllTypes.PrimaryKey"), ("--exclude", "NoIndexes"),
                      ("--exclude-field", "UniqueOnly.K"), ("--exclude-field", "UniqueOnly.L")],
    "crafted/names": [("--exclude", "Customers!"), ("--exclude-field", "Tab[le].ID"),
                      ("--exclude-index", 'Order "Details".Primary "Key"'),
                      ("--exclude-index", 'Order "Details".Idx]Bracket[')],
    "crafted/relations": [("--exclude-index", 'Cüstomers "Main"..rC'),
                          ("--exclude-index", "Orders.PrimaryKey")],
    # Without its linked table the database generates like any other.
    "fixtures/linkerTestV2007.accdb": [("--exclude", "Table2")],
    # Entries past the 201st and positions near the list limits have their own selection too.
    "crafted/limits": [("--exclude-field", "t205.ID"), ("--exclude-field", "Wide.F500"),
                       ("--exclude-index", "ManyIndexes.I50"), ("--exclude-index", "ManyIndexes.I03"),
                       ("--exclude", "T210"), ("--exclude", "T201q")],
    "crafted/queries": [("--only", "Orders"), ("--only", 'Select "Quoted"'), ("--only", "DDL")],
}


def selection_of(options: list[tuple[str, str]], doc: dict) -> rs.Selection:
    selection = rs.Selection()
    names = [e.name for e in rs.entries_of(doc)]
    only = [value for option, value in options if option == "--only"]
    if only:
        selection.entries.update(n for n in names if n not in only)
    for option, value in options:
        if option == "--exclude":
            selection.entries.add(value)
        elif option in ("--exclude-field", "--exclude-index"):
            table, member = value.split(".", 1)
            (selection.fields if option == "--exclude-field" else selection.indexes).add(
                (table, member))
    return selection


@dataclass
class Report:
    compared: int = 0
    matched: int = 0
    failures: list[str] = field(default_factory=list)
    expected: list[str] = field(default_factory=list)
    notes: list[str] = field(default_factory=list)
    seen_expected: set[int] = field(default_factory=set)

    def outcome(self, db: str, output: str, problem: str | None) -> None:
        self.compared += 1
        known = [n for n, (d, o, _) in enumerate(EXPECTED_MISMATCHES)
                 if fnmatch.fnmatchcase(db, d) and fnmatch.fnmatchcase(output, o)]
        if problem is None:
            self.matched += 1
            for n in known:
                self.failures.append(f"{db} {output}: matches now, although listed as an expected "
                                     f"mismatch ({EXPECTED_MISMATCHES[n][2]}); remove that entry")
            return
        if known:
            self.seen_expected.update(known)
            self.expected.append(f"{db} {output}: expected mismatch "
                                 f"({EXPECTED_MISMATCHES[known[0]][2]})")
            return
        self.failures.append(f"{db} {output}: {problem}")


def run(args: list[str]) -> subprocess.CompletedProcess:
    return subprocess.run(args, capture_output=True, timeout=120)


def first_difference(expected: list[bytes], actual: list[bytes], context: int = 3) -> str:
    n = next((i for i in range(min(len(expected), len(actual))) if expected[i] != actual[i]),
             min(len(expected), len(actual)))
    out = [f"first difference at line {n + 1} "
           f"(expected {len(expected)} lines, got {len(actual)})"]
    lo = max(0, n - context)
    for title, lines in (("expected", expected), ("actual", actual)):
        out.append(f"  {title}:")
        for i in range(lo, min(len(lines), n + context + 1)):
            mark = ">" if i == n else " "
            out.append(f"   {mark}{i + 1:5} {lines[i]!r}")
        if n >= len(lines):
            out.append(f"   >{n + 1:5} <end of text>")
    return "\n".join(out)


def compare_text(expected: bytes, actual: bytes, ignore_lines: tuple[int, ...] = ()) -> str | None:
    """None when equal (lines split at CR LF; the 0-based lines listed are ignored)."""
    e = expected.split(b"\r\n")
    a = actual.split(b"\r\n")
    for i in ignore_lines:
        if i < len(e) and i < len(a):
            e[i] = a[i] = b"<ignored>"
    if e == a:
        return None
    return first_difference(e, a)


def check_sql(db: Database, doc: dict, cli: str, report: Report,
              selection: list[tuple[str, str]] | None = None, tag: str = "") -> None:
    for dialect_name, dialect in DIALECTS.items():
        output = f"sql:{dialect_name}" + (":selection" if selection else "") + tag
        args = [a for pair in selection or [] for a in pair]
        result = run([cli, "sql", str(db.path), "--dialect", dialect_name] + args)
        try:
            expected = rs.render_sql(doc, dialect, selection_of(selection or [], doc)).encode("utf-8")
        except rs.ScriptAbandoned as abandoned:
            # The script cannot be produced; the tool must say so and print nothing.
            if result.returncode == 1 and result.stdout == b"":
                report.notes.append(f"{db.label} {output}: abandoned as expected ({abandoned}); "
                                    f"tool said: {result.stderr.decode(errors='replace').strip()}")
                report.outcome(db.label, output, None)
            else:
                report.outcome(db.label, output,
                               f"expected the script to be abandoned ({abandoned}) with exit "
                               f"status 1 and no output; got status {result.returncode} and "
                               f"{len(result.stdout)} bytes")
            continue
        if result.returncode != 0:
            report.outcome(db.label, output, f"exit status {result.returncode}: "
                           f"{result.stderr.decode(errors='replace').strip()}")
            continue
        report.outcome(db.label, output, compare_text(expected, result.stdout))


def check_header_lines(actual: bytes) -> str | None:
    lines = actual.split(b"\r\n")
    if len(lines) < 4 or not lines[2].startswith(b"'") or not lines[3].startswith(b"' Date: "):
        return "header lines 3 and 4 are not the copyright and date comments: " + repr(lines[2:4])
    return None


def check_module(db: Database, doc: dict, cli: str, work: Path, report: Report,
                 selection: list[tuple[str, str]] | None = None, tag: str = "",
                 variants: list[Variant] | None = None) -> None:
    if variants is None:
        variants = VARIANTS if not (selection or tag) else VARIANTS[:1]
    for variant in variants:
        output = f"vb:{variant.name}" + (":selection" if selection else "") + tag
        args = [a for pair in selection or [] for a in pair]
        settings = work / f"settings-{variant.name}.ini"
        if variant.settings is not None:
            settings.write_text(variant.settings, encoding="utf-8")
        elif settings.exists():
            settings.unlink()
        module = work / "module.bas"
        if module.exists():
            module.unlink()
        result = run([cli, "vb", str(db.path), "-o", str(module), "--settings", str(settings)]
                     + variant.flags + args)
        rendering = rs.render_module(doc, variant.options, selection_of(selection or [], doc))
        expected_status = 1 if rendering.failed_entries else 0
        if result.returncode != expected_status:
            report.outcome(db.label, output, f"exit status {result.returncode}, expected "
                           f"{expected_status}: {result.stderr.decode(errors='replace').strip()}")
            continue
        if not module.exists():
            report.outcome(db.label, output, "no module file written")
            continue
        actual = module.read_bytes()
        problem = (check_header_lines(actual)
                   or compare_text(rendering.encoded(), actual, ignore_lines=(2, 3)))
        if problem is None and rendering.failed_entries and variant.name == "defaults":
            report.notes.append(
                f"{db.label} vb: functions cut off for {rendering.failed_entries}; tool said: "
                f"{result.stderr.decode(errors='replace').strip()}")
        report.outcome(db.label, output, problem)


def check_database(db: Database, cli: str, work: Path, report: Report,
                   variants: list[Variant] | None = None) -> None:
    listing = run([cli, "list", str(db.path), "--json"])
    if listing.returncode != 0:
        report.outcome(db.label, "list", f"exit status {listing.returncode}: "
                       f"{listing.stderr.decode(errors='replace').strip()}")
        return
    doc = json.loads(listing.stdout.decode("utf-8"))
    check_sql(db, doc, cli, report)
    check_module(db, doc, cli, work, report, variants=variants)
    selection = SELECTIONS.get(db.label)
    if selection:
        check_sql(db, doc, cli, report, selection)
        check_module(db, doc, cli, work, report, selection)


def crafted_databases(zlmkdb: str, work: Path, report: Report) -> list[Database]:
    result = []
    for description in sorted((HERE / "databases").glob("*.json")):
        label = f"crafted/{description.stem}"
        target = work / f"{description.stem}.mdb"
        made = run([zlmkdb, str(description), str(target)])
        if made.returncode != 0:
            report.outcome(label, "zlmkdb", f"cannot make the database: "
                           f"{made.stderr.decode(errors='replace').strip()}")
            continue
        result.append(Database(label, target))
        if description.stem == "names":
            # The same database under file names that the module header and the master
            # function's name must cope with: letters outside the code page, quotes, a tab and
            # a line break, a backslash (a separator like "/"), and a colon past the second
            # character (no drive: the name is not usable and the base name is empty).
            for suffix, file_name in (("awkward", 'Nämes Ω "q" [b] 2.x.v2.mdb'),
                                      ("control", "Line\r\nBreak\tTab.mdb"),
                                      ("backslash", "dir\\Back slash.mdb"),
                                      ("colon", "C2:colon.mdb")):
                copy = work / file_name
                shutil.copyfile(target, copy)
                result.append(Database(f"crafted/names-file-name-{suffix}", copy))
    return result


# Module variants for random databases: the default, the messages, and every option switched.
RANDOM_VARIANTS = [v for v in VARIANTS if v.name in ("defaults", "messages", "utf8-all-flags")]


def check_random_databases(seeds: range, zlmkdb: str, cli: str, work: Path,
                           report: Report, only: str | None) -> None:
    refused = 0
    for seed in seeds:
        if only and not fnmatch.fnmatchcase(f"random/seed-{seed}", only):
            continue
        description = work / f"random-{seed}.json"
        description.write_text(json.dumps(random_schema.description(seed)), encoding="utf-8")
        target = work / f"random-{seed}.mdb"
        if run([zlmkdb, str(description), str(target)]).returncode != 0:
            refused += 1  # e.g. a relationship whose key the random indexes do not provide
            continue
        check_database(Database(f"random/seed-{seed}", target), cli, work, report,
                       variants=RANDOM_VARIANTS)
    report.notes.append(f"random databases: seeds {seeds.start} to {seeds.stop - 1}, "
                        f"{refused} descriptions refused by zlmkdb")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cli", required=True, help="zlgen-cli executable")
    parser.add_argument("--zlmkdb", help="zlmkdb executable; without it no crafted databases")
    parser.add_argument("--sample", help="the bundled sample database orders.mdb")
    parser.add_argument("--fixtures", default="../shared/fixtures",
                        help="folder of real databases (default: %(default)s)")
    parser.add_argument("--random-seeds", default="0:40", metavar="START:STOP",
                        help="random descriptions for these seeds (default: %(default)s; "
                             "an empty range turns them off)")
    parser.add_argument("--only", help="fnmatch pattern: compare only databases with this label")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = parser.parse_args()

    for program in (args.cli, args.zlmkdb):
        if program and not Path(program).is_file():
            parser.error(f"no program at {program}")

    report = Report()
    work = Path(tempfile.mkdtemp(prefix="zl-render-"))
    try:
        databases: list[Database] = []
        fixtures = Path(args.fixtures)
        if fixtures.is_dir():
            for path in sorted(fixtures.iterdir()):
                if path.suffix.lower() in (".mdb", ".accdb"):
                    databases.append(Database(f"fixtures/{path.name}", path))
        else:
            report.notes.append(f"no fixtures folder at {fixtures}: real databases skipped")
        if args.sample:
            sample = Path(args.sample)
            if sample.is_file():
                databases.append(Database("sample/orders.mdb", sample))
            else:
                report.outcome("sample/orders.mdb", "file", f"missing: {sample}")
        if args.zlmkdb:
            databases += crafted_databases(args.zlmkdb, work, report)
        for db in databases:
            if args.only and not fnmatch.fnmatchcase(db.label, args.only):
                continue
            check_database(db, args.cli, work, report)
        start, stop = (int(x) for x in args.random_seeds.split(":"))
        if args.zlmkdb and stop > start:
            check_random_databases(range(start, stop), args.zlmkdb, args.cli, work, report,
                                   args.only)
    finally:
        if args.keep:
            print(f"temporary files kept in {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)

    for note in report.notes:
        print("note:", note)
    for line in report.expected:
        print(line)
    for n, (d, o, reason) in enumerate(EXPECTED_MISMATCHES):
        if n not in report.seen_expected and not args.only:
            print(f"note: expected mismatch {d} {o} did not occur ({reason})")
    for failure in report.failures:
        print("MISMATCH:", failure)
    print(f"{report.compared} outputs compared: {report.matched} match, "
          f"{len(report.expected)} expected mismatches, {len(report.failures)} failures")
    return 1 if report.failures else 0


if __name__ == "__main__":
    sys.exit(main())
