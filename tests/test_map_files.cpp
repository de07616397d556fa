// Reading a map: the map file's wild tables, the map-array file's block
// structures and grid, the tile strip, and every way the files can be wrong.
#include <cstring>

#include "tests/harness/testsupport.h"

namespace {

const char *const kSections[] = {"DAY", "NIGHT", "MORN", "OLDROD", "GOODROD", "SUPERROD", "SURF", "ROCKSMASH", "HEADBUTT1", "HEADBUTT2"};
const int kSizes[] = {7, 7, 7, 3, 4, 4, 3, 2, 4, 4};

// Wild section n holds species n + 1 at levels 1, 2, 3 and so on; the first
// line has no blanks and its first species in hex, the others end in a comma.
std::string MapFile() {
    std::string text = "1\nBEGIN MAP\nMAPNAME=Meadow\nMAPARRAY=array.txt\nEVENTFILE=e.txt\n# wild\nBEGIN WILDMONS\nWILDDENSITY=1\n";
    for (int n = 0; n < 10; n++) {
        text += std::string("BEGIN ") + kSections[n] + "\n";
        for (int i = 1; i <= kSizes[n]; i++) text += std::to_string(n + 1) + (n ? ", " : ",") + std::to_string(i) + (n || i < 7 ? "," : "");
        text += std::string("\nEND ") + kSections[n] + "\n";
    }
    return Replaced(text, "1,1,1,2", "0x1,1,1,2") + "END WILDMONS\nEND MAP\n";
}

// Block 0 has a different value in every field; block 1's line has no comma
// after its last value. Block and row lines skip the character after each
// comma (written as a blank), so the last row, written without blanks, loses
// the 1 of each 12, and a value "  002" keeps one blank and reads as octal 2.
const std::string kArrayFile =
    "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=24\nBLOCKWIDTH=32\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=3\n"
    "0, 4, 5, 6, 7, 8, 9,\n1, 0, 0, 0, 0, 0, 1\n# comment\n2, 3, 1, 0, 1, 0, 0,\nEND BLOCKSTRUCT\nBEGIN MAPARRAY\n"
    "MAPARRAYY=3\nMAPARRAYX=4\n1, 1,  002, 1,\n1, 0, 2, 1,\n2,12,12\nEND MAPARRAY\nEND MAP\n";

class MapFileTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        GameIndex[0].projectdir = "proj", CurrMapFilename = "proj\\map.txt";
        WriteFile("proj/e.txt", "");
        BITMAP *strip = create_bitmap(96, 24);
        save_bitmap("proj/tiles.bmp", strip, nullptr);
        destroy_bitmap(strip);
    }
    // Loads after poisoning what a load writes, and checks that no size
    // outside its range was stored and nothing written past the map's own
    // blocks, rows and columns.
    int Load(const std::string &map, const std::string &array) {
        SetUpLog();
        CurrMap.blockwidth = CurrMap.blockheight = CurrMap.blckstrctcnt = CurrMap.maparrayy = CurrMap.maparrayx = 7;
        memset(CurrBlckStruct, 0xFF, sizeof CurrBlckStruct);  // every value -1
        memset(CurrMapArray, 0xFF, sizeof CurrMapArray);
        WriteFile("proj/map.txt", map), WriteFile("proj/array.txt", array);
        int result = LoadMapFile(), beyond = 0;
        for (const auto &[value, most] : {std::make_pair(CurrMap.blockwidth, BLOCKSIZEMAX), {CurrMap.blockheight, BLOCKSIZEMAX},
                                          {CurrMap.blckstrctcnt, BLCKSTRCTMAX}, {CurrMap.maparrayy, MAPARRAYMAX}, {CurrMap.maparrayx, MAPARRAYMAX}})
            beyond += value < 1 || value > most;
        for (int i = CurrMap.blckstrctcnt; i < BLCKSTRCTMAX; i++) beyond += CurrBlckStruct[i].blocknum != -1;
        for (int r = 0; r < MAPARRAYMAX; r++)
            for (int k = 0; k < MAPARRAYMAX; k++) beyond += (r >= CurrMap.maparrayy || k >= CurrMap.maparrayx) && CurrMapArray[r][k].block != -1;
        EXPECT_EQ(beyond, 0) << "out of bounds after " << (LogLinesWith("error: ").empty() ? "" : LogLinesWith("error: ").back());
        return result;
    }
};

