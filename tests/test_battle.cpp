// Battles: the start and its refusals, running, the battle screen by its
// pixels, stages and damage, moves as the messages they show and the state
// they leave, and whole turns.
#include <algorithm>
#include <filesystem>
#include <functional>

#include "tests/harness/testsupport.h"

namespace {

enum { KINDLET = 1, PYROGAUNT = 3, RILLFIN = 4, TIDEHELM = 5, WRENLET = 6, SPROUTMITE = 13, BARROWISP = 15 };
using Texts = std::vector<std::string>;

void SetStats(ownedvorl &vorlet, int value, int hp) {
    vorlet.attack = vorlet.defense = vorlet.speed = vorlet.spattack = vorlet.spdefense = value;
    vorlet.maxhp = vorlet.hp = hp;
}

void Foe(int species) {
    wildvorlet.species = species;
    wildvorlet.nickname = VrltData[species].name;
}

void WritePicture(const std::string &path, int size, int colour) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    BITMAP *picture = create_bitmap(size, size);
    clear_to_color(picture, colour);
    save_bitmap(path.c_str(), picture, nullptr);
    destroy_bitmap(picture);
}

std::string DamageLine() {
    std::string found;
    for (const std::string &line : LogLines())
        if (line.find("atkval") != std::string::npos) found = line;
    return found;
}

}  // namespace

// starting, running

TEST_F(BattleTest, WhatCannotBeFoughtStartsNoBattle) {
    Begin(KINDLET, 5, RILLFIN, 5);
    currentgamestate = GAMESTATE_OVERWORLD;
    const struct {
        int type, id, level;
        const char *line;
    } cases[] = {
        {1, 0, 5, "Major Project error: A wild battle was possible with a Vorlet number of 0!!"},
        {3, 1, 5, "Major Program error: Unrecognised battletype!"},
        {1, 16, 5, "Major Project error: Species 16 is not a Vorlet of this game (1 to 15); no Vorlet was made"},
        {1, 4, 0, "Major Project error: Level 0 for a Rillfin is outside 1 to 100; no Vorlet was made"},
    };
    for (const auto &c : cases) {
        SetUpLog();
        Draws({5, 5, 5, 5, 5});
        StartBattle(c.type, c.id, c.level);
        Texts lines = LogLinesAfterBanner();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], BattleFormat("Program: Entering a battletype %d, id %d and level %d", c.type, c.id, c.level));
        EXPECT_EQ(lines[1], c.line);
        EXPECT_EQ(currentgamestate, GAMESTATE_OVERWORLD) << c.line;
        EXPECT_EQ(QueuedRandomDraws(), 5) << "nothing was built: " << c.line;
        ClearRandomDraws();
    }
    EXPECT_EQ(battleinfo.enemymovecount, 3);
    EXPECT_TRUE(texts.empty());
}

