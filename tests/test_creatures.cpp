// The random draw, the stat formulas and the making of creatures.
#include <set>
#include <string>
#include <vector>

#include "creatures/creatures.h"
#include "shell/main.h"
#include "tests/harness/testsupport.h"

namespace {

class CreaturesTest : public QbTest {
protected:
    void SetUp() override {
        QbTest::SetUp();
        ClearRandomDraws();
        SeedRandom(1);
        MainPlayer = playerrecord();
    }
    void TearDown() override {
        ClearRandomDraws();
        QbTest::TearDown();
    }
};

int CountLogLinesWith(const std::string &text) {
    int count = 0;
    for (const std::string &line : LogLinesAfterBanner())
        if (line.find(text) != std::string::npos) count++;
    return count;
}

int SpeciesNamed(const char *name) {
    for (int s = 1; s < SPECIESCOUNT; s++)
        if (std::string(VrltData[s].name) == name) return s;
    ADD_FAILURE() << "no species " << name;
    return 1;
}

int MoveNamed(const char *name) {
    for (int m = 1; m < MOVECOUNT; m++)
        if (std::string(MoveData[m].name) == name) return m;
    ADD_FAILURE() << "no move " << name;
    return 1;
}

int SpeciesWithGrowth(int growth) {
    for (int s = 1; s < SPECIESCOUNT; s++)
        if (VrltData[s].growth == growth) return s;
    ADD_FAILURE() << "no species with growth " << growth;
    return 1;
}

int SpeciesWithGenderRatio(int ratio) {
    for (int s = 1; s < SPECIESCOUNT; s++)
        if (VrltData[s].genderratio == ratio) return s;
    return -1;
}

std::vector<int> KnownMoves(const ownedvorl &v) {
    std::vector<int> moves;
    for (const moveslot &slot : v.moves)
        if (slot.move != 0) moves.push_back(slot.move);
    return moves;
}

ownedvorl WithValues(int atk, int def, int spd, int spc) {
    ownedvorl v = ownedvorl();
    v.atkiv = atk;
    v.defiv = def;
    v.spdiv = spd;
    v.spciv = spc;
    return v;
}

}  // namespace

// the random draw

TEST_F(CreaturesTest, GeneratorGivesTheClassicSequenceScaledToTheRange) {
    // Seed 1 of the classic generator gives 41, 18467, 6334, 26500; random(32768)
    // passes them through unscaled.
    EXPECT_EQ(random(32768), 41);
    EXPECT_EQ(random(32768), 18467);
    SeedRandom(1);
    // Scaling, not a remainder: 41 * 2 / 32768 is 0 (41 % 2 would be 1).
    EXPECT_EQ(random(2), 0);
    EXPECT_EQ(random(2), 1);
    EXPECT_EQ(random(2), 0);
    EXPECT_EQ(random(2), 1);
    SeedRandom(1);
    EXPECT_EQ(random(100), 41 * 100 / 32768);
    EXPECT_EQ(random(100), 18467 * 100 / 32768);
}

TEST_F(CreaturesTest, EveryCallConsumesOneDrawEvenWhenTheResultIsFixed) {
    EXPECT_EQ(random(1), 0);
    EXPECT_EQ(random(0), 0);
    EXPECT_EQ(random(-7), 0);
    EXPECT_EQ(random(32768), 26500) << "three draws were spent before";
}

TEST_F(CreaturesTest, DrawsStayInRangeAndLargeRangesAreCoveredWhole) {
    SeedRandom(20240611);
    int low255 = 1000, high255 = -1, high65500 = -1;
    for (int i = 0; i < 200000; i++) {
        int a = random(255);
        int b = random(65500);
        ASSERT_GE(a, 0);
        ASSERT_LE(a, 254);
        ASSERT_GE(b, 0);
        ASSERT_LT(b, 65500);
        if (a < low255) low255 = a;
        if (a > high255) high255 = a;
        if (b > high65500) high65500 = b;
        int c = random(15);
        ASSERT_TRUE(c >= 0 && c <= 14);
    }
    EXPECT_EQ(low255, 0);
    EXPECT_EQ(high255, 254);
    EXPECT_GT(high65500, 65000) << "ids must reach the top of their range, not stop at 32767";
    // A range past the old 32-bit limit does not overflow.
    for (int i = 0; i < 1000; i++) {
        int d = random(2000000000);
        ASSERT_GE(d, 0);
        ASSERT_LT(d, 2000000000);
    }
}

