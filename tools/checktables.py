#!/usr/bin/env python3
"""Checks the game's move and species tables for slips the game would trip on.

    python3 tools/checktables.py

Reads creatures/movedata.cpp and creatures/vrltdata.cpp as text. Moves: one
row per number in order, names that fit the move menu (at most 11
characters), a real type, PP, and a status move (no power) whose effect the
battle carries out every time. Species: one row per number in order, real
types, family and evolution targets inside the table, learnsets of known
moves in level order without repeats, and at least two moves by level 5.
Prints each problem and exits 1 if there is any.
"""

import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
MOVECOUNT, SPECIESCOUNT, FALLBACK = 252, 16, 165
# Effects the battle carries out (see the comment above the move table).
EFFECTS = {3, 4, 5, 13, 16, 19, 20, 21, 23, 26, 32, 38, 39, 45, 47, 54, 73, 93, 105}


def read(name):
    with open(os.path.join(ROOT, "creatures", name), encoding="utf-8") as f:
        return f.read()


def check_moves(problems):
    rows = re.findall(r'^\s*\{\s*(\d+), "([^"]*)",\s*([\w|]+),\s*(-?\d+),\s*(\d+),\s*(\d+),\s*(\w+),\s*(\d+),\s*(\d+),\s*(\d+)\}',
                      read("movedata.cpp"), re.M)
    if len(rows) != MOVECOUNT:
        problems.append("the move table has %d rows, not %d" % (len(rows), MOVECOUNT))
    for i, (number, name, _flags, _prio, pp, power, mtype, accuracy, chance, effect) in enumerate(rows):
        what = "move %s %s" % (number, name)
        if int(number) != i:
            problems.append("%s stands at row %d" % (what, i))
        if i == 0:
            continue
        if not 1 <= len(name) <= 11:
            problems.append("%s: the name must be 1 to 11 characters for the move menu" % what)
        if mtype == "TYPE_NONE" and i != FALLBACK:
            problems.append("%s has no type" % what)
        if int(pp) < 1 or int(accuracy) > 255 or int(chance) > 255:
            problems.append("%s: PP below 1, or accuracy or effect chance above 255" % what)
        if int(power) == 0 and (int(effect) not in EFFECTS or int(chance) != 255):
            problems.append("%s deals no damage and has no effect that always applies" % what)
    return {int(r[0]) for r in rows}


def check_species(problems, moves):
    text = read("vrltdata.cpp")
    heads = list(re.finditer(r'\{(\d+), \d+, "([^"]*)", "[^"]*", (\w+), (\w+), \d+, \d+, (\d+), (\d+), \{((?:\{\w+, \d+, \d+\},? ?)*)\},', text))
    if len(heads) != SPECIESCOUNT:
        problems.append("the species table has %d rows, not %d" % (len(heads), SPECIESCOUNT))
    family = {int(h.group(1)): int(h.group(5)) for h in heads}
    for i, head in enumerate(heads):
        number, name, type1, type2, base, evocount, evolutions = head.groups()
        what = "species %s %s" % (number, name)
        if int(number) != i:
            problems.append("%s stands at row %d" % (what, i))
        if i == 0:
            continue
        if "TYPE_NONE" in (type1, type2) or not type1.startswith("TYPE_") or not type2.startswith("TYPE_"):
            problems.append("%s has a type outside the type table" % what)
        targets = [int(t) for t in re.findall(r'\{\w+, \d+, (\d+)\}', evolutions)]
        if len(targets) != int(evocount) or not 1 <= family[i] < SPECIESCOUNT:
            problems.append("%s: %s evolutions counted, %d listed; first of the line %d" % (what, evocount, len(targets), family[i]))
        for target in targets:
            if not 1 <= target < SPECIESCOUNT or target == i or family.get(target) != family[i]:
                problems.append("%s evolves into %d, not another species of its line" % (what, target))
        end = heads[i + 1].start() if i + 1 < len(heads) else len(text)
        learnset = [(int(m), int(l)) for m, l in re.findall(r'^\s*\{\s*(\d+), \d+,\s*(\d+)\},', text[head.end():end], re.M)]
        levels = [level for _, level in learnset if level]
        if len(learnset) >= 50 or levels != sorted(levels) or len({m for m, _ in learnset}) != len(learnset):
            problems.append("%s: the learnset must hold fewer than 50 moves, in level order, none twice" % what)
        for move, level in learnset:
            if move not in moves or move in (0, FALLBACK) or level > 101:
                problems.append("%s learns move %d at level %d" % (what, move, level))
        if sum(1 for _, level in learnset if 1 <= level <= 5) < 2:
            problems.append("%s knows fewer than two moves at level 5" % what)


def main():
    problems = []
    check_species(problems, check_moves(problems))
    for problem in problems:
        print("checktables: " + problem)
    if not problems:
        print("checktables: the move and species tables are sound")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
