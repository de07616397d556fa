// Reading a map: the map file's wild tables, the map-array file's block
// structures and grid, the tile strip, and every way the files can be wrong.
#include <string>
#include <vector>

#include "overworld/overworld.h"
#include "tests/harness/testsupport.h"

namespace {

const char *const kMapFile =
    "1\n"
    "BEGIN MAP\n"
    "MAPNAME=Test Meadow\n"
    "MAPARRAY=array.txt\n"
    "EVENTFILE=events.txt\n"
    "# wild creatures\n"
    "BEGIN WILDMONS\n"
    "WILDDENSITY=6\n"
    "BEGIN DAY\n"
    "1,3,4,3,7,4,1,4,4,5,7,5,10,7\n"
    "END DAY\n"
    "BEGIN NIGHT\n"
    "2, 3, 2, 4, 2, 5, 2, 6, 2, 7, 2, 8, 2, 9,\n"
    "END NIGHT\n"
    "BEGIN MORN\n"
    "3, 3, 3, 4, 3, 5, 3, 6, 3, 7, 3, 8, 3, 9\n"
    "END MORN\n"
    "BEGIN OLDROD\n"
    "4, 1, 4, 2, 4, 3\n"
    "END OLDROD\n"
    "BEGIN GOODROD\n"
    "5, 1, 5, 2, 5, 3, 5, 4\n"
    "END GOODROD\n"
    "BEGIN SUPERROD\n"
    "6, 1, 6, 2, 6, 3, 6, 4\n"
    "END SUPERROD\n"
    "BEGIN SURF\n"
    "7, 1, 7, 2, 7, 3\n"
    "END SURF\n"
    "BEGIN ROCKSMASH\n"
    "8, 1, 8, 2\n"
    "END ROCKSMASH\n"
    "BEGIN HEADBUTT1\n"
    "9, 1, 9, 2, 9, 3, 9, 4\n"
    "END HEADBUTT1\n"
    "BEGIN HEADBUTT2\n"
    "10, 1, 10, 2, 10, 3, 10, 4\n"
    "END HEADBUTT2\n"
    "END WILDMONS\n"
    "END MAP\n";

const char *const kArrayFile =
    "1\n"
    "BEGIN MAP\n"
    "TILES=tiles.bmp\n"
    "BLOCKHEIGHT=24\n"
    "BLOCKWIDTH=32\n"
    "BEGIN BLOCKSTRUCT\n"
    "BLCKSTRCTCNT=3\n"
    "0, 2, 0, 1, 0, 0, 0,\n"
    "1, 0, 0, 0, 0, 0, 1\n"
    "# a comment between block lines\n"
    "2, 3, 1, 0, 1, 0, 0,\n"
    "END BLOCKSTRUCT\n"
    "BEGIN MAPARRAY\n"
    "MAPARRAYY=3\n"
    "MAPARRAYX=4\n"
    "1, 1, 1, 1,\n"
    "1, 0, 2, 1,\n"
    "1, 1, 1, 1,\n"
    "END MAPARRAY\n"
    "END MAP\n";

// Replaces the whole line `line` (first occurrence) by `replacement`.
std::string ReplaceLine(std::string text, const std::string &line, const std::string &replacement) {
    size_t at = text.find("\n" + line + "\n");
    if (at == std::string::npos) ADD_FAILURE() << "no line " << line;
    else text.replace(at + 1, line.size(), replacement);
    return text;
}

std::string ReplaceFirstLine(std::string text, const std::string &replacement) {
    return replacement + text.substr(text.find('\n'));
}

std::vector<std::string> ErrorLines() {
    std::vector<std::string> errors;
    for (const std::string &line : LogLinesAfterBanner())
        if (line.find(" error: ") != std::string::npos) errors.push_back(line);
    return errors;
}

class MapFileTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        GameIndex[0].projectdir = "proj";
        indexno = 0;
        CurrMapFilename = "proj\\map.txt";
        // Poison what a load should overwrite, and what it must not touch.
        CurrMap = mapinfo();
        for (wildentry &entry : CurrMap.daymons) entry = {99, 99};
        for (wildentry &entry : CurrMap.mornmons) entry = {77, 77};
        for (blockstruct &block : CurrBlckStruct) block = {-5, -5, -5, -5, -5, -5, -5};
        for (auto &row : CurrMapArray)
            for (maparraycell &cell : row) cell.block = -7;
        if (currentmaptilesbmp) destroy_bitmap(currentmaptilesbmp);
        currentmaptilesbmp = nullptr;
        WriteFile("proj/events.txt", "");  // makes the directory
        BITMAP *strip = create_bitmap(96, 24);
        clear_to_color(strip, makecol(10, 200, 30));
        save_bitmap("proj/tiles.bmp", strip, nullptr);
        destroy_bitmap(strip);
    }
    int Load(const std::string &map, const std::string &array) {
        WriteFile("proj/map.txt", map);
        WriteFile("proj/array.txt", array);
        return LoadMapFile();
    }
};

