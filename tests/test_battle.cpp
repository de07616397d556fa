// Battles: the start's refusals, the battle screen by its pixels, stages
// and damage, moves as the messages they show and the state they leave, and
// whole turns.
#include <filesystem>
#include <functional>
#include <tuple>

#include "tests/harness/testsupport.h"

enum { KINDLET = 1, PYROGAUNT = 3, RILLFIN = 4, TIDEHELM = 5, WRENLET = 6, SPROUTMITE = 13, BARROWISP = 15 };
using Texts = std::vector<std::string>;

static void SetStats(ownedvorl &vorlet, int value, int hp) {
    vorlet.attack = vorlet.defense = vorlet.speed = vorlet.spattack = vorlet.spdefense = value;
    vorlet.maxhp = vorlet.hp = hp;
}
static void Foe(int species) { wildvorlet.species = species, wildvorlet.nickname = VrltData[species].name; }

TEST_F(BattleTest, WhatCannotBeBuiltStartsNoBattleAndKeepsTheOldWildCreature) {
    Begin(KINDLET, 5, RILLFIN, 7);
    currentgamestate = GAMESTATE_OVERWORLD;
    const std::tuple<int, int, std::string> cases[] = {  // battle type, species, the log's last line
        {1, 0, "Major Project error: A wild battle was possible with a Vorlet number of 0!!"},
        {1, 16, "Project: No wild battle: the wild Vorlet of the map's table could not be made"},
        {3, 1, "Major Program error: Unrecognised battletype!"}};
    for (const auto &[type, id, line] : cases) {
        StartBattle(type, id, 5);
        EXPECT_EQ(LogLinesAfterBanner().back(), line);
        EXPECT_EQ(std::tie(currentgamestate, wildvorlet.species, wildvorlet.level, texts),
                  std::make_tuple(GAMESTATE_OVERWORLD, RILLFIN, 7, Texts())) << line;
    }
}

TEST_F(BattleTest, TheScreenShowsBarsBoxesAndTheMoveMenu) {
    Begin(KINDLET, 5, RILLFIN, 5);
    const int green = makecol(0, 255, 0), orange = makecol(255, 128, 0), red = makecol(255, 0, 0);
    const int bars[][2] = {{100, green}, {50, green}, {49, orange}, {25, orange}, {24, red}, {0, red}};
    for (const auto &[p, colour] : bars) {
        wildvorlet.maxhp = Own().maxhp = 200, wildvorlet.hp = Own().hp = p * 2;
        DrawBattleNoText();
        for (auto [x0, y0] : {std::pair(12, 32), std::pair(237, 227)})  // the enemy's bar, the player's
            for (int y = y0 - 1; y <= y0 + 6; y++)
                for (int x : {x0, x0 + p, x0 + p + 1})
                    EXPECT_EQ(getpixel(battlebackbuffer, x, y), y >= y0 && y <= y0 + 5 && x <= x0 + p ? colour : whtclr) << p;
    }
    // Experience, from the level's threshold to the next one's, at the top
    // level too (101 needs 1093306); full for a species without a growth rate.
    const int exps[][4] = {  // species, level, exp, the bar's last pixel
        {KINDLET, 5, 135, 237}, {KINDLET, 5, (135 + 179) / 2, 287}, {KINDLET, 100, 1059860, 237},
        {KINDLET, 100, 1093305, 336}, {0, 5, 1, 337}};
    for (const auto &[species, level, exp, end] : exps) {
        Own().species = species, Own().level = level, Own().exp = exp;
        DrawBattleNoText();
        EXPECT_EQ(std::make_pair(getpixel(battlebackbuffer, end, 252), getpixel(battlebackbuffer, end + 1, 252)),
                  std::make_pair(makecol(0, 0, 255), whtclr)) << level;
    }
    // Kindlet is female below attack value 2; Barrowisp has no gender.
    const std::tuple<int, int, int, std::string> boxes[] = {
        {KINDLET, 1, STATUS_BURNED, "BRN :L5 F"}, {KINDLET, 2, 0, "  :L5 M"}, {BARROWISP, 0, STATUS_FROZEN, "FRZ :L5  "}};
    for (const auto &[species, atkiv, status, line] : boxes) {
        for (ownedvorl *v : {&wildvorlet, &Own()}) v->species = species, v->atkiv = atkiv, v->status = status, v->level = 5;
        DrawBattleNoText();
        EXPECT_TRUE(Shows(6, 6, 119, 29, {{VrltData[species].name, 10, 10}, {line, 115, 20, true}})) << line;
        EXPECT_TRUE(Shows(231, 201, 344, 224, {{"Kindlet", 235, 205}, {line, 340, 215, true}})) << line;
    }
    const moveslot menu[MOVESLOTS] = {{1, 35, 30}, {27, 30, 30}, {0, 0, 0}, {24, 30, 30}};  // none listed after a gap
    std::copy(menu, menu + MOVESLOTS, Own().moves);
    battleinfo.menupage = 1, currbattletype = BATTLETYPE_TRAINER;
    DrawBattle();
    EXPECT_TRUE(Shows(1, 1, 229, 150, {})) << "a trainer battle has no enemy box";
    EXPECT_TRUE(Shows(3, 271, 349, 349,
                      {{"What should Kindlet use?", 5, 275}, {"1. Nudge", 5, 300}, {"30/35", 120, 300},
                       {"Normal", 200, 300}, {"2. Spritz", 5, 310}, {"30/30", 120, 310}, {"Water", 200, 310},
                       {"5. Cancel", 5, 340}}));
}

