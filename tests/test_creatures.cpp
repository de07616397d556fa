// The random draw, the stat formulas and the making of creatures. The
// tables themselves are checked by tools/checktables.py.
#include <array>

#include "tests/harness/testsupport.h"

using CreaturesTest = QbTest;
enum { KINDLET = 1, SPROUTMITE = 13, BARROWISP = 15 };

// Seed 1 of the classic generator gives 41, 18467, 6334; a draw is scaled
// by 32768, not a remainder (41 % 2 would be 1, and 65500 * 18467 / 32767
// 36914); a range below 1 gives 0 and still draws; queued values come
// first, v mod n.
TEST_F(CreaturesTest, TheGeneratorScalesTheClassicSequenceAndQueuedDrawsComeFirst) {
    const int ranges[] = {2, 65500, -7, 15, 15, 4, 0, 32768}, want[] = {0, 36913, 0, 3, 5, 3, 0, 41};
    for (int i = 0; i < 8; i++) {
        if (i == 3) SeedRandom(1), Draws({3, 20, -1, 7});
        EXPECT_EQ(random(ranges[i]), want[i]) << i;
    }
}

TEST_F(CreaturesTest, StatExperienceShinyAndGenderFormulas) {
    // base, iv, stat experience, level, HP or not; the stat. The root of the
    // stat experience is rounded to 1/65536 (44634: 211.2677... gives 110,
    // truncated 109), the term divided by 400 (401: 168) and rounded.
    const int stats[][6] = {{49, 10, 0, 5, 0, 10},          {45, 15, 0, 5, 1, 21},    {49, 10, 10000, 50, 0, 70},
                            {100, 14, 65535, 100, 1, 402}, {45, 10, 44634, 71, 0, 110}, {40, 10, 64759, 100, 0, 169}};
    for (const auto &s : stats) EXPECT_EQ(CalcStat(s[0], (int16_t)s[1], s[2], s[3], s[4]), s[5]) << s[2];
    // species (growth medium slow, medium fast, slow, fast; none), level, experience; -53.8 truncates toward zero
    const int exps[][3] = {{KINDLET, 1, -53}, {KINDLET, 100, 1059860}, {4, 10, 1000}, {9, 10, 1200}, {SPROUTMITE, 10, 800},
                           {0, 5, 1},         {SPECIESCOUNT, 5, 1}};
    for (const auto &e : exps) EXPECT_EQ(ExpNeededForLevel(e[1], e[0]), e[2]) << e[0] << " " << e[1];
    EXPECT_EQ(LogLinesWith("Major Program error: ").size(), 2u) << "the placeholder row and a species outside the table";
    ownedvorl v = ownedvorl();
    v.atkiv = 2, v.defiv = 3, v.spdiv = 5, v.spciv = 6;
    EXPECT_EQ(DetermineHP(v), 6) << "each odd value sets its own bit";
    for (v.defiv = v.spdiv = v.spciv = 10, v.atkiv = 0; v.atkiv <= 15; v.atkiv++) EXPECT_EQ(IsShiny(v), (v.atkiv & 2) ? 1 : 0) << v.atkiv;
    for (int32_t ownedvorl::*iv : {&ownedvorl::defiv, &ownedvorl::spdiv, &ownedvorl::spciv}) {
        ownedvorl w = v;
        w.atkiv = 2, w.*iv = 9;
        EXPECT_EQ(IsShiny(w), 0);
    }
    // Kindlet's gender ratio is 2: an attack value below it is female.
    const int genders[][3] = {{KINDLET, 1, 2}, {KINDLET, 2, 1}, {BARROWISP, 0, 0}, {SPECIESCOUNT, 3, 0}};
    for (const auto &g : genders) EXPECT_EQ(GetGender(g[0], g[1]), g[2]) << g[0] << " " << g[1];
}

