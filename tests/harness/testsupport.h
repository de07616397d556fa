// Shared test fixture: the headless library started once, each test in a
// fresh temporary directory with a fresh log; the game's headers.
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
// The log file's lines, without line ends.
std::vector<std::string> LogLines();
// Lines of the log after the banner.
std::vector<std::string> LogLinesAfterBanner();
// Lines of the log after the banner that hold `text` (" error: " gives the
// error lines).
std::vector<std::string> LogLinesWith(const std::string &text);

// Copies the sample game directory into the working directory, without the
// log and saved games a player left there, and reads an index of the two
// sample projects alone, whatever else game/gameindex.txt lists: Quill Bay
// is entry 0, Cinder Ridge entry 1. The log starts afresh.
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

// A text drawn at (x, y), or ending at x when `right`.
struct battleline {
    std::string text;
    int x, y;
    bool right = false;
};
// The rectangle (x0, y0)-(x1, y1) of the battle screen holds exactly these
// texts on white, as the game's font draws them.
bool Shows(int x0, int y0, int x1, int y1, const std::vector<battleline> &lines);

// A wild battle without files: fresh battle surfaces with blank pictures,
// the player "Tobrin" (id 1000) with one creature, and every battle text
// recorded in `texts`.
class BattleTest : public QbTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes both creatures (drawing from seed 1) and enters the battle.
    void Begin(int ownspecies, int ownlevel, int wildspecies, int wildlevel);
    void Draws(const std::vector<int> &values);
    // Scripts `count` presses of Space, one per message step.
    void Spaces(int count);
    ownedvorl &Own() { return MainPlayer.owned[0]; }
    std::vector<std::string> texts;
};
