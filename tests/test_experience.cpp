// Experience from a won battle: sharing, stat experience and its cap, level
// messages with stat tables and new moves, the replace prompt, the highest
// level, and the evolution check.
#include "tests/harness/testsupport.h"

namespace {

enum { KINDLET = 1, RILLFIN = 4, WRENLET = 6, SCRAPLING = 9, SPROUTMITE = 13 };
using Texts = std::vector<std::string>;
using headless::KeyStep;

// A party of the given creatures, all of them having taken part.
void Party(std::vector<std::pair<int, int>> speciesandlevel) {
    battleinfo = battlerecord();
    MainPlayer.partycount = (int16_t)speciesandlevel.size();
    for (size_t i = 0; i < speciesandlevel.size(); i++) {
        CreateVorlet(MainPlayer.owned[i], speciesandlevel[i].first, speciesandlevel[i].second, VORLET_PLAYER, "");
        battleinfo.participated[i] = 1;
    }
}

// The stat table a level-up shows: old value, gain, new value of each stat.
Texts Table(const ownedvorl &a, const ownedvorl &b) {
    const char *names[] = {"HP           ", "Attack       ", "Defense      ",
                           "Speed        ", "Spec. Attack ", "Spec. Defense"};
    const int olds[] = {a.maxhp, a.attack, a.defense, a.speed, a.spattack, a.spdefense};
    const int news[] = {b.maxhp, b.attack, b.defense, b.speed, b.spattack, b.spdefense};
    Texts lines;
    for (int k = 0; k < 6; k++) lines.push_back(BattleFormat("%s: %d   +%d   %d", names[k], olds[k], news[k] - olds[k], news[k]));
    return lines;
}

// Space for each of `count` message steps, then the rest.
std::vector<KeyStep> Then(int count, std::vector<KeyStep> rest) {
    std::vector<KeyStep> steps;
    for (int i = 0; i < count; i++) steps.insert(steps.end(), {{{KEY_SPACE}, 1}, {{}, 1}});
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

}  // namespace

TEST_F(BattleTest, SharersSplitTheAwardAndStatExperience) {
    // Rillfin: attack 46, special 54 and 56; Sproutmite: attack 42, special 44 and 40.
    const struct {
        std::vector<int> statuses;
        int species, exp, atkexp, spcexp;
    } cases[] = {
        {{0, STATUS_FAINTED}, RILLFIN, 45, 46, 55},
        {{0, 0}, RILLFIN, 22, 23, 27},
        {{0, 0, 0}, SPROUTMITE, 15, 14, 13},  // (14 + 13) / 2, each half truncated first
    };
    for (const auto &c : cases) {
        Party(std::vector<std::pair<int, int>>(c.statuses.size(), {KINDLET, 50}));
        for (size_t i = 0; i < c.statuses.size(); i++) MainPlayer.owned[i].status = c.statuses[i];
        const int before = MainPlayer.owned[0].exp;
        EXPECT_EQ(AddPlayerExp(c.species, 45), 1);
        for (size_t i = 0; i < c.statuses.size(); i++) {
            const ownedvorl &v = MainPlayer.owned[i];
            bool shares = c.statuses[i] == 0;
            EXPECT_EQ(v.exp - before, shares ? c.exp : 0) << i;
            EXPECT_EQ(v.atkexp, shares ? c.atkexp : 0) << i;
            EXPECT_EQ(v.spcexp, shares ? c.spcexp : 0) << i;
            EXPECT_EQ(battleinfo.participated[i], 0);
        }
    }
    // The cap after each addition, and nobody to share with.
    for (int start : {65488, 65489, 65530}) {
        Party({{KINDLET, 50}});
        MainPlayer.owned[0].atkexp = start;
        AddPlayerExp(RILLFIN, 0);
        EXPECT_EQ(MainPlayer.owned[0].atkexp, start == 65488 ? 65534 : 65535);
    }
    Party({{KINDLET, 50}, {KINDLET, 50}});
    battleinfo.participated[0] = 0;
    MainPlayer.owned[1].status = STATUS_FAINTED;
    const ownedvorl before = MainPlayer.owned[1];
    SetUpLog();
    EXPECT_EQ(AddPlayerExp(RILLFIN, 45), 0);
    EXPECT_EQ(LogLinesAfterBanner(), Texts({"Major Program error: Add experience called with expdivide is 0 ?!"}));
    EXPECT_EQ(MainPlayer.owned[1].exp, before.exp);
    EXPECT_EQ(MainPlayer.owned[1].atkexp, before.atkexp);
    EXPECT_EQ(battleinfo.participated[1], 1);
}

TEST_F(BattleTest, ALevelUpShowsItsMessageAndTheStatTable) {
    Party({{SPROUTMITE, 5}});
    const ownedvorl before = Own();
    Spaces(2);
    AddPlayerExp(SPROUTMITE, 172 - 100);
    EXPECT_EQ(Own().level, 6);
    EXPECT_EQ(Own().hp, Own().maxhp) << "full health stays full";
    Texts expected = {"Sproutmite reached level 6!"}, table = Table(before, Own());
    expected.insert(expected.end(), table.begin(), table.end());
    EXPECT_EQ(texts, expected);
    std::vector<BattleLine> lines;
    for (int k = 0; k < 6; k++) lines.push_back({table[k], 5, 275 + 10 * k});
    EXPECT_TRUE(Shows(3, 271, 349, 349, lines));
    EXPECT_EQ(battleinfo.grewlevel[0], 1);
}

TEST_F(BattleTest, SeveralLevelsTeachEachLevelsMovesAndPromptForAFifth) {
    // Sproutmite at level 2 knows Stinger, Leaf Flick and Silk Snare; levels 3,
    // 4 and 5 bring Seed Shot, Numbspore and Mandibles.
    const std::string upto4 = "Sproutmite reached level 3!|Sproutmite learned Seed Shot!|Sproutmite reached level 4!|"
                              "Sproutmite wants to learn Numbspore, but already knows four moves.|"
                              "What should it replace?|1. Stinger|2. Leaf Flick|3. Silk Snare|4. Seed Shot|5. Cancel|";
    const std::string prompt5 = "Sproutmite reached level 5!|"
                                "Sproutmite wants to learn Mandibles, but already knows four moves.|"
                                "What should it replace?|";
    const struct {
        std::vector<KeyStep> keys;
        std::string said;
        std::vector<int> moves;
    } cases[] = {
        // 5 keeps the four moves, then 2 replaces the second.
        {Then(4, {{{KEY_5}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_SPACE}, 1}, {{}, 1}, {{KEY_2}, 1}}),
         upto4 + "Sproutmite stopped learning Numbspore|" + prompt5 +
             "1. Stinger|2. Leaf Flick|3. Silk Snare|4. Seed Shot|5. Cancel|"
             "Sproutmite forgot Leaf Flick and|Sproutmite learned Mandibles!",
         {16, 17, 196, 121}},
        // 1 and 3 together both act; 3, still held, answers the next prompt at once.
        {Then(4, {{{KEY_1, KEY_3}, 1}, {{KEY_3, KEY_SPACE}, 1}, {{KEY_3}, 1}, {{KEY_3, KEY_SPACE}, 1}, {{KEY_3}, 1}}),
         upto4 + "Sproutmite forgot Stinger and|Sproutmite learned Numbspore!|"
                 "Sproutmite forgot Silk Snare and|Sproutmite learned Numbspore!|" + prompt5 +
             "1. Numbspore|2. Leaf Flick|3. Numbspore|4. Seed Shot|5. Cancel|"
             "Sproutmite forgot Numbspore and|Sproutmite learned Mandibles!",
         {78, 29, 17, 121}},
    };
    for (const auto &c : cases) {
        Party({{SPROUTMITE, 2}});
        Own().hp -= 3;
        texts.clear();
        headless::ScriptKeys(c.keys);
        AddPlayerExp(SPROUTMITE, 100);
        EXPECT_EQ(Own().level, 5);
        EXPECT_EQ(Own().hp, Own().maxhp - 3) << "HP rises by the rise of the maximum";
        std::string said;
        int tablelines = 0;
        for (const std::string &t : texts)
            if (t.find("   +") == std::string::npos) said += (said.empty() ? "" : "|") + t;
            else tablelines++;
        EXPECT_EQ(tablelines, 18) << "three stat tables";
        EXPECT_EQ(said, c.said);
        for (int k = 0; k < 4; k++) {
            EXPECT_EQ(Own().moves[k].move, c.moves[k]) << k;
            EXPECT_EQ(Own().moves[k].pp, MoveData[c.moves[k]].pp) << k;
        }
    }
}

