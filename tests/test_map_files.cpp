// Reading a map: the map file's wild tables, the map-array file's block
// structures and grid, the tile strip, each line's read limit, and every
// way the files can be wrong.
#include <cstring>

#include "tests/harness/testsupport.h"

using Lines = std::vector<std::pair<int, std::string>>;
struct section {
    const char *name;
    int size, begin, data, end;  // entries; the read limits of its three lines
};
static const section kSections[] = {{"DAY", 7, 15, 150, 10},       {"NIGHT", 7, 20, 150, 15},    {"MORN", 7, 15, 150, 15},
                             {"OLDROD", 3, 15, 100, 15},    {"GOODROD", 4, 15, 100, 15},  {"SUPERROD", 4, 20, 100, 15},
                             {"SURF", 3, 15, 50, 10},       {"ROCKSMASH", 2, 20, 50, 15}, {"HEADBUTT1", 4, 20, 100, 20},
                             {"HEADBUTT2", 4, 20, 100, 20}};

// Wild section n holds species n + 1 at levels 1, 2, 3 and so on; the first
// data line has no blanks and its first species in hex, the others end in a comma.
static Lines MapLines() {
    Lines lines = {{0, "1"}, {15, "BEGIN MAP"}, {150, "MAPNAME=Meadow"}, {150, "MAPARRAY=array.txt"}, {150, "EVENTFILE=e.txt"},
                   {20, "BEGIN WILDMONS"}, {20, "WILDDENSITY=1"}};
    for (int n = 0; n < 10; n++) {
        const section &s = kSections[n];
        std::string data = n ? "" : "0x";
        for (int i = 1; i <= s.size; i++) data += std::to_string(n + 1) + (n ? ", " : ",") + std::to_string(i) + (n || i < 7 ? "," : "");
        lines.insert(lines.end(), {{s.begin, std::string("BEGIN ") + s.name}, {s.data, data}, {s.end, std::string("END ") + s.name}});
    }
    lines.insert(lines.end(), {{20, "END WILDMONS"}, {20, "END MAP"}});
    return lines;
}

// Block 0 has a different value in every field; block 1's line has no comma
// after its last value. Block and row lines skip the character after each
// comma (written as a blank), so the last row, written without blanks, loses
// the 1 of each 12, and a value "  002" keeps one blank and reads as octal 2.
static const Lines kArrayLines = {{0, "1"}, {15, "BEGIN MAP"}, {150, "TILES=tiles.bmp"}, {20, "BLOCKHEIGHT=24"}, {20, "BLOCKWIDTH=32"},
                           {20, "BEGIN BLOCKSTRUCT"}, {20, "BLCKSTRCTCNT=3"}, {150, "0, 4, 5, 6, 7, 8, 9, 10,"},
                           {150, "1, 0, 0, 0, 0, 0, 1"}, {150, "2, 3, 1, 0, 1, 0, 0,"}, {25, "END BLOCKSTRUCT"},
                           {20, "BEGIN MAPARRAY"}, {20, "MAPARRAYY=3"}, {20, "MAPARRAYX=4"}, {600, "1, 1,  002, 1,"},
                           {600, "1, 0, 2, 1,"}, {600, "2,12,12"}, {15, "END MAPARRAY"}, {10, "END MAP"}};

using MapFileTest = QbTest;
// Loads the files with the project's event file and a 96 by 24 tile strip
// beside them, after poisoning what a load writes, and checks that no size
// outside its range was stored and nothing written past the map's own
// blocks, rows and columns.
static int Load(const std::string &map, const std::string &array) {
    SetUpLog(), GameIndex[0].projectdir = "proj", CurrMapFilename = "proj\\map.txt";
    WriteFile("proj/e.txt", ""), WriteFile("proj/map.txt", map), WriteFile("proj/array.txt", array);
    BITMAP *strip = create_bitmap(96, 24); save_bitmap("proj/tiles.bmp", strip, nullptr), destroy_bitmap(strip);
    CurrMap.blockwidth = CurrMap.blockheight = CurrMap.blckstrctcnt = CurrMap.maparrayy = CurrMap.maparrayx = 7;
    memset(CurrBlckStruct, 0xFF, sizeof CurrBlckStruct), memset(CurrMapArray, 0xFF, sizeof CurrMapArray);  // every value -1
    int result = LoadMapFile(), beyond = 0;
    for (const auto &[value, most] : {std::make_pair(CurrMap.blockwidth, BLOCKSIZEMAX), {CurrMap.blockheight, BLOCKSIZEMAX},
                                      {CurrMap.blckstrctcnt, BLCKSTRCTMAX}, {CurrMap.maparrayy, MAPARRAYMAX}, {CurrMap.maparrayx, MAPARRAYMAX}})
        beyond += value < 1 || value > most;
    for (int i = CurrMap.blckstrctcnt; i < BLCKSTRCTMAX; i++) beyond += CurrBlckStruct[i].blocknum != -1;
    for (int r = 0; r < MAPARRAYMAX; r++)
        for (int k = 0; k < MAPARRAYMAX; k++) beyond += (r >= CurrMap.maparrayy || k >= CurrMap.maparrayx) && CurrMapArray[r][k].block != -1;
    EXPECT_EQ(beyond, 0) << "out of bounds after " << LastError();
    return result;
}