TEST_F(MapFileTest, WellFormedFilesFillTheMapTheBlocksAndTheGrid) {
    ASSERT_EQ(Load(kMapFile, kArrayFile), 0);
    EXPECT_TRUE(ErrorLines().empty());
    std::vector<std::string> log = LogLinesAfterBanner();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], "Program: Reading map file proj\\map.txt");
    EXPECT_EQ(log[1], "Program: Map File Read. Reading Map Array");

    EXPECT_EQ(CurrMap.mapname, "Test Meadow");
    EXPECT_EQ(CurrMap.maparrayfile, "array.txt");
    EXPECT_EQ(CurrMap.eventfile, "events.txt");
    EXPECT_EQ(CurrMap.wilddensity, 6);
    // species first in the file, level first in the record
    const int day[7][2] = {{3, 1}, {3, 4}, {4, 7}, {4, 1}, {5, 4}, {5, 7}, {7, 10}};
    for (int i = 0; i < 7; i++) {
        EXPECT_EQ(CurrMap.daymons[i].level, day[i][0]) << i;
        EXPECT_EQ(CurrMap.daymons[i].species, day[i][1]) << i;
    }
    EXPECT_EQ(CurrMap.nightmons[6].level, 9);
    EXPECT_EQ(CurrMap.mornmons[6].species, 3);
    EXPECT_EQ(CurrMap.oldrodmons[2].level, 3);
    EXPECT_EQ(CurrMap.goodrodmons[3].level, 4);
    EXPECT_EQ(CurrMap.superrodmons[3].species, 6);
    EXPECT_EQ(CurrMap.surfmons[2].species, 7);
    EXPECT_EQ(CurrMap.rocksmashmons[1].level, 2);
    EXPECT_EQ(CurrMap.headbutt1mons[3].species, 9);
    EXPECT_EQ(CurrMap.headbutt2mons[3].level, 4);

    EXPECT_EQ(CurrMap.tiles, "tiles.bmp");
    EXPECT_EQ(CurrMap.blockwidth, 32);
    EXPECT_EQ(CurrMap.blockheight, 24);
    EXPECT_EQ(CurrMap.blckstrctcnt, 3);
    const blockstruct &b0 = CurrBlckStruct[0], &b1 = CurrBlckStruct[1], &b2 = CurrBlckStruct[2];
    EXPECT_EQ(b0.blocktype, 2);
    EXPECT_EQ(b0.walltop, 1);
    EXPECT_EQ(b0.wallright, 0);
    EXPECT_EQ(b1.blocknum, 1);
    EXPECT_EQ(b1.wallright, 1) << "the last value needs no comma after it";
    EXPECT_EQ(b2.blocktype, 3);
    EXPECT_EQ(b2.obstacle, 1);
    EXPECT_EQ(b2.wallleft, 1);
    EXPECT_EQ(CurrBlckStruct[3].blocknum, -5) << "entries past the count keep their values";

    EXPECT_EQ(CurrMap.maparrayy, 3);
    EXPECT_EQ(CurrMap.maparrayx, 4);
    EXPECT_EQ(CurrMapArray[1][1].block, 0);
    EXPECT_EQ(CurrMapArray[1][2].block, 2);
    EXPECT_EQ(CurrMapArray[2][3].block, 1);
    EXPECT_EQ(CurrMapArray[1][4].block, -7) << "cells outside the map's size keep their values";
    EXPECT_EQ(CurrMapArray[3][0].block, -7);
    ASSERT_NE(currentmaptilesbmp, nullptr);
    EXPECT_EQ(currentmaptilesbmp->w, 96);
}

