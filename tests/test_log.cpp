// The game log: line formats, notices, the quit request and truncation.
#include <sys/stat.h>

#include <string>

#include "tests/harness/testsupport.h"

using headless::boxes;
using headless::quitrequests;

class LogTest : public QbTest {};

TEST_F(LogTest, BannerStartsTheFileAndNamesAReportAddress) {
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Set up general Quillbay log file. Please send this file to ", 0), 0u);
    EXPECT_NE(lines[0].find("@"), std::string::npos);
    EXPECT_NE(lines[0].find(" when an error or bug occurs, together with a description of what you did and "
                            "what happened"),
              std::string::npos);
}

TEST_F(LogTest, LevelsFormatTheirLinesAndOnlySeriousOnesShowABox) {
    log(4, 1, "Read Index");
    log(3, 2, "WINDOWX is invalid!");
    log(4, 3, "Please select a project.");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(quitrequests.empty());

    log(2, 2, "Unrecognized version number 2");
    log(5, 1, "It's shiny!!");
    EXPECT_TRUE(quitrequests.empty()) << "only a breaking error asks to quit";
    log(1, 2, "Invalid INDEXCOUNT value!");

    std::vector<std::string> expected = {
        "Program: Read Index",
        "Minor Project error: WINDOWX is invalid!",
        "User: Please select a project.",
        "Major Project error: Unrecognized version number 2",
        "Program debug: It's shiny!!",
        "Breaking Project error: Invalid INDEXCOUNT value!",
    };
    EXPECT_EQ(LogLinesAfterBanner(), expected);

    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].title, "Error!");
    EXPECT_EQ(boxes[0].text, expected[3]);
    EXPECT_EQ(boxes[1].title, "Debug..");
    EXPECT_EQ(boxes[1].text, expected[4]);
    EXPECT_EQ(boxes[2].title, "Error!");
    EXPECT_EQ(boxes[2].text, expected[5]);
    EXPECT_EQ(quitrequests, std::vector<int>{0});
}

TEST_F(LogTest, UnknownCategoriesAndLevelsStillWriteALine) {
    log(4, 0, "zero");
    log(4, 4, "four");
    log(7, 1, "odd level");
    log(0, 2, "no level");
    std::vector<std::string> lines = LogLinesAfterBanner();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "Unknown: zero");
    EXPECT_EQ(lines[1], "Unknown: four");
    EXPECT_NE(lines[2].find("odd level"), std::string::npos);
    EXPECT_NE(lines[3].find("no level"), std::string::npos);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(LogTest, LongTextsAreWrittenWhole) {
    std::string text(5000, 'x');
    text += "END";
    log(3, 1, text.c_str());
    logfmt(4, 2, "%s|%d", text.c_str(), 42);
    std::vector<std::string> lines = LogLinesAfterBanner();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Minor Program error: " + text);
    EXPECT_EQ(lines[1], "Project: " + text + "|42");
}

TEST_F(LogTest, ANewRunKeepsOnlyItsOwnLines) {
    log(4, 1, "first run");
    SetUpLog();
    log(4, 1, "second run");
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("Set up general Quillbay log file.", 0), 0u);
    EXPECT_EQ(lines[1], "Program: second run");
}

TEST_F(LogTest, AMissingDirectoryLosesLinesSilentlyAnUnwritableFileAlerts) {
    // The log's directory vanished: no alert, nothing written, no crash.
    const char *saved = logfile;
    logfile = "no/such/dir/qblog.txt";
    SetUpLog();
    log(4, 1, "lost");
    EXPECT_TRUE(headless::alerts.empty());
    logfile = saved;

    // A directory where the file should be: every user is refused.
    ASSERT_EQ(mkdir("taken", 0755), 0);
    logfile = "taken";
    log(4, 1, "refused");
    SetUpLog();
    logfile = saved;
    ASSERT_EQ(headless::alerts.size(), 2u);
    EXPECT_EQ(headless::alerts[0].rfind("Unable to append to taken: ", 0), 0u);
    EXPECT_EQ(headless::alerts[1].rfind("Unable to write to taken: ", 0), 0u);
    EXPECT_NE(headless::alerts[1].find("|File error|&OK"), std::string::npos);
}
