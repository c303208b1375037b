#!/bin/sh
# Counts non-blank, non-comment lines of C++ and Python: tests (tests/) against code (src/,
# tools/, bench/, fuzz/), and prints both with the share of tests in all of it.
set -e
cd "$(dirname "$0")/.."
python3 - <<'PY'
import pathlib

CPP = {".cpp", ".h", ".hpp", ".cc"}


def cpp_lines(text):
    count = 0
    in_block = False
    for raw in text.splitlines():
        line = raw.strip()
        code = ""
        i = 0
        while i < len(line):
            if in_block:
                end = line.find("*/", i)
                if end < 0:
                    i = len(line)
                else:
                    in_block = False
                    i = end + 2
            elif line.startswith("/*", i):
                in_block = True
                i += 2
            elif line.startswith("//", i):
                break
            else:
                code += line[i]
                i += 1
        if code.strip():
            count += 1
    return count


def python_lines(text):
    count = 0
    in_doc = None
    for raw in text.splitlines():
        line = raw.strip()
        if in_doc:
            if in_doc in line:
                in_doc = None
            continue
        if not line or line.startswith("#"):
            continue
        for quote in ('"""', "'''"):
            if line.startswith(quote):
                if line.count(quote) == 1:
                    in_doc = quote
                break
        else:
            count += 1
    return count


def count(folders):
    total = 0
    for folder in folders:
        for path in pathlib.Path(folder).rglob("*"):
            if not path.is_file():
                continue
            text = path.read_text(errors="replace")
            if path.suffix in CPP:
                total += cpp_lines(text)
            elif path.suffix == ".py":
                total += python_lines(text)
    return total


tests = count(["tests"])
code = count(["src", "tools", "bench", "fuzz"])
print(f"tests {tests}")
print(f"code  {code}")
print(f"tests/code {tests / code:.2f}  tests/all {tests / (tests + code):.2f}")
PY
