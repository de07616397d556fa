#!/usr/bin/env python3
"""Builds the sample worlds' pictures and map-array files from text sources.

    python3 tools/buildassets.py            # writes everything under game/
    python3 tools/buildassets.py --check    # fails if game/ is out of date

Sources live in tools/assets/. Three kinds:

* A block set (tiles.txt): the block size, a palette and one BLOCK entry per
  block picture, in block-number order. Each entry also gives the block's
  structure (kind of ground, obstacle, walls) and the character that stands
  for it in a layout. Built into one horizontal tile strip.

      SIZE 16 16
      PALETTE
      g 92 168 72        # one character, red, green, blue
      END
      BLOCK grass char=. type=0 obstacle=0 walls=0000   # top left bottom right
      <16 lines of 16 palette characters>

  A block may say auto=water: layout cells of its character then become the
  shore variant named by their land neighbours (shore=n, s, w, e, nw, ne, sw,
  se on the variant blocks; inw, ine, isw, ise for inner bends where land
  touches only a corner). Blocks with flag=waterlike count as water for
  that choice (bridges).

* A layout (layout.txt): the map as one character per block, rows top to
  bottom, all of equal length. Built, with the block set, into a map-array
  file.

* A sprite sheet (sprites.txt): frame size, pitch, frame count, a palette
  with the transparent colour, and FRAME entries:

      FRAME 3                  grid, padded with the background character
      FRAME 4 MIRROR 2         frame 2's grid mirrored left to right
      FRAME 19 BASE 3 ROW 9    frame 3 with this grid laid over it from row 9;
                               ',' keeps the pixel below
"""

import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASSETS = os.path.join(ROOT, "tools", "assets")
GAME = os.path.join(ROOT, "game")


class SourceError(Exception):
    pass


def significant_lines(path):
    """(line number, text) of a source, comments and blank lines dropped."""
    with open(path, encoding="ascii") as f:
        for number, raw in enumerate(f, 1):
            text = raw.rstrip("\r\n")
            if not text.strip() or text.startswith("#"):
                continue
            yield number, text


def parse_palette(lines, path):
    palette = {}
    for number, text in lines:
        if text.strip() == "END":
            return palette
        fields = text.split()
        if len(fields) < 4 or len(fields[0]) != 1:
            raise SourceError(f"{path}:{number}: palette line must be 'c r g b'")
        palette[fields[0]] = tuple(int(v) for v in fields[1:4])
    raise SourceError(f"{path}: palette without END")


def parse_options(words):
    options = {}
    for word in words:
        key, _, value = word.partition("=")
        options[key] = value
    return options


class Block:
    def __init__(self, name, options, grid):
        self.name = name
        self.char = options.get("char", "")
        self.type = int(options.get("type", "0"))
        self.obstacle = int(options.get("obstacle", "0"))
        walls = options.get("walls", "0000")
        self.walls = [int(c) for c in walls]  # top, left, bottom, right
        self.auto = options.get("auto", "")
        self.shore = options.get("shore", "")
        self.flag = options.get("flag", "")
        self.grid = grid


def read_grid(lines, first, path, width, height):
    """The next `height` lines, each exactly `width` characters."""
    grid = []
    for _ in range(height):
        try:
            number, text = next(lines)
        except StopIteration:
            raise SourceError(f"{path}: grid of {first} ends early")
        if len(text) != width:
            raise SourceError(f"{path}:{number}: grid line is {len(text)} wide, not {width}")
        grid.append(text)
    return grid


def parse_blockset(path):
    lines = iter(significant_lines(path))
    width = height = None
    palette = {}
    blocks = []
    for number, text in lines:
        words = text.split()
        if words[0] == "SIZE":
            width, height = int(words[1]), int(words[2])
        elif words[0] == "PALETTE":
            palette = parse_palette(lines, path)
        elif words[0] == "BLOCK":
            if width is None:
                raise SourceError(f"{path}:{number}: BLOCK before SIZE")
            grid = read_grid(lines, words[1], path, width, height)
            blocks.append(Block(words[1], parse_options(words[2:]), grid))
        else:
            raise SourceError(f"{path}:{number}: unknown line '{text}'")
    for block in blocks:
        for row in block.grid:
            for c in row:
                if c not in palette:
                    raise SourceError(f"{path}: block {block.name} uses '{c}', not in the palette")
    return width, height, palette, blocks


