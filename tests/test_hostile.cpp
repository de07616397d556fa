// Hostile files: names that climb out of the game's directory, links and
// special files, and numbers far beyond what a field can hold.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "tests/harness/testsupport.h"

namespace {

class HostileTest : public QbTest {
protected:
    // The last error line of the log.
    std::string LastError() {
        std::string last;
        for (const std::string &line : LogLinesAfterBanner())
            if (line.find(" error: ") != std::string::npos) last = line;
        return last;
    }
    // A directory beside the game's own, with a file in it.
    std::string Outside() {
        std::string dir = tempdir + "-outside";
        WriteFile(dir + "/project.txt", "1\nBEGIN PROJECT\n");
        return dir;
    }
    void TearDown() override {
        std::filesystem::remove_all(tempdir + "-outside");
        QbTest::TearDown();
    }
};

TEST_F(HostileTest, NamesOutsideTheGameLinksAndSpecialFilesAreRefused) {
    std::string outside = Outside();
    WriteFile("proj/inner.txt", "1\n");
    ASSERT_EQ(symlink((outside + "/project.txt").c_str(), "proj/link.txt"), 0);
    ASSERT_EQ(symlink(outside.c_str(), "linkdir"), 0);
    ASSERT_EQ(mkfifo("proj/pipe.txt", 0644), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"..\\" + std::filesystem::path(outside).filename().string() + "\\project.txt", "lies outside"},
        {outside + "\\project.txt", "lies outside"},
        {"proj\\..\\..\\project.txt", "lies outside"},
        {"C:\\project.txt", "lies outside"},
        {"proj\\link.txt", "lies outside"},
        {"linkdir\\project.txt", "lies outside"},
        {"proj\\pipe.txt", "is not a regular file"},
    };
    for (const auto &c : cases) {
        SetUpLog();
        EXPECT_EQ(ReadProjectFile(c.first), -1) << c.first;
        EXPECT_EQ(LastError(), "Breaking Project error: The project file " + c.first + " " + c.second +
                                   (c.second[0] == 'l' ? " the game's directory and is not read!" : " and is not read!"));
    }
    // Pictures are refused the same way, with the picture loader's line.
    SetUpLog();
    EXPECT_EQ(LoadPicture("linkdir\\tiles.bmp", nullptr), nullptr);
    EXPECT_EQ(LastError(), "Minor Project error: Picture linkdir\\tiles.bmp cannot be read: it lies outside the game's directory");
    // A name that stays inside is read as before.
    SetUpLog();
    ReadProjectFile("proj\\inner.txt");
    EXPECT_EQ(LastError(), "Breaking Project error: Missing BEGIN PROJECT in project file");
}

TEST_F(HostileTest, TheLogIsNeverWrittenThroughALink) {
    std::string outside = Outside();
    std::string target = outside + "/project.txt";
    std::string before = ReadFileText(target);
    std::filesystem::remove(logfile);
    ASSERT_EQ(symlink(target.c_str(), logfile), 0);
    SetUpLog();
    log(LOG_INFO, LOGCAT_PROGRAM, "a line");
    EXPECT_EQ(ReadFileText(target), before);
    ASSERT_EQ(headless::alerts.size(), 2u);
    EXPECT_EQ(headless::alerts[0].rfind("Unable to write to qblog.txt: ", 0), 0u) << headless::alerts[0];
}

TEST_F(HostileTest, HugeNumbersSaturateInsteadOfWrapping) {
    WriteFile("gameindex.txt", "4294967297\n");
    ReadGameIndex();
    EXPECT_EQ(LastError(), "Major Project error: Unrecognized version number 4294967297");
    WriteFile("gameindex.txt", "1\nINDEXCOUNT=4294967297\n");
    SetUpLog();
    ReadGameIndex();
    EXPECT_EQ(LastError(), "Breaking Project error: INDEXCOUNT of 2147483647 is more than the 255 projects an index can hold!");

    const std::pair<const char *, const char *> views[] = {
        {"WINDOWX=4294967648", "Minor Project error: WINDOWX of 2147483647 is more than the 500 pixels a view can have!"},
        {"WINDOWX=501", "Minor Project error: WINDOWX of 501 is more than the 500 pixels a view can have!"},
        {"WINDOWX=500", "Minor Project error: WINDOWY of 501 is more than the 500 pixels a view can have!"},
    };
    for (const auto &v : views) {
        WriteFile("p.txt", std::string("1\nBEGIN PROJECT\n") + v.first + "\nWINDOWY=501\n");
        SetUpLog();
        EXPECT_EQ(ReadProjectFile("p.txt"), -1);
        EXPECT_EQ(LastError(), v.second);
    }

    // A data line's value beyond 32 bits does not wrap to encounter ground,
    // nor a wall value beyond 16 bits to a wall.
    WriteFile("m/a.txt", "1\nBEGIN MAP\nTILES=t.bmp\nBLOCKHEIGHT=16\nBLOCKWIDTH=16\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=1\n"
                         "0, 4294967298, 0, 65537, 0, 0, 0,\nEND BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=1\n"
                         "MAPARRAYX=1\n0,\nEND MAPARRAY\nEND MAP\n");
    std::string map = ReadFileText(SourceDir() + "/game/testproject/baymap.txt");
    map.replace(map.find("MAPARRAY=bayarray.txt"), 21, "MAPARRAY=a.txt");
    WriteFile("m/map.txt", map);
    GameIndex[0].projectdir = "m";
    indexno = 0;
    CurrMapFilename = "m\\map.txt";
    LoadMapFile();
    EXPECT_EQ(CurrBlckStruct[0].blocktype, INT32_MAX);
    EXPECT_EQ(CurrBlckStruct[0].walltop, INT16_MAX);
}

TEST_F(HostileTest, PositionsFarOffTheMapGiveACameraWithoutOverflow) {
    CurrProj.windowx = CurrProj.windowy = 352;
    CurrMap = mapinfo();
    CurrMap.blockwidth = CurrMap.blockheight = 500;
    CurrMap.maparrayx = CurrMap.maparrayy = 60;
    for (int x : {INT_MAX, INT_MIN}) {
        playertilex = playertiley = x;
        PlaceCamera(x, x);
        PlaceSprite();
        EXPECT_GE(mapxpxl, 0);
        EXPECT_LE(mapxpxl, 60 * 500 - 352);
        EXPECT_EQ(move_player(x > 0 ? DIR_RIGHT : DIR_LEFT), 1) << "no block lies beyond " << x;
    }
    // A start far beyond the view is kept inside it before the camera is placed.
    CurrMap.blockwidth = CurrMap.blockheight = 16;
    CurrProj.startx = CurrProj.starty = INT_MAX;
    PlacePlayerAtStart();
    EXPECT_EQ(playertilex, 22);
    EXPECT_EQ(mapxtile, 12);
}

}  // namespace