TEST_F(BattleTest, StartSendsOutTheFirstCreatureWithHpAfterTwoConfirmedScreens) {
    const int front = makecol(200, 40, 40), back = makecol(40, 40, 200);
    const char *const last[] = {"Program: Entering a battletype 1, id 4 and level 5",
                                "Breaking Program error: Enemy Vorlet picture does not exist!!",
                                "Breaking Program error: Own Vorlet back picture does not exist!!"};
    for (int missing : {1, 2, 0}) {
        WritePicture("brel/4g.bmp", 56, front);
        WritePicture("brelb/1gb.bmp", 48, back);
        if (missing) std::filesystem::remove(missing == 1 ? "brel/4g.bmp" : "brelb/1gb.bmp");
        CreateVorlet(MainPlayer.owned[0], RILLFIN, 5, VORLET_PLAYER, "Route 0");
        CreateVorlet(MainPlayer.owned[1], KINDLET, 5, VORLET_PLAYER, "Route 0");
        MainPlayer.owned[0].hp = 0;
        MainPlayer.owned[1].status = STATUS_ASLEEP;
        MainPlayer.partycount = 2;
        texts.clear();
        SetUpLog();
        Draws({0, 0, 0, 0, 2});
        Spaces(2);
        StartBattle(BATTLETYPE_WILD, RILLFIN, 5);
        EXPECT_EQ(currentgamestate, GAMESTATE_BATTLE);
        EXPECT_EQ(battleinfo.activeslot, 1);
        EXPECT_EQ(std::vector<int>(battleinfo.participated, battleinfo.participated + 6),
                  std::vector<int>({0, 1, 0, 0, 0, 0}));
        EXPECT_EQ(battleinfo.ownsleep, 3);
        EXPECT_EQ(battleinfo.enemymovecount, 3);
        EXPECT_EQ(LogLinesAfterBanner().back(), last[missing]);
        Texts said = {"Wild Rillfin appeared", "Tobrin send out Kindlet!"};
        EXPECT_EQ(texts, missing == 1 ? Texts({said[0]}) : said);
    }
    EXPECT_EQ(getpixel(screen, 230 + 111, 5 + 111), front) << "the front picture doubled";
    EXPECT_EQ(getpixel(screen, 5 + 95, 170 + 95), back) << "the back picture doubled";
    EXPECT_EQ(getpixel(screen, 5, 5), blkclr) << "the enemy's box on the second screen";
}

TEST_F(BattleTest, RunningEndsOnlyAWildBattle) {
    Begin(KINDLET, 5, RILLFIN, 5);
    for (int type : {BATTLETYPE_TRAINER, BATTLETYPE_WILD}) {
        currbattletype = type;
        texts.clear();
        Spaces(1);
        RunFromBattle(1);
        EXPECT_EQ(texts, Texts({type == 1 ? "Tobrin ran away!" : "No! There's no running from a trainer battle!"}));
        EXPECT_EQ(currentgamestate, type == 1 ? GAMESTATE_OVERWORLD : GAMESTATE_BATTLE);
    }
}

// the battle screen

TEST_F(BattleTest, BarsShowTheirShareInLengthAndColour) {
    Begin(KINDLET, 5, RILLFIN, 5);
    const int green = makecol(0, 255, 0), orange = makecol(255, 128, 0), red = makecol(255, 0, 0);
    const struct {
        int p, colour;
    } cases[] = {{100, green}, {50, green}, {49, orange}, {25, orange}, {24, red}, {0, red}};
    for (const auto &c : cases) {
        wildvorlet.maxhp = Own().maxhp = 200;
        wildvorlet.hp = Own().hp = c.p * 2;
        DrawBattleNoText();
        for (int x0 : {12, 237}) {  // the enemy's bar, the player's bar
            int y0 = x0 == 12 ? 32 : 227;
            for (int y : {y0, y0 + 5})
                for (int x : {x0, x0 + c.p, x0 + c.p + 1})
                    EXPECT_EQ(getpixel(battlebackbuffer, x, y), x > x0 + c.p ? whtclr : c.colour) << c.p;
            EXPECT_EQ(getpixel(battlebackbuffer, x0, y0 - 1), whtclr);
            EXPECT_EQ(getpixel(battlebackbuffer, x0, y0 + 6), whtclr);
        }
    }
    // Experience: at the level's threshold a one-pixel line, half way half, full at the top level.
    const struct {
        int level, exp, end;
    } exps[] = {{5, 135, 237}, {5, (135 + 179) / 2, 287}, {100, 1059860, 337}};
    wildvorlet.maxhp = 0;
    for (const auto &c : exps) {
        Own().level = c.level, Own().exp = c.exp;
        DrawBattleNoText();
        EXPECT_EQ(getpixel(battlebackbuffer, c.end, 252), makecol(0, 0, 255)) << c.level;
        EXPECT_EQ(getpixel(battlebackbuffer, c.end + 1, 252), whtclr) << c.level;
        EXPECT_EQ(getpixel(battlebackbuffer, 12, 34), whtclr) << "no HP at all draws an empty bar";
    }
}

