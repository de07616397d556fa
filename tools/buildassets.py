#!/usr/bin/env python3
"""Builds the sample worlds' pictures and map-array files and the creatures'
battle pictures from text sources.

    python3 tools/buildassets.py            # writes everything under game/
    python3 tools/buildassets.py --check    # fails if game/ is out of date

Sources live in tools/assets/. Four kinds:

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

  The kinds of ground (type): 0 plain, 1 water, 2 encounter ground, 3 closed,
  4 keeps the walking stride, 5 rest ground (a step onto it heals the party).
  rise=N (encounter ground) adds N levels to every wild creature met on the
  block, so deeper ground can hold stronger creatures from the same tables;
  a block without it keeps the seven-value line.

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

* A creature (creatures/NN-name.txt): the battle pictures of one species,
  drawn with shapes rather than pixel by pixel. Built into brel/Ng.bmp (front,
  56 by 56), brelb/Ngb.bmp (back, 48 by 48) and the shiny brels/Ngs.bmp and
  brelsb/Ngsb.bmp, N being the species number. Pixels no shape covers are
  the transparent magenta.

      SPECIES 1 Kindlet
      LIGHT -1 -1 1.3          optional: where the light comes from (x right,
                               y down, z toward the viewer); this is the default
      COLOURS
      ink   #3c1512            the outline colour; required
      skin  #b3401f #e4652b #ff9549 #ffc47c   a ramp, dark to light
      flame #e0461a #ff8c1c #ffd23c ink=#b3300f   with its own outline colour
      END
      SHINY                    the shiny palette: ramps replaced, same count
      skin  #3f7f2f #62a83f #93d05a #c8ef8e   (a ramp without ink= takes
      END                                     the shiny or plain 'ink')
      FRONT                    then BACK: shapes drawn in order, later on top
      ellipse skin 20 29 14 11.5 rot=10    centre, radii; rot turns it (degrees)
      circle skin 9 35 2.5
      poly skin 41,26 53,10 51,23          corners
      line skin 6 35,42 42,40 46,34        width, then a path
      drop flame 47,24 47,4 5              round end, tip, radius
      dot ink 16,34 17,35                  single pixels
      union skin                           the shapes up to 'end union' (given
      ellipse 20 19 10 3 rot=85            without a colour) filled as one
      end union
      patch 12 26 w=white                  hand-set pixels from the top-left
      |.w.                                 corner: '.' keeps what is below,
      |www                                 other characters name a colour by
      END                                  the legend or a one-letter name

  A colour is a ramp name, lit by the light over the shape (round shapes
  like a ball, lines like a tube, polygons and unions by their width along
  the light), or 'name:2' for one fixed tone, 'name:ink' for the outline,
  'none' to erase. A ramp of up to five tones runs dark to light: shadow,
  colour, light, highlight (a fifth comes first as a deeper shadow; a
  single colour is flat). Options after a shape:
      edge=full   (default) outline the shape's own border in its ink
      edge=out    outline it only where it meets the background
      edge=none   no outline (lines under 3 wide, dots and patches)
      tone=-1     shift the shading a tone darker (far limbs) or lighter
      shade=flat  one tone; shade=slab lights any shape as a flat one
      sym         also draw it mirrored about the middle ('axis X' moves it)
  Last, every pixel beside the background takes its shape's outline colour,
  unless the shape said edge=none.

    python3 tools/buildassets.py --preview DIR   battle screens and a sheet
                                                 of every creature as PNG
    python3 tools/buildassets.py --icons DIR     the desktop icon (icon.txt:
                                                 SIZE, PALETTE, one grid) as
                                                 DIR/NxN.png at each size
"""

import math
import os
import struct
import sys
import zlib

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
        self.rise = int(options.get("rise", "0"))
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
        if not 0 <= block.rise <= 99:
            raise SourceError(f"{path}: block {block.name} has rise={block.rise}, not 0 to 99")
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
    if any(b.rise or b.type == 5 for b in blocks):
        out.append("# kind 5 is rest ground; an eighth value raises the wild creatures' levels")
    for n, b in enumerate(blocks):
        out.append(f"# {b.name}")
        out.append(", ".join(str(v) for v in [n, b.type, b.obstacle] + b.walls + ([b.rise] if b.rise else [])) + ",")
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


