// Shared test fixture: the headless library started once, each test in a
// fresh temporary directory with a fresh log, no world, no battle, no player
// and the generator at seed 1; the game's headers.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/log.h"
#include "base/platform.h"
#include "base/platform/headless.h"
#include "battle/battle.h"
#include "creatures/creatures.h"
#include "fileload/fileload.h"
#include "overworld/overworld.h"
#include "shell/main.h"

// The repository's top directory (for the sample data in game/).
std::string SourceDir();
void WriteFile(const std::string &path, const std::string &content);
std::string ReadFileText(const std::string &path);
// `text` with its first `from` replaced by `to` (a test failure if there is none).
std::string Replaced(std::string text, const std::string &from, const std::string &to);
// The log file's lines, without line ends; those after the banner; those of
// them that hold `text`; the last error line, or the empty text.
std::vector<std::string> LogLines();
std::vector<std::string> LogLinesAfterBanner();
std::vector<std::string> LogLinesWith(const std::string &text);
std::string LastError();
// The next calls of random(n) give these values (mod n) first.
void Draws(const std::vector<int> &values);
// A data file from its lines and their read limits: before each line a
// comment as long as the limit lets a line be (limit - 1 characters), or one
// character longer before line `longer`, which the reader then cuts. A
// limit of 0 (the version line): no comment.
std::string Commented(const std::vector<std::pair<int, std::string>> &lines, int longer = -1);

// Copies the sample game directory into the working directory, without the
// log and saved games a player left there, and reads an index of the two
// sample projects alone, whatever else game/gameindex.txt lists (as
// tests/e2e/samples.awk makes it): Quill Bay is entry 0, Cinder Ridge entry
// 1. The log starts afresh.
void CopySampleGame();
// Destroys every bitmap a game set-up or a map load creates; each QbTest
// does so when it ends.
void ReleaseGameBitmaps();

class QbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string tempdir;
    std::string olddir;
};

// A text drawn at (x, y), or ending at x when `right`, in black or `colour`.
struct battleline {
    std::string text;
    int x, y;
    bool right = false;
    int colour = 0;
};
// A rectangle (x0, y0)-(x1, y1) in `colour`, filled or only its outline.
struct battlebox {
    int x0, y0, x1, y1, colour;
    bool filled = false;
};
// The rectangle (x0, y0)-(x1, y1) of the battle screen (or of `on`) holds
// exactly these boxes, each drawn over the ones before, and these texts, on
// white, as the game draws them.
bool Shows(int x0, int y0, int x1, int y1, const std::vector<battleline> &lines, const std::vector<battlebox> &boxes = {},
           BITMAP *on = nullptr);

// A wild battle without files: fresh battle surfaces with blank pictures,
// the player "Tobrin" (id 1000) carrying one creature, and every battle text
// recorded.
class BattleTest : public QbTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes both creatures (drawing from seed 1) and enters the battle.
    void Begin(int ownspecies, int ownlevel, int wildspecies, int wildlevel);
    // Scripts `count` presses of Space, one per message step.
    void Spaces(int count);
    // The texts written since the last call, joined by "|", each with its
    // place ("5,275 text") when `places`.
    std::string Said(bool places = false);
    ownedvorl &Own() { return MainPlayer.owned[0]; }
    std::vector<writtentext> written;
};
