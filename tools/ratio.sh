#!/usr/bin/env bash
# How large the tests are against the game code, in non-blank, non-comment
# lines of the files git knows: C and C++ sources and headers, shell and
# Python scripts. The game code is every such file outside tests/, bench/
# and tools/, less the data tables (the move, creature and type tables);
# the tests are everything under tests/, and the unit tests tests/test_*.cpp.
# Comments are // and /* */ in C and C++ (preprocessor lines are code) and #
# in shell and Python (the first line's #! too).
set -eu
cd "$(dirname "$0")/.."
git ls-files -z | python3 -c '
import re, sys
files = [f for f in sys.stdin.read().split("\0") if re.search(r"\.(c|cc|cpp|h|hpp|sh|py)$", f)]
def lines(path):
    text = open(path, encoding="utf-8", errors="replace").read()
    if path.endswith((".sh", ".py")):
        return sum(1 for l in text.splitlines() if l.strip() and not l.strip().startswith("#"))
    text = re.sub(r"/\*.*?\*/", lambda m: "\n" * m.group().count("\n"), text, flags=re.S)
    return sum(1 for l in text.splitlines() if l.strip() and not l.strip().startswith("//"))
tables = re.compile(r"(^|/)(movedata|vrltdata|types)\.cpp$")
code = sum(lines(f) for f in files if not re.match(r"(tests|bench|tools)/", f) and not tables.search(f))
tests = sum(lines(f) for f in files if f.startswith("tests/"))
unit = sum(lines(f) for f in files if re.match(r"tests/test_[^/]*\.cpp$", f))
print(f"game code {code}, tests {tests} ({tests / code:.3f}), unit tests {unit} ({unit / code:.3f})")
'