TEST_F(BattleTest, BoxesAndMenusShowTheirTexts) {
    Begin(KINDLET, 5, RILLFIN, 5);
    // Kindlet is female below attack value 2; Barrowisp has no gender.
    const struct {
        int species, atkiv, status;
        const char *line;
    } cases[] = {{KINDLET, 1, STATUS_BURNED, "BRN :L5 F"}, {KINDLET, 2, 0, "  :L5 M"},
                 {BARROWISP, 0, STATUS_FROZEN, "FRZ :L5  "}};
    for (const auto &c : cases) {
        for (ownedvorl *v : {&wildvorlet, &Own()}) v->species = c.species, v->atkiv = c.atkiv, v->status = c.status;
        DrawBattleNoText();
        EXPECT_TRUE(Shows(6, 6, 119, 29, {{VrltData[c.species].name, 10, 10}, {c.line, 115, 20, true}})) << c.line;
        EXPECT_TRUE(Shows(231, 201, 344, 224, {{"Kindlet", 235, 205}, {c.line, 340, 215, true}})) << c.line;
    }
    Own().moves[0] = {1, 35, 30};
    Own().moves[1] = {27, 30, 30};
    Own().moves[2] = {0, 0, 0};
    Own().moves[3] = {24, 30, 30};  // after an empty slot: not listed
    battleinfo.menupage = 1;
    DrawBattle();
    EXPECT_TRUE(Shows(3, 271, 349, 349,
                      {{"What should Kindlet use?", 5, 275}, {"1. Nudge", 5, 300}, {"30/35", 120, 300},
                       {"Normal", 200, 300}, {"2. Spritz", 5, 310}, {"30/30", 120, 310}, {"Water", 200, 310},
                       {"5. Cancel", 5, 340}}));
    battleinfo.menupage = 0;
    currbattletype = BATTLETYPE_TRAINER;
    DrawBattle();
    EXPECT_TRUE(Shows(3, 271, 349, 349,
                      {{"What should Kindlet do?", 5, 275}, {"1. Fight", 5, 300}, {"2. Vorlet", 5, 310},
                       {"3. Pack", 5, 320}, {"4. Run", 5, 330}}));
    EXPECT_TRUE(Shows(1, 1, 229, 150, {})) << "a trainer battle has no enemy box";
}

// stages and damage

TEST_F(BattleTest, StagesScaleAStatAndBurnAndParalysisCutIt) {
    Begin(KINDLET, 5, RILLFIN, 5);
    const struct {
        int stat, value, stage, status, expected;
    } cases[] = {{1, 100, -1, 0, 66}, {1, 100, 1, 0, 150}, {1, 100, -6, 0, 25}, {1, 100, 6, 0, 400},
                 {1, 101, 0, STATUS_BURNED, 50}, {3, 30, 2, STATUS_PARALYZED, 15}, {3, 30, 0, STATUS_BURNED, 30},
                 {5, 60, -2, STATUS_PARALYZED, 30}};
    for (const auto &c : cases)
        for (int side : {1, 2}) {
            ownedvorl &v = side == 1 ? Own() : wildvorlet;
            SetStats(v, c.value, 50);
            v.status = c.status;
            (side == 1 ? battleinfo.ownstages : battleinfo.enemystages)[c.stat - 1] = (int8_t)c.stage;
            EXPECT_EQ(ModifiedStat(side, c.stat), c.expected) << c.stat << " " << c.stage;
        }
}

