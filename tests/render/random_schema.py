"""Random database descriptions for zlmkdb, for the cross-check of the generated text.

Names and texts are drawn from an alphabet of the characters that generators trip over: quotes,
brackets, semicolons, signs, "%n", blanks, control characters (tab, CR, LF, CR LF, NUL, U+0001),
letters outside ASCII and outside the Windows-1252 code page, and a character outside the BMP.
A seed always gives the same description.
"""

from __future__ import annotations

import random

ALPHABET = list("abcXYZ019 _-+;:\"[]'%n&!") + [
    "\t", "\r", "\n", "\r\n", "\x01", "\x00", "ä", "Ω", "€", "😀", "\u0085", "»"]

FIELD_TYPES = ["Boolean", "Byte", "Integer", "Long", "Currency", "Single", "Double", "Date",
               "Binary", "Text", "LongBinary", "Memo", "GUID", "Decimal"]


def _text(rng: random.Random, longest: int) -> str:
    return "".join(rng.choice(ALPHABET) for _ in range(rng.randint(0, longest)))


def _name(rng: random.Random, longest: int = 8) -> str:
    # The command line names fields as TABLE.FIELD, so names keep clear of dots.
    return "".join(rng.choice(ALPHABET) for _ in range(rng.randint(1, longest))) or "x"


class _Names:
    """Names unique ignoring case, as Jet compares them, and at most 64 characters long."""

    def __init__(self) -> None:
        self.used: set[str] = set()

    def new(self, rng: random.Random, longest: int = 8) -> str:
        while True:
            name = _name(rng, longest)
            if name.lower() not in self.used and len(name.encode("utf-16-le")) <= 128:
                self.used.add(name.lower())
                return name


def _field(rng: random.Random, names: _Names) -> dict:
    kind = rng.choice(FIELD_TYPES)
    f = {"name": names.new(rng), "type": kind}
    if kind == "Long" and rng.random() < 0.3:
        f["autoNumber"] = True
    if kind in ("Text", "Binary"):
        f["size"] = rng.randint(1, 255)
        if rng.random() < 0.3:
            f["fixedLength"] = True
    if rng.random() < 0.3:
        f["required"] = True
    if kind in ("Text", "Memo") and rng.random() < 0.3:
        f["allowZeroLength"] = True
    for key in ("defaultValue", "validationRule", "validationText"):
        if rng.random() < 0.4:
            f[key] = _text(rng, 20)
    return f


def _indexes(rng: random.Random, fields: list[dict]) -> list[dict]:
    names = _Names()
    result = []
    has_primary = False
    for _ in range(rng.randint(0, 4)):
        columns = []
        for _ in range(rng.randint(1, 3)):
            name = rng.choice(fields)["name"]
            # A name that begins with a sign needs a sign of its own in front.
            columns.append(rng.choice(["+", "-"] if name[0] in "+-" else ["", "+", "-"]) + name)
        index = {"name": names.new(rng), "fields": columns}
        if not has_primary and rng.random() < 0.3:
            index["primary"] = has_primary = True
        else:
            if rng.random() < 0.4:
                index["unique"] = True
            if rng.random() < 0.3:
                index["required"] = True
        if rng.random() < 0.3:
            index["ignoreNulls"] = True
        result.append(index)
    return result


def _relationship(rng: random.Random, tables: list[dict]) -> dict | None:
    one, many = rng.sample(tables, 2)
    keys = [i for i in one["indexes"] if i.get("primary") or i.get("unique")]
    if not keys:
        return None
    columns = [c[1:] if c[:1] in "+-" else c for c in keys[0]["fields"]]
    if len({c.lower() for c in columns}) != len(columns):
        return None
    return {"name": _name(rng, 10), "primaryTable": one["name"], "foreignTable": many["name"],
            "fields": [{"primary": c, "foreign": rng.choice(many["fields"])["name"]}
                       for c in columns],
            "enforce": rng.random() < 0.7}


def description(seed: int) -> dict:
    rng = random.Random(seed)
    objects = _Names()  # tables and queries share one name space
    tables = []
    for _ in range(rng.randint(0, 5)):
        field_names = _Names()
        fields = [_field(rng, field_names) for _ in range(rng.randint(1, 6))]
        tables.append({"name": objects.new(rng, 12), "fields": fields,
                       "indexes": _indexes(rng, fields)})
    queries = []
    for _ in range(rng.randint(0, 3)):
        kind = rng.choice(["passThrough", "dataDefinition"])
        query = {"name": objects.new(rng, 12), "kind": kind, "sql": _text(rng, 60)}
        if kind == "passThrough":
            query["connect"] = "ODBC;DSN=x"
        queries.append(query)
    for _ in range(rng.randint(0, 3) if tables else 0):
        table = rng.choice(tables)
        queries.append({"name": objects.new(rng, 12), "tables": [table["name"]],
                        "columns": [{"expression": "[" + rng.choice(table["fields"])["name"] + "]",
                                     "alias": _name(rng)}],
                        "where": _text(rng, 30), "orderBy": [_text(rng, 10) or "x"]})
    result = {"collatingOrder": rng.choice([1030, 1033, 1039, 1043, 1053, 1034]),
              "tables": tables, "queries": queries}
    if len(tables) >= 2 and rng.random() < 0.5:
        relationship = _relationship(rng, tables)
        if relationship:
            result["relationships"] = [relationship]
    return result
