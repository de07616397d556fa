// Experience from a won battle: sharing by party position, stat experience
// and its cap, level messages with stat tables and new moves, the replace
// prompt, the highest level, and the evolution check.
#include "tests/harness/testsupport.h"

enum { KINDLET = 1, RILLFIN = 4, WRENLET = 6, SCRAPLING = 9, SPROUTMITE = 13 };
using headless::keystep;

// Creatures of one species and level at the party positions, all having
// taken part; `party` gives each position's owned record.
static void Party(int species, const std::vector<int> &levels, std::vector<int> party = {0, 1, 2, 3, 4, 5}) {
    battleinfo = battlerecord(), MainPlayer.partycount = (int16_t)levels.size();
    for (int i = 0; i < PARTYMAX; i++) MainPlayer.party[i] = party[i];
    for (size_t i = 0; i < levels.size(); i++)
        CreateVorlet(MainPlayer.owned[party[i]], species, levels[i], VORLET_PLAYER, ""), battleinfo.participated[i] = 1;
}
static ownedvorl &At(int position) { return MainPlayer.owned[MainPlayer.party[position]]; }
static std::vector<int> StatExp(const ownedvorl &v) { return {v.atkexp, v.defexp, v.spdexp, v.spcexp, v.hpexp}; }

TEST_F(BattleTest, SharersSplitTheAwardAndStatExperience) {
    // Rillfin's base attack, defence, speed, special attack and defence, HP:
    // 46, 52, 48, 54, 56, 50; Sproutmite's 42, 40, 52, 44, 40, 38. A
    // creature at the highest level takes stat experience and no points.
    struct sharecase {
        std::vector<int> statuses, levels;
        int beaten, award;
        std::vector<int> gained, statexp;  // each position's points; each sharer's stat experience
    };
    const int F = STATUS_FAINTED;
    const sharecase cases[] = {
        {{0, F}, {50, 50}, RILLFIN, 45, {45, 0}, {46, 52, 48, 55, 50}},
        {{0, 0}, {50, 50}, RILLFIN, 45, {22, 22}, {23, 26, 24, 27, 25}},
        {{0, 0}, {100, 50}, RILLFIN, 45, {0, 22}, {23, 26, 24, 27, 25}},
        {{0, 0, 0}, {50, 50, 50}, SPROUTMITE, 45, {15, 15, 15}, {14, 13, 17, 13, 12}},  // special: (44 / 3 + 40 / 3) / 2
        {{0, 0, 0, 0, 0, 0}, {50, 50, 50, 50, 50, 50}, RILLFIN, 60, {10, 10, 10, 10, 10, 10}, {7, 8, 8, 9, 8}}};
    for (const sharecase &c : cases) {
        Party(KINDLET, c.levels, {5, 3, 1, 0, 2, 4});
        std::vector<int> before, gained;
        for (size_t i = 0; i < c.levels.size(); i++) At((int)i).status = c.statuses[i], before.push_back(At((int)i).exp);
        EXPECT_EQ(AddPlayerExp(c.beaten, c.award), 1);
        for (size_t i = 0; i < c.levels.size(); i++) {
            gained.push_back(At((int)i).exp - before[i]);
            EXPECT_EQ(StatExp(At((int)i)), c.statuses[i] ? std::vector<int>(5) : c.statexp) << i;
        }
        EXPECT_EQ(gained, c.gained);
        EXPECT_EQ(std::vector<int>(battleinfo.participated, battleinfo.participated + PARTYMAX), std::vector<int>(6));
    }
    for (int start : {65488, 65530}) {  // 65488 + 46 stays just below the cap
        Party(KINDLET, {50}), Own().atkexp = start, AddPlayerExp(RILLFIN, 0);
        EXPECT_EQ(Own().atkexp, start == 65488 ? 65534 : 65535);
    }
    // Nobody to share with: one did not take part, the other fainted.
    Party(KINDLET, {50, 50}), battleinfo.participated[0] = 0, MainPlayer.owned[1].status = STATUS_FAINTED, SetUpLog();
    const int exp = MainPlayer.owned[1].exp;
    EXPECT_EQ(AddPlayerExp(RILLFIN, 45), 0);
    EXPECT_EQ(LogLinesAfterBanner(), std::vector<std::string>{"Major Program error: Add experience called with expdivide is 0 ?!"});
    EXPECT_EQ(std::make_tuple(MainPlayer.owned[1].exp, StatExp(MainPlayer.owned[1]), battleinfo.participated[1]),
              std::make_tuple(exp, std::vector<int>(5), (uint8_t)1));
}

