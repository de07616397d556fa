// The game log: line formats by level and category, notices, the quit
// request, long texts and a fresh file per run. (A log that cannot be
// written: test_hostile.)
#include <unistd.h>

#include <filesystem>

#include "tests/harness/testsupport.h"

using LogTest = QbTest;

static std::string lastlogged;  // the log's last line when the latest notice was shown

// Each case: level, category, the line, the notice's title ("" none). The
// line is in the file before its notice is shown.
TEST_F(LogTest, EachLevelHasItsLineItsNoticeAndANewRunKeepsTheLastRunsLog) {
    const std::tuple<int, int, std::string, std::string> cases[] = {
        {LOG_BREAKING, LOGCAT_PROJECT, "Breaking Project error: t", "Error!"}, {LOG_MAJOR, LOGCAT_PROGRAM, "Major Program error: t", "Error!"},
        {LOG_MINOR, LOGCAT_USER, "Minor User error: t", ""}, {LOG_INFO, 4, "Unknown: t", ""},
        {LOG_DEBUG, LOGCAT_PROGRAM, "Program debug: t", "Debug.."}, {7, LOGCAT_PROGRAM, "Program (level 7): t", ""}};
    for (const auto &[level, category, line, title] : cases) {
        SetUpLog(), headless::Reset();
        headless::onbox = [](const headless::box &) { lastlogged = LogLines().back(); };
        log(level, category, "t");
        EXPECT_EQ(LogLinesAfterBanner(), std::vector<std::string>{line}) << "a new run keeps only its own lines";
        const headless::box *shown = headless::boxes.empty() ? nullptr : &headless::boxes[0];
        EXPECT_EQ(shown ? shown->title + "|" + shown->text + "|" + lastlogged : "", title.empty() ? "" : title + "|" + line + "|" + line);
        EXPECT_EQ(headless::quitrequests.size(), level == LOG_BREAKING ? 1u : 0u) << line;
    }
    EXPECT_EQ(LogLines()[0], "Set up general Quillbay log file. Please send this file to the Quillbay team (see \"Reporting "
                             "bugs\" in the README) when an error or bug occurs, together with a description of what "
                             "you did and what happened. This is Quillbay " QB_VERSION ".");
    // --no-debug-boxes writes the line alone.
    showdebugboxes = 0, log(LOG_DEBUG, LOGCAT_PROGRAM, "quiet"), showdebugboxes = 1;
    EXPECT_EQ(headless::boxes.size(), 0u);
    std::string text(5000, 'x');
    logfmt(LOG_INFO, LOGCAT_PROJECT, "%s|%d", text.c_str(), 42);
    EXPECT_EQ(LogLinesAfterBanner().back(), "Project: " + text + "|42") << "long texts are written whole";
    // A new run keeps the last run's log as qblog.old.txt; a link in the
    // log's place is neither followed nor moved.
    const std::string last = ReadFileText(logfile);
    SetUpLog();
    EXPECT_EQ(ReadFileText(oldlogfile), last);
    ASSERT_EQ(unlink(logfile) | symlink(oldlogfile, logfile), 0);
    SetUpLog();
    EXPECT_TRUE(std::filesystem::is_symlink(logfile));
    EXPECT_NE(ReadFileText(oldlogfile).find("|42"), std::string::npos);
}