TEST_F(CreaturesTest, QueuedDrawsComeFirstThenTheGeneratorGoesOnWhereItWas) {
    const int values[] = {3, 20, -1, 7};
    QueueRandomDraws(values, 4);
    EXPECT_EQ(QueuedRandomDraws(), 4);
    EXPECT_EQ(random(15), 3);
    EXPECT_EQ(random(15), 5) << "20 mod 15";
    EXPECT_EQ(random(4), 3) << "-1 mod 4, never negative";
    EXPECT_EQ(random(0), 0) << "a queued value is consumed by random(0) too";
    EXPECT_EQ(QueuedRandomDraws(), 0);
    EXPECT_EQ(random(32768), 41) << "queued draws do not advance the generator";

    QueueRandomDraws(values, 2);
    ClearRandomDraws();
    EXPECT_EQ(random(32768), 18467);
}

// stat formulas

TEST_F(CreaturesTest, CalcStatWorkedValues) {
    EXPECT_EQ(CalcStat(49, 10, 0, 5, 0), 10);
    EXPECT_EQ(CalcStat(45, 15, 0, 5, 1), 21);
    EXPECT_EQ(CalcStat(49, 10, 10000, 50, 0), 70) << "s = 12.5 rounds up to 13";
    EXPECT_EQ(CalcStat(100, 14, 65535, 100, 0), 297) << "s = 64 at the top of stat experience";
    EXPECT_EQ(CalcStat(100, 14, 65535, 100, 1), 297 - 5 + 110);
    // Without stat experience the formula is the plain one.
    for (int level = 1; level <= 100; level += 7)
        for (int base = 20; base <= 130; base += 37) {
            EXPECT_EQ(CalcStat(base, 9, 0, level, 0), (base + 9) * 2 * level / 100 + 5);
            EXPECT_EQ(CalcStat(base, 9, 0, level, 1), (base + 9) * 2 * level / 100 + level + 10);
        }
}

TEST_F(CreaturesTest, CalcStatRoundsStatExperienceAsTheLibraryFixedPointDoes) {
    // Where the library's own 16.16 square root works (below 32768), the stat
    // must agree with it for every level.
    for (int statexp = 1; statexp < 32768; statexp += 97) {
        fixed root = fixsqrt(itofix(statexp));
        for (int level = 1; level <= 100; level += 3) {
            int q = level * root / 400;
            int s = (q >> 16) + ((q & 0x8000) >> 15);
            ASSERT_EQ(CalcStat(60, 7, statexp, level, 0), ((60 + 7) * 2 + s) * level / 100 + 5)
                << "statexp " << statexp << " level " << level;
        }
    }
}

TEST_F(CreaturesTest, ExperienceCurveReferenceValues) {
    const int levels[] = {5, 6, 10, 100};
    const int expected[4][4] = {
        {100, 172, 800, 800000},
        {125, 216, 1000, 1000000},
        {135, 179, 560, 1059860},
        {150, 259, 1200, 1200000},
    };
    for (int g = 1; g <= 4; g++) {
        int species = SpeciesWithGrowth(g);
        for (int i = 0; i < 4; i++)
            EXPECT_EQ(ExpNeededForLevel(levels[i], species), expected[g - 1][i]) << "growth " << g;
    }
    int mediumslow = SpeciesWithGrowth(LEVELUPEXP_MEDIUMSLOW);
    EXPECT_EQ(ExpNeededForLevel(1, mediumslow), -53) << "-53.8 truncates toward zero";
    EXPECT_EQ(ExpNeededForLevel(2, mediumslow), 9);
    EXPECT_EQ(ExpNeededForLevel(1, SpeciesWithGrowth(LEVELUPEXP_FAST)), 0);
}

TEST_F(CreaturesTest, ExperienceCurveEqualsTheExactValueTruncatedAtEveryLevel) {
    // Exact fifths in integers: real arithmetic must not slip below a whole number.
    for (long long l = 1; l <= 100; l++) {
        long long l2 = l * l, l3 = l2 * l;
        ASSERT_EQ(ExpNeededForLevel((int)l, SpeciesWithGrowth(1)), 4 * l3 / 5) << l;
        ASSERT_EQ(ExpNeededForLevel((int)l, SpeciesWithGrowth(2)), l3) << l;
        ASSERT_EQ(ExpNeededForLevel((int)l, SpeciesWithGrowth(3)), (6 * l3 - 75 * l2 + 500 * l - 700) / 5) << l;
        ASSERT_EQ(ExpNeededForLevel((int)l, SpeciesWithGrowth(4)), 6 * l3 / 5) << l;
    }
    EXPECT_EQ(LogLinesAfterBanner().size(), 0u);
}

