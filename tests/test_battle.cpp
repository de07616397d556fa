// Battles: the start and its refusals, running, the battle screen by its
// pixels, stages and damage, moves by the messages they show and the state
// they change, and whole turns.
#include <cstring>
#include <filesystem>
#include <functional>
#include <tuple>

#include "tests/harness/testsupport.h"

enum { KINDLET = 1, RILLFIN = 4, TIDEHELM = 5, WRENLET = 6, SPROUTMITE = 13, BARROWISP = 15 };

static void SetStats(ownedvorl &v, int value, int hp) {
    v.attack = v.defense = v.speed = v.spattack = v.spdefense = value, v.maxhp = v.hp = hp;
}
static void Foe(int species) { wildvorlet.species = species, wildvorlet.nickname = VrltData[species].name; }

// A start that cannot build its battle says why in the log and leaves the
// game, the wild creature and the position in battle as they were.
TEST_F(BattleTest, WhatCannotBeBuiltStartsNoBattleAndKeepsTheOldWildCreature) {
    Begin(KINDLET, 5, RILLFIN, 7);
    currentgamestate = GAMESTATE_OVERWORLD, battleinfo.activeslot = 2;
    for (auto [type, id] : {std::pair(1, 0), std::pair(1, 16), std::pair(3, 1)}) StartBattle(type, id, 5);
    const std::string in = "Program: Entering a battletype ";
    EXPECT_EQ(LogLinesWith("battle"), std::vector<std::string>({
        in + "1, id 0 and level 5", "Major Project error: A wild battle was possible with a Vorlet number of 0!!",
        in + "1, id 16 and level 5", "Project: No wild battle: the wild Vorlet of the map's table could not be made",
        in + "3, id 1 and level 5", "Major Program error: Unrecognised battletype!"}));
    EXPECT_EQ(std::make_tuple(currentgamestate, wildvorlet.species, wildvorlet.level, battleinfo.activeslot),
              std::make_tuple(GAMESTATE_OVERWORLD, RILLFIN, 7, 2));
}