TEST_F(BattleTest, DamageFollowsTheChartTheCapAndTheSpreadAndCriticalHitsIgnoreHarmfulStages) {
    const struct {
        int level, species, move, atk, def, atkstage, defstage, status, critdraw, draw;
        const char *line;
        int result;
    } cases[] = {
        {10, KINDLET, 4, 20, 10, 0, 0, 0, 254, 0, "atkval 20 and defval 10 with damage 11 and damage2 11", 9},
        {10, KINDLET, 4, 20, 10, 0, 0, 0, 254, 37, "atkval 20 and defval 10 with damage 11 and damage2 11", 10},
        {10, SPROUTMITE, 48, 50, 50, 0, 0, 0, 254, 37, "atkval 50 and defval 50 with damage 24 and damage2 24", 23},
        {10, PYROGAUNT, 48, 50, 50, 0, 0, 0, 254, 37, "atkval 50 and defval 50 with damage 1 and damage2 1", 0},
        {10, KINDLET, 27, 50, 50, 0, 0, 0, 254, 37, "atkval 50 and defval 50 with damage 12 and damage2 12", 11},
        {10, BARROWISP, 1, 50, 50, 0, 0, 0, 254, 37, "atkval 50 and defval 50 with damage 0 and damage2 0", 0},
        {100, RILLFIN, 1, 999, 0, 0, 0, 0, 254, 37, "atkval 999 and defval 1 with damage 29372 and damage2 999", 995},
        {10, RILLFIN, 1, 50, 50, -2, 3, 0, 0, 37, "atkval 50 and defval 50 with damage 12 and damage2 12", 11},
        {10, RILLFIN, 1, 50, 50, -2, 3, 0, 254, 37, "atkval 25 and defval 125 with damage 2 and damage2 2", 1},
        {10, RILLFIN, 1, 50, 50, 2, -2, 0, 0, 37, "atkval 100 and defval 25 with damage 36 and damage2 36", 35},
        {10, RILLFIN, 1, 50, 50, -2, 0, STATUS_BURNED, 0, 37, "atkval 25 and defval 50 with damage 8 and damage2 8", 7},
    };
    for (const auto &c : cases) {
        Begin(RILLFIN, c.level, c.species, 5);
        SetStats(Own(), c.atk, 50);
        SetStats(wildvorlet, c.def, 50);
        Own().status = c.status;
        battleinfo.ownstages[0] = (int8_t)c.atkstage;
        battleinfo.enemystages[1] = (int8_t)c.defstage;
        Draws({c.critdraw, c.draw});
        Spaces(1);
        EXPECT_EQ(BattleDoDamage(Own(), wildvorlet, c.move, 1), c.result) << c.line;
        EXPECT_EQ(DamageLine(), std::string("Program debug: ") + c.line);
    }
    // side, focus, move (1 ordinary, 2 high-critical), the highest draw that is a critical hit
    const int chances[][4] = {{1, 0, 1, 16}, {2, 1, 1, 31}, {1, 0, 2, 63}, {1, 1, 2, 84}};
    for (const auto &c : chances)
        for (int draw : {c[3], c[3] + 1}) {
            Begin(RILLFIN, 10, RILLFIN, 10);
            (c[0] == 1 ? battleinfo.ownfocus : battleinfo.enemyfocus) = (uint8_t)c[1];
            texts.clear();
            Draws({draw, 0});
            Spaces(1);
            BattleDoDamage(Own(), wildvorlet, c[2], c[0]);
            EXPECT_EQ(texts, draw == c[3] ? Texts({"It's a critical hit!"}) : Texts()) << c[2] << " " << draw;
        }
}

// using a move