TEST_F(CreaturesTest, BadGrowthOrSpeciesLogsOncePerCallAndGivesOne) {
    const std::string text = "Invalid LEVELUPEXP_ set for passed Vorlet. Returning 1";
    EXPECT_EQ(ExpNeededForLevel(5, 0), 1);
    EXPECT_EQ(CountLogLinesWith("Major Program error: " + text), 1);
    EXPECT_EQ(ExpNeededForLevel(50, 0), 1);
    EXPECT_EQ(CountLogLinesWith(text), 2);
    EXPECT_EQ(ExpNeededForLevel(5, SPECIESCOUNT), 1);
    EXPECT_EQ(ExpNeededForLevel(5, -1), 1);
    EXPECT_EQ(CountLogLinesWith("not in the table"), 2);
}

TEST_F(CreaturesTest, HpValueShinyAndGender) {
    EXPECT_EQ(DetermineHP(WithValues(1, 1, 1, 1)), 15);
    EXPECT_EQ(DetermineHP(WithValues(2, 3, 4, 5)), 5);
    EXPECT_EQ(DetermineHP(WithValues(9, 4, 13, 6)), 10);
    EXPECT_EQ(DetermineHP(WithValues(14, 14, 14, 14)), 0);

    std::set<int> shinyattack = {2, 3, 6, 7, 10, 11, 14, 15};
    for (int atk = 0; atk <= 15; atk++)
        EXPECT_EQ(IsShiny(WithValues(atk, 10, 10, 10)), shinyattack.count(atk) ? 1 : 0) << atk;
    EXPECT_EQ(IsShiny(WithValues(2, 10, 10, 9)), 0);
    EXPECT_EQ(IsShiny(WithValues(2, 11, 10, 10)), 0);
    EXPECT_EQ(IsShiny(WithValues(3, 10, 0, 10)), 0);

    int genderless = SpeciesWithGenderRatio(17);
    int mostlymale = SpeciesWithGenderRatio(2);
    int allmale = SpeciesWithGenderRatio(0);
    ASSERT_GT(genderless, 0);
    ASSERT_GT(mostlymale, 0);
    ASSERT_GT(allmale, 0);
    for (int value = 0; value <= 14; value++) {
        EXPECT_EQ(GetGender(genderless, value), 0);
        EXPECT_EQ(GetGender(mostlymale, value), value < 2 ? 2 : 1) << value;
        EXPECT_EQ(GetGender(allmale, value), 1);
    }
    EXPECT_EQ(GetGender(SPECIESCOUNT, 3), 0);
    EXPECT_EQ(GetGender(-1, 3), 0);
    EXPECT_EQ(CountLogLinesWith("Gender asked for species"), 2);
}

// making creatures

TEST_F(CreaturesTest, NewGamePlayerHoldsTheStartingCreatureWithHandComputedStats) {
    int kindlet = SpeciesNamed("Kindlet");
    const int draws[] = {40000, 9, 4, 13, 6};  // trainer id, then atk, def, spd, spc values
    QueueRandomDraws(draws, 5);
    ASSERT_EQ(NewGamePlayer(kindlet), 0);
    EXPECT_EQ(QueuedRandomDraws(), 0);

    EXPECT_EQ(MainPlayer.name, "Tobrin");
    EXPECT_EQ(MainPlayer.trainerid, 40000);
    EXPECT_EQ(MainPlayer.money, 3000);
    EXPECT_EQ(MainPlayer.partycount, 1);
    for (int i = 0; i < PARTYMAX; i++) EXPECT_EQ(MainPlayer.party[i], i);

    const ownedvorl &v = MainPlayer.owned[0];
    EXPECT_EQ(v.species, kindlet);
    EXPECT_EQ(v.level, 5);
    EXPECT_EQ(v.exp, 135);
    EXPECT_EQ(v.atkiv, 9);
    EXPECT_EQ(v.defiv, 4);
    EXPECT_EQ(v.spdiv, 13);
    EXPECT_EQ(v.spciv, 6);
    EXPECT_EQ(v.hpiv, 10);
    // Kindlet's base values 50, 40, 62 (speed), 58, 46 and 44 HP at level 5.
    EXPECT_EQ(v.attack, 10);
    EXPECT_EQ(v.defense, 9);
    EXPECT_EQ(v.speed, 12);
    EXPECT_EQ(v.spattack, 11);
    EXPECT_EQ(v.spdefense, 10);
    EXPECT_EQ(v.maxhp, 20);
    EXPECT_EQ(v.hp, 20);
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(v.happiness, 70);
    EXPECT_EQ(v.otname, "Tobrin");
    EXPECT_EQ(v.otid, 40000);
    EXPECT_EQ(v.nickname, "Kindlet");
    EXPECT_EQ(v.shiny, 0);
    EXPECT_EQ(v.metplace, "Route 0");
    EXPECT_EQ(v.metlevel, 5);
    // Its learn-level-0 move is skipped: three moves, the fourth slot empty.
    std::vector<int> expected = {MoveNamed("Nudge"), MoveNamed("Soot Cloud"), MoveNamed("Flicker")};
    EXPECT_EQ(KnownMoves(v), expected);
    EXPECT_EQ(v.moves[3].move, 0);
    EXPECT_EQ(v.moves[3].pp, 0);
    for (int slot = 0; slot < 3; slot++) {
        EXPECT_EQ(v.moves[slot].maxpp, MoveData[v.moves[slot].move].pp);
        EXPECT_EQ(v.moves[slot].pp, v.moves[slot].maxpp);
    }
}