// The first carried position whose creature has HP is sent out, position 0
// first and each through the party order; with none the last one stays and
// the log says so. What the last battle left is reset, a sleeping creature
// sleeps random(6) + 1 turns, and each opening screen waits for Space down
// and up. A missing picture ends the start where it is needed; a readable one
// replaces the last battle's, one that cannot be read leaves no creature.
TEST_F(BattleTest, AStartSendsOutTheFirstFitCreatureAndResetsTheLastBattle) {
    const int red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    BITMAP *picture = create_bitmap(FRONTPICTURESIZE, FRONTPICTURESIZE);
    clear_to_color(picture, blue);
    for (const char *path : {"brel/4g.bmp", "brelb/1gb.bmp"}) WriteFile(path, ""), save_bitmap(path, picture, nullptr);
    destroy_bitmap(picture);
    struct startcase {
        bool swapped;                                 // the party order 1, 0, 2, 3, 4, 5 instead of 0 to 5
        std::vector<int> hp;                          // by owned index
        // sleepdraw -1: awake. pictures: 0 all there; shiny without a picture: 1 the wild
        // creature, 2 the player's; 3 the player's shiny with a folder for its picture
        int carried, sleepdraw, sent, sleep, pictures;
        std::string said, error;
    };
    const std::string both = "5,275 Wild Rillfin appeared|5,275 Tobrin send out ", none = "No non-fainted Vorlet for battle?!";
    const startcase cases[] = {
        {false, {12, 12}, 2, -1, 0, 0, 0, both + "K0!", ""}, {false, {0, 12}, 2, 5, 1, 6, 0, both + "K1!", ""},
        {true, {12, 0}, 2, 6, 1, 1, 0, both + "K0!", ""},  // 6 mod 6
        {false, {0, 0, 0, 0, 0, 12}, 6, -1, 5, 0, 0, both + "K5!", ""},
        {false, {0, 0, 0, 0, 0, 12}, 5, -1, 3, 0, 0, both + "K3!", "Major Program error: " + none},
        {false, {12}, 1, -1, 0, 0, 1, "5,275 Wild Rillfin appeared", "Breaking Program error: Enemy Vorlet picture does not exist!!"},
        {false, {12}, 1, -1, 0, 0, 2, both + "K0!", "Breaking Program error: Own Vorlet back picture does not exist!!"},
        {false, {12}, 1, -1, 0, 0, 3, both + "K0!", "Minor Project error: Picture brelsb\\1gsb.bmp cannot be read: it is a folder"},
    };
    for (const startcase &c : cases) {
        for (int i = 0; i < PARTYMAX; i++) {
            ownedvorl &v = MainPlayer.owned[i];
            CreateVorlet(v, KINDLET, 5, VORLET_PLAYER, "");
            v.nickname = "K" + std::to_string(i), v.hp = i < (int)c.hp.size() ? c.hp[i] : 0, v.shiny = c.pictures >= 2;
            v.status = c.sleepdraw >= 0 ? STATUS_ASLEEP : 0, MainPlayer.party[i] = c.swapped && i < 2 ? 1 - i : i;
        }
        MainPlayer.partycount = (int16_t)c.carried;
        battlerecord &b = battleinfo;
        memset(&b, 2, sizeof b), b.activeslot = 3, b.menupage = 1;  // all that the last battle might leave
        if (c.pictures == 3) std::filesystem::create_directories("brelsb/1gsb.bmp");
        for (BITMAP *old : {enemyvorlet, ownvorletb}) clear_to_color(old, red);
        Draws(c.pictures == 1 ? std::vector<int>{2, 10, 10, 10} : std::vector<int>{0, 0, 0, 0});  // the wild creature's values
        if (c.sleepdraw >= 0) Draws({c.sleepdraw});
        SetUpLog(), headless::ticks = 0, currentgamestate = GAMESTATE_OVERWORLD, Spaces(2);
        StartBattle(BATTLETYPE_WILD, RILLFIN, 20);
        EXPECT_EQ(Said(true), c.said);
        EXPECT_EQ(LastError(), c.error);
        EXPECT_EQ(std::make_tuple(b.activeslot, (int)b.ownsleep), std::make_tuple(c.sent, c.sleep)) << "the one sent out, its sleep";
        std::vector<int> left(b.participated, b.participated + PARTYMAX);
        left[c.sent]--;  // the one sent out takes part
        left.insert(left.end(), b.grewlevel, b.grewlevel + PARTYMAX);
        for (int i = 0; i < STATCOUNT; i++) left.insert(left.end(), {b.ownstages[i], b.enemystages[i]});
        left.insert(left.end(), {b.ownaccuracy, b.enemyaccuracy, b.ownevasion, b.enemyevasion, b.enemysleep, b.ownfocus, b.enemyfocus});
        EXPECT_EQ(left, std::vector<int>(left.size())) << "nothing of the last battle is left";
        const bool whole = c.pictures == 0 || c.pictures == 3;
        const int ticks = whole ? 4 : c.pictures == 2 ? 2 : 0;  // Space down and up on each opening screen shown
        EXPECT_EQ(std::make_tuple((int)b.menupage, headless::ticks), std::make_tuple(whole ? 0 : 1, ticks)) << c.said;
        DrawBattleNoText();  // the new pictures; none for one that cannot be read; the last battle's until then
        EXPECT_TRUE(Shows(230, 5, 341, 116, {}, {{230, 5, 341, 116, c.pictures == 1 ? red : blue, true}})) << c.error;
        const int back = c.pictures == 0 ? blue : c.pictures == 3 ? whtclr : red;
        EXPECT_TRUE(Shows(5, 170, 100, 265, {}, {{5, 170, 100, 265, back, true}})) << c.error;
        EXPECT_EQ(std::make_tuple(currentgamestate, currbattletype, b.enemymovecount, wildvorlet.level),
                  std::make_tuple(GAMESTATE_BATTLE, BATTLETYPE_WILD, (uint8_t)4, 20)) << c.said;
    }
}

TEST_F(BattleTest, OnlyAWildBattleCanBeRunFrom) {
    const std::tuple<int, std::string, int> cases[] = {
        {BATTLETYPE_WILD, "5,275 Tobrin ran away!", GAMESTATE_OVERWORLD}, {3, "", GAMESTATE_BATTLE},
        {BATTLETYPE_TRAINER, "5,275 No! There's no running from a trainer|5,285 battle!", GAMESTATE_BATTLE}};
    for (const auto &[type, said, state] : cases) {
        Begin(KINDLET, 5, RILLFIN, 5), currbattletype = type, Spaces(1), RunFromBattle(1);
        EXPECT_EQ(Said(true), said);
        EXPECT_EQ(currentgamestate, state) << said;
    }
}