TEST_F(MapFileTest, VersionLineIsReadInAutomaticBaseFromTheVeryFirstLine) {
    for (const char *good : {"1", "0x1", "1.0", " 1"}) {
        EXPECT_EQ(Load(ReplaceFirstLine(kMapFile, good), ReplaceFirstLine(kArrayFile, good)), 0) << good;
    }
    for (const char *bad : {"2", "#1", "", "x1"}) {
        SetUpLog();
        EXPECT_EQ(Load(ReplaceFirstLine(kMapFile, bad), kArrayFile), -1) << bad;
        EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Breaking Project error: Unrecognized version number"})
            << bad;
    }
    SetUpLog();
    EXPECT_EQ(Load(kMapFile, ReplaceFirstLine(kArrayFile, "3")), -1);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Breaking Project error: Unrecognized version number"});
}

TEST_F(MapFileTest, WildValuesUseAutomaticBaseAndShortLinesLeaveZeros) {
    std::string map = ReplaceLine(kMapFile, "1,3,4,3,7,4,1,4,4,5,7,5,10,7", "08,010,0x10, 12,abc,7,1,3,4,3");
    map = ReplaceLine(map, "4, 1, 4, 2, 4, 3", " ");  // a line of one blank reads as all zeros
    ASSERT_EQ(Load(map, kArrayFile), 0);
    EXPECT_EQ(CurrMap.daymons[0].species, 0) << "08 is not octal: nothing after the 0 is read";
    EXPECT_EQ(CurrMap.daymons[0].level, 8);
    EXPECT_EQ(CurrMap.daymons[1].species, 16);
    EXPECT_EQ(CurrMap.daymons[1].level, 12);
    EXPECT_EQ(CurrMap.daymons[2].species, 0);
    EXPECT_EQ(CurrMap.daymons[2].level, 7);
    EXPECT_EQ(CurrMap.daymons[4].species, 4);
    EXPECT_EQ(CurrMap.daymons[4].level, 3);
    for (int i = 5; i < 7; i++) {
        EXPECT_EQ(CurrMap.daymons[i].species, 0) << i;
        EXPECT_EQ(CurrMap.daymons[i].level, 0) << i;
    }
    EXPECT_EQ(CurrMap.oldrodmons[0].species, 0);
    EXPECT_EQ(CurrMap.oldrodmons[2].level, 0);
    EXPECT_EQ(CurrMap.goodrodmons[0].species, 5) << "the blank line was skipped, not read as data";
}

TEST_F(MapFileTest, BlockAndRowValuesLoseTheCharacterAfterEachComma) {
    std::string array = ReplaceLine(kArrayFile, "0, 2, 0, 1, 0, 0, 0,", "0,1,1,1,1,1,1");
    array = ReplaceLine(array, "1, 0, 2, 1,", "2,12,12");
    array = ReplaceLine(array, "1, 1, 1, 1,", "1, 0x2,  002,");  // the first row
    ASSERT_EQ(Load(kMapFile, array), 0) << ::testing::PrintToString(ErrorLines());
    const blockstruct &b0 = CurrBlckStruct[0];
    EXPECT_EQ(b0.blocktype, 0);
    EXPECT_EQ(b0.walltop, 0);
    EXPECT_EQ(b0.wallright, 0);
    EXPECT_EQ(CurrMapArray[1][0].block, 2);
    EXPECT_EQ(CurrMapArray[1][1].block, 2);
    EXPECT_EQ(CurrMapArray[1][2].block, 2);
    EXPECT_EQ(CurrMapArray[1][3].block, 0) << "a short row leaves the rest of the row at 0";
    EXPECT_EQ(CurrMapArray[0][1].block, 2);
    EXPECT_EQ(CurrMapArray[0][2].block, 2) << "one blank is skipped, the next one strtol skips";
    EXPECT_EQ(CurrMapArray[0][3].block, 0);
}

