// Reading a map: the map file's wild tables, the map-array file's block
// structures and grid, the tile strip, and every way the files can be wrong.
#include <sstream>
#include <string>
#include <vector>

#include "tests/harness/testsupport.h"

namespace {

// Wild section n holds species n at levels 1, 2, 3 and so on. The day line
// has no blanks, the night line ends in a comma; 1 is the lowest density.
const char *const kMapFile =
    "1\nBEGIN MAP\nMAPNAME=Test Meadow\nMAPARRAY=array.txt\nEVENTFILE=events.txt\n# wild creatures\n"
    "BEGIN WILDMONS\nWILDDENSITY=1\n"
    "BEGIN DAY\n1,1,1,2,1,3,1,4,1,5,1,6,1,7\nEND DAY\n"
    "BEGIN NIGHT\n2, 1, 2, 2, 2, 3, 2, 4, 2, 5, 2, 6, 2, 7,\nEND NIGHT\n"
    "BEGIN MORN\n3, 1, 3, 2, 3, 3, 3, 4, 3, 5, 3, 6, 3, 7\nEND MORN\n"
    "BEGIN OLDROD\n4, 1, 4, 2, 4, 3\nEND OLDROD\n"
    "BEGIN GOODROD\n5, 1, 5, 2, 5, 3, 5, 4\nEND GOODROD\n"
    "BEGIN SUPERROD\n6, 1, 6, 2, 6, 3, 6, 4\nEND SUPERROD\n"
    "BEGIN SURF\n7, 1, 7, 2, 7, 3\nEND SURF\n"
    "BEGIN ROCKSMASH\n8, 1, 8, 2\nEND ROCKSMASH\n"
    "BEGIN HEADBUTT1\n9, 1, 9, 2, 9, 3, 9, 4\nEND HEADBUTT1\n"
    "BEGIN HEADBUTT2\n10, 1, 10, 2, 10, 3, 10, 4\nEND HEADBUTT2\n"
    "END WILDMONS\nEND MAP\n";

// Block 0 has a different value in every field; block 1's line has no
// comma after its last value.
const char *const kArrayFile =
    "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=24\nBLOCKWIDTH=32\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=3\n"
    "0, 4, 5, 6, 7, 8, 9,\n1, 0, 0, 0, 0, 0, 1\n# a comment between block lines\n2, 3, 1, 0, 1, 0, 0,\n"
    "END BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=3\nMAPARRAYX=4\n"
    "1, 1, 1, 1,\n1, 0, 2, 1,\n2, 1, 1, 0,\nEND MAPARRAY\nEND MAP\n";

// Replaces the first whole line `line` (the very first line too).
std::string ReplaceLine(const std::string &text, const std::string &line, const std::string &replacement) {
    std::string padded = "\n" + text;
    size_t at = padded.find("\n" + line + "\n");
    EXPECT_NE(at, std::string::npos) << "no line " << line;
    return at == std::string::npos ? text : padded.replace(at + 1, line.size(), replacement).substr(1);
}

std::vector<std::string> ErrorLines() {
    std::vector<std::string> errors;
    for (const std::string &line : LogLinesAfterBanner())
        if (line.find(" error: ") != std::string::npos) errors.push_back(line);
    return errors;
}

std::vector<int> Fields(const blockstruct &b) {
    return {b.blocknum, b.blocktype, b.obstacle, b.walltop, b.wallleft, b.wallbottom, b.wallright};
}

using Rows = std::vector<std::vector<int>>;
Rows Grid(int rows, int columns) {
    Rows grid(rows);
    for (int r = 0; r < rows; r++)
        for (int k = 0; k < columns; k++) grid[r].push_back(CurrMapArray[r][k].block);
    return grid;
}

class MapFileTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        GameIndex[0].projectdir = "proj";
        indexno = 0;
        CurrMapFilename = "proj\\map.txt";
        WriteFile("proj/events.txt", "");  // makes the directory
        BITMAP *strip = create_bitmap(96, 24);
        save_bitmap("proj/tiles.bmp", strip, nullptr);
        destroy_bitmap(strip);
        Poison();
    }
    // Values no test file holds, in what a load should overwrite and what it
    // must not touch; the sizes are poisoned with an allowed value.
    void Poison() {
        SetUpLog();
        CurrMap = mapinfo();
        CurrMap.blockwidth = CurrMap.blockheight = CurrMap.blckstrctcnt = CurrMap.maparrayy = CurrMap.maparrayx = 7;
        for (wildentry &entry : CurrMap.mornmons) entry = {77, 77};
        for (blockstruct &block : CurrBlckStruct) block = {-5, -5, -5, -5, -5, -5, -5};
        for (auto &row : CurrMapArray)
            for (maparraycell &cell : row) cell.block = -7;
    }
    int Load(const std::string &map, const std::string &array) {
        WriteFile("proj/map.txt", map);
        WriteFile("proj/array.txt", array);
        return LoadMapFile();
    }
};