TEST_F(BattleTest, TheScreenShowsBarsBoxesMenusAndMessagesInTheirPlaces) {
    Begin(KINDLET, 5, RILLFIN, 5);
    const int green = makecol(0, 255, 0), orange = makecol(255, 128, 0), red = makecol(255, 0, 0), blue = makecol(0, 0, 255);
    // An HP bar fills p = hp * 100 / maxhp pixels from x0 within the black
    // outline (x0 - 2, y0 - 2)-(x0 + 102, y0 + 7).
    const int bars[][2] = {{100, green}, {50, green}, {49, orange}, {25, orange}, {24, red}, {0, red}};
    for (const auto &[p, colour] : bars) {
        wildvorlet.maxhp = Own().maxhp = 200, wildvorlet.hp = Own().hp = p * 2, DrawBattleNoText();
        for (auto [x0, y0] : {std::pair(12, 32), std::pair(237, 227)})  // the enemy's bar, the player's
            EXPECT_TRUE(Shows(x0 - 3, y0 - 3, x0 + 104, y0 + 8, {},
                              {{x0, y0, x0 + p, y0 + 5, colour, true}, {x0 - 2, y0 - 2, x0 + 102, y0 + 7, blkclr}})) << p;
    }
    // Experience, from the level's threshold to the next one's, at the top
    // level too (101 needs 1093306); full for a species without a growth rate.
    const int exps[][4] = {  // species, level, exp, the bar's last pixel
        {KINDLET, 5, 135, 237}, {KINDLET, 5, (135 + 179) / 2, 287}, {KINDLET, 100, 1059860, 237},
        {KINDLET, 100, 1093305, 336}, {0, 5, 1, 337}};
    for (const auto &[species, level, exp, end] : exps) {
        Own().species = species, Own().level = level, Own().exp = exp, DrawBattleNoText();
        EXPECT_TRUE(Shows(234, 247, 340, 258, {}, {{237, 250, end, 255, blue, true}, {235, 248, 339, 257, blkclr}})) << exp;
    }
    // Kindlet is female below attack value 2; Barrowisp has no gender.
    const std::tuple<int, int, int, std::string> boxes[] = {
        {KINDLET, 1, STATUS_BURNED, "BRN :L5 F"}, {KINDLET, 2, 0, "  :L5 M"}, {BARROWISP, 0, STATUS_FROZEN, "FRZ :L5  "}};
    Own().hp = 12, Own().maxhp = 20;
    for (const auto &[species, atkiv, status, line] : boxes) {
        for (ownedvorl *v : {&wildvorlet, &Own()}) v->species = species, v->atkiv = atkiv, v->status = status, v->level = 5;
        DrawBattleNoText();
        EXPECT_TRUE(Shows(6, 6, 119, 29, {{VrltData[species].name, 10, 10}, {line, 115, 20, true}})) << line;
        EXPECT_TRUE(Shows(231, 201, 344, 224, {{"Kindlet", 235, 205}, {line, 340, 215, true}})) << line;
        EXPECT_TRUE(Shows(231, 236, 344, 247, {{"12/20", 235, 238}})) << line;
    }
    DrawBattle();
    EXPECT_TRUE(Shows(3, 271, 349, 349, {{"What should Kindlet do?", 5, 275}, {"1. Fight", 5, 300}, {"2. Vorlet", 5, 310},
                                         {"3. Pack", 5, 320}, {"4. Run", 5, 330}}));
    Spaces(1), BattleMessage("Enemy Rillfin fainted!");
    EXPECT_TRUE(Shows(3, 271, 349, 349, {{"Enemy Rillfin fainted!", 5, 275}}));
    Own().moves[0] = {1, 35, 30}, Own().moves[1] = {27, 30, 30}, Own().moves[2] = {}, Own().moves[3] = {24, 30, 30};  // a gap
    battleinfo.menupage = 1, currbattletype = BATTLETYPE_TRAINER, DrawBattle();
    EXPECT_TRUE(Shows(1, 1, 229, 150, {})) << "a trainer battle has no enemy box";
    EXPECT_TRUE(Shows(3, 271, 349, 349, {{"What should Kindlet use?", 5, 275}, {"1. Nudge", 5, 300}, {"30/35", 120, 300},
                                         {"Normal", 200, 300}, {"2. Spritz", 5, 310}, {"30/30", 120, 310}, {"Water", 200, 310},
                                         {"5. Cancel", 5, 340}}));
    battleinfo.menupage = 2, DrawBattle();
    EXPECT_TRUE(Shows(3, 271, 349, 349, {})) << "no menu on another page";
    // A long nickname (from a save) is cut in its box and wraps in the question.
    Own().nickname = "Sir Pemberton Sproutmite the Third", battleinfo.menupage = 0, DrawBattle();
    EXPECT_TRUE(Shows(231, 201, 344, 212, {{"Sir Pember...", 235, 205}}) && Shows(3, 271, 349, 299, {{"What should Sir Pemberton Sproutmite the", 5, 275}, {"Third do?", 5, 285}}));
}