# Creature pictures -----------------------------------------------------------
# Shapes filled with shaded colour ramps are drawn into a grid of colour
# references (ramp name, tone); the plain and the shiny picture are that one
# grid seen through two palettes.

VIEW_SIZES = {"FRONT": 56, "BACK": 48}
MASK = (255, 0, 255)
# Light intensity at which each further tone of a ramp of n colours begins.
TONE_STEPS = {1: [], 2: [0.25], 3: [0.25, 0.8], 4: [0.25, 0.8, 0.95], 5: [-0.3, 0.25, 0.8, 0.95]}


def parse_hex(word, where):
    try:
        if len(word) != 7 or word[0] != "#":
            raise ValueError
        rgb = tuple(int(word[i:i + 2], 16) for i in (1, 3, 5))
    except ValueError:
        raise SourceError(f"{where}: '{word}' is not a colour #rrggbb")
    # Allegro turns the picture into 5-6-5 bits on load: keep every colour
    # away from what would become the transparent magenta there.
    if rgb[0] >= 248 and rgb[1] < 4 and rgb[2] >= 248:
        raise SourceError(f"{where}: colour {word} would be drawn transparent")
    return rgb


def parse_ramps(lines, path, normal=None):
    """COLOURS (or, with `normal`, SHINY) lines up to END: name -> (tones, ink)."""
    ramps = {}
    for number, text in lines:
        words = text.split()
        if words == ["END"]:
            return ramps
        where = f"{path}:{number}"
        tones, ink = [], None
        for word in words[1:]:
            if word.startswith("ink="):
                ink = parse_hex(word[4:], where)
            elif word.startswith("#"):
                tones.append(parse_hex(word, where))
            else:
                break  # the rest of the line is a remark
        name = words[0]
        if not 1 <= len(tones) <= 5 or ":" in name or name == "none":
            raise SourceError(f"{where}: colour line must be 'name #rrggbb ...' with one to five colours")
        if normal is not None:
            if name not in normal:
                raise SourceError(f"{where}: shiny '{name}' is not among the colours")
            if len(tones) != len(normal[name][0]):
                raise SourceError(f"{where}: shiny '{name}' needs {len(normal[name][0])} colours, as many as the plain one")
        ramps[name] = (tones, ink)
    raise SourceError(f"{path}: colour list without END")


class Creature:
    def __init__(self, path):
        self.path = path
        self.number = None
        self.name = ""
        self.light = (-1.0, -1.0, 1.3)
        self.colours = {}
        self.shiny = {}
        self.views = {}  # FRONT/BACK -> [(line number, words, patch rows)]


def parse_creature(path):
    creature = Creature(path)
    lines = iter(significant_lines(path))
    for number, text in lines:
        words = text.split()
        where = f"{path}:{number}"
        if words[0] == "SPECIES":
            if len(words) != 3 or not words[1].isdigit() or int(words[1]) == 0:
                raise SourceError(f"{where}: SPECIES needs a species number and a name")
            creature.number, creature.name = int(words[1]), words[2]
        elif words[0] == "LIGHT":
            creature.light = tuple(numbers(words[1:], 3, where))
        elif words == ["COLOURS"]:
            creature.colours = parse_ramps(lines, path)
        elif words == ["SHINY"]:
            creature.shiny = parse_ramps(lines, path, creature.colours)
        elif len(words) == 1 and words[0] in VIEW_SIZES:
            commands = []
            for number, text in lines:
                words2 = text.split()
                if words2 == ["END"]:
                    break
                if words2[0].startswith("|"):
                    if not commands or commands[-1][1][0] != "patch":
                        raise SourceError(f"{path}:{number}: pixel row outside a patch")
                    commands[-1][2].append(text.strip()[1:])
                else:
                    commands.append((number, words2, []))
            else:
                raise SourceError(f"{path}: {words[0]} without END")
            creature.views[words[0]] = commands
        else:
            raise SourceError(f"{where}: unknown line '{text}'")
    if creature.number is None or set(creature.views) != set(VIEW_SIZES) or "ink" not in creature.colours:
        raise SourceError(f"{path}: needs SPECIES, COLOURS with an 'ink', FRONT and BACK")
    return creature