TEST_F(CreaturesTest, WildCreatureCountsLearnLevelZeroAndHasNoOwner) {
    MainPlayer.name = "Tobrin";
    MainPlayer.trainerid = 777;
    ownedvorl wild = ownedvorl();
    wild.otname = "left over";
    wild.moves[3] = {99, 5, 5};
    int kindlet = SpeciesNamed("Kindlet");
    ASSERT_EQ(CreateVorlet(wild, kindlet, 5, VORLET_WILD, nullptr), 4);
    std::vector<int> expected = {MoveNamed("Hone Focus"), MoveNamed("Nudge"), MoveNamed("Soot Cloud"),
                                 MoveNamed("Flicker")};
    EXPECT_EQ(KnownMoves(wild), expected);
    EXPECT_EQ(wild.otname, "");
    EXPECT_EQ(wild.otid, 0);
    EXPECT_EQ(wild.metplace, "");
    EXPECT_EQ(wild.metlevel, 5);
    EXPECT_EQ(wild.exp, ExpNeededForLevel(5, kindlet));
    EXPECT_EQ(wild.hp, wild.maxhp);
}

TEST_F(CreaturesTest, SixMovesByTheLevelKeepTheLastFourInOrder) {
    int sproutmite = SpeciesNamed("Sproutmite");
    for (int owner : {VORLET_PLAYER, VORLET_WILD}) {
        ownedvorl v = ownedvorl();
        ASSERT_EQ(CreateVorlet(v, sproutmite, 5, owner, "Route 0"), 4);
        std::vector<int> expected = {MoveNamed("Silk Snare"), MoveNamed("Seed Shot"), MoveNamed("Numbspore"),
                                     MoveNamed("Mandibles")};
        EXPECT_EQ(KnownMoves(v), expected);
        for (const moveslot &slot : v.moves) {
            EXPECT_EQ(slot.maxpp, MoveData[slot.move].pp) << MoveData[slot.move].name;
            EXPECT_EQ(slot.pp, slot.maxpp);
        }
    }
}

TEST_F(CreaturesTest, OneMoveCreatureLeavesTheOtherSlotsEmpty) {
    int barrowisp = SpeciesNamed("Barrowisp");
    for (int level : {1, 2}) {
        ownedvorl v = ownedvorl();
        ASSERT_EQ(CreateVorlet(v, barrowisp, level, VORLET_WILD, nullptr), 1);
        EXPECT_EQ(v.moves[0].move, MoveNamed("Shade Tap"));
        for (int slot = 1; slot < MOVESLOTS; slot++) {
            EXPECT_EQ(v.moves[slot].move, 0);
            EXPECT_EQ(v.moves[slot].maxpp, 0);
            EXPECT_EQ(v.moves[slot].pp, 0);
        }
    }
}