// stages and damage

TEST_F(BattleTest, StagesScaleAStatAndBurnAndParalysisCutIt) {
    Begin(KINDLET, 5, RILLFIN, 5);
    struct stagecase { int stat, value, stage, status, used; };
    const stagecase cases[] = {{1, 100, -1, 0, 66}, {1, 100, 1, 0, 150}, {1, 100, -6, 0, 25}, {1, 100, 6, 0, 400},
                               {1, 101, 0, STATUS_BURNED, 50}, {3, 30, 2, STATUS_PARALYZED, 15}, {3, 30, 0, STATUS_BURNED, 30},
                               {5, 60, -2, STATUS_PARALYZED, 30}};
    for (const stagecase &c : cases)
        for (int side : {1, 2}) {
            ownedvorl &v = side == 1 ? Own() : wildvorlet;
            SetStats(v, c.value, 50), v.status = c.status;
            (side == 1 ? battleinfo.ownstages : battleinfo.enemystages)[c.stat - 1] = (int8_t)c.stage;
            EXPECT_EQ(ModifiedStat(side, c.stat), c.used) << c.stat << " " << c.stage << " " << side;
        }
    for (int stat : {0, 6}) EXPECT_EQ(ModifiedStat(1, stat), 0);
    EXPECT_EQ(LogLinesWith("invalid stat").size(), 2u);
}

TEST_F(BattleTest, DamageFollowsTheChartTheCapAndTheSpreadAndCriticalHitsIgnoreHarmfulStages) {
    // A critical hit is a draw up to 16, 31 when the attacker's side is
    // focused, 63 for a high-critical move, 84 for both; the spread draw v
    // gives random(38) = v mod 38. Focus 1: the attacker's side is focused, 2: the other side.
    struct damagecase {
        int side, level, defender, move, atk, def, atkstage, defstage, status, focus, critdraw, spread, result;
        bool critical;
    };
    const damagecase cases[] = {
        {1, 10, KINDLET, 4, 20, 10, 0, 0, 0, 0, 17, 38, 9, false},       // 11 * 217 / 255
        {1, 10, KINDLET, 27, 50, 50, 0, 0, 0, 0, 254, 37, 11, false},    // one type counts once
        {1, 100, RILLFIN, 1, 999, 0, 0, 0, 0, 0, 254, 37, 995, false},   // defence 0 counts as 1; 29372 capped at 999
        {1, 10, RILLFIN, 4, 415, 2, 0, 0, 0, 0, 254, 37, 994, false},    // 998 is not capped
        {1, 10, RILLFIN, 1, 50, 50, -2, 3, 0, 0, 16, 37, 11, true},
        {1, 10, RILLFIN, 1, 50, 50, 2, -2, 0, 0, 16, 37, 35, true},
        {2, 10, RILLFIN, 1, 50, 50, 2, -2, 0, 0, 254, 37, 17, false},
        {1, 10, RILLFIN, 1, 50, 50, -2, 0, STATUS_BURNED, 0, 16, 37, 7, true},
        {1, 10, RILLFIN, 1, 50, 50, 0, 0, 0, 1, 31, 37, 11, true}, {1, 10, RILLFIN, 1, 50, 50, 0, 0, 0, 1, 32, 37, 5, false},
        {2, 10, RILLFIN, 1, 50, 50, 0, 0, 0, 1, 31, 37, 11, true}, {2, 10, RILLFIN, 1, 50, 50, 0, 0, 0, 2, 31, 37, 5, false},
        {1, 10, RILLFIN, 2, 50, 50, 0, 0, 0, 0, 63, 37, 13, true}, {1, 10, RILLFIN, 2, 50, 50, 0, 0, 0, 0, 64, 37, 6, false},
        {1, 10, RILLFIN, 2, 50, 50, 0, 0, 0, 1, 84, 37, 13, true}, {1, 10, RILLFIN, 2, 50, 50, 0, 0, 0, 1, 85, 37, 6, false}};
    for (const damagecase &c : cases) {
        Begin(RILLFIN, c.level, RILLFIN, c.level);
        const bool own = c.side == 1;
        ownedvorl &attacker = own ? Own() : wildvorlet, &defender = own ? wildvorlet : Own();
        SetStats(attacker, c.atk, 50), SetStats(defender, c.def, 50), attacker.status = c.status, defender.species = c.defender;
        (own ? battleinfo.ownstages : battleinfo.enemystages)[0] = (int8_t)c.atkstage;
        (own ? battleinfo.enemystages : battleinfo.ownstages)[1] = (int8_t)c.defstage;
        (own == (c.focus == 1) ? battleinfo.ownfocus : battleinfo.enemyfocus) = c.focus != 0;
        Draws({c.critdraw, c.spread}), Spaces(1);  // Space for the critical hit's message
        EXPECT_EQ(BattleDoDamage(attacker, defender, c.move, c.side), c.result) << c.defender << " " << c.move << " " << c.critdraw;
        EXPECT_EQ(Said(), c.critical ? "It's a critical hit!" : "") << c.critdraw;
    }
    EXPECT_EQ(LogLinesWith(" atkval 999 "), std::vector<std::string>{"Program debug: atkval 999 and defval 1 with damage 29372 and damage2 999"});
}

