// The installed game's directories: the player's copy of the shipped
// projects, made at the first start and brought up to date by a new version
// without losing the player's own files, and refused where a link or a file
// is in its way.
#include <sys/stat.h>
#include <unistd.h>

#include "base/gamedir.h"
#include "tests/harness/testsupport.h"

using GameDirTest = QbTest;

static bool Exists(const std::string &path) { struct stat info; return lstat(path.c_str(), &info) == 0; }

// Brings the projects under "shipped" into `user`: "ok", or why not.
static std::string Update(const std::string &user, const char *version, std::vector<std::string> &notes) {
    std::string why;
    return UpdateUserGameDir("shipped", user, version, notes, why) ? "ok" : why;
}

TEST_F(GameDirTest, TheFirstStartCopiesANewVersionRefreshesAndThePlayersFilesStay) {
    WriteFile("shipped/gameindex.txt", "A"), WriteFile("shipped/p/map.txt", "M"), WriteFile("shipped/p/odd\nname", "O");
    ASSERT_EQ(mkdir("bin", 0755) | symlink("../gameindex.txt", "shipped/p/link"), 0);
    const std::string user = tempdir + "/home/.local/share/quillbay";
    std::vector<std::string> notes;
    ASSERT_EQ(Update(user, "1", notes), "ok");
    EXPECT_EQ(ReadFileText(user + "/gameindex.txt") + ReadFileText(user + "/p/map.txt"), "AM");
    EXPECT_FALSE(Exists(user + "/p/link") || Exists(user + "/p/odd\nname"));
    EXPECT_EQ(notes, (std::vector<std::string>{"Left out the shipped p/link: not a plain file or folder",
                                               "Left out a shipped file with an odd name in p/",
                                               "Brought the shipped projects of Quillbay 1 into the game directory"}));

    // The player extends the index and adds a file; a new version changes both
    // shipped files and adds one. The same version touches nothing.
    WriteFile(user + "/gameindex.txt", "A+mine"), WriteFile(user + "/mine.txt", "X");
    WriteFile("shipped/gameindex.txt", "B"), WriteFile("shipped/p/map.txt", "M2"), WriteFile("shipped/p/new.txt", "N");
    notes.clear();
    ASSERT_EQ(Update(user, "1", notes), "ok");
    EXPECT_EQ(ReadFileText(user + "/p/map.txt"), "M");
    EXPECT_FALSE(Exists(user + "/p/new.txt"));
    ASSERT_EQ(Update(user, "2", notes), "ok");
    EXPECT_EQ(ReadFileText(user + "/gameindex.txt") + ReadFileText(user + "/p/map.txt") + ReadFileText(user + "/p/new.txt") +
                  ReadFileText(user + "/mine.txt"), "A+mineM2NX");
    EXPECT_EQ(notes.at(2), "Kept your own gameindex.txt in place of the shipped one");
    // A file the player set back to what was shipped is refreshed again; one
    // the player deleted comes back.
    WriteFile(user + "/gameindex.txt", "B"), WriteFile("shipped/gameindex.txt", "C");
    ASSERT_EQ(unlink((user + "/p/new.txt").c_str()), 0);
    ASSERT_EQ(Update(user, "3", notes), "ok");
    EXPECT_EQ(ReadFileText(user + "/gameindex.txt") + ReadFileText(user + "/p/new.txt"), "CN");

    WriteFile("share/quillbay/gameindex.txt", "");
    EXPECT_EQ(ShippedGameDir(tempdir + "/bin/quillbay"), tempdir + "/bin/../share/quillbay");
    EXPECT_EQ(ShippedGameDir(tempdir + "/shipped/p/quillbay"), "");
    EXPECT_EQ(ShippedGameDir("quillbay"), "");
}

TEST_F(GameDirTest, AUserDirectoryNeedsAnAbsolutePathAndNothingIsWrittenThroughALink) {
    EXPECT_EQ(UserGameDir("/data", "/home/a"), "/data/quillbay");
    EXPECT_EQ(UserGameDir("data", "/home/a"), "/home/a/.local/share/quillbay");
    EXPECT_EQ(UserGameDir("", "home/a") + UserGameDir(nullptr, nullptr), "");

    ASSERT_EQ(mkdir("outside", 0755) | mkdir("user", 0755), 0);
    WriteFile("shipped/p/map.txt", "M"), WriteFile("shipped/gameindex.txt", "A"), WriteFile("afile", "");
    WriteFile("user/gameindex.txt", "A");  // as shipped, though no list says so: no note
    ASSERT_EQ(symlink("outside", "linked") | symlink("../outside", "user/p"), 0);
    std::vector<std::string> notes;
    EXPECT_EQ(Update(tempdir + "/linked", "1", notes), tempdir + "/linked is a link, and the game plays only in a real folder");
    EXPECT_EQ(Update(tempdir + "/afile", "1", notes), tempdir + "/afile is there but is not a folder");
    EXPECT_EQ(Update(tempdir + "/afile/quillbay", "1", notes), "cannot make " + tempdir + "/afile/quillbay: Not a directory");
    EXPECT_EQ(Update(tempdir + "/user", "1", notes), "ok");
    EXPECT_EQ(notes, (std::vector<std::string>{"Left your p/map.txt as it is: a folder on its way is not a plain folder",
                                               "Brought the shipped projects of Quillbay 1 into the game directory"}));
    EXPECT_EQ(ReadFileText("user/gameindex.txt"), "A");
    EXPECT_FALSE(Exists("outside/map.txt") || Exists("outside/.quillbay-new"));
}