TEST_F(MapFileTest, WellFormedFilesFillTheMapTheBlocksAndTheGrid) {
    ASSERT_EQ(Load(MapFile(), kArrayFile), 0);
    EXPECT_TRUE(LogLinesWith("error: ").empty() && currentmaptilesbmp);
    EXPECT_EQ(CurrMap.mapname + CurrMap.maparrayfile + CurrMap.eventfile + CurrMap.tiles, "Meadowarray.txte.txttiles.bmp");
    EXPECT_TRUE(CurrMap.wilddensity == 1 && CurrMap.blockwidth == 32 && CurrMap.blockheight == 24 && CurrMap.blckstrctcnt == 3);
    const wildentry *tables[] = {CurrMap.daymons, CurrMap.nightmons, CurrMap.mornmons, CurrMap.oldrodmons, CurrMap.goodrodmons,
                                 CurrMap.superrodmons, CurrMap.surfmons, CurrMap.rocksmashmons, CurrMap.headbutt1mons, CurrMap.headbutt2mons};
    for (int n = 0; n < 10; n++)
        for (int i = 0; i < kSizes[n]; i++) EXPECT_TRUE(tables[n][i].species == n + 1 && tables[n][i].level == i + 1) << n << ", " << i;
    const blockstruct &b = CurrBlckStruct[0];
    EXPECT_TRUE(b.blocktype == 4 && b.obstacle == 5 && b.walltop == 6 && b.wallleft == 7 && b.wallbottom == 8 && b.wallright == 9);
    EXPECT_EQ(CurrBlckStruct[1].wallright, 1);
    const int grid[] = {1, 1, 2, 1, 1, 0, 2, 1, 2, 2, 2, 0};
    for (int i = 0; i < 12; i++) EXPECT_EQ(CurrMapArray[i / 4][i % 4].block, grid[i]) << "cell " << i;
}

// The largest sizes each table holds pass; one more fails with its own
// message, as does every broken line, and no refused value is stored.
TEST_F(MapFileTest, TheLargestSizesPassAndEachBrokenLineFailsWithItsOwnMessage) {
    std::string big = "1\nBEGIN MAP\nTILES=tiles.bmp\nBLOCKHEIGHT=500\nBLOCKWIDTH=500\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=50\n";
    for (int i = 0; i < 50; i++) big += std::to_string(i) + ", 0, 0, 0, 0, 0, 0,\n";
    big += "END BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=60\nMAPARRAYX=60\n";
    for (int y = 0; y < 60; y++) big += "49,\n";
    ASSERT_TRUE(Load(MapFile(), big + "END MAPARRAY\nEND MAP\n") == 0 && CurrBlckStruct[49].blocknum == 49 && CurrMapArray[59][0].block == 49);
    const std::string br = "Breaking Project error: ", major = "Major Project error: ", can = " can have!";
    std::vector<std::tuple<bool, std::string, std::string, std::string>> cases = {  // in the map-array file; the line, its replacement
        {false, "1\n", "2\n", br + "Unrecognized version number"}, {true, "1\n", "3\n", br + "Unrecognized version number"},
        {false, "WILDDENSITY=1", "WILDDENSITY=0", "Minor Project error: WILDDENSITY is invalid!"},
        {false, "MAPARRAY=array.txt", "MAPARRAY=other.txt", br + "Map file proj\\other.txt does not exist!"},
        {true, "TILES=tiles.bmp", "TILES=nothere.bmp", major + "Unable to load map bitmap!"},
        {true, "BLOCKHEIGHT=24", "BLOCKHEIGHT=501", br + "BLOCKHEIGHT of 501 is more than the 500 pixels a block" + can},
        {true, "BLOCKWIDTH=32", "BLOCKWIDTH=0", br + "Invalid BLOCKWIDTH value!"},
        {true, "BLCKSTRCTCNT=3", "BLCKSTRCTCNT=51", br + "BLCKSTRCTCNT of 51 is more than the 50 block structures a map" + can},
        {true, "MAPARRAYY=3", "MAPARRAYY=61", br + "MAPARRAYY of 61 is more than the 60 rows a map" + can},
        {true, "MAPARRAYX=4", "MAPARRAYX=-1", br + "Invalid MAPARRAYX value!"},
        {true, "1, 0, 2, 1,", "1, 0, 3, 1,", br + "Block 3 at row 1, column 2 is not one of the map's 3 block structures!"},
        {true, "END MAPARRAY", "", major + "Missing Maparray end"}};
    for (const std::string marker : {"MAP", "WILDMONS", "DAY", "NIGHT", "MORN", "OLDROD", "GOODROD", "SUPERROD", "SURF", "ROCKSMASH", "HEADBUTT1", "HEADBUTT2"})
        for (const std::string begin : {"BEGIN ", "END "})  // a trailing blank is enough to break a marker
            cases.push_back({false, begin + marker + "\n", begin + marker + " \n", br + "Missing " + begin + marker + " in project file"});
    for (const auto &[inarray, line, by, error] : cases) {
        EXPECT_EQ(inarray ? Load(MapFile(), Replaced(kArrayFile, line, by)) : Load(Replaced(MapFile(), line, by), kArrayFile), -1) << error;
        EXPECT_EQ(LogLinesWith("error: ").back(), error);
    }
    EXPECT_EQ(currentmaptilesbmp, nullptr) << "a failed load leaves no tile strip";
}

}  // namespace