TEST_F(CreaturesTest, NewGamePlayerHoldsTheStartingCreatureWithHandComputedStats) {
    Draws({40000, 9, 4, 13, 14});  // trainer id, then atk, def, spd, spc values
    ASSERT_EQ(NewGamePlayer(KINDLET), 0);
    const ownedvorl &v = MainPlayer.owned[0];
    // Kindlet's base values 50, 40, 62 (speed), 58, 46 and 44 HP at level 5:
    // attack (50 + 9) * 2 * 5 / 100 + 5 = 10, special defence (46 + 14) * 10 / 100 + 5 = 11
    // (not 10 with the defence value), HP (44 + 10) * 10 / 100 + 15 = 20.
    const struct { const char *name; int got, want; } fields[] = {
        {"trainer id", MainPlayer.trainerid, 40000}, {"money", MainPlayer.money, 3000}, {"carried", MainPlayer.partycount, 1},
        {"last party position", MainPlayer.party[5], 5}, {"species", v.species, KINDLET}, {"level", v.level, 5},
        {"experience", v.exp, 135}, {"HP value", v.hpiv, 10}, {"attack", v.attack, 10}, {"defence", v.defense, 9},
        {"speed", v.speed, 12}, {"special attack", v.spattack, 12}, {"special defence", v.spdefense, 11},
        {"maximum HP", v.maxhp, 20}, {"HP", v.hp, 20}, {"happiness", v.happiness, 70}, {"trainer id kept", v.otid, 40000},
        {"level met", v.metlevel, 5}};
    for (const auto &f : fields) EXPECT_EQ(f.got, f.want) << f.name;
    EXPECT_EQ(MainPlayer.name + "/" + v.otname + "/" + v.nickname + "/" + v.metplace, "Tobrin/Tobrin/Kindlet/Route 0");
}

TEST_F(CreaturesTest, StartingMovesAreTheLastFourLearnedByTheLevel) {
    const std::tuple<int, int, int, std::vector<int>> cases[] = {
        {KINDLET, 5, VORLET_PLAYER, {1, 108, 48}},           // Hone Focus at learn level 0 is skipped
        {KINDLET, 5, VORLET_WILD, {116, 1, 108, 48}},        // but a wild one knows it
        {KINDLET, 4, VORLET_WILD, {116, 1, 108}},            // Flicker comes at level 5
        {SPROUTMITE, 5, VORLET_PLAYER, {196, 121, 78, 17}},  // six by level 5: the first two drop out
        {BARROWISP, 2, VORLET_WILD, {19}}};                  // one move by level 2
    for (const auto &[species, level, owner, moves] : cases) {
        ownedvorl v = ownedvorl();
        ASSERT_EQ(CreateVorlet(v, species, level, owner, nullptr), (int)moves.size()) << species;
        for (int slot = 0; slot < MOVESLOTS; slot++) {
            int move = slot < (int)moves.size() ? moves[slot] : 0, pp = move ? MoveData[move].pp : 0;
            EXPECT_EQ(std::make_tuple(v.moves[slot].move, v.moves[slot].maxpp, v.moves[slot].pp), std::make_tuple(move, pp, pp)) << slot;
        }
    }
}

TEST_F(CreaturesTest, OutOfRangeValuesAreRefusedAndNamed) {
    ownedvorl v = ownedvorl();
    for (const auto &[species, level] : {std::make_pair(0, 5), {SPECIESCOUNT, 5}, {1, 0}, {1, 101}}) EXPECT_EQ(CreateVorlet(v, species, level, 0, nullptr), -1);
    EXPECT_EQ(NewGamePlayer(SPECIESCOUNT), -1);
    EXPECT_EQ(LogLinesWith("Major Project error: ").size(), 5u);
    EXPECT_EQ(std::make_tuple(v.species, MainPlayer.name, random(32768)), std::make_tuple(0, std::string(), 41)) << "a refusal touches and draws nothing";
    EXPECT_EQ(TeachMove(v, 0) + TeachMove(v, MOVECOUNT), -4);
    v.moves[1] = {5, 1, 1};
    for (int i = 0, slots[] = {0, 2, 3, -1}; i < 4; i++) EXPECT_EQ(TeachMove(v, 20 + i), slots[i]) << "the gaps in order, then none";
    EXPECT_EQ(std::make_pair(v.moves[3].maxpp, v.moves[3].pp), std::make_pair(30, 30)) << "Rivet with its 30 PP";
    ASSERT_GT(CreateVorlet(v, 6, 30, VORLET_WILD, nullptr), 0);
    ASSERT_EQ(CheckVorlet(v, "Party Vorlet 1"), 0);
    for (const auto &b : {std::array<int, 4>{SPECIESCOUNT, 0, MOVECOUNT, 7}, {0, 101, -1, -1}}) {
        v.species = b[0], v.level = b[1], v.moves[2].move = b[2], v.status = b[3];
        EXPECT_EQ(CheckVorlet(v, "Party Vorlet 1"), -1);
    }
    EXPECT_EQ(LogLinesWith("Major Project error: Party Vorlet 1 has").size(), 8u) << "each bad value named";
}