// After any load: no size outside its range was stored, and nothing was
// written past the map's own block count, rows or columns.
void ExpectNothingOutOfBounds(const std::string &context) {
    const int value[] = {CurrMap.blockwidth, CurrMap.blockheight, CurrMap.blckstrctcnt, CurrMap.maparrayy,
                         CurrMap.maparrayx};
    const int most[] = {BLOCKSIZEMAX, BLOCKSIZEMAX, BLCKSTRCTMAX, MAPARRAYMAX, MAPARRAYMAX};
    for (int i = 0; i < 5; i++) ASSERT_TRUE(value[i] >= 1 && value[i] <= most[i]) << context << ": " << value[i];
    for (int i = CurrMap.blckstrctcnt; i < BLCKSTRCTMAX; i++)
        EXPECT_EQ(CurrBlckStruct[i].blocknum, -5) << context << ": block " << i;
    for (int r = 0; r < MAPARRAYMAX; r++)
        for (int k = 0; k < MAPARRAYMAX; k++)
            EXPECT_TRUE((r < CurrMap.maparrayy && k < CurrMap.maparrayx) || CurrMapArray[r][k].block == -7)
                << context << ": cell " << r << ", " << k;
}

TEST_F(MapFileTest, WellFormedFilesFillTheMapTheBlocksAndTheGrid) {
    ASSERT_EQ(Load(kMapFile, kArrayFile), 0);
    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_EQ((std::vector<std::string>{CurrMap.mapname, CurrMap.maparrayfile, CurrMap.eventfile, CurrMap.tiles}),
              (std::vector<std::string>{"Test Meadow", "array.txt", "events.txt", "tiles.bmp"}));
    EXPECT_EQ((std::vector<int>{CurrMap.wilddensity, CurrMap.blockwidth, CurrMap.blockheight, CurrMap.blckstrctcnt,
                                CurrMap.maparrayy, CurrMap.maparrayx}),
              (std::vector<int>{1, 32, 24, 3, 3, 4}));
    const std::pair<const wildentry *, int> tables[] = {
        {CurrMap.daymons, 7},       {CurrMap.nightmons, 7},    {CurrMap.mornmons, 7}, {CurrMap.oldrodmons, 3},
        {CurrMap.goodrodmons, 4},   {CurrMap.superrodmons, 4}, {CurrMap.surfmons, 3}, {CurrMap.rocksmashmons, 2},
        {CurrMap.headbutt1mons, 4}, {CurrMap.headbutt2mons, 4}};
    for (int n = 0; n < 10; n++)
        for (int i = 0; i < tables[n].second; i++)
            EXPECT_TRUE(tables[n].first[i].species == n + 1 && tables[n].first[i].level == i + 1) << n << ", " << i;
    EXPECT_EQ(Fields(CurrBlckStruct[0]), (std::vector<int>{0, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Fields(CurrBlckStruct[1]), (std::vector<int>{1, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Fields(CurrBlckStruct[2]), (std::vector<int>{2, 3, 1, 0, 1, 0, 0}));
    EXPECT_EQ(Grid(3, 4), (Rows{{1, 1, 1, 1}, {1, 0, 2, 1}, {2, 1, 1, 0}}));
    ExpectNothingOutOfBounds("well-formed");
    ASSERT_NE(currentmaptilesbmp, nullptr);
    EXPECT_EQ(currentmaptilesbmp->w, 96);
}

// Wild lines are read in automatic base with nothing skipped; block and row
// lines skip the character after each comma (written as a blank), so values
// without blanks lose one. Short lines leave zeros.
TEST_F(MapFileTest, NumbersAreReadTheWayTheFilesWriteThem) {
    std::string map = ReplaceLine(kMapFile, "1,1,1,2,1,3,1,4,1,5,1,6,1,7", "08,010,0x10, 12,abc,7,1,3,4,3");
    map = ReplaceLine(map, "4, 1, 4, 2, 4, 3", " ");
    std::string array = ReplaceLine(kArrayFile, "0, 4, 5, 6, 7, 8, 9,", "0,1,1,1,1,1,1");
    array = ReplaceLine(array, "1, 0, 0, 0, 0, 0, 1", "5, 0, 0, 0, 0, 0, 1");
    array = ReplaceLine(array, "1, 1, 1, 1,", "1, 0x2,  002,");
    array = ReplaceLine(array, "1, 0, 2, 1,", "2,12,12");
    ASSERT_EQ(Load(map, array), 0);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{
                                "Minor Project error: File's blocknumber does not match current array position?"});
    // species, level: "08" is not octal, so only its 0 is read; abc reads as 0
    const int day[7][2] = {{0, 8}, {16, 12}, {0, 7}, {1, 3}, {4, 3}, {0, 0}, {0, 0}};
    for (int i = 0; i < 7; i++)
        EXPECT_TRUE(CurrMap.daymons[i].species == day[i][0] && CurrMap.daymons[i].level == day[i][1]) << i;
    for (const wildentry &entry : CurrMap.oldrodmons) EXPECT_EQ(entry.species | entry.level, 0) << "a blank line";
    EXPECT_EQ(Fields(CurrBlckStruct[0]), std::vector<int>(7, 0)) << "every 1 was skipped";
    EXPECT_EQ(Fields(CurrBlckStruct[1]), (std::vector<int>{5, 0, 0, 0, 0, 0, 1})) << "stored at its position";
    // "1, 0x2,  002,": strtol skips the second blank; "2,12,12" loses each 1
    EXPECT_EQ(Grid(2, 4), (Rows{{1, 2, 2, 0}, {2, 2, 2, 0}}));
    ExpectNothingOutOfBounds("parse");
}

// The largest sizes each table can hold; a row "49," reads as 49 and zeros.
TEST_F(MapFileTest, TheLargestSizesAreAccepted) {
    std::string array = "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=500\nBLOCKWIDTH=500\nBEGIN BLOCKSTRUCT\n";
    array += "BLCKSTRCTCNT=50\n";
    for (int i = 0; i < 50; i++) array += std::to_string(i) + ", 0, 0, 0, 0, 0, 0,\n";
    array += "END BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=60\nMAPARRAYX=60\n";
    for (int y = 0; y < 60; y++) array += "49,\n";
    ASSERT_EQ(Load(kMapFile, array + "END MAPARRAY\nEND MAP\n"), 0);
    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_TRUE(CurrBlckStruct[49].blocknum == 49 && CurrMapArray[59][0].block == 49);
}

struct Failure {
    bool inarray;  // which of the two files the line is in
    std::string line, replacement, error;
};

// Every broken line fails the load with its own message alone, and a
// refused value is neither stored nor used to fill a table.
TEST_F(MapFileTest, EachBrokenLineFailsWithItsOwnMessage) {
    const std::string breaking = "Breaking Project error: ";
    auto over = [&](const std::string &what) { return breaking + what + " can have!"; };
    auto notblock = [&](const std::string &what) {
        return breaking + "Block " + what + " is not one of the map's 3 block structures!";
    };
    std::vector<Failure> cases = {
        {false, "1", "2", breaking + "Unrecognized version number"},
        {true, "1", "3", breaking + "Unrecognized version number"},
        {false, "WILDDENSITY=1", "WILDDENSITY=0", "Minor Project error: WILDDENSITY is invalid!"},
        {false, "MAPARRAY=array.txt", "MAPARRAY=other.txt", breaking + "Map file proj\\other.txt does not exist!"},
        {true, "TILES=tiles.bmp", "TILES=nothere.bmp", "Major Project error: Unable to load map bitmap!"},
        {true, "BLOCKHEIGHT=24", "BLOCKHEIGHT=501", over("BLOCKHEIGHT of 501 is more than the 500 pixels a block")},
        {true, "BLOCKWIDTH=32", "BLOCKWIDTH=999999", over("BLOCKWIDTH of 999999 is more than the 500 pixels a block")},
        {true, "BLCKSTRCTCNT=3", "BLCKSTRCTCNT=51",
         over("BLCKSTRCTCNT of 51 is more than the 50 block structures a map")},
        {true, "MAPARRAYY=3", "MAPARRAYY=61", over("MAPARRAYY of 61 is more than the 60 rows a map")},
        {true, "MAPARRAYX=4", "MAPARRAYX=1000", over("MAPARRAYX of 1000 is more than the 60 columns a map")},
        {true, "1, 0, 2, 1,", "1, 0, 3, 1,", notblock("3 at row 1, column 2")},
        {true, "1, 0, 2, 1,", "1, -1, 2, 1,", notblock("-1 at row 1, column 1")},
        {true, "1, 0, 2, 1,", "1, 0, 2, 0x7fffffffffff,", notblock("140737488355327 at row 1, column 3")},
    };
    for (const char *key : {"BLOCKHEIGHT=24", "BLOCKWIDTH=32", "BLCKSTRCTCNT=3", "MAPARRAYY=3", "MAPARRAYX=4"}) {
        std::string name = std::string(key).substr(0, std::string(key).find('='));
        cases.push_back({true, key, name + "=0", breaking + "Invalid " + name + " value!"});
    }
    // A trailing blank is enough to break a marker.
    std::istringstream maplines(kMapFile);
    for (std::string line; std::getline(maplines, line);)
        if (line.rfind("BEGIN ", 0) == 0 || line.rfind("END ", 0) == 0)
            cases.push_back({false, line, line + " ", breaking + "Missing " + line + " in project file"});
    const std::pair<std::string, std::string> arraymarkers[] = {
        {"BEGIN MAP", "Major Project error: Invalid mapfile"},
        {"BEGIN BLOCKSTRUCT", breaking + "Mapfile does not properly start Blockstruct"},
        {"END BLOCKSTRUCT", "Major Project error: END BLOCKSTRUCT is not where expected"},
        {"BEGIN MAPARRAY", "Major Project error: Missing Maparray start"},
        {"END MAPARRAY", "Major Project error: Missing Maparray end"},
        {"END MAP", "Major Project error: Missing Map end"}};
    for (const auto &marker : arraymarkers) cases.push_back({true, marker.first, marker.first + " ", marker.second});

    for (const Failure &c : cases) {
        Poison();
        int result = c.inarray ? Load(kMapFile, ReplaceLine(kArrayFile, c.line, c.replacement))
                               : Load(ReplaceLine(kMapFile, c.line, c.replacement), kArrayFile);
        EXPECT_EQ(result, -1) << c.replacement;
        ASSERT_FALSE(ErrorLines().empty()) << c.replacement;
        EXPECT_EQ(ErrorLines().back(), c.error) << c.replacement;
        ExpectNothingOutOfBounds(c.replacement);
    }
}

// There is no rollback: what was read before a failure keeps its new value.
TEST_F(MapFileTest, WhatWasReadBeforeAFailureIsKept) {
    ASSERT_EQ(Load(ReplaceLine(kMapFile, "END NIGHT", "END KNIGHT"), kArrayFile), -1);
    EXPECT_EQ(CurrMap.mapname, "Test Meadow");
    EXPECT_EQ(CurrMap.wilddensity, 1);
    EXPECT_EQ(CurrMap.nightmons[6].level, 7) << "the data line comes before its end marker";
    EXPECT_EQ(CurrMap.mornmons[0].level, 77);
    EXPECT_EQ(CurrMap.tiles, "") << "the map-array file is not read";

    Poison();  // a bad grid value: the row is stored up to it, and nothing after it
    ASSERT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "1, 0, 2, 1,", "1, 0, 3, 1,")), -1);
    EXPECT_EQ(Grid(3, 4), (Rows{{1, 1, 1, 1}, {1, 0, -7, -7}, {-7, -7, -7, -7}}));

    // The picture is loaded last, and none of the previous map's is left.
    ASSERT_EQ(Load(kMapFile, kArrayFile), 0);
    Poison();
    ASSERT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "TILES=tiles.bmp", "TILES=nothere.bmp")), -1);
    EXPECT_EQ(currentmaptilesbmp, nullptr);
    EXPECT_EQ(CurrMap.tiles, "nothere.bmp");
    EXPECT_EQ(CurrMapArray[2][3].block, 0);
    EXPECT_EQ(CurrBlckStruct[2].blocktype, 3);
}

}  // namespace
