// One pass of the game loop: key order and drawing before quitting on the
// overworld, sleeping when nothing changed, the battle menus' dispatch, F5's
// save, and the question before progress is lost.
#include <filesystem>

#include "tests/harness/testsupport.h"

using headless::keystep;

class GameLoopTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        CopySampleGame();
        SetUpNewGame();  // Quill Bay: the start (22, 19) has a fence above it
        ASSERT_EQ(gamerunning, 1);
        unsavedprogress = 0;
        SetCloseCheck(ConfirmQuit);
    }
    void TearDown() override {
        SetCloseCheck(nullptr);
        QbTest::TearDown();
    }
    // One pass with these keys held, this script for the waits in it,
    // these answers to its dialogs, and the close button pressed when `close`.
    void Pass(const std::vector<int> &keys, const std::vector<keystep> &script = {},
              const std::vector<headless::dlgaction> &answers = {}, bool close = false) {
        headless::Reset();
        headless::ScriptKeys(script), headless::ScriptDialog(answers), headless::closepressed = close;
        for (int k : keys) headless::SetKey(k, true);
        GameLoop();
    }
    // The given steps, then Space pressed and released for each message.
    static std::vector<keystep> Spaces(std::vector<keystep> first = {}) {
        for (int i = 0; i < 12; i++) first.insert(first.end(), {keystep{{KEY_SPACE}, 1}, keystep{{}, 1}});
        return first;
    }
    // A wild battle on the given menu page, its texts recorded.
    void EnterBattleMenu(int page) {
        ResetBattle();
        currentgamestate = GAMESTATE_BATTLE, currbattletype = BATTLETYPE_WILD, battleinfo.menupage = (uint8_t)page;
        battleinfo.enemymovecount = (uint8_t)CreateVorlet(wildvorlet, 4, 5, VORLET_WILD, nullptr);
        for (int slot = 0; slot < MOVESLOTS; slot++) MainPlayer.owned[MainPlayer.party[0]].moves[slot] = moveslot{slot + 1, 10, 10};
        battletranscript = &texts;
    }
    std::vector<writtentext> texts;
};

// The first held arrow in the order up, down, left, right is the one taken,
// even when blocked; a pass that changes nothing sleeps until the player
// does something. The pass draws its frame before Escape quits.
TEST_F(GameLoopTest, TheFirstHeldArrowWinsAndAPassThatChangesNothingSleeps) {
    const std::tuple<std::vector<int>, std::pair<int, int>, long> passes[] = {{{KEY_UP, KEY_RIGHT}, {22, 19}, 0},
        {{KEY_UP}, {22, 19}, 1}, {{KEY_RIGHT, KEY_LEFT, KEY_DOWN}, {22, 20}, 0}, {{KEY_RIGHT, KEY_LEFT}, {21, 20}, 0},
        {{KEY_RIGHT}, {22, 20}, 0}, {{}, {22, 20}, 1}};
    for (const auto &[keys, at, waits] : passes) {
        Pass(keys);
        EXPECT_EQ(std::make_pair(playertilex, playertiley), at) << keys.size();
        EXPECT_EQ(headless::ticks, waits) << keys.size();
    }
    clear_bitmap(screen);
    Pass({KEY_ESC, KEY_LEFT}, {}, {{headless::dlgaction::Press, IDYES}});
    EXPECT_EQ(std::make_tuple(quitgamenow, playertilex, headless::frames), std::make_tuple(1, 21, 16L + 1))
        << "a frame for each pixel of the step, then the pass's";
    EXPECT_EQ(getpixel(screen, 100, 100), getpixel(backbuffer, 100, 100));
}

