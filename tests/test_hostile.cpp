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
    std::string LastError() { return LogLinesWith(" error: ").empty() ? "" : LogLinesWith(" error: ").back(); }
};

TEST_F(HostileTest, NamesOutsideTheGameLinksAndSpecialFilesAreRefused) {
    const std::string outside = tempdir + "/outside";  // beside the game's own directory
    WriteFile(outside + "/project.txt", "1\nBEGIN PROJECT\n");
    std::filesystem::create_directory("game");
    ASSERT_EQ(chdir("game"), 0);
    WriteFile("proj/inner.txt", "1\n");
    ASSERT_EQ(symlink((outside + "/project.txt").c_str(), "proj/link.txt") | symlink(outside.c_str(), "linkdir") | mkfifo("proj/pipe.txt", 0644), 0);
    const std::string out = "lies outside the game's directory";
    const std::pair<std::string, std::string> cases[] = {
        {"..\\" + std::filesystem::path(outside).filename().string() + "\\project.txt", out}, {outside + "\\project.txt", out},
        {"proj\\..\\..\\project.txt", out}, {"C:\\project.txt", out}, {"proj\\link.txt", out}, {"linkdir\\project.txt", out},
        {"proj\\pipe.txt", "is not a regular file"}, {"proj\\inner.txt", ""}};
    for (const auto &[name, why] : cases) {
        SetUpLog();
        EXPECT_EQ(ReadProjectFile(name), -1) << name;
        EXPECT_EQ(LastError(), "Breaking Project error: " + (why.empty() ? "Missing BEGIN PROJECT in project file" : "The project file " + name + " " + why + " and is not read!"));
    }
    EXPECT_TRUE(LoadPicture("linkdir\\tiles.bmp", nullptr) == nullptr && LastError() == "Minor Project error: Picture linkdir\\tiles.bmp cannot be read: it " + out);
    // The log is never written through a link.
    std::filesystem::remove(logfile);
    ASSERT_EQ(symlink((outside + "/project.txt").c_str(), logfile), 0);
    SetUpLog();
    log(LOG_INFO, LOGCAT_PROGRAM, "a line");  // neither line reaches the file
    EXPECT_EQ(ReadFileText(outside + "/project.txt"), "1\nBEGIN PROJECT\n");
    EXPECT_TRUE(headless::alerts.size() == 2 && headless::alerts[0].rfind("Unable to write to qblog.txt: ", 0) == 0);
}

TEST_F(HostileTest, HugeNumbersSaturateInsteadOfWrapping) {
    const std::string view = "Minor Project error: WINDOW";
    const std::pair<std::string, std::string> files[] = {
        {"gameindex.txt|4294967297\n", "Major Project error: Unrecognized version number 4294967297"},
        {"gameindex.txt|1\nINDEXCOUNT=4294967297\n", "Breaking Project error: INDEXCOUNT of 2147483647 is more than the 255 projects an index can hold!"},
        {"p.txt|1\nBEGIN PROJECT\nWINDOWX=4294967648\n", view + "X of 2147483647 is more than the 500 pixels a view can have!"},
        {"p.txt|1\nBEGIN PROJECT\nWINDOWX=500\nWINDOWY=501\n", view + "Y of 501 is more than the 500 pixels a view can have!"}};
    for (const auto &[file, error] : files) {
        WriteFile(file.substr(0, file.find('|')), file.substr(file.find('|') + 1));
        SetUpLog();
        EXPECT_EQ(file[0] == 'g' ? ReadGameIndex() : ReadProjectFile("p.txt"), -1);
        EXPECT_EQ(LastError(), error);
    }
    // A data line's value beyond 32 bits does not wrap to encounter ground, nor a wall value beyond 16 bits to a wall.
    WriteFile("m/a.txt", "1\nBEGIN MAP\nTILES=t.bmp\nBLOCKHEIGHT=16\nBLOCKWIDTH=16\nBEGIN BLOCKSTRUCT\nBLCKSTRCTCNT=1\n"
                         "0, 4294967298, 0, 65537, 0, 0, 0,\nEND BLOCKSTRUCT\nBEGIN MAPARRAY\nMAPARRAYY=1\nMAPARRAYX=1\n0,\nEND MAPARRAY\nEND MAP\n");
    WriteFile("m/map.txt", Replaced(ReadFileText(SourceDir() + "/game/testproject/baymap.txt"), "MAPARRAY=bayarray.txt", "MAPARRAY=a.txt"));
    GameIndex[0].projectdir = "m";
    CurrMapFilename = "m\\map.txt";
    LoadMapFile();
    EXPECT_TRUE(CurrBlckStruct[0].blocktype == INT32_MAX && CurrBlckStruct[0].walltop == INT16_MAX);
}

}  // namespace