TEST_F(MapFileTest, BlockNumberMismatchIsReportedAndStoredAtItsPosition) {
    ASSERT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "1, 0, 0, 0, 0, 0, 1", "5, 0, 0, 0, 0, 0, 1")), 0);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{
                                "Minor Project error: File's blocknumber does not match current array position?"});
    EXPECT_EQ(CurrBlckStruct[1].blocknum, 5);
    EXPECT_EQ(CurrBlckStruct[1].wallright, 1);
    EXPECT_EQ(CurrBlckStruct[5].blocknum, -5);
}

struct MarkerCase {
    bool inarray;  // which of the two files
    const char *line;
    const char *error;
};

TEST_F(MapFileTest, EveryMarkerFailsWithItsOwnMessage) {
    const MarkerCase cases[] = {
        {false, "BEGIN MAP", "Breaking Project error: Missing BEGIN MAP in project file"},
        {false, "BEGIN WILDMONS", "Breaking Project error: Missing BEGIN WILDMONS in project file"},
        {false, "BEGIN DAY", "Breaking Project error: Missing BEGIN DAY in project file"},
        {false, "END DAY", "Breaking Project error: Missing END DAY in project file"},
        {false, "BEGIN NIGHT", "Breaking Project error: Missing BEGIN NIGHT in project file"},
        {false, "END NIGHT", "Breaking Project error: Missing END NIGHT in project file"},
        {false, "BEGIN MORN", "Breaking Project error: Missing BEGIN MORN in project file"},
        {false, "END MORN", "Breaking Project error: Missing END MORN in project file"},
        {false, "BEGIN OLDROD", "Breaking Project error: Missing BEGIN OLDROD in project file"},
        {false, "END OLDROD", "Breaking Project error: Missing END OLDROD in project file"},
        {false, "BEGIN GOODROD", "Breaking Project error: Missing BEGIN GOODROD in project file"},
        {false, "END GOODROD", "Breaking Project error: Missing END GOODROD in project file"},
        {false, "BEGIN SUPERROD", "Breaking Project error: Missing BEGIN SUPERROD in project file"},
        {false, "END SUPERROD", "Breaking Project error: Missing END SUPERROD in project file"},
        {false, "BEGIN SURF", "Breaking Project error: Missing BEGIN SURF in project file"},
        {false, "END SURF", "Breaking Project error: Missing END SURF in project file"},
        {false, "BEGIN ROCKSMASH", "Breaking Project error: Missing BEGIN ROCKSMASH in project file"},
        {false, "END ROCKSMASH", "Breaking Project error: Missing END ROCKSMASH in project file"},
        {false, "BEGIN HEADBUTT1", "Breaking Project error: Missing BEGIN HEADBUTT1 in project file"},
        {false, "END HEADBUTT1", "Breaking Project error: Missing END HEADBUTT1 in project file"},
        {false, "BEGIN HEADBUTT2", "Breaking Project error: Missing BEGIN HEADBUTT2 in project file"},
        {false, "END HEADBUTT2", "Breaking Project error: Missing END HEADBUTT2 in project file"},
        {false, "END WILDMONS", "Breaking Project error: Missing END WILDMONS in project file"},
        {false, "END MAP", "Breaking Project error: Missing END MAP in project file"},
        {true, "BEGIN MAP", "Major Project error: Invalid mapfile"},
        {true, "BEGIN BLOCKSTRUCT", "Breaking Project error: Mapfile does not properly start Blockstruct"},
        {true, "END BLOCKSTRUCT", "Major Project error: END BLOCKSTRUCT is not where expected"},
        {true, "BEGIN MAPARRAY", "Major Project error: Missing Maparray start"},
        {true, "END MAPARRAY", "Major Project error: Missing Maparray end"},
        {true, "END MAP", "Major Project error: Missing Map end"},
    };
    for (const MarkerCase &c : cases) {
        SetUpLog();
        // A trailing blank is enough to break a marker.
        std::string broken = std::string(c.line) + " ";
        int result = c.inarray ? Load(kMapFile, ReplaceLine(kArrayFile, c.line, broken))
                               : Load(ReplaceLine(kMapFile, c.line, broken), kArrayFile);
        EXPECT_EQ(result, -1) << c.line;
        EXPECT_EQ(ErrorLines(), std::vector<std::string>{c.error}) << c.line;
    }
    SetUpLog();
    // A whole section missing fails at its begin marker, used or not.
    std::string map = kMapFile;
    size_t from = map.find("BEGIN OLDROD"), to = map.find("BEGIN GOODROD");
    map.erase(from, to - from);
    EXPECT_EQ(Load(map, kArrayFile), -1);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Breaking Project error: Missing BEGIN OLDROD in project file"});
}

