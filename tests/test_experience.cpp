// Experience from a won battle: sharing, stat experience and its cap, level
// messages with stat tables and new moves, the replace prompt, the highest
// level, and the evolution check.
#include "tests/harness/testsupport.h"

enum { KINDLET = 1, RILLFIN = 4, WRENLET = 6, SCRAPLING = 9, SPROUTMITE = 13 };
using Texts = std::vector<std::string>;
using headless::keystep;

// A party of `count` creatures of one species and level, all having taken part.
static void Party(int count, int species, int level) {
    battleinfo = battlerecord();
    MainPlayer.partycount = (int16_t)count;
    for (int i = 0; i < count; i++)
        CreateVorlet(MainPlayer.owned[i], species, level, VORLET_PLAYER, ""), battleinfo.participated[i] = 1;
}
static std::vector<int> StatExp(const ownedvorl &v) { return {v.atkexp, v.defexp, v.spdexp, v.spcexp, v.hpexp}; }

TEST_F(BattleTest, SharersSplitTheAwardAndStatExperience) {
    // Rillfin's base attack, defence, speed, special attack and defence, HP:
    // 46, 52, 48, 54, 56, 50; Sproutmite's 42, 40, 52, 44, 40, 38.
    const std::tuple<std::vector<int>, int, int, std::vector<int>> cases[] = {  // statuses, beaten, exp, stat exp
        {{0, STATUS_FAINTED}, RILLFIN, 45, {46, 52, 48, 55, 50}},
        {{0, 0}, RILLFIN, 22, {23, 26, 24, 27, 25}},
        {{0, 0, 0}, SPROUTMITE, 15, {14, 13, 17, 13, 12}},  // special: (44 / 3 + 40 / 3) / 2
    };
    for (const auto &[statuses, species, exp, statexp] : cases) {
        Party((int)statuses.size(), KINDLET, 50);
        for (size_t i = 0; i < statuses.size(); i++) MainPlayer.owned[i].status = statuses[i];
        const int before = MainPlayer.owned[0].exp;
        EXPECT_EQ(AddPlayerExp(species, 45), 1);
        for (size_t i = 0; i < statuses.size(); i++) {
            EXPECT_EQ(MainPlayer.owned[i].exp - before, statuses[i] ? 0 : exp) << i;
            EXPECT_EQ(StatExp(MainPlayer.owned[i]), statuses[i] ? std::vector<int>(5) : statexp) << i;
            EXPECT_EQ(battleinfo.participated[i], 0);
        }
    }
    for (int start : {65488, 65530}) {  // 65488 + 46 stays just below the cap
        Party(1, KINDLET, 50);
        MainPlayer.owned[0].atkexp = start;
        AddPlayerExp(RILLFIN, 0);
        EXPECT_EQ(MainPlayer.owned[0].atkexp, start == 65488 ? 65534 : 65535);
    }
    // Nobody to share with: one did not take part, the other fainted.
    Party(2, KINDLET, 50);
    battleinfo.participated[0] = 0, MainPlayer.owned[1].status = STATUS_FAINTED;
    const int exp = MainPlayer.owned[1].exp;
    SetUpLog();
    EXPECT_EQ(AddPlayerExp(RILLFIN, 45), 0);
    EXPECT_EQ(LogLinesAfterBanner(), Texts({"Major Program error: Add experience called with expdivide is 0 ?!"}));
    EXPECT_EQ(std::make_tuple(MainPlayer.owned[1].exp, StatExp(MainPlayer.owned[1]), battleinfo.participated[1]),
              std::make_tuple(exp, std::vector<int>(5), (uint8_t)1));
}