def tone_of(intensity, count):
    return sum(1 for step in TONE_STEPS[count] if intensity >= step)


class Canvas:
    """One view being drawn: cells hold (ramp, tone) with tone a number or
    'ink'; owners hold the edge rule of the shape that drew each cell."""

    def __init__(self, creature, size):
        self.creature = creature
        self.size = size
        self.axis = (size - 1) / 2
        self.cells = [[None] * size for _ in range(size)]
        self.owners = [[None] * size for _ in range(size)]
        self.union = None  # (ramp, tone, options, points) while a union is open
        lx, ly, lz = creature.light
        norm = math.sqrt(lx * lx + ly * ly + lz * lz)
        self.light = (lx / norm, ly / norm, lz / norm)
        flat = math.hypot(lx, ly) or 1.0
        self.toward_light = (lx / flat, ly / flat)

    def ref(self, word, where):
        """A colour reference 'name', 'name:2' or 'name:ink': (name, tone or None for shaded)."""
        name, _, tone = word.partition(":")
        if name == "none":
            return None, None
        if name not in self.creature.colours:
            raise SourceError(f"{where}: '{name}' is not among the colours")
        count = len(self.creature.colours[name][0])
        if not tone:
            return name, None
        if tone == "ink":
            return name, "ink"
        if not tone.isdigit() or int(tone) >= count:
            raise SourceError(f"{where}: '{name}' has no tone {tone}")
        return name, int(tone)

    def put(self, x, y, cell, owner):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.cells[y][x] = cell
            self.owners[y][x] = owner if cell is not None else None

    def fill(self, shape, name, tone, options, where):
        """shape: {(x, y): light intensity or None}, painted with a ramp."""
        edge = options.get("edge", "full")
        if edge not in ("full", "out", "none"):
            raise SourceError(f"{where}: edge must be full, out or none")
        shift = round(option_number(options, "tone", where))
        if name is None:
            for x, y in shape:
                self.put(x, y, None, None)
            return
        count = len(self.creature.colours[name][0])
        for (x, y), intensity in shape.items():
            if edge == "full" and any((x + dx, y + dy) not in shape for dx, dy in NEIGHBOURS):
                cell = (name, "ink")
            elif tone is not None:
                cell = (name, tone)
            else:
                t = tone_of(intensity, count) if intensity is not None else min(1, count - 1)
                cell = (name, max(0, min(count - 1, t + shift)))
            self.put(x, y, cell, edge)

    def slab_light(self, points):
        """Light on a flat shape: how far across it, along the light, each
        pixel lies, read as the side of a cylinder."""
        lx, ly = self.toward_light
        shape = {}
        for x, y in points:
            near = far = 0
            while near < 64 and (round(x + lx * (near + 1)), round(y + ly * (near + 1))) in points:
                near += 1
            while far < 64 and (round(x - lx * (far + 1)), round(y - ly * (far + 1))) in points:
                far += 1
            u = (far - near) / (near + far + 1)  # 1 at the lit edge, -1 at the far one
            shape[(x, y)] = self.intensity(u * lx, u * ly)
        return shape

    def intensity(self, nx, ny):
        nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
        return nx * self.light[0] + ny * self.light[1] + nz * self.light[2]


NEIGHBOURS = ((1, 0), (-1, 0), (0, 1), (0, -1))


def numbers(words, count, where):
    try:
        values = [float(w) for w in words]
    except ValueError:
        values = []
    if len(values) != count:
        raise SourceError(f"{where}: expected {count} numbers")
    return values


