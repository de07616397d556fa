// One pass of the game loop: key order and drawing before quitting on the
// overworld, sleeping when nothing changed, the battle menus' dispatch, F5's
// save, the question before progress is lost, and the creature screen.
#include <filesystem>

#include "savefile/savefile.h"
#include "tests/harness/testsupport.h"

using headless::keystep;

class GameLoopTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp(), CopySampleGame(), SetUpNewGame();  // Quill Bay: the start (22, 19) has a fence above it
        SetScreenColours(), unsavedprogress = 0, SetCloseCheck(ConfirmQuit);
        ASSERT_EQ(gamerunning, 1);
    }
    void TearDown() override { SetCloseCheck(nullptr), QbTest::TearDown(); }
    // One pass with these keys held, this script for the waits in it,
    // these answers to its dialogs, and the close button pressed when `close`.
    void Pass(const std::vector<int> &keys, const std::vector<keystep> &script = {},
              const std::vector<headless::dlgaction> &answers = {}, bool close = false) {
        headless::Reset(), headless::ScriptKeys(script), headless::ScriptDialog(answers), headless::closepressed = close;
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
        ResetBattle(), currentgamestate = GAMESTATE_BATTLE, currbattletype = BATTLETYPE_WILD, battletranscript = &texts;
        battleinfo.menupage = (uint8_t)page;
        battleinfo.enemymovecount = (uint8_t)CreateVorlet(wildvorlet, 4, 5, VORLET_WILD, nullptr);
        for (int slot = 0; slot < MOVESLOTS; slot++) MainPlayer.owned[MainPlayer.party[0]].moves[slot] = moveslot{slot + 1, 10, 10};
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
    clear_bitmap(screen), Pass({KEY_ESC, KEY_LEFT}, {}, {{headless::dlgaction::Press, IDYES}});
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
    quitgamenow = 0, Pass({KEY_DOWN});
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
        EnterBattleMenu(0), quitgamenow = 0;
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
    headless::ScriptFileDialog({headless::fileanswer{1, "quick.qbs"}}), headless::SetKey(KEY_F5, true), unsavedprogress = 1;
    headless::ScriptKeys({keystep{{KEY_F5}, 2}}), GameLoop();
    EXPECT_TRUE(std::filesystem::exists("quick.qbs"));
    EXPECT_EQ(std::make_pair(headless::ticks, headless::frames), std::make_pair(3L, 1L)) << "the save waits for F5 to come up";
    EXPECT_EQ(headless::notices, std::vector<std::string>{"Game saved as quick.qbs"});
    EXPECT_EQ(unsavedprogress, 0);
    EnterBattleMenu(0), Pass({KEY_F5});  // in a battle F5 opens no dialog: an unscripted one would throw
    // Key 1 is let go while key 4 stays down through the running message.
    EnterBattleMenu(0), Pass({KEY_1, KEY_4}, {{{KEY_4}, 1}, {{KEY_4, KEY_SPACE}, 1}, {{KEY_4}, 1}});
    EXPECT_EQ(std::make_tuple(texts.size(), texts.empty() ? "" : texts[0].text, currentgamestate),
              std::make_tuple((size_t)1, std::string("Tobrin ran away!"), (int)GAMESTATE_OVERWORLD));
    EXPECT_EQ(std::make_pair((int)battleinfo.playerchose, headless::frames), std::make_pair(0, 1L))
        << "no turn and no battle frame after the end";
}

// A creature's page, its (shiny) picture missing: every value in its place
// inside the view, a name too long cut to fit, the frame left empty.
TEST_F(GameLoopTest, ACreaturePageShowsEveryValueInItsPlace) {
    ownedvorl &v = MainPlayer.owned[0];  // a Kindlet, Fire, knowing three moves
    v.nickname = std::string(30, 'W'), v.level = 7, v.exp = 250, v.atkiv = 1, v.shiny = 1, v.status = STATUS_PARALYZED;
    v.maxhp = 20, v.hp = 5, v.attack = 15, v.defense = 12, v.speed = 16, v.spattack = 17, v.spdefense = 14;
    v.moves[0].pp = 30, v.moves[1].pp = 0, v.moves[2].pp = 12;
    std::filesystem::remove("brels/1gs.bmp"), headless::ScriptKeys({{{KEY_TAB}, 1}, {{}, 1}}), CreatureScreen();
    const int title = makecol(40, 72, 128), grey = makecol(96, 96, 96);
    EXPECT_TRUE(Shows(0, 0, WINDOWSIZE - 1, WINDOWSIZE - 1,
        {{"Your Vorlets", 8, 4, false, whtclr}, {"1/1", 344, 4, true, whtclr}, {std::string(25, 'W') + ".", 132, 26}, {"Lv 7", 132, 38},
         {"Female", 196, 38, false, makecol(192, 32, 96)}, {"Type Fire", 132, 50}, {"Status Paralyzed", 132, 62}, {"HP", 132, 78},
         {"5/20", 268, 78}, {"Exp", 132, 94}, {"Exp. points", 132, 110}, {"250", 344, 110, true}, {"To level 8", 132, 124},
         {"64", 344, 124, true}, {"Stats", 8, 148, false, title}, {"HP max", 12, 164}, {"20", 164, 164, true}, {"Speed", 188, 164},
         {"16", 340, 164, true}, {"Attack", 12, 178}, {"15", 164, 178, true}, {"Sp. Attack", 188, 178}, {"17", 340, 178, true},
         {"Defense", 12, 192}, {"12", 164, 192, true}, {"Sp. Defense", 188, 192}, {"14", 340, 192, true}, {"Moves", 8, 212, false, title},
         {"Type", 148, 212, false, title}, {"PP", 344, 212, true, title}, {"Nudge", 12, 228}, {"Normal", 148, 228}, {"30/35", 344, 228, true},
         {"Soot Cloud", 12, 242}, {"Fire", 148, 242}, {"0/20", 344, 242, true}, {"Flicker", 12, 256}, {"Fire", 148, 256},
         {"12/30", 344, 256, true}, {"-", 12, 270}, {"TAB/ESC: close", 8, 334, false, grey}},
        {{0, 0, 351, 15, title, true}, {8, 24, 121, 137, blkclr}, {156, 77, 260, 86, blkclr}, {158, 79, 183, 84, makecol(255, 128, 0), true},
         {156, 93, 260, 102, blkclr}, {158, 95, 175, 100, makecol(0, 0, 255), true}, {8, 158, 344, 158, title, true},
         {8, 222, 344, 222, title, true}, {8, 326, 344, 326, makecol(160, 160, 160), true}}, screen));
    EXPECT_EQ(LogLinesWith("Picture brels\\1gs.bmp cannot be read").size(), 1u);
}