static std::vector<std::string> hpboxes;  // the player's HP numbers at each frame shown

// Scrapling at position 0 (owned record 1), with stat experience of its
// own in each stat, reaches exactly level 51's 159181 points: the level
// message while the old stats still show, then the table of old value, gain
// and new value, the grown flag by position.
TEST_F(BattleTest, ALevelShowsItsMessageThenTheTableOfEachStat) {
    Party(SCRAPLING, {50, 50}, {1, 0, 2, 3, 4, 5});
    ownedvorl &s = At(0);
    s.atkiv = 14, s.defiv = 0, s.spdiv = 7, s.spciv = 3, s.hpiv = 3, At(1).status = STATUS_FAINTED;
    s.atkexp = 10000, s.defexp = 20000, s.spdexp = 30000, s.spcexp = 40000, s.hpexp = 50000;
    s.maxhp = 125, s.attack = 81, s.defense = 66, s.speed = 71, s.spattack = 50, s.spdefense = 64, s.hp = 122;
    headless::onframe = [](BITMAP *) { hpboxes.push_back(Format("%d/%d", PlayerVorlet().hp, PlayerVorlet().maxhp)); };
    Spaces(2), AddPlayerExp(RILLFIN, 9181);
    // The win adds 46 to the attack experience: ((56 + 14) * 2 + 51 * sqrt(10046) / 400
    // rounded, 13) * 51 / 100 + 5 = 83 attack; HP ((48 + 3) * 2 + 29) * 51 / 100 + 61 = 127.
    EXPECT_EQ(Said(true), "5,275 Scrapling reached level 51!|5,275 HP           : 125   +2   127|"
                          "5,285 Attack       : 81   +2   83|5,295 Defense      : 66   +1   67|"
                          "5,305 Speed        : 71   +1   72|5,315 Spec. Attack : 50   +1   51|"
                          "5,325 Spec. Defense: 64   +2   66");
    EXPECT_EQ(hpboxes, std::vector<std::string>({"122/125", "124/127"})) << "a damaged creature keeps its damage";
    EXPECT_EQ(std::make_pair(s.level, s.exp), std::make_pair(51, 159181));
    EXPECT_EQ(std::vector<int>(battleinfo.grewlevel, battleinfo.grewlevel + PARTYMAX), std::vector<int>({1, 0, 0, 0, 0, 0}));
}

