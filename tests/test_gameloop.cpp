// One pass of the game loop: key order, drawing before quitting, the
// battle menus' dispatch and the invalid state.
#include <filesystem>

#include "tests/harness/testsupport.h"

using headless::KeyStep;

class GameLoopTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        CopySampleGame();
        indexno = 0;
        SetUpNewGame();
        ASSERT_EQ(gamerunning, 1);
        SetUpLog();
        ClearRandomDraws();
    }
    void TearDown() override {
        battletranscript = nullptr;
        ReleaseGameBitmaps();
        currentgamestate = GAMESTATE_OVERWORLD;
        QbTest::TearDown();
    }
    void Hold(std::initializer_list<int> keys) {
        for (int k : keys) key[k] = 1;
    }
    // A wild battle on the given menu page; each turn is confirmed with Space.
    void EnterBattleMenu(int page) {
        currentgamestate = GAMESTATE_BATTLE;
        currbattletype = BATTLETYPE_WILD;
        battleinfo = battlerecord();
        battleinfo.menupage = (uint8_t)page;
        battleinfo.enemymovecount = (uint8_t)CreateVorlet(wildvorlet, 4, 5, VORLET_WILD, nullptr);
        ownedvorl &active = MainPlayer.owned[MainPlayer.party[0]];
        for (int slot = 0; slot < MOVESLOTS; slot++) active.moves[slot] = moveslot{slot + 1, 10, 10};
        battletranscript = &texts;
    }
    // Scripts the given keys, then Space pressed and released many times.
    void Script(std::vector<KeyStep> first) {
        for (int i = 0; i < 12; i++) first.insert(first.end(), {KeyStep{{KEY_SPACE}, 1}, KeyStep{{}, 1}});
        headless::ScriptKeys(first);
    }
    std::vector<std::string> texts;
};

TEST_F(GameLoopTest, TheFirstHeldArrowInTheOrderUpDownLeftRightWins) {
    // The start (22, 19) has a fence above it: up is tried and blocked,
    // and right is never looked at.
    Hold({KEY_UP, KEY_RIGHT});
    GameLoop();
    EXPECT_EQ(playertilex, 22);
    EXPECT_EQ(playertiley, 19);
    EXPECT_EQ(playerspriteanim, 1) << "turned to face up";

    headless::Reset();
    Hold({KEY_RIGHT, KEY_LEFT, KEY_DOWN});
    GameLoop();
    EXPECT_EQ(playertilex, 22);
    EXPECT_EQ(playertiley, 20);

    headless::Reset();
    Hold({KEY_UP});
    GameLoop();
    EXPECT_EQ(playertiley, 19);

    headless::Reset();
    Hold({KEY_RIGHT, KEY_LEFT});
    GameLoop();
    EXPECT_EQ(playertilex, 21);
}

TEST_F(GameLoopTest, EachPassComputesTheCameraAndShowsOneFrame) {
    GameLoop();
    EXPECT_EQ(headless::frames, 1);
    EXPECT_EQ(plx, (playertilex - mapxtile) * 16);
    EXPECT_EQ(ply, (playertiley - mapytile) * 16);
    // The screen shows the back buffer's top-left corner.
    for (int y = 0; y < 352; y += 37)
        for (int x = 0; x < 352; x += 41) ASSERT_EQ(getpixel(screen, x, y), getpixel(backbuffer, x, y));

    Hold({KEY_RIGHT});
    GameLoop();
    EXPECT_EQ(headless::frames, 1 + 16 + 1) << "a frame for each pixel of the step, then the pass's own";
}

TEST_F(GameLoopTest, EscapeQuitsAfterThePassHasDrawnItsFrame) {
    Hold({KEY_ESC, KEY_LEFT});
    clear_bitmap(screen);
    GameLoop();
    EXPECT_EQ(quitgamenow, 1);
    EXPECT_EQ(playertilex, 21);
    EXPECT_EQ(headless::frames, 16 + 1);
    EXPECT_EQ(getpixel(screen, 100, 100), getpixel(backbuffer, 100, 100));

    quitgamenow = 0;
    headless::Reset();
    headless::closerequested = 1;
    GameLoop();
    EXPECT_EQ(quitgamenow, 1) << "the window's close button ends the game like Escape";
}