TEST_F(BattleTest, MovesShowTheirMessagesInOrderAndLeaveTheirMark) {
    ownedvorl &own = MainPlayer.owned[0], &foe = wildvorlet;
    battlerecord &b = battleinfo;
    const std::vector<int> hit = {254, 0, 0};  // no critical hit, the low spread, a hit
    auto none = [] {};
    auto yes = [] { return true; };
    const struct {
        int side, move;
        std::function<void()> setup;
        std::vector<int> draws;
        const char *said;  // the messages, joined by |
        std::function<bool()> after;
    } cases[] = {
        {1, 1, [&] { own.status = STATUS_FAINTED; }, {}, "", [&] { return own.moves[0].pp == 10; }},
        {1, 1, [&] { own.status = STATUS_FROZEN; }, {2, 254, 0, 0}, "Kindlet thawed!|Kindlet used Nudge!",
         [&] { return own.status == 0 && foe.hp < 100; }},
        {1, 172, [&] { own.status = STATUS_FROZEN; }, {2}, "Kindlet is frozen solid!",
         [&] { return own.status == STATUS_FROZEN && own.moves[0].pp == 10; }},
        {1, 1, [&] { own.status = STATUS_PARALYZED; }, {2}, "Kindlet is fully paralyzed!", yes},
        {1, 1, [&] { own.status = STATUS_PARALYZED; }, {1, 254, 0, 0}, "Kindlet used Nudge!", yes},
        {1, 1, [&] { own.status = STATUS_ASLEEP, b.ownsleep = 2; }, hit, "Kindlet used Nudge!",
         [&] { return b.ownsleep == 1 && own.status == STATUS_ASLEEP; }},
        {1, 173, [&] { own.status = STATUS_ASLEEP, b.ownsleep = 2; }, {}, "Kindlet is fast asleep!", yes},
        {1, 1, [&] { own.status = STATUS_ASLEEP, b.ownsleep = 1; }, hit, "Kindlet woke up!|Kindlet used Nudge!",
         [&] { return own.status == 0; }},
        {2, 1, [&] { foe.status = STATUS_ASLEEP, b.enemysleep = 2; }, {}, "Rillfin is fast asleep!",
         [&] { return b.enemysleep == 1; }},
        {1, 39, none, {0, 0}, "Kindlet used Hard Stare!|Enemy Rillfin's defense fell!",
         [&] { return b.enemystages[1] == -1 && own.moves[0].pp == 9 && foe.hp == 100; }},
        {1, 86, [] { Foe(BARROWISP); }, {0}, "Kindlet used Numbing Hum!|It didn't affect Barrowisp!",
         [&] { return foe.status == 0; }},
        {1, 24, [] { Foe(BARROWISP); }, {254, 0}, "Kindlet used Jolt!|It didn't affect Barrowisp!", yes},
        {1, 77, [] { Foe(TIDEHELM); }, {0}, "Kindlet used Blight Dust!|It didn't affect Tidehelm!",
         [&] { return foe.status == 0; }},
        {1, 49, [] { Foe(BARROWISP); }, {0}, "Kindlet used Echo Knock!", [&] { return foe.hp == 75; }},
        {1, 48, [&] { foe.status = STATUS_FROZEN; }, hit,
         "Kindlet used Flicker!|It's not very effective!|Rillfin thawed!", [&] { return foe.status == 0; }},
        {1, 48, [] { Foe(SPROUTMITE); }, hit, "Kindlet used Flicker!|It's super effective!|It's super effective!", yes},
        {1, 4, [] { Foe(WRENLET); }, hit, "Kindlet used Knuckle Rap!", yes},
        {1, 29, [] { Foe(PYROGAUNT); }, hit, "Kindlet used Leaf Flick!", yes},
        {2, 96, [&] { b.enemystages[0] = 6; }, {0, 0},
         "Enemy Rillfin used War Cry!|Enemy Rillfin's attack rose!|But it didn't work",
         [&] { return b.enemystages[0] == 6; }},
        {1, 39, [&] { b.enemystages[1] = -6; }, {0, 0},
         "Kindlet used Hard Stare!|Enemy Rillfin's defense fell!|But it didn't work",
         [&] { return b.enemystages[1] == -6; }},
        {2, 230, none, {0, 0}, "Enemy Rillfin used Pinpoint!|Kindlet's evasion fell!",
         [&] { return b.ownevasion == -1; }},
        {1, 116, none, {0, 0}, "Kindlet used Hone Focus!|Kindlet is getting focused.", [&] { return b.ownfocus == 1; }},
        {1, 116, [&] { b.ownfocus = 1; }, {0, 0}, "Kindlet used Hone Focus!|Kindlet is getting focused.|But it failed!",
         yes},
        {1, 7, none, {254, 0, 0, 25}, "Kindlet used Searing Paw!|It's not very effective!",
         [&] { return foe.status == STATUS_BURNED; }},
        {1, 7, none, {254, 0, 0, 26}, "Kindlet used Searing Paw!|It's not very effective!",
         [&] { return foe.status == 0; }},
        {1, 7, [] { Foe(KINDLET); }, {254, 0, 0, 0}, "Kindlet used Searing Paw!|It's not very effective!",
         [&] { return foe.status == 0; }},
        {1, 8, none, {254, 0, 0, 0}, "Kindlet used Frost Knock!|It's not very effective!",
         [&] { return foe.status == STATUS_FROZEN; }},
        {1, 77, none, {0, 0}, "Kindlet used Blight Dust!", [&] { return foe.status == STATUS_POISONED; }},
        {1, 47, none, {0, 0, 3}, "Kindlet used Hush Song!",
         [&] { return foe.status == STATUS_ASLEEP && b.enemysleep == 4; }},
        {1, 86, [&] { foe.status = STATUS_ASLEEP; }, {0, 0}, "Kindlet used Numbing Hum!",
         [&] { return foe.status == STATUS_ASLEEP; }},
        {2, 47, none, {141}, "Enemy Rillfin used Hush Song!|Enemy Rillfin missed", [&] { return foe.moves[0].pp == 9; }},
        {1, 47, [&] { b.ownaccuracy = -3; }, {71}, "Kindlet used Hush Song!|Kindlet missed!", yes},
        {1, 12, [&] { b.enemyevasion = -3; }, {254, 0, 254}, "Kindlet used Sky Lance!", [&] { return foe.hp < 100; }},
        {1, 114, none, {254, 0}, "Kindlet used Homing Dart!", yes},
        {1, 12, none, {0, 0, 254}, "Kindlet used Sky Lance!|It's a critical hit!|Kindlet missed!",
         [&] { return foe.hp == 100; }},
        {1, 1, [&] { foe.hp = 1, foe.level = 10; }, hit, "Kindlet used Nudge!|Enemy Rillfin fainted!",
         [&] { return own.exp == ExpNeededForLevel(20, KINDLET) + 91 && foe.hp == 0 && foe.status == STATUS_FAINTED && b.participated[0] == 0; }},
        {1, 1, [&] { foe.hp = 1, foe.level = 10, own.otid = 7; }, hit, "Kindlet used Nudge!|Enemy Rillfin fainted!",
         [&] { return own.exp == ExpNeededForLevel(20, KINDLET) + 137 && currentgamestate == GAMESTATE_OVERWORLD; }},
        {2, 1, [&] { own.hp = 1; }, hit, "Enemy Rillfin used Nudge!|Kindlet fainted!|Tobrin blacked out!",
         [&] { return own.hp == own.maxhp && own.status == 0 && currentgamestate == GAMESTATE_OVERWORLD; }},
    };
    for (const auto &c : cases) {
        Begin(KINDLET, 20, RILLFIN, 20);
        SetStats(own, 40, 100);
        SetStats(foe, 40, 100);
        own.moves[0] = foe.moves[0] = {c.move, 10, 10};
        b.playermove = b.enemymove = c.move;
        c.setup();
        texts.clear();
        Draws(c.draws);
        Spaces(6);
        BattleUseAttack(c.side);
        std::string said;
        for (const std::string &t : texts) said += (said.empty() ? "" : "|") + t;
        EXPECT_EQ(said, c.said);
        EXPECT_TRUE(c.after()) << c.said;
        EXPECT_EQ(QueuedRandomDraws(), 0) << c.said;
        ClearRandomDraws();
    }
    const int resisted[][2] = {{3, TYPE_FIRE}, {4, TYPE_ICE}, {13, TYPE_POISON}};
    for (const auto &r : resisted) {
        EXPECT_TRUE(StatusResisted(r[0], r[1], TYPE_BUG) && StatusResisted(r[0], TYPE_BUG, r[1])) << r[0];
        EXPECT_FALSE(StatusResisted(r[0], TYPE_BUG, TYPE_BUG) || StatusResisted(5, r[1], r[1])) << r[0];
    }
}