TEST_F(CreaturesTest, NewCreaturesHoldSoundValuesAndShinyFollowsTheDraws) {
    SeedRandom(99);
    for (int i = 0; i < 500; i++) {
        int species = 1 + i % (SPECIESCOUNT - 1);
        int level = 1 + (i * 7) % MAXLEVEL;
        ownedvorl v = ownedvorl();
        ASSERT_GE(CreateVorlet(v, species, level, VORLET_WILD, nullptr), 1);
        for (int value : {v.atkiv, v.defiv, v.spdiv, v.spciv}) ASSERT_TRUE(value >= 0 && value <= 14);
        ASSERT_EQ(v.hpiv, DetermineHP(v));
        ASSERT_EQ(v.shiny, IsShiny(v));
        ASSERT_EQ(v.hp, v.maxhp);
        ASSERT_EQ(CheckVorlet(v, "new"), 0);
    }
    const int shinydraws[] = {6, 10, 10, 10};
    QueueRandomDraws(shinydraws, 4);
    ownedvorl v = ownedvorl();
    CreateVorlet(v, 1, 10, VORLET_WILD, nullptr);
    EXPECT_EQ(v.shiny, 1);
}

TEST_F(CreaturesTest, OutOfRangeSpeciesOrLevelIsRefusedWithoutTouchingAnything) {
    ownedvorl v = ownedvorl();
    v.species = 4;
    v.nickname = "Keep";
    struct Case {
        int species, level;
    } cases[] = {{0, 5}, {SPECIESCOUNT, 5}, {-3, 5}, {251, 5}, {1, 0}, {1, 101}, {1, -2}};
    for (const Case &c : cases) {
        EXPECT_EQ(CreateVorlet(v, c.species, c.level, VORLET_WILD, nullptr), -1);
        EXPECT_EQ(v.species, 4);
        EXPECT_EQ(v.nickname, "Keep");
    }
    EXPECT_EQ(random(32768), 41) << "a refusal draws nothing";
    EXPECT_EQ(CountLogLinesWith("Major Project error: Species"), 4);
    EXPECT_EQ(CountLogLinesWith("Major Project error: Level"), 3);
    EXPECT_EQ(CountLogLinesWith("no Vorlet was made"), 7);

    MainPlayer.name = "Untouched";
    EXPECT_EQ(NewGamePlayer(SPECIESCOUNT), -1);
    EXPECT_EQ(MainPlayer.name, "Untouched");
    EXPECT_EQ(CountLogLinesWith("Starting Vorlet 16 is not a Vorlet of this game"), 1);
}

TEST_F(CreaturesTest, TeachMoveFillsTheFirstEmptySlotAndRefusesBadNumbers) {
    ownedvorl v = ownedvorl();
    EXPECT_EQ(TeachMove(v, 0), -2);
    EXPECT_EQ(TeachMove(v, MOVECOUNT), -2);
    EXPECT_EQ(TeachMove(v, -1), -2);
    EXPECT_EQ(CountLogLinesWith("is not in the move table"), 3);
    EXPECT_EQ(KnownMoves(v).size(), 0u);

    EXPECT_EQ(TeachMove(v, 10), 0);
    EXPECT_EQ(TeachMove(v, 251), 1);
    v.moves[0] = {0, 0, 0};
    EXPECT_EQ(TeachMove(v, 20), 0) << "a gap is filled first";
    EXPECT_EQ(TeachMove(v, 30), 2);
    EXPECT_EQ(TeachMove(v, 40), 3);
    EXPECT_EQ(TeachMove(v, 50), -1);
    EXPECT_EQ(v.moves[1].maxpp, MoveData[251].pp);
    EXPECT_EQ(v.moves[1].pp, MoveData[251].pp);
}

TEST_F(CreaturesTest, CheckVorletNamesEveryValueThatWouldIndexPastATable) {
    ownedvorl v = ownedvorl();
    ASSERT_GT(CreateVorlet(v, 6, 30, VORLET_WILD, nullptr), 0);
    EXPECT_EQ(CheckVorlet(v, "Party Vorlet 1"), 0);
    EXPECT_EQ(LogLinesAfterBanner().size(), 0u);

    v.species = SPECIESCOUNT;
    v.level = 0;
    v.moves[2].move = MOVECOUNT;
    v.status = 7;
    EXPECT_EQ(CheckVorlet(v, "Party Vorlet 1"), -1);
    EXPECT_EQ(CountLogLinesWith("Major Project error: Party Vorlet 1 has"), 4);
    EXPECT_EQ(CountLogLinesWith("move 252 in slot 3"), 1);

    ownedvorl low = ownedvorl();
    ASSERT_GT(CreateVorlet(low, 6, 30, VORLET_WILD, nullptr), 0);
    low.species = 0;
    low.level = 101;
    low.moves[0].move = -1;
    low.status = -1;
    EXPECT_EQ(CheckVorlet(low, nullptr), -1);
    EXPECT_EQ(CountLogLinesWith("Major Project error: a Vorlet has"), 4);
}