def option_number(options, key, where):
    try:
        return float(options.get(key, "0"))
    except ValueError:
        raise SourceError(f"{where}: {key}= needs a number")


def points_of(words, where):
    points = []
    for word in words:
        x, comma, y = word.partition(",")
        try:
            points.append((float(x), float(y)))
        except ValueError:
            raise SourceError(f"{where}: '{word}' is not a point x,y")
    if not points:
        raise SourceError(f"{where}: no points")
    return points


def ellipse_shape(canvas, cx, cy, rx, ry, turn):
    cos, sin = math.cos(math.radians(turn)), math.sin(math.radians(turn))
    reach = int(max(rx, ry)) + 2
    shape = {}
    for y in range(int(cy) - reach, int(cy) + reach + 1):
        for x in range(int(cx) - reach, int(cx) + reach + 1):
            u = ((x - cx) * cos + (y - cy) * sin) / rx
            v = (-(x - cx) * sin + (y - cy) * cos) / ry
            if u * u + v * v <= 1.0:
                shape[(x, y)] = canvas.intensity(u * cos - v * sin, u * sin + v * cos)
    return shape


def segment_offset(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    return px - (ax + t * dx), py - (ay + t * dy)


def line_shape(canvas, width, points):
    radius = width / 2
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    shape = {}
    for y in range(int(min(ys) - radius) - 1, int(max(ys) + radius) + 2):
        for x in range(int(min(xs) - radius) - 1, int(max(xs) + radius) + 2):
            best = None
            for a, b in zip(points, points[1:] or points):
                ox, oy = segment_offset(x, y, a, b)
                if best is None or ox * ox + oy * oy < best[0] * best[0] + best[1] * best[1]:
                    best = (ox, oy)
            if best[0] * best[0] + best[1] * best[1] <= radius * radius:
                shape[(x, y)] = canvas.intensity(best[0] / radius, best[1] / radius) if radius > 0 else None
    return shape


def drop_shape(canvas, base, tip, radius):
    """A round end of `radius` at `base` narrowing to a point at `tip`."""
    (ax, ay), (bx, by) = base, tip
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy) or 1.0
    shape = {}
    for y in range(int(min(ay, by) - radius) - 1, int(max(ay, by) + radius) + 2):
        for x in range(int(min(ax, bx) - radius) - 1, int(max(ax, bx) + radius) + 2):
            t = ((x - ax) * dx + (y - ay) * dy) / (length * length)
            if t > 1:
                continue
            reach = radius * (1 - max(t, 0.0))
            ox, oy = segment_offset(x, y, base, tip)
            if t < 0:
                ox, oy = x - ax, y - ay
            if ox * ox + oy * oy <= reach * reach and reach > 0:
                shape[(x, y)] = canvas.intensity(ox / reach, oy / reach)
    return shape