// Up and Down go round the party in its order, one creature a press, each
// with its picture (doubled in the frame); a missing one is looked for once
// a visit. A healthy creature is "OK", one at level 100 needs no more.
TEST_F(GameLoopTest, UpAndDownGoRoundThePartyInItsOrder) {
    CreateVorlet(MainPlayer.owned[1], 4, 9, VORLET_PLAYER, "Route 0"), std::filesystem::remove("brel/4g.bmp");
    CreateVorlet(MainPlayer.owned[2], 6, 100, VORLET_PLAYER, "Route 0");
    MainPlayer.partycount = 3, MainPlayer.party[0] = 2, MainPlayer.party[1] = 0, MainPlayer.party[2] = 1;
    for (ownedvorl &v : MainPlayer.owned) v.shiny = 0;
    const struct { std::vector<int> presses; int ticks, position; const char *picture; } cases[] = {
        {{KEY_DOWN}, 1, 1, "brel\\1g.bmp"}, {{KEY_UP}, 1, 2, nullptr}, {{KEY_DOWN, KEY_DOWN, KEY_DOWN}, 1, 0, "brel\\6g.bmp"},
        {{KEY_DOWN}, 3, 1, "brel\\1g.bmp"}, {{KEY_UP, KEY_DOWN, KEY_UP}, 1, 2, nullptr}};
    BITMAP *want = create_bitmap(112, 112);
    for (const auto &c : cases) {
        std::vector<keystep> script;
        for (int k : c.presses) script.insert(script.end(), {{{k}, c.ticks}, {{}, 1}});
        headless::ScriptKeys((script.push_back({{KEY_BACKSPACE}, 1}), script.push_back({{}, 1}), script)), CreatureScreen();
        EXPECT_TRUE(Shows(132, 26, 343, 33, {{MainPlayer.owned[MainPlayer.party[c.position]].nickname, 132, 26}}, {}, screen)) << c.position;
        PALETTE pal;
        clear_to_color(want, whtclr);
        if (BITMAP *picture = c.picture ? LoadPicture(c.picture, pal) : nullptr)
            masked_stretch_blit(picture, want, 0, 0, 56, 56, 0, 0, 112, 112), destroy_bitmap(picture);
        int differ = 0;
        for (int i = 0; i < 112 * 112; i++) differ += getpixel(screen, 9 + i % 112, 25 + i / 112) != getpixel(want, i % 112, i / 112);
        EXPECT_EQ(differ, 0) << c.position;
        EXPECT_TRUE(c.position != 0 || (Shows(132, 62, 343, 69, {{"Status OK", 132, 62}}, {}, screen) &&
                                        Shows(132, 124, 343, 131, {{"Highest level", 132, 124}}, {}, screen)));
    }
    destroy_bitmap(want);
    EXPECT_EQ(LogLinesWith("Picture brel\\4g.bmp cannot be read").size(), std::size(cases));
}

// Tab on the map opens the screen; Tab, Escape and Backspace close it, let
// go there first (Escape asks nothing), and the map is back. The close
// button asks as elsewhere. Looking changes no record and draws no number.
TEST_F(GameLoopTest, TheCreatureScreenOpensOnTheMapClosesByThreeKeysAndOnlyLooks) {
    unsavedprogress = 1, Draws({7});
    ASSERT_EQ(WriteSaveFile("before.qbs", CaptureGame()), 0);
    const playerrecord before = MainPlayer;
    for (int key : {KEY_TAB, KEY_ESC, KEY_BACKSPACE}) {
        Pass({KEY_TAB}, {{{}, 1}, {{key}, 2}, {{}, 1}});
        EXPECT_EQ(std::make_tuple(headless::ticks, quitgamenow, headless::dialogsshown), std::make_tuple(4L, 0, 0)) << key;
        EXPECT_EQ(getpixel(screen, 100, 5), getpixel(backbuffer, 100, 5)) << key;
    }
    EXPECT_EQ(QueuedRandomDraws(), 1);
    ASSERT_EQ(WriteSaveFile("after.qbs", CaptureGame()), 0);
    EXPECT_EQ(ReadFileText("after.qbs"), ReadFileText("before.qbs"));
    EXPECT_EQ(memcmp(before.counters, MainPlayer.counters, sizeof before.counters), 0);
    Pass({KEY_TAB}, {{{}, 1}}, {{headless::dlgaction::Press, IDYES}}, true);
    EXPECT_EQ(std::make_pair(quitgamenow, headless::dialogsshown), std::make_pair(1, 1));
}