// Escape, and the close button in any wait, end the game at once with
// nothing unsaved; after a step they ask first, and No plays on.
TEST_F(GameLoopTest, EscapeAndTheCloseButtonAskBeforeProgressIsLost) {
    using headless::dlgaction;
    Pass({KEY_ESC});
    EXPECT_EQ(std::make_pair(quitgamenow, headless::dialogsshown), std::make_pair(1, 0)) << "nothing to lose: no question";
    quitgamenow = 0;
    Pass({KEY_DOWN});
    EXPECT_EQ(unsavedprogress, 1);
    for (int answer : {IDNO, IDYES}) {
        Pass({KEY_ESC}, {}, {{dlgaction::Press, answer}});
        EXPECT_EQ(quitgamenow, answer == IDYES);
    }
    EXPECT_EQ(std::string(GetDlgItemTextPtr(&headless::lastdialog, IDC_PROMPTTEXT)), "Quit without saving?");
    // The close button pressed as a battle message shows asks at once:
    // after No the message waits on for (keypad) Enter, after Yes nothing
    // waits.
    for (int answer : {IDNO, IDYES}) {
        EnterBattleMenu(0);
        quitgamenow = 0;
        Pass({KEY_4}, {{{}, 2}, {{KEY_ENTER_PAD}, 1}}, {{dlgaction::Press, answer}}, true);
        EXPECT_EQ(headless::dialogsshown, 1);
        EXPECT_EQ(headless::ticks, answer == IDNO ? 4 : 0);
        EXPECT_EQ(quitgamenow, answer == IDYES);
    }
    ASSERT_EQ(texts.size(), 2u);
    for (const writtentext &t : texts) EXPECT_EQ(t.text, "Tobrin ran away!");
}

// The battle menus' keys (turns themselves: test_battle): key 1 waits for
// its release, drawing nothing, then opens the move menu; a slot without PP
// says so, 5 goes back; with no usable move key 1 uses the fallback.
TEST_F(GameLoopTest, TheBattleMenusDispatchTheirKeys) {
    EnterBattleMenu(0);
    Pass({KEY_1}, {keystep{{KEY_1}, 3}, keystep{{}, 1}});
    EXPECT_EQ(std::make_tuple(headless::ticks, (int)battleinfo.menupage, (int)battleinfo.playerchose, headless::frames),
              std::make_tuple(4L, 1, 0, 1L));
    // A spent move says so, waits for the confirm and plays no turn; an
    // empty slot says nothing.
    MainPlayer.owned[0].moves[2].pp = 0, MainPlayer.owned[0].moves[3] = moveslot{}, Draws({7});
    Pass({KEY_3}, {keystep{{}, 1}, keystep{{KEY_SPACE}, 1}, keystep{{}, 1}});
    EXPECT_EQ(std::make_tuple(headless::ticks, (int)battleinfo.menupage, (int)battleinfo.playerchose, QueuedRandomDraws()),
              std::make_tuple(3L, 1, 0, 1));
    Pass({KEY_4});
    EXPECT_EQ(texts.size() == 1 ? Format("%d,%d ", texts[0].x, texts[0].y) + texts[0].text : "", "5,275 There's no PP left for this move!");
    Pass({KEY_5});
    EXPECT_EQ(battleinfo.menupage, 0);
    for (moveslot &slot : MainPlayer.owned[0].moves) slot.pp = 0;
    Pass({KEY_1}, Spaces({{{}, 1}}));
    EXPECT_EQ(std::make_pair((int)battleinfo.playerslot, battleinfo.playermove), std::make_pair(4, (int)FALLBACKMOVE));
}

TEST_F(GameLoopTest, FFiveSavesFromTheOverworldOnlyAndKeysHeldAfterABattleStartNoTurn) {
    headless::ScriptFileDialog({headless::fileanswer{1, "quick.qbs"}});
    headless::SetKey(KEY_F5, true);
    headless::ScriptKeys({keystep{{KEY_F5}, 2}});
    unsavedprogress = 1;
    GameLoop();
    EXPECT_TRUE(std::filesystem::exists("quick.qbs"));
    EXPECT_EQ(std::make_pair(headless::ticks, headless::frames), std::make_pair(3L, 1L)) << "the save waits for F5 to come up";
    EXPECT_EQ(headless::notices, std::vector<std::string>{"Game saved as quick.qbs"});
    EXPECT_EQ(unsavedprogress, 0);
    EnterBattleMenu(0);
    Pass({KEY_F5});  // in a battle F5 opens no dialog: an unscripted one would throw
    // Key 1 is let go while key 4 stays down through the running message.
    EnterBattleMenu(0);
    Pass({KEY_1, KEY_4}, {{{KEY_4}, 1}, {{KEY_4, KEY_SPACE}, 1}, {{KEY_4}, 1}});
    EXPECT_EQ(std::make_tuple(texts.size(), texts.empty() ? "" : texts[0].text, currentgamestate),
              std::make_tuple((size_t)1, std::string("Tobrin ran away!"), (int)GAMESTATE_OVERWORLD));
    EXPECT_EQ(std::make_pair((int)battleinfo.playerchose, headless::frames), std::make_pair(0, 1L))
        << "no turn and no battle frame after the end";
}