TEST_F(BattleTest, EachLevelTeachesItsMovesWithAPromptForAFifth) {
    // Sproutmite at level 2 knows Stinger, Leaf Flick and Silk Snare; levels 3,
    // 4 and 5 bring Seed Shot, Numbspore and Mandibles. Each case: the keys
    // after the first two levels' messages, the messages but the stat tables,
    // and the moves known at the end (those it knew before with 1 PP left).
    const std::string upto4 =
        "5,275 Sproutmite reached level 3!|5,275 Sproutmite learned Seed Shot!|5,275 Sproutmite reached level 4!|"
        "5,275 Sproutmite wants to learn Numbspore, but|5,285 already knows four moves.|5,295 What should it replace?|"
        "5,310 1. Stinger|173,310 2. Leaf Flick|5,320 3. Silk Snare|173,320 4. Seed Shot|5,330 5. Cancel|";
    const std::string prompt5 = "5,275 Sproutmite reached level 5!|"
                                "5,275 Sproutmite wants to learn Mandibles, but|5,285 already knows four moves.|"
                                "5,295 What should it replace?|";
    struct learncase {
        std::vector<keystep> keys;
        std::string said, moves;  // the moves as "move/maximum PP/PP"
        std::vector<long> held;    // the frames after which the screen is held a second
    };
    const learncase cases[] = {
        // 5 keeps the four moves, then 2 replaces the second.
        {{{{KEY_5}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_2}, 1}},
         upto4 + "5,275 Sproutmite stopped learning Numbspore|" + prompt5 +
             "5,310 1. Stinger|173,310 2. Leaf Flick|5,320 3. Silk Snare|173,320 4. Seed Shot|5,330 5. Cancel|"
             "5,275 Sproutmite forgot Leaf Flick and|5,285 Sproutmite learned Mandibles!",
         "16/35/1 17/25/25 196/30/1 121/25/25 ", {3, 7, 11}},
        // 1 and 3 together both act; 3, still held, answers the next prompt at once.
        {{{{KEY_1, KEY_3}, 1}, {{KEY_3, KEY_SPACE}, 1}, {{KEY_3}, 1}, {{KEY_3, KEY_SPACE}, 1}, {{KEY_3}, 1}},
         upto4 + "5,275 Sproutmite forgot Stinger and|5,285 Sproutmite learned Numbspore!|"
                 "5,275 Sproutmite forgot Silk Snare and|5,285 Sproutmite learned Numbspore!|" + prompt5 +
             "5,310 1. Numbspore|173,310 2. Leaf Flick|5,320 3. Numbspore|173,320 4. Seed Shot|5,330 5. Cancel|"
             "5,275 Sproutmite forgot Numbspore and|5,285 Sproutmite learned Mandibles!",
         "78/30/30 29/30/1 17/25/25 121/25/25 ", {3, 7, 8, 12}}};
    for (learncase c : cases) {
        for (int i = 0; i < 4; i++) c.keys.insert(c.keys.begin(), {{{KEY_SPACE}, 1}, {{}, 1}});
        Party(SPROUTMITE, {2}), headless::holds.clear(), headless::frames = 0, headless::ScriptKeys(c.keys);
        for (moveslot &m : Own().moves) m.pp = 1;
        AddPlayerExp(SPROUTMITE, 100);
        std::string shown, moves;
        for (const writtentext &t : written)
            if (t.text.find("   +") == std::string::npos) shown += Format("%s%d,%d ", shown.empty() ? "" : "|", t.x, t.y) + t.text;
        for (const moveslot &m : Own().moves) moves += Format("%d/%d/%d ", m.move, m.maxpp, m.pp);
        written.clear();
        EXPECT_EQ(std::make_tuple(Own().level, shown, moves), std::make_tuple(5, c.said, c.moves));
        std::vector<long> held;
        for (const headless::hold &h : headless::holds) held.push_back(h.ms == 1000 ? h.frame : -h.frame);
        EXPECT_EQ(held, c.held);
    }
    // From 99 the highest level and no further: one message and one table.
    Party(SPROUTMITE, {99}), Spaces(2), AddPlayerExp(SPROUTMITE, 1000000);
    EXPECT_EQ(std::make_pair(Own().level, written.size()), std::make_pair(100, (size_t)7));
}

// One entry: by level; by happiness at any hour, by day (7 to 17) or by
// night (17 to 7); by attack and defence from level 20 on. Methods 2 and 3
// never apply.
TEST_F(BattleTest, EachEvolutionEntryHasItsOwnCondition) {
    struct evocase { int method, param, level, happiness, attack, defense, hour; bool applies; };
    const evocase cases[] = {
        {1, 16, 15, 70, 10, 10, 12, false}, {1, 16, 16, 70, 10, 10, 12, true}, {4, 0, 5, 217, 10, 10, 12, false},
        {4, 0, 5, 218, 10, 10, 3, true}, {4, 1, 5, 218, 10, 10, 6, false}, {4, 1, 5, 218, 10, 10, 7, true},
        {4, 1, 5, 218, 10, 10, 17, true}, {4, 1, 5, 218, 10, 10, 18, false}, {4, 3, 5, 218, 10, 10, 12, false},
        {4, 2, 5, 218, 10, 10, 16, false}, {4, 2, 5, 218, 10, 10, 17, true}, {4, 2, 5, 218, 10, 10, 7, true},
        {4, 2, 5, 218, 10, 10, 8, false}, {5, 1, 19, 70, 30, 31, 12, false}, {5, 4, 20, 70, 30, 30, 12, false},
        {5, 1, 20, 70, 30, 30, 12, true}, {5, 1, 20, 70, 31, 30, 12, false}, {5, 1, 20, 70, 30, 31, 12, true},
        {5, 2, 20, 70, 30, 30, 12, true}, {5, 2, 20, 70, 30, 31, 12, false}, {5, 2, 20, 70, 31, 30, 12, true},
        {5, 3, 20, 70, 30, 30, 12, true}, {5, 3, 20, 70, 31, 30, 12, false}, {5, 3, 20, 70, 30, 31, 12, false},
        {2, 0, 50, 255, 30, 30, 12, false}, {3, 0, 50, 255, 30, 30, 12, false}};
    for (const evocase &c : cases) {
        ownedvorl v = ownedvorl();
        v.level = c.level, v.happiness = c.happiness, v.attack = c.attack, v.defense = c.defense, headless::hour = c.hour;
        EXPECT_EQ(EvolutionApplies(v, evoentry{(uint8_t)c.method, (uint8_t)c.param, 7}), c.applies)
            << c.method << " " << c.param << " " << c.level << " " << c.happiness << " " << c.attack << " " << c.hour;
    }
}