TEST_F(BattleTest, LevellingStopsAtTheHighestLevel) {
    Party({{SPROUTMITE, 99}});
    Spaces(2);
    AddPlayerExp(SPROUTMITE, 1000000);
    EXPECT_EQ(Own().level, 100);
    EXPECT_EQ(texts.size(), 7u) << "one level message and one table";
    const ownedvorl before = Own();
    battleinfo.participated[0] = 1;
    EXPECT_EQ(AddPlayerExp(SPROUTMITE, 1000000), 1);
    EXPECT_EQ(Own().exp, before.exp) << "no experience at the highest level";
    EXPECT_EQ(Own().atkexp, before.atkexp + 42) << "stat experience still";
}

TEST_F(BattleTest, TheEvolutionCheckFindsTheLastMatchAndChangesNothing) {
    const struct {
        int species, level, happiness, attack, defense, hour, target;
    } cases[] = {
        {KINDLET, 15, 70, 10, 10, 12, 0},    {KINDLET, 16, 70, 10, 10, 12, 2},
        {SPROUTMITE, 5, 217, 10, 10, 12, 0}, {SPROUTMITE, 5, 218, 10, 10, 3, 14},
        {WRENLET, 5, 218, 10, 10, 6, 8},     {WRENLET, 5, 218, 10, 10, 7, 8},  // day and night: the last wins
        {WRENLET, 5, 218, 10, 10, 8, 7},     {WRENLET, 5, 218, 10, 10, 17, 8},
        {WRENLET, 5, 218, 10, 10, 18, 8},    {WRENLET, 5, 217, 10, 10, 12, 0},
        {SCRAPLING, 20, 70, 30, 31, 12, 10}, {SCRAPLING, 20, 70, 31, 30, 12, 11},
        {SCRAPLING, 20, 70, 30, 30, 12, 12}, {SCRAPLING, 19, 70, 30, 30, 12, 0},
    };
    for (const auto &c : cases) {
        ownedvorl &v = MainPlayer.owned[2];
        CreateVorlet(v, c.species, c.level, VORLET_PLAYER, "");
        v.happiness = c.happiness, v.attack = c.attack, v.defense = c.defense;
        headless::hour = c.hour;
        EXPECT_EQ(CheckForEvo2(2), c.target) << c.species << " " << c.level << " " << c.hour;
        for (int grew : {0, 1}) {
            battleinfo.grewlevel[2] = (uint8_t)grew;
            EXPECT_EQ(CheckForEvo(), grew && c.target ? 1 : 0) << "only a creature that grew is examined";
        }
    }
    // A battle won to level 16 ends with the creature as it was, still a Kindlet.
    Begin(KINDLET, 15, RILLFIN, 2);
    Own().exp = ExpNeededForLevel(16, KINDLET) - 1;
    Own().moves[0] = {1, 10, 10};
    battleinfo.playermove = 1;
    wildvorlet.hp = 1;
    const int queued[] = {254, 0, 0};
    QueueRandomDraws(queued, 3);
    Spaces(4);
    BattleUseAttack(1);
    EXPECT_EQ(currentgamestate, GAMESTATE_OVERWORLD);
    EXPECT_EQ(Own().level, 16);
    EXPECT_EQ(Own().species, KINDLET);
    EXPECT_EQ(CheckForEvo2(0), 2);
}