TEST_F(MapFileTest, KeyValueProblemsAndInvalidNumbers) {
    // A wrong text key gives the reader's message and an empty value; loading goes on.
    ASSERT_EQ(Load(ReplaceLine(kMapFile, "MAPNAME=Test Meadow", "MAP NAME=Test Meadow"), kArrayFile), 0);
    EXPECT_EQ(CurrMap.mapname, "");
    EXPECT_EQ(ErrorLines(),
              std::vector<std::string>{"Breaking Project error: Mapfile had a problem readying a MAPNAME line (2)"});

    for (const char *density : {"WILDDENSITY=0", "WILDDENSITY=-3", "WILDDENSITY=abc", "WILDDENSITY="}) {
        SetUpLog();
        EXPECT_EQ(Load(ReplaceLine(kMapFile, "WILDDENSITY=6", density), kArrayFile), -1) << density;
        EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Minor Project error: WILDDENSITY is invalid!"}) << density;
    }

    const std::pair<const char *, const char *> sizes[] = {
        {"BLOCKHEIGHT=24", "Breaking Project error: Invalid BLOCKHEIGHT value!"},
        {"BLOCKWIDTH=32", "Breaking Project error: Invalid BLOCKWIDTH value!"},
        {"BLCKSTRCTCNT=3", "Breaking Project error: Invalid BLCKSTRCTCNT value!"},
        {"MAPARRAYY=3", "Breaking Project error: Invalid MAPARRAYY value!"},
        {"MAPARRAYX=4", "Breaking Project error: Invalid MAPARRAYX value!"},
    };
    for (const auto &size : sizes) {
        SetUpLog();
        std::string key = std::string(size.first).substr(0, std::string(size.first).find('='));
        EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, size.first, key + "=0")), -1) << key;
        EXPECT_EQ(ErrorLines(), std::vector<std::string>{size.second}) << key;
    }
    // A refused size is not stored: the camera must never divide by it.
    EXPECT_EQ(CurrMap.blockwidth, 32);
}

TEST_F(MapFileTest, SizesBeyondTheFixedTablesAreRefusedBeforeAnyWrite) {
    CurrMap.blckstrctcnt = 3;
    EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "BLCKSTRCTCNT=3", "BLCKSTRCTCNT=51")), -1);
    EXPECT_EQ(ErrorLines(),
              std::vector<std::string>{
                  "Breaking Project error: BLCKSTRCTCNT of 51 is more than the 50 block structures a map can have!"});
    EXPECT_EQ(CurrMap.blckstrctcnt, 3);
    EXPECT_EQ(CurrBlckStruct[0].blocknum, -5) << "no block line read";

    SetUpLog();
    EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "MAPARRAYY=3", "MAPARRAYY=61")), -1);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{
                                "Breaking Project error: MAPARRAYY of 61 is more than the 60 rows a map can have!"});
    SetUpLog();
    EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "MAPARRAYX=4", "MAPARRAYX=1000")), -1);
    EXPECT_EQ(ErrorLines(),
              std::vector<std::string>{
                  "Breaking Project error: MAPARRAYX of 1000 is more than the 60 columns a map can have!"});
    EXPECT_EQ(CurrMapArray[0][0].block, -7);

    // Blocks larger than the drawing buffer are refused too.
    SetUpLog();
    EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "BLOCKWIDTH=32", "BLOCKWIDTH=99999999")), -1);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Breaking Project error: BLOCKWIDTH of 99999999 is more than "
                                                     "the 500 pixels a block can have!"});
    EXPECT_EQ(CurrMap.blockwidth, 32);

    // The largest tables a file may fill: 50 block structures, 60 by 60 cells.
    SetUpLog();
    std::string array = "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=2\nBLOCKWIDTH=2\nBEGIN BLOCKSTRUCT\n"
                        "BLCKSTRCTCNT=50\n";
    for (int i = 0; i < 50; i++) array += std::to_string(i) + ", 0, 0, 0, 0, 0, 0,\n";
    array += "END BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=60\nMAPARRAYX=60\n";
    for (int y = 0; y < 60; y++) {
        for (int x = 0; x < 60; x++) array += std::to_string((x + y) % 50) + ", ";
        array += "\n";
    }
    array += "END MAPARRAY\nEND MAP\n";
    ASSERT_EQ(Load(kMapFile, array), 0);
    EXPECT_TRUE(ErrorLines().empty());
    EXPECT_EQ(CurrBlckStruct[49].blocknum, 49);
    EXPECT_EQ(CurrMapArray[59][59].block, 18);
}

