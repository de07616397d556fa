// Hostile files: names that climb out of the game's directory, links and
// special files, and numbers far beyond what a field can hold.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "tests/harness/testsupport.h"

// The last error line of the log.
static std::string LastError() {
    std::string last;
    for (const std::string &line : LogLinesAfterBanner())
        if (line.find(" error: ") != std::string::npos) last = line;
    return last;
}

// Runs the game in a folder of its own, with a file beside that folder.
static void GameInAFolder() {
    WriteFile("project.txt", "1\nBEGIN PROJECT\n");
    std::filesystem::create_directory("game");
    ASSERT_EQ(chdir("game"), 0);
    SetUpLog();
}

TEST_F(QbTest, NamesOutsideTheGameLinksAndSpecialFilesAreRefused) {
    GameInAFolder();
    WriteFile("proj/inner.txt", "1\n");
    ASSERT_EQ(symlink("../../project.txt", "proj/link.txt") | symlink("..", "linkdir") | mkfifo("proj/pipe.txt", 0644), 0);
    const std::string out = "lies outside the game's directory and is not read!";
    const std::pair<std::string, std::string> cases[] = {
        {"..\\project.txt", out}, {tempdir + "\\project.txt", out}, {"C:\\project.txt", out}, {"proj\\link.txt", out},
        {"linkdir\\project.txt", out}, {"proj\\pipe.txt", "is a FIFO, not a regular file and is not read!"}};
    for (const auto &[name, reason] : cases) {
        SetUpLog();
        EXPECT_EQ(ReadProjectFile(name), -1) << name;
        EXPECT_EQ(LastError(), "Breaking Project error: The project file " + name + " " + reason);
    }
    SetUpLog();  // a name that stays inside is read as before
    ReadProjectFile("proj\\inner.txt");
    EXPECT_EQ(LastError(), "Breaking Project error: Missing BEGIN PROJECT in project file");
}

TEST_F(QbTest, TheLogIsNeverWrittenThroughALink) {
    GameInAFolder();
    std::filesystem::remove(logfile);
    ASSERT_EQ(symlink("../project.txt", logfile), 0);
    SetUpLog();
    log(LOG_INFO, LOGCAT_PROGRAM, "a line");
    EXPECT_EQ(ReadFileText("../project.txt"), "1\nBEGIN PROJECT\n");
    ASSERT_EQ(headless::alerts.size(), 2u);
    EXPECT_EQ(headless::alerts[0].rfind("Unable to write to qblog.txt: ", 0), 0u) << headless::alerts[0];
}

TEST_F(QbTest, HugeNumbersSaturateAndTheViewStopsAt500) {
    const std::pair<std::string, std::string> cases[] = {  // an index, or a view line of a project file
        {"4294967297\n", "Major Project error: Unrecognized version number 4294967297"},
        {"1\nINDEXCOUNT=4294967297\n",
         "Breaking Project error: INDEXCOUNT of 2147483647 is more than the 255 projects an index can hold!"},
        {"WINDOWX=4294967648", "Minor Project error: WINDOWX of 2147483647 is more than the 500 pixels a view can have!"},
        {"WINDOWX=501", "Minor Project error: WINDOWX of 501 is more than the 500 pixels a view can have!"},
        {"WINDOWX=500", "Minor Project error: WINDOWY of 501 is more than the 500 pixels a view can have!"},
    };
    for (const auto &[text, line] : cases) {
        SetUpLog();
        const bool index = text[0] != 'W';
        WriteFile(index ? "gameindex.txt" : "p.txt", index ? text : "1\nBEGIN PROJECT\n" + text + "\nWINDOWY=501\n");
        EXPECT_EQ(index ? ReadGameIndex() : ReadProjectFile("p.txt"), -1) << text;
        EXPECT_EQ(LastError(), line);
    }
    // A data line's value beyond 32 bits does not wrap to encounter ground,
    // nor a wall value beyond 16 bits to a wall.
    WriteFile("m/a.txt", "1\nBEGIN MAP\nTILES=t.bmp\nBLOCKHEIGHT=16\nBLOCKWIDTH=16\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=1\n"
                         "0, 4294967298, 0, 65537, 0, 0, 0,\nEND BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=1\n"
                         "MAPARRAYX=1\n0,\nEND MAPARRAY\nEND MAP\n");
    std::string map = ReadFileText(SourceDir() + "/game/testproject/baymap.txt");
    WriteFile("m/map.txt", map.replace(map.find("MAPARRAY=bayarray.txt"), 21, "MAPARRAY=a.txt"));
    GameIndex[0].projectdir = "m", indexno = 0, CurrMapFilename = "m\\map.txt";
    LoadMapFile();
    EXPECT_EQ(std::make_pair(CurrBlckStruct[0].blocktype, (int)CurrBlckStruct[0].walltop), std::make_pair(INT32_MAX, INT16_MAX));
}

TEST_F(QbTest, PositionsFarOffTheMapGiveACameraWithoutOverflow) {
    CurrProj.windowx = CurrProj.windowy = 352;
    CurrMap = mapinfo();
    CurrMap.blockwidth = CurrMap.blockheight = 500, CurrMap.maparrayx = CurrMap.maparrayy = 60;
    for (int x : {INT_MAX, INT_MIN}) {
        playertilex = playertiley = x;
        PlaceCamera(x, x);
        PlaceSprite();
        EXPECT_TRUE(mapxpxl >= 0 && mapxpxl <= 60 * 500 - 352 && plx == x) << mapxpxl << " " << plx;
        EXPECT_EQ(move_player(x > 0 ? DIR_RIGHT : DIR_LEFT), 1) << "no block lies beyond " << x;
    }
    // A start far beyond the view is kept inside it before the camera is placed.
    CurrMap.blockwidth = CurrMap.blockheight = 16, CurrProj.startx = CurrProj.starty = INT_MAX;
    PlacePlayerAtStart();
    EXPECT_EQ(std::make_pair(playertilex, mapxtile), std::make_pair(22, 12));
}