TEST_F(GameLoopTest, NothingHappensWithoutAGameAndAnInvalidStateIsReported) {
    gamerunning = 0;
    Hold({KEY_ESC, KEY_UP});
    GameLoop();
    EXPECT_EQ(quitgamenow, 0);
    EXPECT_EQ(headless::frames, 0);
    EXPECT_EQ(playertiley, 19);

    gamerunning = 1;
    currentgamestate = 3;
    GameLoop();
    GameLoop();
    EXPECT_EQ(quitgamenow, 0) << "Escape is not read in an invalid state";
    EXPECT_EQ(headless::frames, 0);
    EXPECT_EQ(LogLinesAfterBanner(), std::vector<std::string>(2, "Major Program error: Program is in an invalid game state"));
    EXPECT_EQ(headless::boxes.size(), 2u);
}

TEST_F(GameLoopTest, KeyOneWaitsForItsReleaseThenOpensTheMoveMenuInTheSamePass) {
    EnterBattleMenu(0);
    Hold({KEY_1});
    headless::ScriptKeys({KeyStep{{KEY_1}, 3}, KeyStep{{}, 1}});
    GameLoop();
    EXPECT_EQ(headless::ticks, 4);
    EXPECT_EQ(battleinfo.menupage, 1);
    EXPECT_EQ(battleinfo.playerchose, 0);
    EXPECT_EQ(headless::frames, 1) << "no drawing while waiting";
}

TEST_F(GameLoopTest, MoveKeysPickUsableSlotsAndFiveGoesBack) {
    EnterBattleMenu(1);
    MainPlayer.owned[0].moves[2].pp = 0;
    Hold({KEY_3});
    GameLoop();
    EXPECT_EQ(battleinfo.menupage, 1) << "a slot without PP does nothing";

    headless::Reset();
    Hold({KEY_2});
    Script({});
    GameLoop();
    EXPECT_EQ(battleinfo.playerslot, 1);
    EXPECT_EQ(battleinfo.menupage, 0) << "the turn returns to the main menu";
    EXPECT_EQ(MainPlayer.owned[0].moves[1].pp, 9);

    headless::Reset();
    battleinfo.menupage = 1;
    Hold({KEY_5});
    GameLoop();
    EXPECT_EQ(battleinfo.menupage, 0);
}

TEST_F(GameLoopTest, NoUsableMoveUsesTheFallbackAndFourRuns) {
    EnterBattleMenu(0);
    for (moveslot &slot : MainPlayer.owned[0].moves) slot.pp = 0;
    Hold({KEY_1});
    Script({{{}, 1}});
    GameLoop();
    EXPECT_EQ(battleinfo.playerslot, 4);
    EXPECT_EQ(battleinfo.playermove, FALLBACKMOVE);

    headless::Reset();
    texts.clear();
    currentgamestate = GAMESTATE_BATTLE;
    battleinfo.menupage = 0;
    Hold({KEY_4});
    Script({});
    GameLoop();
    EXPECT_EQ(texts, std::vector<std::string>({"Tobrin ran away!"}));
    EXPECT_EQ(currentgamestate, GAMESTATE_OVERWORLD) << "running ends a wild battle";
}

TEST_F(GameLoopTest, FFiveSavesFromTheOverworldOnlyAndThePassGoesOn) {
    Hold({KEY_F5});
    headless::ScriptFileDialog({headless::FileAnswer{1, "quick.qbs"}});
    headless::ScriptKeys({KeyStep{{KEY_F5}, 2}});
    GameLoop();
    EXPECT_TRUE(std::filesystem::exists("quick.qbs"));
    EXPECT_EQ(headless::ticks, 3) << "the save waits for the key to come up";
    EXPECT_EQ(headless::frames, 1);
    EnterBattleMenu(0);
    Hold({KEY_F5});
    GameLoop();  // in a battle F5 opens no dialog: an unscripted one would throw
}

TEST_F(GameLoopTest, KeysStillHeldAfterTheBattleEndedStartNoTurn) {
    EnterBattleMenu(0);
    Hold({KEY_1, KEY_4});
    // Key 1 is let go while key 4 stays down through the running message.
    headless::ScriptKeys({{{KEY_4}, 1}, {{KEY_4, KEY_SPACE}, 1}, {{KEY_4}, 1}});
    GameLoop();
    EXPECT_EQ(texts, std::vector<std::string>({"Tobrin ran away!"}));
    EXPECT_EQ(currentgamestate, GAMESTATE_OVERWORLD);
    EXPECT_EQ(battleinfo.playerchose, 0) << "no turn on the ended battle";
    EXPECT_EQ(headless::frames, 1) << "only the message was shown, no battle frame after the end";
}