// The creature pictures: fresh ones show nothing, a readable file shows its
// picture, and one that cannot be read (a folder, a link to itself) shows
// nothing in place of the last.
TEST_F(BattleTest, APictureThatCannotBeReadShowsNoCreature) {
    for (BITMAP *old : {enemyvorlet, ownvorletb}) clear_to_color(old, makecol(255, 0, 0));
    CreateBattleBuffers(true);  // new pictures, likely in the old ones' memory
    BITMAP *blue = create_bitmap(FRONTPICTURESIZE, FRONTPICTURESIZE);
    clear_to_color(blue, makecol(0, 0, 255));
    const std::pair<std::string, int> cases[] = {{"fresh", whtclr}, {"good", makecol(0, 0, 255)}, {"refused", whtclr}};
    for (const auto &[files, colour] : cases) {
        for (const char *format : {FRONTPICTURE, SHINYFRONTPICTURE, BACKPICTURE, SHINYBACKPICTURE})
            for (int species : {KINDLET, RILLFIN}) {
                const std::string path = HostPath(Format(format, (unsigned)species));
                std::filesystem::remove(path);
                WriteFile(path, "");
                if (files == "good" && save_bitmap(path.c_str(), blue, nullptr) != 0) ADD_FAILURE() << path;
                if (files != "refused") continue;
                std::filesystem::remove(path);
                if (format[4] == 'b') std::filesystem::create_symlink(std::filesystem::path(path).filename(), path);
                else std::filesystem::create_directory(path);
            }
        Begin(KINDLET, 5, RILLFIN, 5);
        Spaces(2);
        if (files != "fresh") StartBattle(BATTLETYPE_WILD, RILLFIN, 5);
        DrawBattleNoText();
        int other = 0;
        for (const auto &[x0, y0, side] : {std::tuple(230, 5, 112), std::tuple(5, 170, 96)})
            for (int i = 0; i < side * side; i++) other += getpixel(battlebackbuffer, x0 + i % side, y0 + i / side) != colour;
        EXPECT_EQ(other, 0) << files;
    }
    destroy_bitmap(blue);
}

// stages and damage