// Each line is read whole after a comment as long as its limit allows; one
// character more, and the reader cuts the comment and stumbles on its rest.
TEST_F(MapFileTest, WellFormedFilesFillTheMapTheBlocksAndTheGrid) {
    ASSERT_EQ(Load(Commented(MapLines()), Commented(kArrayLines)), 0);
    EXPECT_EQ(LastError(), "");
    EXPECT_NE(currentmaptilesbmp, nullptr);
    EXPECT_EQ(CurrMap.mapname + CurrMap.maparrayfile + CurrMap.eventfile + CurrMap.tiles, "Meadowarray.txte.txttiles.bmp");
    EXPECT_EQ(std::make_tuple(CurrMap.wilddensity, CurrMap.blockwidth, CurrMap.blockheight, CurrMap.blckstrctcnt),
              std::make_tuple(1, 32, 24, 3));
    const wildentry *tables[] = {CurrMap.daymons, CurrMap.nightmons, CurrMap.mornmons, CurrMap.oldrodmons, CurrMap.goodrodmons,
                                 CurrMap.superrodmons, CurrMap.surfmons, CurrMap.rocksmashmons, CurrMap.headbutt1mons, CurrMap.headbutt2mons};
    for (int n = 0; n < 10; n++)
        for (int i = 0; i < kSections[n].size; i++)
            EXPECT_EQ(std::make_pair(tables[n][i].species, tables[n][i].level), std::make_pair(n + 1, i + 1)) << n << ", " << i;
    const blockstruct &b = CurrBlckStruct[0];
    EXPECT_EQ(std::vector<int>({b.blocknum, b.blocktype, b.obstacle, b.walltop, b.wallleft, b.wallbottom, b.wallright, b.levelrise}),
              std::vector<int>({0, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(std::make_pair((int)CurrBlckStruct[1].wallright, CurrBlckStruct[1].levelrise), std::make_pair(1, 0)) << "no eighth value";
    const int grid[] = {1, 1, 2, 1, 1, 0, 2, 1, 2, 2, 2, 0};
    for (int i = 0; i < 12; i++) EXPECT_EQ(CurrMapArray[i / 4][i % 4].block, grid[i]) << "cell " << i;
    const Lines map = MapLines();
    for (int k = 1; k < (int)(map.size() + kArrayLines.size()) - 1; k++) {  // the array file's lines after the map file's
        const int inarray = k < (int)map.size() ? -1 : k + 1 - (int)map.size();
        EXPECT_NE((Load(Commented(map, inarray < 0 ? k : -1), Commented(kArrayLines, inarray)), LastError()), "") << k;
    }
}

// The largest sizes each table holds pass; one more fails with its own
// message, as does every broken line, and no refused value is stored.
TEST_F(MapFileTest, TheLargestSizesPassAndEachBrokenLineFailsWithItsOwnMessage) {
    std::string big = "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=500\nBLOCKWIDTH=500\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=50\n";
    for (int i = 0; i < 50; i++) big += std::to_string(i) + ", 0, 0, 0, 0, 0, 0,\n";
    big += "END BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=60\nMAPARRAYX=60\n";
    for (int y = 0; y < 60; y++) big += "49,\n";
    const std::string mapfile = Commented(MapLines()), arrayfile = Commented(kArrayLines);
    ASSERT_EQ(Load(mapfile, big + "END MAPARRAY\nEND MAP\n"), 0);
    EXPECT_EQ(std::make_pair(CurrBlckStruct[49].blocknum, CurrMapArray[59][0].block), std::make_pair(49, 49));
    const std::string br = "Breaking Project error: ", major = "Major Project error: ", can = " can have!";
    struct brokencase {
        bool inarray;
        std::string line, by, error;
        int result = -1;
    };
    std::vector<brokencase> cases = {
        {true, "2, 3, 1, 0", "5, 3, 1, 0", "Minor Project error: File's blocknumber does not match current array position?", 0},
        {true, "1, 0, 0, 0, 0, 0, 1", "1, 0, 0, 0, 0, 0, 1, 100", "Minor Project error: Block 1 has a level rise of 100, not 0 to 99; 99 is used", 0},
        {true, "1, 0, 0, 0, 0, 0, 1", "1, 0, 0, 0, 0, 0, 1, -1", "Minor Project error: Block 1 has a level rise of -1, not 0 to 99; 0 is used", 0},
        {false, "MAPNAME=Meadow", "MAPNAME:Meadow", br + "Mapfile had a problem readying a MAPNAME line", 0},
        {false, "1\n", "2\n", br + "Unrecognized version number"}, {true, "1\n", "3\n", br + "Unrecognized version number"},
        {false, "WILDDENSITY=1", "WILDDENSITY=0", "Minor Project error: WILDDENSITY is invalid!"},
        {false, "MAPARRAY=array.txt", "MAPARRAY=other.txt", br + "Map file proj\\other.txt does not exist!"},
        {true, "TILES=tiles.bmp", "TILES=nothere.bmp", major + "Unable to load map bitmap!"},
        {true, "BEGIN MAP\n", "BEGIN MAP \n", major + "Invalid mapfile"},
        {true, "BLOCKHEIGHT=24", "BLOCKHEIGHT=501", br + "BLOCKHEIGHT of 501 is more than the 500 pixels a block" + can},
        {true, "BEGIN BLOCKSTRUCT", "BEGIN BLOCKSTRUCT ", br + "Mapfile does not properly start Blockstruct"},
        {true, "BLCKSTRCTCNT=3", "BLCKSTRCTCNT=51", br + "BLCKSTRCTCNT of 51 is more than the 50 block structures a map" + can},
        {true, "END BLOCKSTRUCT", "END  BLOCKSTRUCT", major + "END BLOCKSTRUCT is not where expected"},
        {true, "BEGIN MAPARRAY", "BEGIN MAPARRAY ", major + "Missing Maparray start"},
        {true, "MAPARRAYY=3", "MAPARRAYY=61", br + "MAPARRAYY of 61 is more than the 60 rows a map" + can},
        {true, "MAPARRAYX=4", "MAPARRAYX=61", br + "MAPARRAYX of 61 is more than the 60 columns a map" + can},
        {true, "1, 0, 2, 1,", "1, 0, 3, 1,", br + "Block 3 at row 1, column 2 is not one of the map's 3 block structures!"},
        {true, "END MAPARRAY", "END MAPARRAY ", major + "Missing Maparray end"},
        {true, "END MAP\n", "END MAP \n", major + "Missing Map end"}};
    for (const std::string marker : {"MAP", "WILDMONS", "DAY", "NIGHT", "MORN", "OLDROD", "GOODROD", "SUPERROD", "SURF", "ROCKSMASH", "HEADBUTT1", "HEADBUTT2"})
        for (const std::string begin : {"BEGIN ", "END "})  // a trailing blank is enough to break a marker
            cases.push_back({false, begin + marker + "\n", begin + marker + " \n", br + "Missing " + begin + marker + " in project file"});
    for (const auto &[key, good, bad] : {std::make_tuple("BLOCKHEIGHT", "24", "0"), {"BLOCKWIDTH", "32", "0"}, {"BLCKSTRCTCNT", "3", "0"},
                                         {"MAPARRAYY", "3", "0"}, {"MAPARRAYX", "4", "-1"}})
        cases.push_back({true, key + std::string("=") + good, key + std::string("=") + bad, br + "Invalid " + key + " value!"});
    Load(mapfile, Replaced(arrayfile, "1, 0, 0, 0, 0, 0, 1", "1, 0, 0, 0, 0, 0, 1, 0x7fffffffffffffff")); EXPECT_EQ(CurrBlckStruct[1].levelrise, 99);
    for (const brokencase &c : cases) {
        EXPECT_EQ(c.inarray ? Load(mapfile, Replaced(arrayfile, c.line, c.by)) : Load(Replaced(mapfile, c.line, c.by), arrayfile),
                  c.result) << c.error;
        EXPECT_EQ(LastError(), c.error);
    }
    EXPECT_EQ(currentmaptilesbmp, nullptr) << "a failed load leaves no tile strip";
}