TEST_F(BattleTest, TheEvolutionCheckFindsTheLastMatchOfTheGrownAndChangesNothing) {
    // Wrenlet changes by day into 7 and by night into 8; at 7 o'clock both
    // match and the night, listed last, wins. Scrapling's three entries all
    // match equal attack and defence.
    struct evocase { int species, level, happiness, attack, defense, hour, target; };
    const evocase cases[] = {
        {KINDLET, 15, 70, 10, 10, 12, 0}, {KINDLET, 16, 70, 10, 10, 12, 2}, {WRENLET, 5, 218, 10, 10, 7, 8},
        {WRENLET, 5, 218, 10, 10, 8, 7},  {SCRAPLING, 20, 70, 30, 30, 12, 12}};
    for (const auto &[species, level, happiness, attack, defense, hour, target] : cases) {
        ownedvorl &v = MainPlayer.owned[2];
        CreateVorlet(v, species, level, VORLET_PLAYER, "");
        v.happiness = happiness, v.attack = attack, v.defense = defense, headless::hour = hour;
        EXPECT_EQ(CheckForEvo2(2), target) << species << " " << level << " " << hour;
        for (int grew : {0, 1}) {
            battleinfo.grewlevel[2] = (uint8_t)grew;
            EXPECT_EQ(CheckForEvo(), grew && target ? 1 : 0) << "only a creature that grew is examined";
        }
        EXPECT_EQ(std::make_tuple(v.species, v.level, v.attack), std::make_tuple(species, level, attack)) << "nothing changes";
    }
}

// The prompt for the longest names the tables allow (a 12-character species
// name, 11-character moves) shows every word inside the message frame; a
// far longer nickname from a save is cut, but nothing leaves the frame.
TEST_F(BattleTest, TheReplacePromptFitsTheMessageFrame) {
    const std::string w40(40, 'W'), w43(43, 'W'), w17(17, 'W');
    const std::pair<std::string, std::string> cases[] = {
        {"Wwwwwwwwwwww",
         "5,275 Wwwwwwwwwwww wants to learn Homing Dart,|5,285 but already knows four moves.|5,295 What should it replace?|"
         "5,310 1. Raking Claw|173,310 2. Knuckle Rap|5,320 3. Pebble Toss|173,320 4. Searing Paw|5,330 5. Cancel|"
         "5,275 Wwwwwwwwwwww stopped learning Homing Dart"},
        {w40 + " " + w43 + w17,
         "5,275 " + w40 + "|5,285 " + w43 + "|5,295 " + w17 + " wants to learn Homing...|5,305 What should it replace?|"
         "5,320 1. Raking Claw|173,320 2. Knuckle Rap|5,330 3. Pebble Toss|173,330 4. Searing Paw|5,340 5. Cancel|"
         "5,275 " + w40 + "..."}};
    for (const auto &[nickname, said] : cases) {
        Party(SPROUTMITE, {10}), Own().nickname = nickname, Own().exp = ExpNeededForLevel(11, SPROUTMITE) - 1, written.clear();
        Own().moves[0] = {2, 5, 5}, Own().moves[1] = {4, 5, 5}, Own().moves[2] = {6, 5, 5}, Own().moves[3] = {7, 5, 5};
        headless::ScriptKeys({{{KEY_SPACE}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_5}, 1}});
        AddPlayerExp(SPROUTMITE, 1);
        std::string shown;
        for (const writtentext &t : written) {
            EXPECT_TRUE(t.x + 8 * (int)t.text.size() <= 349 && t.y + 8 <= 349) << t.text;
            if (t.text.find("   +") != std::string::npos) shown.clear();  // what follows the stat table
            else shown += Format("%s%d,%d ", shown.empty() ? "" : "|", t.x, t.y) + t.text;
        }
        EXPECT_EQ(shown, said);
    }
}