TEST_F(BattleTest, StagesScaleAStatAndBurnAndParalysisCutIt) {
    Begin(KINDLET, 5, RILLFIN, 5);
    const int cases[][5] = {  // stat, value, stage, status, the value used
        {1, 100, -1, 0, 66}, {1, 100, 1, 0, 150}, {1, 100, -6, 0, 25}, {1, 100, 6, 0, 400}, {1, 101, 0, STATUS_BURNED, 50},
        {3, 30, 2, STATUS_PARALYZED, 15}, {3, 30, 0, STATUS_BURNED, 30}, {5, 60, -2, STATUS_PARALYZED, 30}};
    for (const auto &[stat, value, stage, status, expected] : cases)
        for (int side : {1, 2}) {
            ownedvorl &v = side == 1 ? Own() : wildvorlet;
            SetStats(v, value, 50), v.status = status;
            (side == 1 ? battleinfo.ownstages : battleinfo.enemystages)[stat - 1] = (int8_t)stage;
            EXPECT_EQ(ModifiedStat(side, stat), expected) << stat << " " << stage << " " << side;
        }
}

TEST_F(BattleTest, DamageFollowsTheChartTheCapAndTheSpreadAndCriticalHitsIgnoreHarmfulStages) {
    // Level, defender, move, attack, defence, their stages, status, focus,
    // the critical and the spread draw; atkval, defval, damage and damage2
    // as logged; the result. A critical hit is a draw up to 16, 31 when
    // focused, 63 for a high-critical move, 84 for both.
    const int cases[][16] = {
        {10, KINDLET, 4, 20, 10, 0, 0, 0, 0, 17, 0, 20, 10, 11, 11, 9},
        {10, KINDLET, 4, 20, 10, 0, 0, 0, 0, 17, 37, 20, 10, 11, 11, 10},
        {10, SPROUTMITE, 48, 50, 50, 0, 0, 0, 0, 254, 37, 50, 50, 24, 24, 23},  // twice weak
        {10, PYROGAUNT, 48, 50, 50, 0, 0, 0, 0, 254, 37, 50, 50, 1, 1, 0},      // twice resisting
        {10, KINDLET, 27, 50, 50, 0, 0, 0, 0, 254, 37, 50, 50, 12, 12, 11},     // one type counts once
        {10, BARROWISP, 1, 50, 50, 0, 0, 0, 0, 254, 37, 50, 50, 0, 0, 0},
        {100, RILLFIN, 1, 999, 0, 0, 0, 0, 0, 254, 37, 999, 1, 29372, 999, 995},
        {10, RILLFIN, 1, 50, 50, -2, 3, 0, 0, 16, 37, 50, 50, 12, 12, 11},
        {10, RILLFIN, 1, 50, 50, 2, -2, 0, 0, 16, 37, 100, 25, 36, 36, 35},
        {10, RILLFIN, 1, 50, 50, -2, 0, STATUS_BURNED, 0, 16, 37, 25, 50, 8, 8, 7},
        {10, RILLFIN, 1, 50, 50, 0, 0, 0, 1, 31, 37, 50, 50, 12, 12, 11},
        {10, RILLFIN, 1, 50, 50, 0, 0, 0, 1, 32, 37, 50, 50, 6, 6, 5},
        {10, RILLFIN, 2, 50, 50, 0, 0, 0, 0, 63, 37, 50, 50, 14, 14, 13},
        {10, RILLFIN, 2, 50, 50, 0, 0, 0, 0, 64, 37, 50, 50, 7, 7, 6},
        {10, RILLFIN, 2, 50, 50, 0, 0, 0, 1, 84, 37, 50, 50, 14, 14, 13},
        {10, RILLFIN, 2, 50, 50, 0, 0, 0, 1, 85, 37, 50, 50, 7, 7, 6},
    };
    for (const auto &[level, species, move, atk, def, atkstage, defstage, status, focus, critdraw, draw, a, d, damage,
                      capped, result] : cases) {
        Begin(RILLFIN, level, species, 5);
        SetStats(Own(), atk, 50), SetStats(wildvorlet, def, 50), Own().status = status;
        battleinfo.ownstages[0] = (int8_t)atkstage, battleinfo.enemystages[1] = (int8_t)defstage;
        battleinfo.ownfocus = (uint8_t)focus;
        Draws({critdraw, draw});
        Spaces(1);
        EXPECT_EQ(BattleDoDamage(Own(), wildvorlet, move, 1), result) << species << " " << move << " " << critdraw;
        EXPECT_EQ(LogLines().back(),
                  Format("Program debug: atkval %d and defval %d with damage %d and damage2 %d", a, d, damage, capped));
    }
}