def write_bmp(path, pixels):
    """A 24-bit uncompressed BMP of rows of (r, g, b)."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def build_strip(path):
    width, height, palette, blocks = parse_blockset(path)
    pixels = [[None] * (width * len(blocks)) for _ in range(height)]
    for n, block in enumerate(blocks):
        for y, row in enumerate(block.grid):
            for x, c in enumerate(row):
                pixels[y][n * width + x] = palette[c]
    return write_bmp(path, pixels)


SHORES = {  # land on these sides -> shore name
    frozenset("n"): "n", frozenset("s"): "s", frozenset("w"): "w", frozenset("e"): "e",
    frozenset("nw"): "nw", frozenset("ne"): "ne", frozenset("sw"): "sw", frozenset("se"): "se",
}


def shore_name(land, corners):
    """The shore variant for a water cell with land on the sides in `land`,
    or only on the diagonal corners in `corners` (an inner bend)."""
    if not land:
        return "i" + sorted(corners)[0] if corners else ""
    key = frozenset(land)
    if key in SHORES:
        return SHORES[key]
    # Three or four land sides: keep the corner of the first two found.
    for corner in ("nw", "ne", "sw", "se"):
        if set(corner) <= land:
            return corner
    return sorted(land)[0]


def build_maparray(tilespath, layoutpath, tilesname):
    width, height, _, blocks = parse_blockset(tilespath)
    bychar = {}
    for n, block in enumerate(blocks):
        if block.char:
            if block.char in bychar:
                raise SourceError(f"{tilespath}: character '{block.char}' names two blocks")
            bychar[block.char] = n
    rows = [text for _, text in significant_lines(layoutpath)]
    if not rows or any(len(r) != len(rows[0]) for r in rows):
        raise SourceError(f"{layoutpath}: rows must all be as long as the first")
    if len(rows) > 60 or len(rows[0]) > 60:
        raise SourceError(f"{layoutpath}: a map has at most 60 rows and 60 columns")
    watery = {b.char for b in blocks if b.auto == "water" or b.flag == "waterlike"}
    shores = {b.shore: n for n, b in enumerate(blocks) if b.shore}

    def is_land(x, y):
        if not (0 <= y < len(rows) and 0 <= x < len(rows[0])):
            return False  # beyond the map edge the water goes on
        return rows[y][x] not in watery

    grid = []
    for y, row in enumerate(rows):
        cells = []
        for x, c in enumerate(row):
            if c not in bychar:
                raise SourceError(f"{layoutpath}: row {y} column {x}: '{c}' names no block")
            n = bychar[c]
            if blocks[n].auto == "water":
                land = {side for side, (dx, dy) in
                        (("n", (0, -1)), ("s", (0, 1)), ("w", (-1, 0)), ("e", (1, 0))) if is_land(x + dx, y + dy)}
                corners = {side for side, (dx, dy) in
                           (("nw", (-1, -1)), ("ne", (1, -1)), ("sw", (-1, 1)), ("se", (1, 1)))
                           if is_land(x + dx, y + dy)}
                name = shore_name(land, corners)
                n = shores.get(name, n)
            cells.append(n)
        grid.append(cells)

    # Comments stand only before lines read with a long limit: a comment
    # longer than the limit of the read that meets it is cut in two, and its
    # second half is taken for the expected line.
    out = ["1", "BEGIN MAP",
           f"TILES={tilesname}", f"BLOCKHEIGHT={height}", f"BLOCKWIDTH={width}", "BEGIN BLOCKSTRUCT",
           f"BLCKSTRCTCNT={len(blocks)}",
           "# Built by tools/buildassets.py from tools/assets; edit the sources there.",
           "# number, kind (1 water, 2 encounter, 3 closed, 4 keep stride), obstacle, top, left, bottom, right"]
    for n, b in enumerate(blocks):
        out.append(f"# {b.name}")
        out.append(", ".join(str(v) for v in [n, b.type, b.obstacle] + b.walls) + ",")
    out += ["END BLOCKSTRUCT", "BEGIN MAPARRAY", f"MAPARRAYY={len(grid)}", f"MAPARRAYX={len(grid[0])}"]
    for cells in grid:
        out.append(", ".join(str(v) for v in cells) + ",")
    out += ["END MAPARRAY", "END MAP", ""]
    return "\r\n".join(out).encode("ascii")


def parse_sheet(path):
    lines = iter(significant_lines(path))
    settings = {}
    palette = {}
    frames = {}  # number -> (words after the number, grid lines)
    last = None
    for number, text in lines:
        words = text.split()
        if words[0] in ("SIZE", "PITCH", "OFFSET", "FRAMES", "BACKGROUND"):
            settings[words[0]] = words[1:]
            last = None
        elif words[0] == "PALETTE":
            palette = parse_palette(lines, path)
            last = None
        elif words[0] == "FRAME":
            last = int(words[1])
            frames[last] = (words[2:], [])
        elif last is not None:
            # A frame's grid runs to the next keyword line.
            frames[last][1].append(text)
        else:
            raise SourceError(f"{path}:{number}: unknown line '{text}'")
    return settings, palette, frames


def build_sheet(path):
    settings, palette, frames = parse_sheet(path)
    size = int(settings["SIZE"][0])
    pitch = int(settings["PITCH"][0])
    offset = int(settings["OFFSET"][0])
    count = int(settings["FRAMES"][0])
    background = settings["BACKGROUND"][0]
    grids = {}

    def grid_of(n, seen=()):
        if n in grids:
            return grids[n]
        if n in seen or n not in frames:
            raise SourceError(f"{path}: frame {n} is missing or refers to itself")
        words, rows = frames[n]
        if words and words[0] == "MIRROR":
            source = grid_of(int(words[1]), seen + (n,))
            result = [row[::-1] for row in source]
        elif words and words[0] == "BASE":
            base = grid_of(int(words[1]), seen + (n,))
            top = int(words[3]) if len(words) > 3 and words[2] == "ROW" else 0
            result = [list(row) for row in base]
            for dy, text in enumerate(rows):
                for dx, c in enumerate(text):
                    if c != ",":
                        result[top + dy][dx] = c
            result = ["".join(row) for row in result]
        else:
            if not rows:
                raise SourceError(f"{path}: frame {n} has no grid")
            wide = max(len(r) for r in rows)
            result = [r.ljust(wide, background) for r in rows]
        grids[n] = result
        return result

    pixels = [[palette[background]] * (offset + pitch * count) for _ in range(size)]
    for n in sorted(frames):
        grid = grid_of(n)
        if len(grid) > size or any(len(r) > size for r in grid):
            raise SourceError(f"{path}: frame {n} is larger than {size} by {size}")
        for y, row in enumerate(grid):
            for x, c in enumerate(row):
                if c not in palette:
                    raise SourceError(f"{path}: frame {n} uses '{c}', not in the palette")
                pixels[y][offset + pitch * n + x] = palette[c]
    return write_bmp(path, pixels)


def jobs():
    """(target under game/, builder) for every built file."""
    a = lambda *p: os.path.join(ASSETS, *p)
    return [
        ("testproject/sprites2.bmp", lambda: build_sheet(a("sprites.txt"))),
        ("testproject/baytiles.bmp", lambda: build_strip(a("quillbay", "tiles.txt"))),
        ("testproject/bayarray.txt",
         lambda: build_maparray(a("quillbay", "tiles.txt"), a("quillbay", "layout.txt"), "baytiles.bmp")),
        ("cinderridge/ridgetiles.bmp", lambda: build_strip(a("cinderridge", "tiles.txt"))),
        ("cinderridge/ridgearray.txt",
         lambda: build_maparray(a("cinderridge", "tiles.txt"), a("cinderridge", "layout.txt"), "ridgetiles.bmp")),
    ]


def main(argv):
    check = "--check" in argv
    stale = []
    try:
        for target, build in jobs():
            data = build()
            path = os.path.join(GAME, target)
            old = open(path, "rb").read() if os.path.exists(path) else None
            if old == data:
                continue
            if check:
                stale.append(target)
            else:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(data)
                print("wrote game/" + target)
    except SourceError as error:
        print("buildassets: " + str(error), file=sys.stderr)
        return 1
    if stale:
        print("out of date, run tools/buildassets.py: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
