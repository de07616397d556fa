// Hostile files: names that climb out of the game's directory, links and
// special files, and numbers far beyond what a field can hold.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>

#include "tests/harness/testsupport.h"

// The last error of reading `name` as a project file, from a fresh log.
static std::string ProjectFileError(const std::string &name) {
    SetUpLog();
    EXPECT_EQ(ReadProjectFile(name), -1) << name;
    return LastError();
}

TEST_F(QbTest, NamesOutsideTheGameLinksAndSpecialFilesAreRefusedAndTheLogFollowsNoLink) {
    // The game runs in a folder of its own, with a file beside that folder.
    WriteFile("project.txt", "1\nBEGIN PROJECT\n");
    ASSERT_TRUE(std::filesystem::create_directory("game") && chdir("game") == 0);
    WriteFile("proj/.inner.txt", "1\n"), WriteFile("../game.txt", "1\n");
    ASSERT_EQ(symlink("../../project.txt", "proj/link.txt") | symlink("..", "linkdir") | mkfifo("proj/pipe.txt", 0644) |
                  symlink("../../game.txt", "proj/twin.txt") | symlink("loop.txt", "proj/loop.txt") |
                  symlink("gone.txt", "proj/nowhere.txt"), 0);
    const std::string out = "lies outside the game's directory and is not read!";
    const std::pair<std::string, std::string> cases[] = {
        {"..\\project.txt", "has a `..` part and is not read!"}, {tempdir + "\\project.txt", out}, {"C:\\project.txt", out},
        {"proj\\link.txt", out}, {"linkdir\\project.txt", out}, {"proj\\twin.txt", out},
        {"proj\\pipe.txt", "is a FIFO and is not read!"}, {"proj", "is a folder and is not read!"},
        {"proj\\loop.txt", "is a link loop and is not read!"}, {"proj\\nowhere.txt", "is a link that leads nowhere and is not read!"}};
    for (const auto &[name, reason] : cases)
        EXPECT_EQ(ProjectFileError(name), "Breaking Project error: The project file " + name + " " + reason);
    // A file of the largest size is read (its first line is no version), one byte more is not.
    WriteFile("proj/huge.txt", ""), std::filesystem::resize_file("proj/huge.txt", DATAFILEMAX);
    EXPECT_EQ(ProjectFileError("proj\\huge.txt"), "Breaking Project error: Unrecognized version number");
    std::filesystem::resize_file("proj/huge.txt", DATAFILEMAX + 1);
    EXPECT_EQ(ProjectFileError("proj\\huge.txt"),
              Format("Breaking Project error: The project file proj\\huge.txt has %lld bytes, more than the %lld a "
                     "data file may have, and is not read!", DATAFILEMAX + 1, DATAFILEMAX));
    // A name that stays inside is read as before, a name starting with a dot too.
    EXPECT_EQ(ProjectFileError("proj\\.inner.txt"), "Breaking Project error: Missing BEGIN PROJECT in project file");
    // Nor is the log written through a link.
    ASSERT_EQ(unlink(logfile) | symlink("../project.txt", logfile), 0);
    SetUpLog(), log(LOG_INFO, LOGCAT_PROGRAM, "a line");
    EXPECT_EQ(ReadFileText("../project.txt"), "1\nBEGIN PROJECT\n");
    ASSERT_EQ(headless::alerts.size(), 2u);
    EXPECT_EQ(headless::alerts[0].rfind("Unable to write to qblog.txt: ", 0), 0u) << headless::alerts[0];
    // In a game folder whose path is longer than the system's limit a link
    // cannot be followed: it is refused, and a plain file is still read.
    std::filesystem::remove(logfile);
    const std::string deep(200, 'd');
    for (int i = 0; i < 25; i++) ASSERT_TRUE(mkdir(deep.c_str(), 0755) == 0 && chdir(deep.c_str()) == 0);
    WriteFile("p.txt", "1\n");
    ASSERT_EQ(symlink((tempdir + "/project.txt").c_str(), "out.txt"), 0);
    EXPECT_EQ(ProjectFileError("out.txt"), "Breaking Project error: The project file out.txt cannot be checked against "
                                           "the game's directory (File name too long) and is not read!");
    EXPECT_EQ(ProjectFileError("p.txt"), "Breaking Project error: Missing BEGIN PROJECT in project file");
    for (const char *file : {"p.txt", "out.txt", logfile, oldlogfile}) std::remove(file);
    for (int i = 0; i < 25; i++) ASSERT_TRUE(chdir("..") == 0 && rmdir(deep.c_str()) == 0);
}

TEST_F(QbTest, HugeNumbersSaturateAndTheViewStopsAt500) {
    const std::pair<std::string, std::string> cases[] = {  // an index, or a view line of a project file
        {"4294967297\n", "Major Project error: Unrecognized version number 4294967297"},
        {"1\nINDEXCOUNT=4294967297\n",
         "Breaking Project error: INDEXCOUNT of 2147483647 is more than the 255 projects an index can hold!"},
        {"WINDOWX=4294967648", "Minor Project error: WINDOWX of 2147483647 is more than the 500 pixels a view can have!"},
        {"WINDOWX=501", "Minor Project error: WINDOWX of 501 is more than the 500 pixels a view can have!"},
        {"WINDOWX=500", "Minor Project error: WINDOWY of 501 is more than the 500 pixels a view can have!"}};
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
    GameIndex[0].projectdir = "m", indexno = 0, CurrMapFilename = "m\\map.txt", LoadMapFile();
    EXPECT_EQ(std::make_pair(CurrBlckStruct[0].blocktype, (int)CurrBlckStruct[0].walltop), std::make_pair(INT32_MAX, INT16_MAX));
}

TEST_F(QbTest, PositionsFarOffTheMapGiveACameraWithoutOverflow) {
    CurrMap = mapinfo(), CurrProj.windowx = CurrProj.windowy = 352;
    CurrMap.blockwidth = CurrMap.blockheight = 500, CurrMap.maparrayx = CurrMap.maparrayy = 60;
    for (int x : {INT_MAX, INT_MIN}) {
        playertilex = playertiley = x, PlaceCamera(x, x), PlaceSprite();
        EXPECT_EQ(std::make_pair(mapxpxl, plx), std::make_pair(x > 0 ? 60 * 500 - 352 : 0, x)) << x;
        EXPECT_EQ(move_player(x > 0 ? DIR_RIGHT : DIR_LEFT), 1) << "no block lies beyond " << x;
    }
    // A start far beyond the view is kept inside it before the camera is placed.
    CurrMap.blockwidth = CurrMap.blockheight = 16, CurrProj.startx = CurrProj.starty = INT_MAX, PlacePlayerAtStart();
    EXPECT_EQ(std::make_pair(playertilex, mapxtile), std::make_pair(22, 12));
}