def poly_shape(canvas, points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    inside = set()
    for y in range(int(min(ys)) - 1, int(max(ys)) + 2):
        for x in range(int(min(xs)) - 1, int(max(xs)) + 2):
            hit = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
            if hit:
                inside.add((x, y))
    return canvas.slab_light(inside)


def draw_command(canvas, number, words, rows):
    where = f"{canvas.creature.path}:{number}"
    kind = words[0]
    args = [w for w in words[1:] if "=" not in w and w != "sym"]
    options = parse_options(w for w in words[1:] if "=" in w)
    mirrored = "sym" in words[1:]
    if kind == "axis":
        canvas.axis = numbers(args, 1, where)[0]
        return
    if kind == "union":
        if canvas.union is not None or not args:
            raise SourceError(f"{where}: a union needs a colour and cannot hold another")
        name, tone = canvas.ref(args[0], where)
        canvas.union = (name, tone, options, set())
        return
    if words == ["end", "union"]:
        if canvas.union is None:
            raise SourceError(f"{where}: 'end union' without a union")
        name, tone, options, points = canvas.union
        canvas.union = None
        shade = options.get("shade", "slab")
        if shade not in ("slab", "flat"):
            raise SourceError(f"{where}: a union's shade must be slab or flat")
        shape = dict.fromkeys(points) if shade == "flat" else canvas.slab_light(points)
        canvas.fill(shape, name, tone, options, where)
        return
    if kind == "patch":
        x0, y0 = (round(v) for v in numbers(args, 2, where))
        legend = {key: canvas.ref(value, where) for key, value in options.items()}
        for dy, row in enumerate(rows):
            for dx, c in enumerate(row):
                if c in ". ":
                    continue
                name, tone = legend[c] if c in legend else canvas.ref(c, where)
                if name is not None and tone is None:
                    tone = min(1, len(canvas.creature.colours[name][0]) - 1)  # the base tone
                cell = None if name is None else (name, tone)
                for x in [x0 + dx] + ([round(2 * canvas.axis - x0 - dx)] if mirrored else []):
                    canvas.put(x, y0 + dy, cell, "none")
        return
    if canvas.union is not None:
        if args and args[0].partition(":")[0] in canvas.creature.colours | {"none": None}:
            raise SourceError(f"{where}: a shape inside a union takes no colour (is 'end union' missing?)")
        args = [None] + args  # shapes in a union take its colour
        name = tone = None
    else:
        if not args:
            raise SourceError(f"{where}: '{kind}' needs a colour")
        name, tone = canvas.ref(args[0], where)
    shade = options.get("shade", "")
    shapes = []
    if kind == "ellipse":
        cx, cy, rx, ry = numbers(args[1:], 4, where)
        if rx <= 0 or ry <= 0:
            raise SourceError(f"{where}: an ellipse needs radii above 0")
        turn = option_number(options, "rot", where)
        shapes.append(ellipse_shape(canvas, cx, cy, rx, ry, turn))
        if mirrored:
            shapes.append(ellipse_shape(canvas, 2 * canvas.axis - cx, cy, rx, ry, -turn))
    elif kind == "circle":
        cx, cy, r = numbers(args[1:], 3, where)
        if r <= 0:
            raise SourceError(f"{where}: a circle needs a radius above 0")
        shapes.append(ellipse_shape(canvas, cx, cy, r, r, 0))
        if mirrored:
            shapes.append(ellipse_shape(canvas, 2 * canvas.axis - cx, cy, r, r, 0))
    elif kind == "line":
        width = numbers(args[1:2], 1, where)[0]
        points = points_of(args[2:], where)
        if width < 3:
            options.setdefault("edge", "none")  # a thin stroke would be all edge
        shapes.append(line_shape(canvas, width, points))
        if mirrored:
            shapes.append(line_shape(canvas, width, [(2 * canvas.axis - x, y) for x, y in points]))
    elif kind == "drop":
        if len(args) != 4:
            raise SourceError(f"{where}: a drop is 'drop colour x,y x,y radius'")
        base, tip = points_of(args[1:3], where)
        radius = numbers(args[3:], 1, where)[0]
        shapes.append(drop_shape(canvas, base, tip, radius))
        if mirrored:
            mirror = lambda p: (2 * canvas.axis - p[0], p[1])
            shapes.append(drop_shape(canvas, mirror(base), mirror(tip), radius))
    elif kind == "poly":
        points = points_of(args[1:], where)
        if len(points) < 3:
            raise SourceError(f"{where}: a poly needs three points or more")
        shapes.append(poly_shape(canvas, points))
        if mirrored:
            shapes.append(poly_shape(canvas, [(2 * canvas.axis - x, y) for x, y in points]))
    elif kind == "dot":
        for x, y in points_of(args[1:], where):
            for px in [x] + ([2 * canvas.axis - x] if mirrored else []):
                shapes.append({(round(px), round(y)): None})
        options.setdefault("edge", "none")
    else:
        raise SourceError(f"{where}: unknown shape '{kind}'")
    if canvas.union is not None:
        for shape in shapes:
            canvas.union[3].update(shape)
        return
    for shape in shapes:
        if shade == "flat":
            shape = dict.fromkeys(shape)
        elif shade == "slab":
            shape = canvas.slab_light(set(shape))
        elif shade not in ("", "ball"):
            raise SourceError(f"{where}: shade must be ball, slab or flat")
        canvas.fill(shape, name, tone, options, where)


def draw_view(creature, view):
    canvas = Canvas(creature, VIEW_SIZES[view])
    for number, words, rows in creature.views[view]:
        draw_command(canvas, number, words, rows)
    if canvas.union is not None:
        raise SourceError(f"{creature.path}: {view} ends inside a union")
    # The silhouette: every cell beside the background takes its ramp's ink.
    size = canvas.size
    outline = []
    for y in range(size):
        for x in range(size):
            cell = canvas.cells[y][x]
            if cell is None or canvas.owners[y][x] in (None, "none"):
                continue
            for dx, dy in NEIGHBOURS:
                if 0 <= x + dx < size and 0 <= y + dy < size and canvas.cells[y + dy][x + dx] is None:
                    outline.append((x, y, cell[0]))
                    break
    for x, y, name in outline:
        canvas.cells[y][x] = (name, "ink")
    return canvas.cells


def colour_of(creature, cell, shiny):
    if cell is None:
        return MASK
    name, tone = cell
    plain = creature.colours[name]
    ramp = creature.shiny.get(name, plain) if shiny else plain
    if tone != "ink":
        return ramp[0][tone]
    if ramp[1] is not None:
        return ramp[1]
    if plain[1] is not None and name not in creature.shiny:
        return plain[1]
    ink = creature.shiny.get("ink", creature.colours["ink"]) if shiny else creature.colours["ink"]
    return ink[0][0]


CREATURES = os.path.join(ASSETS, "creatures")
_drawn = {}


def creatures():
    """The parsed creature sources, by species number."""
    if "all" not in _drawn:
        found = {}
        for entry in sorted(os.listdir(CREATURES) if os.path.isdir(CREATURES) else []):
            if entry.endswith(".txt"):
                creature = parse_creature(os.path.join(CREATURES, entry))
                if creature.number in found:
                    raise SourceError(f"{creature.path}: species {creature.number} is drawn twice")
                found[creature.number] = creature
        _drawn["all"] = found
    return _drawn["all"]


def creature_picture(number, view, shiny):
    creature = creatures()[number]
    key = (number, view)
    if key not in _drawn:
        _drawn[key] = draw_view(creature, view)
    return [[colour_of(creature, cell, shiny) for cell in row] for row in _drawn[key]]


def creature_jobs():
    """(target, builder) for the four battle pictures of every drawn species."""
    result = []
    for number in sorted(creatures()):
        for folder, suffix, view, shiny in (("brel", "g", "FRONT", False), ("brelb", "gb", "BACK", False),
                                            ("brels", "gs", "FRONT", True), ("brelsb", "gsb", "BACK", True)):
            build = lambda n=number, v=view, s=shiny: write_bmp(None, creature_picture(n, v, s))
            result.append((f"{folder}/{number}{suffix}.bmp", build))
    return result


def write_png(path, pixels):
    """An 8-bit PNG of rows of (r, g, b), or of (r, g, b, a) for a picture
    with transparency."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(c for rgb in row for c in rgb) for row in pixels)
    header = struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 8, 6 if len(pixels[0][0]) == 4 else 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def paste(target, picture, left, top, scale=2):
    """Draws a picture stretched `scale` times, leaving out the mask colour."""
    for y, row in enumerate(picture):
        for x, rgb in enumerate(row):
            if rgb == MASK:
                continue
            for dy in range(scale):
                for dx in range(scale):
                    target[top + y * scale + dy][left + x * scale + dx] = rgb


def frame(target, x1, y1, x2, y2, rgb=(0, 0, 0)):
    for x in range(x1, x2 + 1):
        target[y1][x] = target[y2][x] = rgb
    for y in range(y1, y2 + 1):
        target[y][x1] = target[y][x2] = rgb


def write_previews(folder):
    """Battle screens (plain and shiny) of every species and a sheet of all
    pictures at the game's doubled size, as PNG files in `folder`."""
    os.makedirs(folder, exist_ok=True)
    white, grey = (255, 255, 255), (200, 200, 200)
    for number, creature in sorted(creatures().items()):
        for shiny in (False, True):
            screen = [[(0, 0, 0)] * 352 for _ in range(352)]
            for y in range(1, 352):
                screen[y][1:] = [white] * 351
            frame(screen, 2, 270, 350, 350)
            frame(screen, 5, 5, 120, 45)  # status boxes
            frame(screen, 230, 200, 345, 260)
            paste(screen, creature_picture(number, "FRONT", shiny), 230, 5)
            paste(screen, creature_picture(number, "BACK", shiny), 5, 170)
            name = f"battle-{number:02d}-{creature.name.lower()}{'-shiny' if shiny else ''}.png"
            write_png(os.path.join(folder, name), screen)
    cell_w, cell_h, columns = 2 * 56 + 2 * 48 + 12, 2 * 112 + 12, 5
    numbers_ = sorted(creatures())
    rows = (len(numbers_) + columns - 1) // columns
    sheet = [[white] * (cell_w * columns) for _ in range(cell_h * rows)]
    for i, number in enumerate(numbers_):
        left, top = (i % columns) * cell_w, (i // columns) * cell_h
        frame(sheet, left, top, left + cell_w - 1, top + cell_h - 1, grey)
        for shiny in (False, True):
            y = top + 4 + (118 if shiny else 0)
            paste(sheet, creature_picture(number, "FRONT", shiny), left + 4, y)
            paste(sheet, creature_picture(number, "BACK", shiny), left + 120, y + 16)
    write_png(os.path.join(folder, "contact.png"), sheet)
    print(f"previews in {folder}")


ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def write_icons(folder):
    """The icon at every desktop size, enlarged by the largest whole number
    that fits so each pixel stays a crisp square, and centred (24 by 24 is
    the 16-pixel picture with a clear border)."""
    path = os.path.join(ASSETS, "icon.txt")
    lines = iter(significant_lines(path))
    side, palette, grid = None, None, None
    for number, text in lines:
        words = text.split()
        if words[0] == "SIZE" and len(words) == 2:
            side = int(words[1])
        elif words[0] == "PALETTE":
            palette = parse_palette(lines, path)
        elif side is not None and palette is not None and grid is None:
            grid = [text] + read_grid(lines, "the icon", path, side, side - 1)
            if len(text) != side:
                raise SourceError(f"{path}:{number}: grid line is {len(text)} wide, not {side}")
        else:
            raise SourceError(f"{path}:{number}: unknown line '{text}'")
    if grid is None:
        raise SourceError(f"{path}: needs SIZE, PALETTE and a grid")
    colours = {c: rgb + ((0,) if rgb == MASK else (255,)) for c, rgb in palette.items()}
    if any(c not in colours for row in grid for c in row):
        raise SourceError(f"{path}: the grid uses a character the palette lacks")
    os.makedirs(folder, exist_ok=True)
    for size in ICON_SIZES:
        scale = size // side
        border = (size - side * scale) // 2
        picture = [[(0, 0, 0, 0)] * size for _ in range(size)]
        for y in range(side * scale):
            for x in range(side * scale):
                picture[border + y][border + x] = colours[grid[y // scale][x // scale]]
        write_png(os.path.join(folder, f"{size}x{size}.png"), picture)


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
    ] + creature_jobs()


def main(argv):
    check = "--check" in argv
    stale = []
    try:
        for option, write in (("--preview", write_previews), ("--icons", write_icons)):
            if option in argv:
                at = argv.index(option)
                if at + 1 >= len(argv):
                    print("buildassets: %s needs a folder" % option, file=sys.stderr)
                    return 1
                write(argv[at + 1])
                return 0
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