TEST_F(BattleTest, EachLevelShowsItsTableAndTeachesItsMovesWithAPromptForAFifth) {
    // Sproutmite at level 2 knows Stinger, Leaf Flick and Silk Snare; levels 3,
    // 4 and 5 bring Seed Shot, Numbspore and Mandibles. Each case: the keys
    // after the first two levels' messages, the messages but the stat tables,
    // and the moves known at the end.
    const std::string upto4 = "Sproutmite reached level 3!|Sproutmite learned Seed Shot!|Sproutmite reached level 4!|"
                              "Sproutmite wants to learn Numbspore, but already knows four moves.|"
                              "What should it replace?|1. Stinger|2. Leaf Flick|3. Silk Snare|4. Seed Shot|5. Cancel|";
    const std::string prompt5 = "Sproutmite reached level 5!|"
                                "Sproutmite wants to learn Mandibles, but already knows four moves.|"
                                "What should it replace?|";
    const std::tuple<std::vector<keystep>, std::string, std::vector<int>> cases[] = {
        // 5 keeps the four moves, then 2 replaces the second.
        {{{{KEY_5}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_2}, 1}},
         upto4 + "Sproutmite stopped learning Numbspore|" + prompt5 +
             "1. Stinger|2. Leaf Flick|3. Silk Snare|4. Seed Shot|5. Cancel|"
             "Sproutmite forgot Leaf Flick and|Sproutmite learned Mandibles!",
         {16, 17, 196, 121}},
        // 1 and 3 together both act; 3, still held, answers the next prompt at once.
        {{{{KEY_1, KEY_3}, 1}, {{KEY_3, KEY_SPACE}, 1}, {{KEY_3}, 1}, {{KEY_3, KEY_SPACE}, 1}, {{KEY_3}, 1}},
         upto4 + "Sproutmite forgot Stinger and|Sproutmite learned Numbspore!|"
                 "Sproutmite forgot Silk Snare and|Sproutmite learned Numbspore!|" + prompt5 +
             "1. Numbspore|2. Leaf Flick|3. Numbspore|4. Seed Shot|5. Cancel|"
             "Sproutmite forgot Numbspore and|Sproutmite learned Mandibles!",
         {78, 29, 17, 121}},
    };
    const char *names[] = {"HP           ", "Attack       ", "Defense      ",
                           "Speed        ", "Spec. Attack ", "Spec. Defense"};
    for (auto [keys, said, moves] : cases) {
        Party(1, SPROUTMITE, 2);
        Own().hp -= 3;
        Texts tables;  // each level's old value, gain and new value of each stat
        for (ownedvorl a = Own(), b = a; b.level < 5; a = b) {
            b.level++, ComputeStats(b);
            const int olds[] = {a.maxhp, a.attack, a.defense, a.speed, a.spattack, a.spdefense};
            const int news[] = {b.maxhp, b.attack, b.defense, b.speed, b.spattack, b.spdefense};
            for (int k = 0; k < 6; k++)
                tables.push_back(Format("%s: %d   +%d   %d", names[k], olds[k], news[k] - olds[k], news[k]));
        }
        for (int i = 0; i < 4; i++) keys.insert(keys.begin(), {{{KEY_SPACE}, 1}, {{}, 1}});
        headless::ScriptKeys(keys);
        AddPlayerExp(SPROUTMITE, 100);
        EXPECT_EQ(Own().level, 5);
        EXPECT_EQ(Own().hp, Own().maxhp - 3) << "HP rises by the rise of the maximum";
        std::string messages;
        Texts shown;
        for (const std::string &t : texts)
            if (t.find("   +") == std::string::npos) messages += (messages.empty() ? "" : "|") + t;
            else shown.push_back(t);
        EXPECT_EQ(shown, tables);
        EXPECT_EQ(messages, said);
        for (int k = 0; k < 4; k++)  // a move learned comes with all its PP
            EXPECT_EQ(std::make_pair(Own().moves[k].move, Own().moves[k].pp),
                      std::make_pair(moves[k], (int)MoveData[moves[k]].pp)) << k;
        texts.clear();
    }
    // From 99 the highest level and no further: no experience there, stat experience still.
    Party(1, SPROUTMITE, 99);
    Spaces(2);
    AddPlayerExp(SPROUTMITE, 1000000);
    EXPECT_EQ(std::make_pair(Own().level, texts.size()), std::make_pair(100, (size_t)7)) << "one message and one table";
    const ownedvorl before = Own();
    battleinfo.participated[0] = 1;
    EXPECT_EQ(AddPlayerExp(SPROUTMITE, 1000000), 1);
    EXPECT_EQ(std::make_pair(Own().exp, Own().atkexp), std::make_pair(before.exp, before.atkexp + 42));
}

TEST_F(BattleTest, TheEvolutionCheckFindsTheLastMatchAndChangesNothing) {
    // Wrenlet changes by day into 7 and by night into 8; 7 and 17 o'clock
    // are both, where the night, listed last, wins.
    const int cases[][7] = {  // species, level, happiness, attack, defence, hour, the result
        {KINDLET, 15, 70, 10, 10, 12, 0},     {KINDLET, 16, 70, 10, 10, 12, 2},
        {SPROUTMITE, 5, 217, 10, 10, 12, 0},  {SPROUTMITE, 5, 218, 10, 10, 3, 14},
        {WRENLET, 5, 218, 10, 10, 7, 8},      {WRENLET, 5, 218, 10, 10, 8, 7},
        {WRENLET, 5, 218, 10, 10, 16, 7},     {WRENLET, 5, 218, 10, 10, 17, 8},
        {SCRAPLING, 20, 70, 30, 31, 12, 10},  {SCRAPLING, 20, 70, 31, 30, 12, 11},
        {SCRAPLING, 20, 70, 30, 30, 12, 12},  {SCRAPLING, 19, 70, 30, 30, 12, 0},
    };
    for (const auto &[species, level, happiness, attack, defense, hour, target] : cases) {
        ownedvorl &v = MainPlayer.owned[2];
        CreateVorlet(v, species, level, VORLET_PLAYER, "");
        v.happiness = happiness, v.attack = attack, v.defense = defense, headless::hour = hour;
        EXPECT_EQ(CheckForEvo2(2), target) << species << " " << level << " " << hour;
        for (int grew : {0, 1}) {
            battleinfo.grewlevel[2] = (uint8_t)grew;
            EXPECT_EQ(CheckForEvo(), grew && target ? 1 : 0) << "only a creature that grew is examined";
        }
        EXPECT_EQ(v.species, species) << "the check changes nothing";
    }
}