// using a move

TEST_F(BattleTest, MovesShowTheirMessagesInOrderAndLeaveTheirMark) {
    ownedvorl &o = MainPlayer.owned[0], &f = wildvorlet;
    battlerecord &b = battleinfo;
    const int BRN = STATUS_BURNED, PSN = STATUS_POISONED, PAR = STATUS_PARALYZED, SLP = STATUS_ASLEEP,
              FRZ = STATUS_FROZEN;
    const std::vector<int> hit = {254, 0, 0};  // no critical hit, the low spread, a hit
    auto none = [] {};
    auto yes = [] { return true; };
    // Side, move, set-up, draws, the messages joined by | with * for the
    // attacker's "used" line, and the state left.
    const std::tuple<int, int, std::function<void()>, std::vector<int>, std::string, std::function<bool()>> cases[] = {
        {1, 1, [&] { o.status = STATUS_FAINTED; }, {}, "", [&] { return o.moves[0].pp == 10; }},
        {1, 1, [&] { o.status = FRZ; }, {2, 254, 0, 0}, "Kindlet thawed!|*", [&] { return o.status == 0; }},
        {1, 1, [&] { o.status = FRZ; }, {3}, "Kindlet is frozen solid!", [&] { return o.moves[0].pp == 10; }},
        {1, 172, [&] { o.status = FRZ; }, {2}, "Kindlet is frozen solid!", [&] { return o.status == FRZ; }},
        {1, 1, [&] { o.status = PAR; }, {2}, "Kindlet is fully paralyzed!", yes},
        {1, 1, [&] { o.status = PAR; }, {1, 254, 0, 0}, "*", yes},
        {1, 1, [&] { o.status = SLP, b.ownsleep = 2; }, hit, "*", [&] { return b.ownsleep == 1 && o.status == SLP; }},
        {1, 173, [&] { o.status = SLP, b.ownsleep = 2; }, {}, "Kindlet is fast asleep!", yes},
        {1, 1, [&] { o.status = SLP, b.ownsleep = 1; }, hit, "Kindlet woke up!|*", [&] { return o.status == 0; }},
        {2, 1, [&] { f.status = SLP, b.enemysleep = 2; }, {}, "Rillfin is fast asleep!", [&] { return b.enemysleep == 1; }},
        {1, 86, [] { Foe(BARROWISP); }, {0}, "*|It didn't affect Barrowisp!", [&] { return f.status == 0; }},
        {1, 24, [] { Foe(BARROWISP); }, {254, 0}, "*|It didn't affect Barrowisp!", yes},
        {1, 77, [] { Foe(TIDEHELM); }, {0}, "*|It didn't affect Tidehelm!", [&] { return f.status == 0; }},
        {1, 49, [] { Foe(BARROWISP); }, {0}, "*", [&] { return f.hp == 75; }},
        {1, 48, [&] { f.status = FRZ; }, hit, "*|It's not very effective!|Rillfin thawed!", [&] { return f.status == 0; }},
        {1, 48, [] { Foe(SPROUTMITE); }, hit, "*|It's super effective!|It's super effective!", yes},
        {1, 4, [] { Foe(WRENLET); }, hit, "*", yes},
        {1, 29, [] { Foe(PYROGAUNT); }, hit, "*", yes},
        {2, 96, [&] { b.enemystages[0] = 6; }, {0, 0}, "*|Enemy Rillfin's attack rose!|But it didn't work",
         [&] { return b.enemystages[0] == 6; }},
        {1, 39, [&] { b.enemystages[1] = -6; }, {0, 0}, "*|Enemy Rillfin's defense fell!|But it didn't work",
         [&] { return b.enemystages[1] == -6; }},
        {2, 230, none, {0, 0}, "*|Kindlet's evasion fell!", [&] { return b.ownevasion == -1 && f.moves[0].pp == 9; }},
        {1, 116, none, {0, 0}, "*|Kindlet is getting focused.", [&] { return b.ownfocus == 1; }},
        {1, 116, [&] { b.ownfocus = 1; }, {0, 0}, "*|Kindlet is getting focused.|But it failed!", yes},
        // The status effects, the chance at its edge, and the types they spare.
        {1, 7, none, {254, 0, 0, 25}, "*|It's not very effective!", [&] { return f.status == BRN; }},
        {1, 7, none, {254, 0, 0, 26}, "*|It's not very effective!", [&] { return f.status == 0; }},
        {1, 7, [] { Foe(KINDLET); }, {254, 0, 0, 0}, "*|It's not very effective!", [&] { return f.status == 0; }},
        {1, 8, none, {254, 0, 0, 0}, "*|It's not very effective!", [&] { return f.status == FRZ; }},
        {1, 77, none, {0, 0}, "*", [&] { return f.status == PSN; }},
        {1, 86, none, {0, 0}, "*", [&] { return f.status == PAR; }},
        {1, 47, none, {0, 0, 3}, "*", [&] { return f.status == SLP && b.enemysleep == 4; }},
        {1, 77, [&] { f.status = SLP; }, {0, 0}, "*", [&] { return f.status == SLP; }},
        // Accuracy and evasion: a miss spends the move.
        {2, 47, none, {141}, "*|Enemy Rillfin missed", [&] { return f.moves[0].pp == 9; }},
        {1, 47, [&] { b.ownaccuracy = -3; }, {71}, "*|Kindlet missed!", [&] { return o.moves[0].pp == 9; }},
        {1, 12, [&] { b.enemyevasion = -3; }, {254, 0, 254}, "*", [&] { return f.hp < 100; }},
        {1, 114, [&] { b.ownaccuracy = -6; }, {254, 0, 200}, "*", [] { return random(255) == 200; }},  // no hit roll
        {1, 12, none, {0, 0, 254}, "*|It's a critical hit!|Kindlet missed!", [&] { return f.hp == 100; }},
        // Fainting: the award, half as much again for a creature from another trainer; the blackout.
        {1, 1, [&] { f.hp = 1, f.level = 10; }, hit, "*|Enemy Rillfin fainted!",
         [&] { return o.exp == ExpNeededForLevel(20, KINDLET) + 91 && f.status == STATUS_FAINTED && !b.participated[0]; }},
        {1, 1, [&] { f.hp = 1, f.level = 10, o.otid = 7; }, hit, "*|Enemy Rillfin fainted!",
         [&] { return o.exp == ExpNeededForLevel(20, KINDLET) + 137 && currentgamestate == GAMESTATE_OVERWORLD; }},
        {2, 1, [&] { o.hp = 1; }, hit, "*|Kindlet fainted!|Tobrin blacked out!",
         [&] { return o.hp == o.maxhp && o.status == 0 && currentgamestate == GAMESTATE_OVERWORLD; }},
    };
    for (const auto &[side, move, setup, draws, said, after] : cases) {
        Begin(KINDLET, 20, RILLFIN, 20);
        SetStats(o, 40, 100), SetStats(f, 40, 100);
        o.moves[0] = f.moves[0] = {move, 10, 10};
        b.playermove = b.enemymove = move;
        setup();
        texts.clear();
        Draws(draws);
        Spaces(6);
        BattleUseAttack(side);
        std::string shown, used = Format(side == 1 ? "Kindlet used %s!" : "Enemy Rillfin used %s!", MoveData[move].name);
        for (const std::string &t : texts) shown += (shown.empty() ? "" : "|") + (t == used ? "*" : t);
        EXPECT_EQ(shown, said) << MoveData[move].name;
        EXPECT_TRUE(after()) << said;
        EXPECT_EQ(QueuedRandomDraws(), 0) << said;
        ClearRandomDraws();
    }
    for (auto [effect, type] : {std::pair(3, TYPE_FIRE), std::pair(4, TYPE_ICE), std::pair(13, TYPE_POISON)}) {
        EXPECT_TRUE(StatusResisted(effect, type, TYPE_BUG) && StatusResisted(effect, TYPE_BUG, type)) << effect;
        EXPECT_FALSE(StatusResisted(effect, TYPE_BUG, TYPE_BUG) || StatusResisted(5, type, type)) << effect;
    }
}

