// Reading significant lines and KEY=value pairs.
#include <cstring>
#include <string>

#include "tests/harness/testsupport.h"

class ReaderTest : public QbTest {
protected:
    PACKFILE *Open(const std::string &content) {
        WriteFile("data.txt", content);
        file = pack_fopen("data.txt", "r");
        EXPECT_NE(file, nullptr);
        return file;
    }
    void TearDown() override {
        if (file) pack_fclose(file);
        QbTest::TearDown();
    }
    PACKFILE *file = nullptr;
};

TEST_F(ReaderTest, ValuesComeBackAsWritten) {
    Open("WINDOWX=352\nDESCRIPTION=a=b d\nNAME=\nURL=  spaced out  \n");
    EXPECT_STREQ(ReadValPairLine("WINDOWX", file, 30), "352");
    EXPECT_STREQ(ReadValPairLine("DESCRIPTION", file, 500), "a=b d");
    EXPECT_STREQ(ReadValPairLine("NAME", file, 150), "");
    EXPECT_STREQ(ReadValPairLine("URL", file, 200), "  spaced out  ");
    EXPECT_TRUE(LogLinesAfterBanner().empty());
}

TEST_F(ReaderTest, KeysMustMatchExactly) {
    Open("WINDOWX = 352\nwindowx=352\n WINDOWX=352\nWINDOWX\n");
    for (int i = 0; i < 3; i++) EXPECT_STREQ(ReadValPairLine("WINDOWX", file, 30), "");
    EXPECT_STREQ(ReadValPairLine("WINDOWX", file, 30), "");
    std::vector<std::string> expected(3, "Breaking Project error: Mapfile had a problem readying a WINDOWX line (2)");
    expected.push_back("Breaking Project error: Mapfile had a problem readying a WINDOWX line");
    EXPECT_EQ(LogLinesAfterBanner(), expected);
    EXPECT_EQ(headless::quitrequests.size(), 4u);
}

TEST_F(ReaderTest, CommentsAndEmptyLinesAreSkippedOnlyFromTheFirstColumn) {
    Open("# a comment\n\n\r\n#KEY=no\nKEY=yes\n  # not a comment\n   \nNEXT=1\n");
    EXPECT_STREQ(ReadValPairLine("KEY", file, 100), "yes");
    EXPECT_STREQ(ReadLine(file, 100), "  # not a comment");
    EXPECT_STREQ(ReadLine(file, 100), "   ");
    EXPECT_STREQ(ReadValPairLine("NEXT", file, 100), "1");
}

TEST_F(ReaderTest, LineEndsOfEveryKindAreDropped) {
    Open("A=1\r\nB=2\rC=3\nD=4");
    EXPECT_STREQ(ReadValPairLine("A", file, 20), "1");
    EXPECT_STREQ(ReadValPairLine("B", file, 20), "2");
    EXPECT_STREQ(ReadValPairLine("C", file, 20), "3");
    EXPECT_STREQ(ReadValPairLine("D", file, 20), "4");
}

TEST_F(ReaderTest, TheEndOfTheFileGivesTheEmptyTextEveryTime) {
    Open("ONLY=1\n\n# trailing comment\n");
    EXPECT_STREQ(ReadValPairLine("ONLY", file, 20), "1");
    EXPECT_STREQ(ReadLine(file, 20), "");
    EXPECT_STREQ(ReadLine(file, 20), "");
    EXPECT_STREQ(ReadValPairLine("MORE", file, 20), "");
    EXPECT_EQ(LogLinesAfterBanner(),
              std::vector<std::string>{"Breaking Project error: Mapfile had a problem readying a MORE line"});
}

TEST_F(ReaderTest, LongLinesAreCutAtTheLimitAndTheRestReadOn) {
    std::string value(600, 'v');
    Open("KEY=" + value + "\nSHORT=abcdefghij\nNEXT=1\n");
    // A limit that takes the whole line returns it whole.
    EXPECT_EQ(std::string(ReadValPairLine("KEY", file, 700)), value);
    // A line of max-1 characters is cut; the rest of it comes as the next line.
    EXPECT_STREQ(ReadLine(file, 9), "SHORT=ab");
    EXPECT_STREQ(ReadLine(file, 100), "cdefghij");
    EXPECT_STREQ(ReadValPairLine("NEXT", file, 100), "1");
}

TEST_F(ReaderTest, LimitsBeyondTheSharedBufferAreClamped) {
    std::string value(1500, 'w');
    Open("KEY=" + value + "\n");
    std::string got = ReadValPairLine("KEY", file, 5000);
    EXPECT_EQ(got.size(), (size_t)GBUFSIZE - 1 - 4);
    EXPECT_EQ(got, value.substr(0, got.size()));
}

TEST_F(ReaderTest, VersionLinesTakeAnyBase) {
    const char *cases[][2] = {{"1\n", "1"}, {"01\n", "1"}, {"0x1 trailing\n", "1"}, {"  2\n", "2"}, {"010\n", "8"},
                              {"abc\n", "0"}, {"", "0"}};
    for (auto &c : cases) {
        Open(c[0]);
        EXPECT_EQ(ReadVersionLine(file, 100), atol(c[1])) << "line: " << c[0];
        pack_fclose(file);
        file = nullptr;
    }
}

TEST_F(ReaderTest, ProjectPathsJoinWithABackslashAndOpenOnThisHost) {
    EXPECT_EQ(JoinPath("testproject", "map1.txt"), "testproject\\map1.txt");
    WriteFile("proj/sub.txt", "X=1\n");
    EXPECT_TRUE(FileExists(JoinPath("proj", "sub.txt")));
    EXPECT_FALSE(FileExists(JoinPath("proj", "none.txt")));
    PACKFILE *f = OpenPackFile(JoinPath("proj", "sub.txt"), "r");
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(ReadValPairLine("X", f, 10), "1");
    pack_fclose(f);
}