TEST_F(MapFileTest, GridValuesMustNameOneOfTheMapsBlocks) {
    const std::pair<const char *, const char *> rows[] = {
        {"1, 0, 3, 1,", "Breaking Project error: Block 3 at row 1, column 2 is not one of the map's 3 block structures!"},
        {"1, -1, 2, 1,",
         "Breaking Project error: Block -1 at row 1, column 1 is not one of the map's 3 block structures!"},
        {"1, 0, 2, 0x7fffffffffff,", "Breaking Project error: Block 140737488355327 at row 1, column 3 is not one of "
                                     "the map's 3 block structures!"},
    };
    for (const auto &row : rows) {
        SetUpLog();
        for (auto &r : CurrMapArray)
            for (maparraycell &cell : r) cell.block = -7;
        EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "1, 0, 2, 1,", row.first)), -1) << row.first;
        EXPECT_EQ(ErrorLines(), std::vector<std::string>{row.second});
        EXPECT_EQ(CurrMapArray[0][3].block, 1) << "rows before the bad value keep their new values";
        EXPECT_EQ(CurrMapArray[1][0].block, 1);
        EXPECT_EQ(CurrMapArray[2][0].block, -7) << "nothing after the bad value is read";
    }
}

TEST_F(MapFileTest, FieldsReadBeforeAFailureKeepTheirNewValues) {
    CurrMap.maparrayy = 11;
    ASSERT_EQ(Load(ReplaceLine(kMapFile, "END NIGHT", "END KNIGHT"), kArrayFile), -1);
    EXPECT_EQ(CurrMap.mapname, "Test Meadow");
    EXPECT_EQ(CurrMap.wilddensity, 6);
    EXPECT_EQ(CurrMap.daymons[0].species, 1);
    EXPECT_EQ(CurrMap.nightmons[6].level, 9) << "the data line comes before its end marker";
    EXPECT_EQ(CurrMap.mornmons[0].level, 77);
    EXPECT_EQ(CurrMap.maparrayy, 11);
    EXPECT_EQ(CurrBlckStruct[0].blocknum, -5);
}

TEST_F(MapFileTest, MissingFilesAndAMissingPicture) {
    EXPECT_EQ(LoadMapFile(), -1);
    EXPECT_EQ(ErrorLines(),
              std::vector<std::string>{"Breaking Project error: Map file proj\\map.txt does not exist!"});

    SetUpLog();
    EXPECT_EQ(Load(ReplaceLine(kMapFile, "MAPARRAY=array.txt", "MAPARRAY=elsewhere.txt"), kArrayFile), -1);
    EXPECT_EQ(ErrorLines(),
              std::vector<std::string>{"Breaking Project error: Map file proj\\elsewhere.txt does not exist!"});

    // The picture is loaded last: everything else is stored by then.
    SetUpLog();
    ASSERT_EQ(Load(kMapFile, kArrayFile), 0);
    ASSERT_NE(currentmaptilesbmp, nullptr);
    SetUpLog();
    EXPECT_EQ(Load(kMapFile, ReplaceLine(kArrayFile, "TILES=tiles.bmp", "TILES=nothere.bmp")), -1);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"Major Project error: Unable to load map bitmap!"});
    EXPECT_EQ(currentmaptilesbmp, nullptr);
    EXPECT_EQ(CurrMap.tiles, "nothere.bmp");
    EXPECT_EQ(CurrMapArray[2][3].block, 1);
}

}  // namespace