// turns

TEST_F(BattleTest, TurnsGoByPriorityThenLowerSpeedAndStopWhenTheBattleEnds) {
    // The wild creature's moves, the player's slot, speed and HP, the foe's
    // HP, the draws before the moves' own, and the messages.
    const std::tuple<std::vector<int>, int, int, int, int, std::vector<int>, Texts> cases[] = {
        {{164}, 0, 10, 500, 500, {0}, {"Enemy Rillfin used Sly Lunge!", "Kindlet used Nudge!"}},
        {{1}, 0, 10, 500, 500, {0}, {"Kindlet used Nudge!", "Enemy Rillfin used Nudge!"}},
        {{1}, 0, 30, 500, 500, {0}, {"Enemy Rillfin used Nudge!", "Kindlet used Nudge!"}},
        {{1}, 0, 20, 500, 500, {0, 0}, {"Kindlet used Nudge!", "Enemy Rillfin used Nudge!"}},
        {{1, 164}, 0, 10, 500, 500, {3}, {"Enemy Rillfin used Sly Lunge!", "Kindlet used Nudge!"}},  // 3 % 2
        {{}, 4, 10, 500, 500, {}, {"Kindlet used Wild Flail!", "Enemy Rillfin used Wild Flail!"}},
        {{1}, 0, 10, 500, 1, {0}, {"Kindlet used Nudge!", "Enemy Rillfin fainted!"}},
        {{164}, 0, 10, 1, 500, {0}, {"Enemy Rillfin used Sly Lunge!", "Kindlet fainted!", "Tobrin blacked out!"}},
    };
    for (const auto &[enemymoves, slot, speed, ownhp, foehp, before, said] : cases) {
        Begin(KINDLET, 50, RILLFIN, 10);
        SetStats(Own(), 40, ownhp), SetStats(wildvorlet, 40, foehp), Own().speed = speed, wildvorlet.speed = 20;
        Own().moves[0] = {1, 10, 10};
        for (int i = 0; i < MOVESLOTS; i++) wildvorlet.moves[i] = {i < (int)enemymoves.size() ? enemymoves[i] : 0, 10, 10};
        battleinfo.enemymovecount = (uint8_t)enemymoves.size();
        battleinfo.playerchose = 1, battleinfo.playerslot = (uint8_t)slot;
        texts.clear();
        std::vector<int> draws = before;
        for (const std::string &t : said)  // each move used: no critical hit, the low spread, a hit
            if (t.find(" used ") != t.npos) draws.insert(draws.end(), {254, 0, 0});
        Draws(draws);
        Spaces(6);
        BattleAttack();
        EXPECT_EQ(texts, said);
        EXPECT_EQ(QueuedRandomDraws(), 0) << said[0];
        EXPECT_EQ(Own().moves[0].pp, slot == 0 && ownhp > 1 ? 9 : 10) << said[0];
        ClearRandomDraws();
    }
    texts.clear();
    Draws({0});
    BattleAttack();
    EXPECT_TRUE(texts.empty() && QueuedRandomDraws() == 1) << "no turn once the battle has ended";
}