// using a move

// The numbers a move can change: the player's creature's, the opponent's
// (foe.), the experience of the player's creature and the game state.
static std::vector<int> Now() {
    const ownedvorl &o = PlayerVorlet(), &f = wildvorlet;
    const battlerecord &b = battleinfo;
    const int8_t *s = b.ownstages, *e = b.enemystages;
    return {o.hp, o.status, o.moves[0].pp, b.ownsleep, b.ownfocus, b.ownaccuracy, b.ownevasion, s[0], s[1], s[2], s[3], s[4],
            f.hp, f.status, f.moves[0].pp, b.enemysleep, b.enemyfocus, b.enemyaccuracy, b.enemyevasion, e[0], e[1], e[2], e[3],
            e[4], o.exp, currentgamestate};
}
// What changed since `before`, as "name old>new" joined by blanks.
static std::string Changes(const std::vector<int> &before) {
    static const char *const names[] = {"hp", "status", "pp", "sleep", "focus", "acc", "eva", "atk", "def", "speed", "spatk", "spdef"};
    const std::vector<int> after = Now();
    std::string changes;
    for (size_t i = 0; i < after.size(); i++)
        if (after[i] != before[i])
            changes += Format("%s%s%s %d>%d", changes.empty() ? "" : " ", i >= 12 && i < 24 ? "foe." : "",
                              i < 24 ? names[i % 12] : i == 24 ? "exp" : "state", before[i], after[i]);
    return changes;
}

