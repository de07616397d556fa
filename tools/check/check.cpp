// quillbay-check: reads a game directory with the game's own readers and
// tells a game maker, file by file and line by line, what stops a project
// from starting and what loads but cannot work in play.
//
//   quillbay-check [GAMEDIR]
//
// Each problem is one line "file:line: text" (the game's own log text, or
// "warning: ..." for what only the checker sees), with hints below it. The
// exit status is 0 when all is well, 1 after any problem, 2 when the
// directory cannot be checked at all.
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"

namespace {

// A place in a file, named as the game names it ("dir\file"); line 0 is the
// file as a whole.
struct place {
    std::string path;
    int line = 0;
};

std::string shownprefix;  // the game directory as the user named it, for the printed paths
int problems = 0;

// ---- the text of the files, for pointing and hints ----

// What the checker reads of a file for its own pointing and hints: the
// game's data files are a few kilobytes, and a huge file must not cost its
// size in memory or time. The game's readers read such a file line by line
// themselves.
constexpr long long TEXTBYTESMAX = 1 << 20;
constexpr size_t LINESHOWNMAX = 1024;  // characters kept of a line; longer ones are cut

// A file's physical lines, split where the reader splits them (CR, LF or CR
// LF), as far as the first TEXTBYTESMAX bytes go.
const std::vector<std::string> &TextLines(const std::string &path) {
    static std::map<std::string, std::vector<std::string>> cache;
    auto known = cache.find(path);
    if (known != cache.end()) return known->second;
    std::vector<std::string> &lines = cache[path];
    std::error_code ec;
    if (!std::filesystem::is_regular_file(HostPath(path), ec)) return lines;
    std::ifstream in(HostPath(path), std::ios::binary);
    std::string line;
    char c;
    for (long long read = 0; read < TEXTBYTESMAX && in.get(c); read++) {
        if (c != '\r' && c != '\n') {
            if (line.size() < LINESHOWNMAX) line += c;
            continue;
        }
        if (c == '\r' && in.peek() == '\n') in.get(c), read++;
        lines.push_back(line);
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string LineText(const place &at) {
    const std::vector<std::string> &lines = TextLines(at.path);
    return at.line >= 1 && at.line <= (int)lines.size() ? lines[at.line - 1] : std::string();
}

// Numbers (from 1) of the lines the reader takes as significant: not empty,
// not a comment.
std::vector<int> SignificantLines(const std::string &path) {
    std::vector<int> numbers;
    const std::vector<std::string> &lines = TextLines(path);
    for (size_t i = 0; i < lines.size(); i++)
        if (i > 0 && !lines[i].empty() && lines[i][0] != '#') numbers.push_back((int)i + 1);
    return numbers;
}

bool StartsWith(const std::string &text, const std::string &start) { return text.compare(0, start.size(), start) == 0; }

// The `nth` (from 0) significant line that carries `key`, or the file.
place KeyPlace(const std::string &path, const std::string &key, int nth = 0) {
    for (int n : SignificantLines(path))
        if (StartsWith(TextLines(path)[n - 1], key + "=") && nth-- == 0) return place{path, n};
    return place{path, 0};
}

// The `nth` (from 1) significant line after the first line that is
// exactly `marker`, or the line that starts with `marker` and a '='.
place LineAfter(const std::string &path, const std::string &marker, int nth) {
    std::vector<int> numbers = SignificantLines(path);
    for (size_t i = 0; i < numbers.size(); i++) {
        const std::string &text = TextLines(path)[numbers[i] - 1];
        if (text != marker && !StartsWith(text, marker + "=")) continue;
        if (i + nth < numbers.size()) return place{path, numbers[i + nth]};
        break;
    }
    return place{path, 0};
}

// ---- printing ----

void Report(const place &at, const std::string &text, const std::vector<std::string> &hints, bool counts = true) {
    std::string shown = shownprefix + HostPath(at.path);
    if (at.line > 0) shown += ":" + std::to_string(at.line);
    printf("%s: %s\n", shown.c_str(), text.c_str());
    for (const std::string &hint : hints) printf("    hint: %s\n", hint.c_str());
    if (counts) problems++;
}

void Warn(const place &at, const std::string &text, const std::vector<std::string> &hints = {}) {
    Report(at, "warning: " + text, hints);
}

// ---- the game's messages ----

// What the checker knows of the call it is watching.
struct watchedcall {
    bool on = false;
    place before;         // names the first file the call reads; also the place of a picture
    std::string mappath;  // a map file, whose MAPARRAY line names the file read after it
    std::vector<std::string> hints;  // for every message of the call
    std::map<std::string, readplace> seen;  // each data file read, as last seen
    std::set<std::string> reported;         // "path:line" of each message
};
watchedcall watched;

std::string Trim(const std::string &text) {
    size_t from = text.find_first_not_of(" \t"), to = text.find_last_not_of(" \t");
    return from == std::string::npos ? std::string() : text.substr(from, to - from + 1);
}

// The text between `before` and `after` in a message, or the empty text.
std::string Between(const std::string &text, const char *before, const char *after) {
    size_t from = text.find(before);
    if (from == std::string::npos) return "";
    from += strlen(before);
    size_t to = text.find(after, from);
    return to == std::string::npos ? "" : text.substr(from, to - from);
}

void KeyHints(const std::string &text, const std::string &line, std::vector<std::string> &hints) {
    std::string key = Between(text, "readying a ", " line");
    if (key.empty()) return;
    size_t eq = line.find('=');
    if (eq == std::string::npos) {
        hints.push_back("the reader expected a `" + key + "=...` line here; every line has its fixed place");
        return;
    }
    std::string found = line.substr(0, eq);
    if (Trim(found) == key)
        hints.push_back("blanks around the key count: write `" + key + "=...`");
    else if (strcasecmp(found.c_str(), key.c_str()) == 0)
        hints.push_back("keys are case-sensitive: write `" + key + "=...`");
    else
        hints.push_back("the reader expected `" + key + "=` here, not `" + found +
                        "=`; every line has its fixed place");
}

// Why a line read in pieces misleads the reader; `limit` as the reader takes it.
std::string CutHint(const std::string &line, int limit) {
    if (line[0] == '#')
        return Format("this comment is longer than the next line's limit of %d characters; its tail is read as "
                      "the next line", limit - 1);
    return Format("this line is longer than its limit of %d characters; its tail is read as the next line",
                  limit - 1);
}

// Hints for one of the game's messages, read at the reader's place.
std::vector<std::string> HintsFor(const std::string &text, const readplace &read, const place &at) {
    std::vector<std::string> hints;
    const std::string line = LineText(at);
    if (read.piece > 0) hints.push_back(CutHint(line, read.limit));
    if (read.atend) hints.push_back(read.line == 0 ? "the file is empty" : "the file ends here, too early");
    if (text.find("Unrecognized version number") != std::string::npos)
        hints.push_back(line[0] == '#' ? "the very first line must be the version number 1; comments come after it"
                                       : "the very first line must be the version number 1");
    if (read.piece == 0 && !read.atend) {
        KeyHints(text, line, hints);
        std::string marker = Between(text, "Missing ", " in project file");
        if (!marker.empty() && strcasecmp(Trim(line).c_str(), marker.c_str()) == 0)
            hints.push_back("marker lines must match exactly, case and blanks included: write `" + marker + "`");
        else if (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            hints.push_back("this line ends in blanks; marker lines must match exactly");
    }
    return hints;
}

// ---- a maker's likeliest slips ----

// The folders of the checked directory that hold a file of this name.
std::set<std::string> FoldersHolding(const std::string &name) {
    std::error_code ec;
    std::set<std::string> folders;
    for (const auto &sub : std::filesystem::directory_iterator(".", ec))
        if (std::filesystem::is_regular_file(sub.path() / name, ec)) folders.insert(sub.path().filename().string());
    return folders;
}

// Where the checker looked for the index, which folder below holds one,
// and how to name the game directory.
void NoIndexHints(std::vector<std::string> &hints) {
    std::error_code ec;
    hints.push_back("the checker looked in " + std::filesystem::current_path(ec).string() +
                    ", which holds no gameindex.txt");
    const std::set<std::string> below = FoldersHolding(indexfile);
    hints.push_back("name the game directory: quillbay-check " +
                    (below.empty() ? std::string("[GAMEDIR]") : shownprefix + *below.begin()));
}

// A project directory or project file that the index names but that is not
// there; the game says only that a file is missing. Points `at` at the line
// that names what is missing.
std::vector<std::string> MissingProjectHints(int i, place &at) {
    const indexentry &entry = GameIndex[i];
    const std::string &dir = entry.projectdir, &data = entry.projectdata;
    const std::string path = JoinPath(dir, data);
    if (WhyNotToRead(path) || FileExists(path)) return {};
    std::error_code ec;
    const bool folder = std::filesystem::is_directory(HostPath(dir), ec);
    std::vector<std::string> hints = {
        folder ? "the project file " + data + " does not exist in the project directory " + dir
               : "the project directory " + dir + (FileExists(dir) ? " is not a folder" : " does not exist")};
    const std::string &missing = folder ? data : dir;
    if (missing != Trim(missing)) hints.push_back("blanks count in names: `" + missing + "` starts or ends in one");
    if (folder) return hints;
    at = KeyPlace(indexfile, "PROJECTDIR", i);
    // Folders that hold such a project file but that no entry names.
    std::set<std::string> unnamed = FoldersHolding(data);
    for (int k = 0; k < indarrsiz; k++) unnamed.erase(GameIndex[k].projectdir);
    for (const std::string &name : unnamed)
        hints.push_back("the folder " + name + " holds a " + data + " that no entry names: PROJECTDIR=" + name + "?");
    return hints;
}

// Entries after the INDEXCOUNT-th are never read: the chooser leaves them
// out without a word.
void CheckIgnoredEntries() {
    std::vector<int> entries;
    for (int n : SignificantLines(indexfile))
        if (StartsWith(TextLines(indexfile)[n - 1], "INDEX=")) entries.push_back(n);
    for (size_t k = indarrsiz; k < entries.size(); k++)
        Warn(place{indexfile, entries[k]}, Format("INDEXCOUNT=%d, so this entry is ignored", indarrsiz),
             {Format("raise INDEXCOUNT to %d to offer it in the chooser", (int)entries.size())});
}

int CountValues(const std::string &line);

// The grid as written: the lines after MAPARRAYX that start with a number,
// and the number of values in each.
struct gridrow {
    int line, values;
};
std::vector<gridrow> GridRows(const std::string &arraypath) {
    std::vector<gridrow> rows;
    const int from = KeyPlace(arraypath, "MAPARRAYX").line;
    if (from == 0) return rows;
    for (int n : SignificantLines(arraypath)) {
        if (n <= from) continue;
        const std::string &line = TextLines(arraypath)[n - 1];
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || !strchr("0123456789+-", line[first])) break;
        rows.push_back({n, CountValues(line)});
    }
    return rows;
}

// A grid of more or fewer rows than MAPARRAYY makes the reader miss its end.
void GridCountHints(const std::string &arraypath, std::vector<std::string> &hints) {
    const int rows = (int)GridRows(arraypath).size(), wanted = CurrMap.maparrayy;
    if (rows + 1 == wanted)
        hints.push_back(Format("MAPARRAYY=%d but the grid has %d rows: END MAPARRAY was read as row %d", wanted,
                               rows, wanted));
    else if (rows < wanted)
        hints.push_back(Format("MAPARRAYY=%d but the grid has %d rows: the lines after it were read as rows %d to %d",
                               wanted, rows, rows + 1, wanted));
    else if (rows > wanted)
        hints.push_back(Format("MAPARRAYY=%d but the grid has %d rows: END MAPARRAY was expected after row %d",
                               wanted, rows, wanted));
}

// A row of fewer values than MAPARRAYX loads, its missing blocks read as
// block 0; a longer one loads with its tail unread.
void CheckRowLengths(const std::string &arraypath) {
    const std::vector<gridrow> rows = GridRows(arraypath);
    const int wanted = CurrMap.maparrayx;
    const gridrow *first = nullptr;
    int more = 0;
    for (size_t y = 0; y < rows.size() && (int)y < CurrMap.maparrayy; y++) {
        if (rows[y].values == wanted) continue;
        if (first) more++;
        else first = &rows[y];
    }
    if (!first) return;
    std::vector<std::string> hints = {first->values < wanted ? "the missing blocks read as block 0"
                                                             : "the values past MAPARRAYX are not read"};
    if (more > 0) hints.push_back(Format("%d more row%s differ%s too", more, more > 1 ? "s" : "", more > 1 ? "" : "s"));
    Warn(place{arraypath, first->line},
         Format("MAPARRAYX=%d but this row holds %d block%s", wanted, first->values, first->values == 1 ? "" : "s"),
         hints);
}

// A picture in a layout the reader refuses, with the way to one it reads.
void PictureHints(std::vector<std::string> &hints) {
    hints.push_back("save it as an uncompressed BMP, e.g. convert in.png -type TrueColor BMP3:out.bmp");
    hints.push_back("or draw it as text and build it with tools/buildassets.py");
}

// Every error the game logs while it is watched becomes a problem at the
// line the reader took last or, while no data file is open, at the line
// that named the file the game was about to read.
void Watch(int level, int, const char *text) {
    if (!watched.on) return;
    if (!ReadPlace.path.empty()) watched.seen[ReadPlace.path] = ReadPlace;
    if (level < LOG_BREAKING || level > LOG_MINOR) return;
    const readplace read = ReadPlace;
    place at;
    std::vector<std::string> hints;
    if (read.open) {
        at = place{read.path, read.line};
        hints = HintsFor(text, read, at);
        if (strcmp(text, "Missing Maparray end") == 0) GridCountHints(read.path, hints);
    } else if (read.path.empty()) {
        at = watched.before;
        if (at.path == indexfile && at.line == 0 && strstr(text, "does not exist")) NoIndexHints(hints);
    } else if (read.path == watched.mappath) {
        at = KeyPlace(read.path, "MAPARRAY");
    } else {
        at = KeyPlace(read.path, "TILES");
    }
    if (strstr(text, "lies outside the game's directory") || strstr(text, "has a `..` part"))
        hints.push_back("names must stay inside the game's directory: no `..`, no leading `/` or drive, "
                        "no link that leads out");
    if (strstr(text, "cannot be read: ") && (strstr(text, "not supported") || strstr(text, "not a BMP")))
        PictureHints(hints);
    hints.insert(hints.end(), watched.hints.begin(), watched.hints.end());
    Report(at, text, hints);
    watched.reported.insert(at.path + ":" + std::to_string(at.line));
}

// A line read in pieces that no message pointed at may still have been
// misread without a word: a comment's tail taken as data, a value cut short.
void ReportCutLines() {
    for (const auto &file : watched.seen) {
        const readplace &read = file.second;
        const place at{file.first, read.firstcut};
        if (read.firstcut == 0 || watched.reported.count(at.path + ":" + std::to_string(at.line))) continue;
        Warn(at, "a line longer than its limit is read in pieces", {CutHint(LineText(at), read.firstcutlimit)});
    }
}

// Runs one of the game's reads with its messages watched.
int Watched(const place &before, const std::function<int()> &call, const std::vector<std::string> &hints = {},
            const std::string &mappath = "") {
    ReadPlace = readplace();
    watched = watchedcall{true, before, mappath, hints, {}, {}};
    int result = call();
    if (!ReadPlace.path.empty()) watched.seen[ReadPlace.path] = ReadPlace;
    ReportCutLines();
    watched = watchedcall();
    return result;
}

// ---- pictures ----

// Loads a picture the game would load; a size it cannot use is a warning.
void CheckPicture(const std::string &path, int width, int height, const place &at, const std::string &why) {
    PALETTE pal;
    BITMAP *bmp = nullptr;
    Watched(at, [&] { return (bmp = LoadPicture(path, pal)) ? 0 : -1; }, {why});
    if (!bmp) return;
    if (bmp->w != width || bmp->h != height)
        Warn(at, Format("%s is %d by %d pixels, not %d by %d", path.c_str(), bmp->w, bmp->h, width, height), {why});
    destroy_bitmap(bmp);
}

void CheckSpriteSheet() {
    const place at{playerspritefile, 0};
    if (Watched(at, LoadSpriteSheet) != 0) return;
    const int w = SPRITEFRAMESIZE * (FRAME_SWIMLAST + 1) + 1, h = SPRITEFRAMESIZE;
    if (playerspritesbmp->w < w || playerspritesbmp->h < h)
        Warn(at, Format("the sprite sheet is %d by %d pixels; its frames 1 to %d need %d by %d", playerspritesbmp->w,
                        playerspritesbmp->h, FRAME_SWIMLAST, w, h));
    destroy_bitmap(playerspritesbmp);
    playerspritesbmp = nullptr;
}

// A creature's picture, front or back, as the battle shows it.
struct creaturepicture {
    const char *format;
    bool front;
    const char *what;
};
const creaturepicture creaturepictures[] = {
    {FRONTPICTURE, true, "front"},
    {SHINYFRONTPICTURE, true, "shiny front"},
    {BACKPICTURE, false, "back"},
    {SHINYBACKPICTURE, false, "shiny back"},
};

void CheckCreaturePictures(int species, bool front, const place &at, const std::string &why,
                           std::set<std::string> &checked) {
    for (const creaturepicture &picture : creaturepictures) {
        if (picture.front != front) continue;
        std::string path = Format(picture.format, (unsigned)species);
        if (!checked.insert(path).second) continue;
        int side = front ? FRONTPICTURESIZE : BACKPICTURESIZE;
        CheckPicture(path, side, side, at,
                     Format("the %s picture of species %d, %s", picture.what, species, why.c_str()));
    }
}

// ---- what loads but cannot work in play ----

// Values written without a blank after their comma lose their first character.
void CheckDataLines(const std::string &arraypath) {
    std::vector<int> runs;
    for (int n : SignificantLines(arraypath)) {
        const std::string &line = TextLines(arraypath)[n - 1];
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || !strchr("0123456789+-", line[first])) continue;
        for (size_t i = 0; i + 1 < line.size(); i++)
            if (line[i] == ',' && line[i + 1] != ' ' && line[i + 1] != '\t') {
                runs.push_back(n);
                break;
            }
    }
    if (runs.empty()) return;
    std::vector<std::string> hints = {"the character after each comma is skipped: write `3, 4`, not `3,4`"};
    if (runs.size() > 1) hints.push_back(Format("%d more line%s of this file do%s the same", (int)runs.size() - 1,
                                               runs.size() > 2 ? "s" : "", runs.size() > 2 ? "" : "es"));
    Warn(place{arraypath, runs[0]}, "a value follows its comma without a blank", hints);
}

int BlockNumberAt(int x, int y) { return CurrMapArray[y][x].block; }

bool InsideMap(int x, int y) { return x >= 0 && y >= 0 && x < CurrMap.maparrayx && y < CurrMap.maparrayy; }

// The start block as the game places the player: inside the map, on open
// ground, with a step that leads off it.
void CheckStart(const std::string &projpath) {
    PlacePlayerAtStart();
    const int x = playertilex, y = playertiley;
    const place xline = KeyPlace(projpath, "STARTX"), yline = KeyPlace(projpath, "STARTY");
    if (x != CurrProj.startx)
        Report(xline, Format("note: the player starts in column %d, not %d: a start is kept inside the view, "
                             "which is %d blocks across", x, (int)CurrProj.startx, ViewColumns()), {}, false);
    if (y != CurrProj.starty)
        Report(yline, Format("note: the player starts in row %d, not %d: a start is kept inside the view, "
                             "which is %d blocks down", y, (int)CurrProj.starty, ViewRows()), {}, false);
    if (!InsideMap(x, y)) {
        Warn(InsideMap(x, 0) ? yline : xline,
             Format("the start block (column %d, row %d) lies outside the map, which is %d blocks across and %d down",
                    x, y, (int)CurrMap.maparrayx, (int)CurrMap.maparrayy),
             {"columns and rows are counted from 0"});
        return;
    }
    const int from = BlockNumberAt(x, y);
    const blockstruct &block = CurrBlckStruct[from];
    const char *kind = block.blocktype == BLOCK_WATER    ? "water"
                       : block.blocktype == BLOCK_CLOSED ? "a closed block"
                       : block.obstacle != 0             ? "an obstacle"
                                                         : nullptr;
    if (kind) {
        Warn(xline, Format("the player starts on %s (block %d at column %d, row %d)", kind, from, x, y));
        return;
    }
    for (int dir = DIR_UP; dir <= DIR_LEFT; dir++) {
        const int tx = x + STEPX[dir], ty = y + STEPY[dir];
        if (InsideMap(tx, ty) && check_collision(from, BlockNumberAt(tx, ty), dir) == 0) return;
    }
    const bool walled = block.walltop == 1 && block.wallleft == 1 && block.wallbottom == 1 && block.wallright == 1;
    Warn(xline, Format("no step leads off the start block (block %d at column %d, row %d)", from, x, y),
         {walled ? "the block has walls on all four sides"
                 : "every neighbour is walled off, water, closed, an obstacle or off the map"});
}

// Every block of the grid needs its picture in the tile strip.
void CheckTileStrip(const std::string &arraypath) {
    const BITMAP *strip = currentmaptilesbmp;
    const int bw = CurrMap.blockwidth, bh = CurrMap.blockheight;
    const std::string tiles = JoinPath(GameIndex[indexno].projectdir, CurrMap.tiles);
    if (strip->h < bh)
        Warn(KeyPlace(arraypath, "TILES"),
             Format("the tile strip %s is %d pixels high, less than a block's %d", tiles.c_str(), strip->h, bh),
             {"a block whose picture is not whole in the strip is drawn black"});
    std::set<int> missing;
    place first;
    for (int y = 0; y < CurrMap.maparrayy; y++)
        for (int x = 0; x < CurrMap.maparrayx; x++) {
            const int b = BlockNumberAt(x, y);
            if ((long long)(b + 1) * bw <= strip->w) continue;
            if (missing.empty()) first = LineAfter(arraypath, "MAPARRAYX", y + 1);
            missing.insert(b);
        }
    if (missing.empty()) return;
    std::string numbers;
    for (int b : missing) numbers += (numbers.empty() ? "" : ", ") + std::to_string(b);
    const std::string room = strip->w < bw ? "no block" : Format("blocks 0 to %d", strip->w / bw - 1);
    Warn(first,
         Format("the tile strip %s is %d pixels wide, room for %s; the map also uses block%s %s", tiles.c_str(),
                strip->w, room.c_str(), missing.size() > 1 ? "s" : "", numbers.c_str()),
         {"a block whose picture is not whole in the strip is drawn black"});
}

struct wildtable {
    const char *name;
    const wildentry *entries;
    const char *hours;
};

int CountValues(const std::string &line) {
    int count = 0;
    bool inside = false;
    for (char c : line) {
        if (c == ',') inside = false;
        else if (c != ' ' && c != '\t' && !inside) inside = true, count++;
    }
    return count;
}

// The morning, day and night tables: meetings on encounter ground draw from
// all seven entries, and every species met needs its front pictures.
void CheckWildTables(const std::string &mappath, std::set<std::string> &checked) {
    bool encounter = false;
    for (int y = 0; y < CurrMap.maparrayy; y++)
        for (int x = 0; x < CurrMap.maparrayx; x++)
            encounter |= CurrBlckStruct[BlockNumberAt(x, y)].blocktype == BLOCK_ENCOUNTER;
    const wildtable tables[] = {
        {"MORN", CurrMap.mornmons, "the hours 6 to 11"},
        {"DAY", CurrMap.daymons, "the hours 12 to 17"},
        {"NIGHT", CurrMap.nightmons, "the hours 18 to 23 and 0 to 5"},
    };
    for (const wildtable &table : tables) {
        const place at = LineAfter(mappath, std::string("BEGIN ") + table.name, 1);
        bool empty = true;
        std::string bad;
        for (int i = 0; i < 7; i++) {
            const wildentry &e = table.entries[i];
            empty &= e.species == 0;
            const bool species = e.species < 1 || e.species >= SPECIESCOUNT, level = e.level < 1 || e.level > MAXLEVEL;
            if (!species && !level) continue;
            bad += Format("%sentry %d ", bad.empty() ? "" : "; ", i + 1);
            if (species) bad += Format("species %d", (int)e.species);
            if (level) bad += Format("%slevel %d", species ? ", " : "", (int)e.level);
        }
        if (encounter && !bad.empty()) {
            std::vector<std::string> hints = {Format("the %s table serves meetings in %s", table.name, table.hours),
                                              Format("species run from 1 to %d, levels from 1 to %d",
                                                     SPECIESCOUNT - 1, MAXLEVEL)};
            const int given = CountValues(LineText(at));
            if (given < 14)
                hints.push_back(Format("this line gives %d of the 14 numbers (species and level of 7 entries); "
                                       "the missing ones read as 0", given));
            Warn(at,
                 empty ? Format("the %s table is empty, yet the map has encounter ground", table.name)
                       : Format("the %s table holds entries no wild battle can start with: %s", table.name,
                                bad.c_str()),
                 hints);
        }
        for (int i = 0; i < 7; i++)
            if (table.entries[i].species >= 1 && table.entries[i].species < SPECIESCOUNT)
                CheckCreaturePictures(table.entries[i].species, true, at,
                                      "met in the " + std::string(table.name) + " table", checked);
    }
}

// Without rest ground (kind 5) hurt creatures get their HP back only after
// a lost battle and their PP never: worth a note where the player can reach
// encounter ground from the start and no rest ground.
void CheckRestGround(const std::string &arraypath) {
    std::vector<std::pair<int, int>> todo;
    std::set<std::pair<int, int>> seen;
    if (InsideMap(playertilex, playertiley)) todo.push_back({playertilex, playertiley}), seen.insert(todo.back());
    bool encounter = false, rest = false;
    while (!todo.empty()) {
        const auto [x, y] = todo.back();
        todo.pop_back();
        const int from = BlockNumberAt(x, y);
        encounter |= CurrBlckStruct[from].blocktype == BLOCK_ENCOUNTER;
        rest |= CurrBlckStruct[from].blocktype == BLOCK_REST;
        for (int dir = DIR_UP; dir <= DIR_LEFT; dir++) {
            const std::pair<int, int> to{x + STEPX[dir], y + STEPY[dir]};
            if (InsideMap(to.first, to.second) && check_collision(from, BlockNumberAt(to.first, to.second), dir) == 0 &&
                seen.insert(to).second)
                todo.push_back(to);
        }
    }
    if (encounter && !rest)
        Report(place{arraypath, 0}, "note: the player can reach encounter ground from the start, but no rest ground",
               {"a step onto a block of kind 5 restores every carried creature's HP, PP and status"}, false);
}

// ---- a project ----

// The index line that names entry i's project file: PROJECTDIR when that
// leaves the game's directory, PROJECTDATA otherwise.
place IndexPlace(int i) {
    const char *key = PathStaysInside(GameIndex[i].projectdir) ? "PROJECTDATA" : "PROJECTDIR";
    return KeyPlace(indexfile, key, i);
}

void CheckProject(int i) {
    const indexentry &entry = GameIndex[i];
    indexno = i;
    const std::string projpath = JoinPath(entry.projectdir, entry.projectdata);
    place at = IndexPlace(i);
    const std::vector<std::string> hints = MissingProjectHints(i, at);
    if (Watched(at, [&] { return ReadProjectFile(projpath); }, hints) != 0) return;

    std::set<std::string> checked;
    CheckCreaturePictures(CurrProj.startvrlt, false, KeyPlace(projpath, "STARTVRLT"), "the starting creature",
                          checked);

    CurrMapFilename = JoinPath(entry.projectdir, CurrProj.startmap);
    const std::string mappath = CurrMapFilename;
    int loaded = Watched(KeyPlace(projpath, "STARTMAP"), LoadMapFile, {}, mappath);
    const std::string arraypath = JoinPath(entry.projectdir, CurrMap.maparrayfile);
    if (ReadPlace.path == arraypath) CheckDataLines(arraypath);
    if (loaded != 0) return;
    CheckStart(projpath);
    CheckTileStrip(arraypath);
    CheckWildTables(mappath, checked);
    CheckRowLengths(arraypath);
    CheckRestGround(arraypath);
}

int Usage(FILE *out, int status) {
    fprintf(out,
            "usage: quillbay-check [GAMEDIR]\n"
            "Reads GAMEDIR (default: the current directory) as the game does: gameindex.txt, every\n"
            "project's file, start map, map-array file and picture. Prints each problem as\n"
            "file:line: message; exits 0 when all is well, 1 otherwise.\n");
    return status;
}

// The log goes to a temporary file, never into the directory checked.
std::string TemporaryLog() {
    std::string name = (std::filesystem::temp_directory_path() / "quillbay-check.XXXXXX").string();
    int fd = mkstemp(&name[0]);
    if (fd < 0) return "";
    close(fd);
    return name;
}

}  // namespace

int main(int argc, char **argv) {
    std::string dir = ".";
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") return Usage(stdout, 0);
        if (arg[0] == '-' || i > 1) return Usage(stderr, 2);
        dir = arg;
    }
    const std::string logpath = TemporaryLog();
    if (logpath.empty() || PlatformStart() != 0) {
        fprintf(stderr, "quillbay-check: cannot start: %s\n", logpath.empty() ? strerror(errno) : allegro_error);
        return 2;
    }
    if (chdir(dir.c_str()) != 0) {
        fprintf(stderr, "quillbay-check: cannot enter %s: %s\n", dir.c_str(), strerror(errno));
        remove(logpath.c_str());
        return 2;
    }
    if (dir != ".") shownprefix = dir.back() == '/' ? dir : dir + "/";
    // The log and its rotation both stay in the temporary file: nothing is
    // written into the directory checked, not even a previous run's log.
    logfile = oldlogfile = logpath.c_str();
    showdebugboxes = 0;
    SetUpLog();
    logwatch = Watch;

    if (Watched(place{indexfile, 0}, ReadGameIndex) == 0) {
        CheckIgnoredEntries();
        CheckSpriteSheet();
        for (int i = 0; i < indarrsiz; i++) CheckProject(i);
    }
    remove(logpath.c_str());
    if (problems == 0) printf("All is well: %d project%s checked.\n", indarrsiz, indarrsiz == 1 ? "" : "s");
    else printf("%d problem%s found.\n", problems, problems == 1 ? "" : "s");
    return problems == 0 ? 0 : 1;
}
