// Reading significant lines and KEY=value pairs, version lines and paths.
#include "tests/harness/testsupport.h"

using ReaderTest = QbTest;

// Comments and empty lines count only from the first column; every kind of
// line end is dropped; values keep their blanks and any further '='; keys
// must match exactly; a line of max-1 characters or more is cut there and its
// rest read as the next line, and a limit past the shared buffer is the
// buffer's; the end of the file gives the empty text every time.
TEST_F(ReaderTest, LinesAndValuesComeBackAsWritten) {
    WriteFile("data.txt", "# c\n\n\r\n#K=no\nA=a=b d\r\nB=\rC=  c  \n  # kept\nSHORT=abcdefghij\nKEY=" + std::string(1500, 'w') +
                              "\nwindowx=1\nWINDOWXY=1\n X=1\nX\n");
    PACKFILE *file = pack_fopen("data.txt", "r");
    const std::pair<const char *, const char *> values[] = {{"A", "a=b d"}, {"B", ""}, {"C", "  c  "}};
    for (const auto &v : values) EXPECT_STREQ(ReadValPairLine(v.first, file, 100), v.second);
    for (const auto &[limit, line] : {std::make_pair(100, "  # kept"), {9, "SHORT=ab"}, {100, "cdefghij"}}) EXPECT_STREQ(ReadLine(file, limit), line);
    EXPECT_EQ(std::string(ReadValPairLine("KEY", file, 5000)), std::string(GBUFSIZE - 1 - 4, 'w'));
    EXPECT_TRUE(LogLinesAfterBanner().empty());
    ReadLine(file, 5000);  // the rest of the long line
    for (const char *key : {"WINDOWX", "WINDOWX", "X", "X"}) EXPECT_STREQ(ReadValPairLine(key, file, 30), "");
    const std::string problem = "Breaking Project error: Mapfile had a problem readying a ";
    EXPECT_EQ(LogLinesWith("error: "), (std::vector<std::string>{problem + "WINDOWX line (2)", problem + "WINDOWX line (2)", problem + "X line (2)", problem + "X line"}));
    for (int i = 0; i < 2; i++) EXPECT_STREQ(ReadLine(file, 100), "");
    pack_fclose(file);
}

TEST_F(ReaderTest, VersionsTakeAnyBaseNumbersSaturateAndNamesMayHoldDots) {
    for (const auto &[line, version] : {std::make_pair("0x1 x\n", 1L), {"010\n", 8L}, {"abc\n", 0L}, {"", 0L}}) {
        WriteFile("v.txt", line);
        PACKFILE *file = pack_fopen("v.txt", "r");
        EXPECT_EQ(ReadVersionLine(file, 100), version) << line;
        pack_fclose(file);
    }
    const std::pair<const char *, int> numbers[] = {{"-99999999999", INT32_MIN}, {"12abc", 12}, {"010", 10}, {"0x10", 0}};
    for (const auto &[text, number] : numbers) EXPECT_EQ(KeyNumber(text), number) << text;
    EXPECT_EQ(JoinPath("proj", "sub.txt"), "proj\\sub.txt");
    for (const char *name : {"a\\b.txt", "a/..b", "...", ""}) EXPECT_TRUE(PathStaysInside(name)) << name;  // the refusals: test_hostile
}