TEST_F(BattleTest, MovesShowTheirMessagesInOrderAndChangeWhatTheySay) {
    ownedvorl &o = MainPlayer.owned[0], &f = wildvorlet;
    battlerecord &b = battleinfo;
    const int PAR = STATUS_PARALYZED, SLP = STATUS_ASLEEP, FRZ = STATUS_FROZEN;
    const std::vector<int> hit = {254, 0, 0};  // no critical hit, the low spread, a hit
    auto none = [] {};
    // Kindlet at level 20 and Rillfin at 10 with every stat 40 and 100 HP:
    // Kindlet's Nudge (power 35) does ((2 * 20) / 5 + 2) * 40 * 35 / 40 / 50
    // + 2 = 9 before the spread, 9 * 217 / 255 = 7 after; Rillfin's 6 and 5.
    // Rillfin's award is 64 * 10 / 7 = 91. Each case: side, move, set-up,
    // draws, the messages with * for the "used" line, and what changed.
    struct movecase {
        int side, move;
        std::function<void()> setup;
        std::vector<int> draws;
        std::string said, changes;
    };
    const movecase cases[] = {
        // The attacker's status: the player's creature acts in its sleep unless the move needs it awake.
        {1, 1, [&] { o.status = STATUS_FAINTED; }, {}, "", ""},
        {1, 1, [&] { o.status = FRZ; }, {11, 254, 0, 0}, "Kindlet thawed!|*", "status 5>0 pp 10>9 foe.hp 100>93"},  // 11 mod 9
        {1, 172, [&] { o.status = FRZ; }, {2}, "Kindlet is frozen solid!", ""},
        {1, 1, [&] { o.status = PAR; }, {5}, "Kindlet is fully paralyzed!", ""},  // 5 mod 3
        {1, 1, [&] { o.status = SLP, b.ownsleep = 2; }, hit, "*", "pp 10>9 sleep 2>1 foe.hp 100>93"},
        {1, 173, [&] { o.status = SLP, b.ownsleep = 2; }, {}, "Kindlet is fast asleep!", "sleep 2>1"},
        {1, 214, [&] { o.status = SLP, b.ownsleep = 2; }, {}, "Kindlet is fast asleep!", "sleep 2>1"},
        {1, 1, [&] { o.status = SLP, b.ownsleep = 1; }, hit, "Kindlet woke up!|*", "status 4>0 pp 10>9 sleep 1>0 foe.hp 100>93"},
        {2, 1, [&] { f.status = SLP, b.enemysleep = 2; }, {}, "Rillfin is fast asleep!", "foe.sleep 2>1"},
        // No effect: the chart's 0, and types that ward off electric and poison moves.
        {1, 86, [] { Foe(BARROWISP); }, {0}, "*|It didn't affect Barrowisp!", "pp 10>9"},
        {1, 24, [] { Foe(BARROWISP); }, {254, 0}, "*|It didn't affect Barrowisp!", "pp 10>9"},
        {1, 77, [] { Foe(TIDEHELM); }, {0}, "*|It didn't affect Tidehelm!", "pp 10>9"},
        // Fixed damage says nothing of the chart; a creature at exactly 0 HP faints.
        {1, 49, [] { Foe(TIDEHELM); }, {0}, "*", "pp 10>9 foe.hp 100>75"},
        {1, 165, [&] { b.playerslot = 4; }, hit, "*", "foe.hp 100>90"},  // the fallback spends no PP
        // The chart's messages, by each type; a Fire move or the thaw flag thaws.
        {1, 48, [&] { f.status = FRZ; }, hit, "*|It's not very effective!|Rillfin thawed!", "pp 10>9 foe.hp 100>97 foe.status 5>0"},
        {1, 83, [&] { f.status = FRZ; }, hit, "*|It's not very effective!|Rillfin thawed!", "pp 10>9 foe.hp 100>95 foe.status 5>0"},
        {1, 48, [] { Foe(SPROUTMITE); }, hit, "*|It's super effective!|It's super effective!", "pp 10>9 foe.hp 100>70"},
        {1, 27, [] { Foe(KINDLET); }, hit, "*|It's super effective!", "pp 10>9 foe.hp 100>83"},
        {1, 4, [] { Foe(WRENLET); }, hit, "*", "pp 10>9 foe.hp 100>92"},  // weak by the first type, resisting by the other
        {1, 48, [] { Foe(TIDEHELM); }, hit, "*", "pp 10>9 foe.hp 100>94"},  // resisting by the first type, weak by the other
        // Stages: the target's fall, the user's rise, each named by whose it is.
        {1, 39, none, {0, 0}, "*|Enemy Rillfin's defense fell!", "pp 10>9 foe.def 0>-1"},
        {2, 45, none, {0, 0}, "*|Kindlet's attack fell!", "atk 0>-1 foe.pp 10>9"},
        {1, 196, none, {0, 0}, "*|Enemy Rillfin's speed fell!", "pp 10>9 foe.speed 0>-1"},
        {2, 242, none, {0, 0}, "*|Kindlet's special defense fell!", "spdef 0>-1 foe.pp 10>9"},
        {1, 134, none, {0, 0}, "*|Enemy Rillfin's accuracy fell!", "pp 10>9 foe.acc 0>-1"},
        {2, 230, none, {0, 0}, "*|Kindlet's evasion fell!", "eva 0>-1 foe.pp 10>9"},
        {1, 96, none, {0, 0}, "*|Kindlet's attack rose!", "pp 10>9 atk 0>1"},
        {2, 106, none, {0, 0}, "*|Enemy Rillfin's defense rose!", "foe.pp 10>9 foe.def 0>1"},
        {1, 74, none, {0, 0}, "*|Kindlet's special attack rose!", "pp 10>9 spatk 0>1"},
        {2, 104, none, {0, 0}, "*|Enemy Rillfin's evasion rose!", "foe.pp 10>9 foe.eva 0>1"},
        {1, 116, none, {0, 0}, "*|Kindlet is getting focused.", "pp 10>9 focus 0>1"},
        {2, 116, none, {0, 0}, "*|Rillfin is getting focused.", "foe.pp 10>9 foe.focus 0>1"},
        {1, 116, [&] { b.ownfocus = 1; }, {0, 0}, "*|Kindlet is getting focused.|But it failed!", "pp 10>9"},
        {2, 96, [&] { b.enemystages[0] = 5; }, {0, 0}, "*|Enemy Rillfin's attack rose!", "foe.pp 10>9 foe.atk 5>6"},
        {2, 96, [&] { b.enemystages[0] = 6; }, {0, 0}, "*|Enemy Rillfin's attack rose!|But it didn't work", "foe.pp 10>9"},
        {1, 39, [&] { b.enemystages[1] = -5; }, {0, 0}, "*|Enemy Rillfin's defense fell!", "pp 10>9 foe.def -5>-6"},
        // Status effects: the chance at its edge, the types they spare, only on a creature without one.
        {1, 7, none, {254, 0, 0, 25}, "*|It's not very effective!", "pp 10>9 foe.hp 100>94 foe.status 0>1"},
        {1, 7, none, {254, 0, 0, 26}, "*|It's not very effective!", "pp 10>9 foe.hp 100>94"},
        {1, 7, [] { Foe(KINDLET); }, {254, 0, 0, 0}, "*|It's not very effective!", "pp 10>9 foe.hp 100>94"},
        {1, 8, none, {254, 0, 0, 0}, "*|It's not very effective!", "pp 10>9 foe.hp 100>94 foe.status 0>5"},
        {1, 77, none, {0, 0}, "*", "pp 10>9 foe.status 0>2"}, {1, 86, none, {0, 0}, "*", "pp 10>9 foe.status 0>3"},
        {1, 47, none, {0, 0, 6}, "*", "pp 10>9 foe.status 0>4 foe.sleep 0>1"},  // 6 mod 6: one turn
        {1, 77, [&] { f.status = SLP; }, {0, 0}, "*", "pp 10>9"},
        // The hit roll: a draw up to accuracy * evasion factor * accuracy factor hits; a miss spends the move.
        {1, 47, none, {140, 0, 6}, "*", "pp 10>9 foe.status 0>4 foe.sleep 0>1"},
        {1, 47, [&] { b.ownaccuracy = -3; }, {70, 0, 6}, "*", "pp 10>9 foe.status 0>4 foe.sleep 0>1"},
        {1, 47, [&] { b.ownaccuracy = -3; }, {71}, "*|Kindlet missed!", "pp 10>9"},
        {2, 47, [&] { b.enemyaccuracy = -3; }, {71}, "*|Enemy Rillfin missed", "foe.pp 10>9"},
        {2, 47, [&] { b.ownevasion = 3; }, {71}, "*|Enemy Rillfin missed", "foe.pp 10>9"},
        {1, 12, [&] { b.enemyevasion = 3; }, {254, 0, 108}, "*", "pp 10>9 foe.hp 100>83"},
        {1, 12, [&] { b.enemyevasion = 3; }, {254, 0, 109}, "*|Kindlet missed!", "pp 10>9"},
        {1, 47, [&] { b.enemyevasion = -1; }, {186, 0, 6}, "*", "pp 10>9 foe.status 0>4 foe.sleep 0>1"},  // 140 * 4 / 3
        {1, 114, [&] { b.ownaccuracy = -6; }, {254, 0}, "*", "pp 10>9 foe.hp 100>89"},  // never misses: no draw
        // Fainting: the award, half as much again for a creature from another trainer; the blackout.
        {1, 49, [&] { f.hp = 25; }, {0}, "*|Enemy Rillfin fainted!", "pp 10>9 foe.hp 25>0 foe.status 0>6 exp 5460>5551 state 2>1"},
        {1, 1, [&] { f.hp = 1, o.otid = 7; }, hit, "*|Enemy Rillfin fainted!",
         "pp 10>9 foe.hp 1>0 foe.status 0>6 exp 5460>5597 state 2>1"},
        {2, 1, [&] { o.hp = 1; }, hit, "*|Kindlet fainted!|Tobrin blacked out!", "hp 1>100 foe.pp 10>9 state 2>1"}};
    for (const movecase &c : cases) {
        Begin(KINDLET, 20, RILLFIN, 10), SetStats(o, 40, 100), SetStats(f, 40, 100);
        o.moves[0] = f.moves[0] = {c.move, 10, 10}, b.playermove = b.enemymove = c.move;
        c.setup();
        const std::vector<int> before = Now();
        Draws(c.draws), SeedRandom(99), Spaces(6);  // a draw beyond the queued ones would take 361, the first of seed 99
        BattleUseAttack(c.side);
        std::string said = Said(), used = Format(c.side == 1 ? "Kindlet used %s!" : "Enemy Rillfin used %s!", MoveData[c.move].name);
        if (size_t at = said.find(used); at != std::string::npos) said.replace(at, used.size(), "*");
        EXPECT_EQ(said, c.said) << MoveData[c.move].name;
        EXPECT_EQ(Changes(before), c.changes) << c.said;
        EXPECT_EQ(std::make_tuple(QueuedRandomDraws(), random(32768)), std::make_tuple(0, 361)) << "every draw and none more";
        ClearRandomDraws();
    }
    EXPECT_EQ(LogLinesWith(" Damage is ").at(0), "Program debug: Damage is 7") << "the thawed Kindlet's Nudge";
    for (auto [effect, type] : {std::pair(3, TYPE_FIRE), std::pair(4, TYPE_ICE), std::pair(13, TYPE_POISON)})  // by either type
        EXPECT_EQ(std::make_tuple(StatusResisted(effect, type, TYPE_BUG), StatusResisted(effect, TYPE_BUG, type),
                                  StatusResisted(effect, TYPE_BUG, TYPE_BUG), StatusResisted(EFFECT_PARALYSE, type, type)),
                  std::make_tuple(true, true, false, false)) << effect;
}