// turns

TEST_F(BattleTest, TurnsGoByPriorityThenLowerSpeedAndStopWhenTheBattleEnds) {
    const std::vector<int> two = {254, 0, 0, 254, 0, 0};  // both moves hit, no critical hit
    const struct {
        std::vector<int> enemymoves;
        int playerslot, ownspeed, ownhp, foehp;
        std::vector<int> draws;
        Texts said;
    } cases[] = {
        {{164}, 0, 10, 500, 500, {0}, {"Enemy Rillfin used Sly Lunge!", "Kindlet used Nudge!"}},
        {{1}, 0, 10, 500, 500, {0}, {"Kindlet used Nudge!", "Enemy Rillfin used Nudge!"}},
        {{1}, 0, 30, 500, 500, {0}, {"Enemy Rillfin used Nudge!", "Kindlet used Nudge!"}},
        {{1}, 0, 20, 500, 500, {0, 0}, {"Kindlet used Nudge!", "Enemy Rillfin used Nudge!"}},
        {{1, 164}, 0, 10, 500, 500, {1}, {"Enemy Rillfin used Sly Lunge!", "Kindlet used Nudge!"}},
        {{}, 4, 10, 500, 500, {}, {"Kindlet used Wild Flail!", "Enemy Rillfin used Wild Flail!"}},
        {{1}, 0, 10, 500, 1, {0}, {"Kindlet used Nudge!", "Enemy Rillfin fainted!"}},
        {{164}, 0, 10, 1, 500, {0}, {"Enemy Rillfin used Sly Lunge!", "Kindlet fainted!", "Tobrin blacked out!"}},
    };
    for (const auto &c : cases) {
        Begin(KINDLET, 50, RILLFIN, 10);
        SetStats(Own(), 40, c.ownhp);
        SetStats(wildvorlet, 40, c.foehp);
        Own().speed = c.ownspeed;
        wildvorlet.speed = 20;
        Own().moves[0] = {1, 10, 10};
        for (int i = 0; i < MOVESLOTS; i++)
            wildvorlet.moves[i] = {i < (int)c.enemymoves.size() ? c.enemymoves[i] : 0, 10, 10};
        battleinfo.enemymovecount = (uint8_t)c.enemymoves.size();
        battleinfo.playerchose = 1;
        battleinfo.playerslot = (uint8_t)c.playerslot;
        battleinfo.menupage = 1;
        texts.clear();
        std::vector<int> draws = c.draws;
        int used = (int)std::count_if(c.said.begin(), c.said.end(), [](auto &t) { return t.find(" used ") != t.npos; });
        draws.insert(draws.end(), two.begin(), two.begin() + 3 * used);
        Draws(draws);
        Spaces(6);
        BattleAttack();
        EXPECT_EQ(texts, c.said);
        EXPECT_EQ(QueuedRandomDraws(), 0) << c.said[0];
        EXPECT_EQ(battleinfo.menupage, 0);
        EXPECT_EQ(Own().moves[0].pp, c.playerslot == 0 && c.ownhp > 1 ? 9 : 10) << c.said[0];
        ClearRandomDraws();
    }
    texts.clear();
    BattleAttack();
    EXPECT_TRUE(texts.empty()) << "no turn once the battle has ended";
}
