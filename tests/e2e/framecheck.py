#!/usr/bin/env python3
"""Watches the game window while the player walks one way and checks that the
picture never jumps back.

    framecheck.py WINDOW SECONDS DIRECTION OUTDIR

Grabs the window with xwd as fast as it can for SECONDS, then compares each
grab with the one before: how far the map moved (found by sliding rows or
columns of the picture over each other) and where the player's sprite stands
(found by the colour of its cap). Walking right, the map may only move left or
stay and the sprite's place on the map may only move right; likewise for the
other directions. Prints one line and exits 1 on a backward jump, saving the
two grabs as PPM pictures in OUTDIR.
"""

import struct
import subprocess
import sys
import time

CAP = (44, 156, 150)  # the sprite's cap, a colour no block uses
SIZE = 352


def grab(window):
    """The window's pixels as rows of bytes (4 bytes a pixel), or None."""
    data = subprocess.run(["xwd", "-silent", "-id", window], capture_output=True).stdout
    if len(data) < 100:
        return None
    fields = struct.unpack(">25I", data[:100])
    header, ncolors, width, height, line = fields[0], fields[19], fields[4], fields[5], fields[12]
    if fields[11] != 32 or width < SIZE or height < SIZE:
        return None
    start = header + 12 * ncolors
    return [data[start + y * line:start + y * line + 4 * SIZE] for y in range(SIZE)]


def rgb(pixel):
    return pixel[2], pixel[1], pixel[0]


CAPBYTES = []  # the cap's pixel as the window shows it, once found


def sprite(rows):
    """The sprite's cap: leftmost x and topmost y, or None. The window shows
    the game's 16-bit colours rounded, so the cap is first found by nearness."""
    if not CAPBYTES:
        for y in range(SIZE):
            for x in range(SIZE):
                pixel = rows[y][4 * x:4 * x + 4]
                if all(abs(c - w) <= 8 for c, w in zip(rgb(pixel), CAP)):
                    CAPBYTES.append(pixel)
                    break
            if CAPBYTES:
                break
        if not CAPBYTES:
            return None
    for y in range(SIZE):
        x = rows[y].find(CAPBYTES[0])
        while x >= 0 and x % 4:
            x = rows[y].find(CAPBYTES[0], x + 1)
        if x >= 0:
            return x // 4, y
    return None


def matches(before, after, d):
    """after[i] == before[i + d] along a line of 4-byte pixels."""
    k = 4 * abs(d)
    if d >= 0:
        return after[:len(after) - k] == before[k:]
    return after[k:] == before[:len(before) - k]


def shift(before, after, across, skip):
    """How far the map moved between two grabs along the walk, judged on the
    lines away from the sprite: the d that matches the most lines."""
    if across:
        lines = [(before[y], after[y]) for y in range(SIZE) if abs(y - skip) > 40]
    else:
        column = lambda rows, x: b"".join(row[4 * x:4 * x + 4] for row in rows)
        lines = [(column(before, x), column(after, x)) for x in range(0, SIZE, 3) if abs(x - skip) > 40]
    counts = {d: sum(matches(b, a, d) for b, a in lines) for d in range(-40, 41)}
    best = max(counts, key=lambda d: (counts[d], -abs(d)))
    return best if counts[best] > 0 else None


def save(rows, path):
    with open(path, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (SIZE, SIZE))
        for row in rows:
            f.write(bytes(c for x in range(SIZE) for c in rgb(row[4 * x:4 * x + 4])))


def main():
    window, seconds, direction, outdir = sys.argv[1], float(sys.argv[2]), sys.argv[3], sys.argv[4]
    across = direction in ("left", "right")
    forward = 1 if direction in ("right", "down") else -1
    grabs, end = [], time.monotonic() + seconds
    while time.monotonic() < end:
        rows = grab(window)
        if rows:
            grabs.append(rows)
    if len(grabs) < 10:
        print("framecheck: only %d grabs" % len(grabs))
        return 1
    onmap = None
    moved = 0
    for i in range(1, len(grabs)):
        before, after = grabs[i - 1], grabs[i]
        if before == after:
            continue
        where = sprite(after)
        if where is None:
            print("framecheck: no sprite in grab %d" % i)
            return 1
        d = shift(before, after, across, where[1] if across else where[0])
        if d is None or d * forward < 0:
            save(before, "%s/jump-before.ppm" % outdir)
            save(after, "%s/jump-after.ppm" % outdir)
            print("framecheck: the map moved %s pixels against the walk at grab %d" % (d, i))
            return 1
        moved += d
        place = (where[0] if across else where[1]) + moved
        if onmap is not None and (place - onmap) * forward < 0:
            save(before, "%s/jump-before.ppm" % outdir)
            save(after, "%s/jump-after.ppm" % outdir)
            print("framecheck: the sprite stepped back %d pixels at grab %d" % (abs(place - onmap), i))
            return 1
        onmap = place
    print("framecheck: %d grabs, the map moved %d pixels, never back" % (len(grabs), abs(moved)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