// turns

TEST_F(BattleTest, TurnsGoByPriorityThenLowerSpeedAndStopWhenTheBattleEnds) {
    struct turncase {
        std::vector<int> enemymoves;
        int slot, speed, status, ownhp, foehp;  // the player's slot, speed, status and HP; the foe's HP
        std::vector<int> before;                // the draws before the moves' own
        std::string said;
    };
    const turncase cases[] = {
        {{164}, 0, 10, 0, 500, 500, {0}, "Enemy Rillfin used Sly Lunge!|Kindlet used Nudge!"},
        {{1}, 0, 10, 0, 500, 500, {0}, "Kindlet used Nudge!|Enemy Rillfin used Nudge!"},
        {{1}, 0, 30, 0, 500, 500, {0}, "Enemy Rillfin used Nudge!|Kindlet used Nudge!"},
        {{1}, 0, 79, STATUS_PARALYZED, 500, 500, {0, 1}, "Kindlet used Nudge!|Enemy Rillfin used Nudge!"},  // 79 / 4
        {{1}, 0, 20, 0, 500, 500, {0, 1}, "Kindlet used Nudge!|Enemy Rillfin used Nudge!"},  // a tie: 1 mod 1
        {{1, 164}, 0, 10, 0, 500, 500, {3}, "Enemy Rillfin used Sly Lunge!|Kindlet used Nudge!"},  // 3 mod 2
        {{}, 4, 10, 0, 500, 500, {}, "Kindlet used Wild Flail!|Enemy Rillfin used Wild Flail!"},
        {{1}, 0, 10, 0, 500, 1, {0}, "Kindlet used Nudge!|Enemy Rillfin fainted!"},
        {{164}, 0, 10, 0, 1, 500, {0}, "Enemy Rillfin used Sly Lunge!|Kindlet fainted!|Tobrin blacked out!"}};
    for (const turncase &c : cases) {
        Begin(KINDLET, 50, RILLFIN, 10);
        SetStats(Own(), 40, c.ownhp), SetStats(wildvorlet, 40, c.foehp), Own().speed = c.speed, wildvorlet.speed = 20;
        Own().status = c.status, wildvorlet.defense = 30, Own().moves[0] = {1, 10, 10};  // the speed is compared, not the defence
        for (int i = 0; i < MOVESLOTS; i++) wildvorlet.moves[i] = {i < (int)c.enemymoves.size() ? c.enemymoves[i] : 0, 10, 10};
        battleinfo.enemymovecount = (uint8_t)c.enemymoves.size();
        battleinfo.playerchose = 1, battleinfo.playerslot = (uint8_t)c.slot, battleinfo.menupage = 1;
        Draws(c.before);
        for (size_t at = c.said.find(" used "); at != std::string::npos; at = c.said.find(" used ", at + 1))
            Draws({254, 0, 0});  // each move used: no critical hit, the low spread, a hit
        Spaces(6), BattleAttack();
        EXPECT_EQ(Said(), c.said);
        EXPECT_EQ(QueuedRandomDraws(), 0) << c.said;
        EXPECT_EQ(Own().moves[0].pp, c.slot == 0 && c.ownhp > 1 ? 9 : 10) << c.said;
        EXPECT_EQ(battleinfo.menupage, 0) << c.said;
        ClearRandomDraws();
    }
    Draws({0}), BattleAttack();
    EXPECT_EQ(std::make_tuple(Said(), QueuedRandomDraws()), std::make_tuple("", 1)) << "no turn once the battle has ended";
}
