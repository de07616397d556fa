// The random draw, the stat formulas, the making of creatures, and the
// invariants of the move, species, type and status tables that a slip in the
// data would break.
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

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
};

int CountLogLinesWith(const std::string &text) {
    const std::vector<std::string> lines = LogLinesAfterBanner();
    return (int)std::count_if(lines.begin(), lines.end(), [&](const std::string &l) { return l.find(text) != l.npos; });
}

// The first species whose growth or gender ratio has the value.
int SpeciesWith(uint8_t vrltinfo::*field, int value) {
    for (int s = 1; s < SPECIESCOUNT; s++)
        if (VrltData[s].*field == value) return s;
    ADD_FAILURE() << "no species with value " << value;
    return 1;
}

int BaseTotal(const vrltinfo &row) {
    return row.baseattack + row.basedefense + row.basespattack + row.basespdefense + row.basespeed + row.basehp;
}

// Species used by name below: 1 Kindlet, 13 Sproutmite, 15 Barrowisp.
enum { KINDLET = 1, SPROUTMITE = 13, BARROWISP = 15 };

// The moves whose effect the battle carries out, by effect id.
const std::map<int, std::vector<int>> behavingeffects = {
    {3, {7, 52, 53, 126, 172, 221}}, {4, {8, 58, 59, 181}}, {5, {9, 34, 78, 84, 85, 86, 122, 137, 192, 209, 225}},
    {13, {40, 41, 77, 123, 124, 139, 188}}, {16, {28, 108, 134, 148, 189, 190}}, {19, {39, 43, 51, 231, 249}},
    {20, {45, 62}}, {21, {47, 79, 95, 142, 147}}, {23, {49, 82}}, {26, {61, 81, 132, 145, 196}}, {32, {74}},
    {38, {94, 242, 247}}, {39, {96, 159, 232}}, {45, {104}}, {47, {106, 110, 130, 211}}, {54, {116}},
    {105, {230}}, {73, {173}}, {93, {214}},
};

}  // namespace

// the random draw

TEST_F(CreaturesTest, GeneratorScalesTheClassicSequenceAndQueuedDrawsComeFirst) {
    // Seed 1 of the classic generator gives 41, 18467, 6334, 26500.
    EXPECT_EQ(random(32768), 41);
    SeedRandom(1);
    EXPECT_EQ(random(2), 0) << "scaling, not a remainder: 41 % 2 would be 1";
    EXPECT_EQ(random(-7), 0);
    EXPECT_EQ(random(32768), 6334) << "every call consumes one draw";
    SeedRandom(1);
    const int values[] = {3, 20, -1, 7};
    QueueRandomDraws(values, 4);
    EXPECT_EQ(random(15), 3);
    EXPECT_EQ(random(15), 5) << "20 mod 15";
    EXPECT_EQ(random(4), 3) << "-1 mod 4, never negative";
    EXPECT_EQ(random(0), 0) << "a queued value is consumed by random(0) too";
    EXPECT_EQ(random(32768), 41) << "queued draws do not advance the generator";
}

TEST_F(CreaturesTest, DrawsStayInRangeAndLargeRangesAreCoveredWhole) {
    SeedRandom(20240611);
    int high255 = -1, high65500 = -1;
    for (int i = 0; i < 200000; i++) {
        int a = random(255), b = random(65500), c = random(15), d = random(2000000000);
        ASSERT_TRUE(a >= 0 && a <= 254 && b >= 0 && b < 65500 && c >= 0 && c <= 14 && d >= 0 && d < 2000000000);
        high255 = std::max(high255, a);
        high65500 = std::max(high65500, b);
    }
    EXPECT_EQ(high255, 254);
    EXPECT_GT(high65500, 65000) << "ids must reach the top of their range, not stop at 32767";
}

// stat formulas

TEST_F(CreaturesTest, CalcStatWorkedValues) {
    EXPECT_EQ(CalcStat(49, 10, 0, 5, 0), 10);
    EXPECT_EQ(CalcStat(45, 15, 0, 5, 1), 21);
    EXPECT_EQ(CalcStat(49, 10, 10000, 50, 0), 70) << "s = 12.5 rounds up to 13";
    EXPECT_EQ(CalcStat(100, 14, 65535, 100, 0), 297) << "s = 64 at the top of stat experience";
    EXPECT_EQ(CalcStat(100, 14, 65535, 100, 1), 297 - 5 + 110);
}

TEST_F(CreaturesTest, ExperienceCurvesForEveryGrowthRateAndBadRows) {
    // level, then fast, medium fast, medium slow, slow; -53.8 truncates toward zero
    const int reference[][5] = {{1, 0, 1, -53, 1}, {2, 6, 8, 9, 9}, {5, 100, 125, 135, 150},
                                {10, 800, 1000, 560, 1200}, {100, 800000, 1000000, 1059860, 1200000}};
    for (const auto &r : reference)
        for (int g = 1; g <= 4; g++)
            EXPECT_EQ(ExpNeededForLevel(r[0], SpeciesWith(&vrltinfo::growth, g)), r[g]) << g << " " << r[0];
    EXPECT_EQ(LogLinesAfterBanner().size(), 0u);
    // A growth outside 1 to 4 (the placeholder row) or a species outside the table logs and gives 1.
    const std::string text = "Major Program error: Invalid LEVELUPEXP_ set for passed Vorlet. Returning 1";
    for (int species : {0, 0, (int)SPECIESCOUNT, -1}) EXPECT_EQ(ExpNeededForLevel(5, species), 1) << species;
    EXPECT_EQ(CountLogLinesWith(text), 2);
    EXPECT_EQ(CountLogLinesWith("not in the table"), 2);
}

TEST_F(CreaturesTest, HpValueShinyAndGender) {
    auto withvalues = [](int atk, int def, int spd, int spc) {
        ownedvorl v = ownedvorl();
        v.atkiv = atk, v.defiv = def, v.spdiv = spd, v.spciv = spc;
        return v;
    };
    EXPECT_EQ(DetermineHP(withvalues(2, 3, 5, 6)), 6) << "each odd value sets its own bit";
    const std::set<int> shinyattack = {2, 3, 6, 7, 10, 11, 14, 15};
    for (int atk = 0; atk <= 15; atk++)
        EXPECT_EQ(IsShiny(withvalues(atk, 10, 10, 10)), shinyattack.count(atk) ? 1 : 0) << atk;
    for (const ownedvorl &v : {withvalues(2, 10, 10, 9), withvalues(2, 11, 10, 10), withvalues(3, 10, 0, 10)})
        EXPECT_EQ(IsShiny(v), 0);
    const int shinydraws[] = {6, 10, 10, 10};
    QueueRandomDraws(shinydraws, 4);
    ownedvorl made = ownedvorl();
    ASSERT_GT(CreateVorlet(made, KINDLET, 10, VORLET_WILD, nullptr), 0);
    EXPECT_EQ(made.shiny, 1) << "a new creature's shiny mark follows its drawn values";

    int genderless = SpeciesWith(&vrltinfo::genderratio, 17), mostlymale = SpeciesWith(&vrltinfo::genderratio, 2);
    for (int value = 0; value <= 14; value++) {
        EXPECT_EQ(GetGender(genderless, value), 0);
        EXPECT_EQ(GetGender(mostlymale, value), value < 2 ? 2 : 1) << value;
    }
    for (int outside : {(int)SPECIESCOUNT, -1}) EXPECT_EQ(GetGender(outside, 3), 0);
    EXPECT_EQ(CountLogLinesWith("Gender asked for species"), 2);
}

// making creatures

TEST_F(CreaturesTest, NewGamePlayerHoldsTheStartingCreatureWithHandComputedStats) {
    const int draws[] = {40000, 9, 4, 13, 14};  // trainer id, then atk, def, spd, spc values
    QueueRandomDraws(draws, 5);
    ASSERT_EQ(NewGamePlayer(KINDLET), 0);
    EXPECT_EQ(QueuedRandomDraws(), 0);
    for (int i = 0; i < PARTYMAX; i++) EXPECT_EQ(MainPlayer.party[i], i);
    const ownedvorl &v = MainPlayer.owned[0];
    // Kindlet's base values 50, 40, 62 (speed), 58, 46 and 44 HP at level 5:
    // attack (50 + 9) * 2 * 5 / 100 + 5 = 10, special defence (46 + 14) * 10 / 100 + 5 = 11
    // (not 10 with the defence value), HP (44 + 10) * 10 / 100 + 15 = 20.
    const int got[] = {MainPlayer.trainerid, MainPlayer.money, MainPlayer.partycount, v.species, v.level, v.exp,
                       v.hpiv, v.attack, v.defense, v.speed, v.spattack, v.spdefense, v.maxhp, v.hp, v.status,
                       v.happiness, v.otid, v.shiny, v.metlevel};
    const int want[] = {40000, 3000, 1, KINDLET, 5, 135, 10, 10, 9, 12, 12, 11, 20, 20, 0, 70, 40000, 0, 5};
    for (size_t i = 0; i < sizeof want / sizeof want[0]; i++) EXPECT_EQ(got[i], want[i]) << "field " << i;
    EXPECT_EQ(MainPlayer.name + "/" + v.otname + "/" + v.nickname + "/" + v.metplace, "Tobrin/Tobrin/Kindlet/Route 0");
}

TEST_F(CreaturesTest, StartingMovesAreTheLastFourLearnedByTheLevel) {
    MainPlayer.name = "Tobrin";
    MainPlayer.trainerid = 777;
    const struct {
        int species, level, owner;
        std::vector<int> moves;
    } cases[] = {
        {KINDLET, 5, VORLET_PLAYER, {1, 108, 48}},     // Hone Focus at learn level 0 is skipped
        {KINDLET, 5, VORLET_WILD, {116, 1, 108, 48}},  // but a wild one knows it
        {SPROUTMITE, 5, VORLET_PLAYER, {196, 121, 78, 17}},  // six by level 5: the first two drop out
        {SPROUTMITE, 5, VORLET_WILD, {196, 121, 78, 17}},
        {BARROWISP, 2, VORLET_WILD, {19}},  // one move by level 2
    };
    for (const auto &c : cases) {
        ownedvorl v = ownedvorl();
        v.otname = "left over";
        v.moves[3] = {99, 5, 5};
        const char *place = c.owner == VORLET_PLAYER ? "Route 0" : nullptr;
        ASSERT_EQ(CreateVorlet(v, c.species, c.level, c.owner, place), (int)c.moves.size()) << c.species;
        for (int slot = 0; slot < MOVESLOTS; slot++) {
            int move = slot < (int)c.moves.size() ? c.moves[slot] : 0;
            EXPECT_EQ(v.moves[slot].move, move) << c.species << " slot " << slot;
            EXPECT_EQ(v.moves[slot].maxpp, move ? MoveData[move].pp : 0) << c.species << " slot " << slot;
            EXPECT_EQ(v.moves[slot].pp, v.moves[slot].maxpp);
        }
        std::string owner = v.otname + "/" + std::to_string(v.otid) + "/" + v.metplace;
        EXPECT_EQ(owner, c.owner == VORLET_PLAYER ? "Tobrin/777/Route 0" : "/0/") << "owner and place";
    }
}

TEST_F(CreaturesTest, OutOfRangeSpeciesOrLevelIsRefusedWithoutTouchingAnything) {
    ownedvorl v = ownedvorl();
    v.species = 4;
    v.nickname = "Keep";
    const int cases[][2] = {{0, 5}, {SPECIESCOUNT, 5}, {-3, 5}, {251, 5}, {1, 0}, {1, 101}, {1, -2}};
    for (const auto &c : cases) {
        EXPECT_EQ(CreateVorlet(v, c[0], c[1], VORLET_WILD, nullptr), -1) << c[0] << " " << c[1];
        EXPECT_EQ(v.species, 4);
        EXPECT_EQ(v.nickname, "Keep");
    }
    EXPECT_EQ(CountLogLinesWith("Major Project error: Species"), 4);
    EXPECT_EQ(CountLogLinesWith("Major Project error: Level"), 3);
    MainPlayer.name = "Untouched";
    EXPECT_EQ(NewGamePlayer(SPECIESCOUNT), -1);
    EXPECT_EQ(MainPlayer.name, "Untouched");
    EXPECT_EQ(CountLogLinesWith("Starting Vorlet 16 is not a Vorlet of this game"), 1);
    EXPECT_EQ(random(32768), 41) << "a refusal draws nothing";
}

TEST_F(CreaturesTest, TeachMoveFillsTheFirstEmptySlotAndRefusesBadNumbers) {
    ownedvorl v = ownedvorl();
    for (int bad : {0, (int)MOVECOUNT, -1}) EXPECT_EQ(TeachMove(v, bad), -2) << bad;
    EXPECT_EQ(CountLogLinesWith("is not in the move table"), 3);
    EXPECT_EQ(TeachMove(v, 10), 0) << "nothing was learned before";
    EXPECT_EQ(TeachMove(v, 251), 1);
    v.moves[0] = {0, 0, 0};
    const int slots[] = {0, 2, 3, -1};  // the gap first, then the free slots, then none
    for (int i = 0; i < 4; i++) EXPECT_EQ(TeachMove(v, 20 + 10 * i), slots[i]) << i;
}

TEST_F(CreaturesTest, CheckVorletNamesEveryValueThatWouldIndexPastATable) {
    ownedvorl v = ownedvorl();
    ASSERT_GT(CreateVorlet(v, 6, 30, VORLET_WILD, nullptr), 0);
    EXPECT_EQ(CheckVorlet(v, "Party Vorlet 1"), 0);
    EXPECT_EQ(LogLinesAfterBanner().size(), 0u);
    // Species, level, a move and the status one past the top, then one below the bottom.
    const int bad[2][4] = {{SPECIESCOUNT, 0, MOVECOUNT, 7}, {0, 101, -1, -1}};
    for (const auto &b : bad) {
        ownedvorl w = v;
        w.species = b[0], w.level = b[1], w.moves[2].move = b[2], w.status = b[3];
        EXPECT_EQ(CheckVorlet(w, b[0] ? "Party Vorlet 1" : nullptr), -1);
    }
    EXPECT_EQ(CountLogLinesWith("Major Project error: Party Vorlet 1 has"), 4);
    EXPECT_EQ(CountLogLinesWith("Major Project error: a Vorlet has"), 4);
}

// the tables

TEST_F(CreaturesTest, RowNumbersAndSpecialTypes) {
    for (int m = 0; m < MOVECOUNT; m++) EXPECT_EQ(MoveData[m].number, m);
    for (int s = 0; s < SPECIESCOUNT; s++) EXPECT_EQ(VrltData[s].number, s);
    for (int t = 0; t < TYPECOUNT; t++) {
        EXPECT_EQ(vltypes[t].number, t);
        EXPECT_EQ(vltypes[t].special, t >= TYPE_FIRE ? 1 : 0) << "from Fire on, moves use the special stats";
    }
}

TEST_F(CreaturesTest, EffectsAndFlagsSitOnExactlyTheirMoves) {
    const std::map<uint32_t, std::vector<int>> flagged = {{MOVEFLAG_FROZENUSE, {172, 221}},
                                                          {MOVEFLAG_THAWTARGET, {7, 52, 53, 83, 126, 172, 221}},
                                                          {MOVEFLAG_NEVERMISS, {114, 129, 185, 233}}};
    std::map<int, std::vector<int>> byeffect, byflag;
    for (int m = 0; m < MOVECOUNT; m++) {
        if (m > 0 && behavingeffects.count(MoveData[m].effect)) byeffect[MoveData[m].effect].push_back(m);
        for (const auto &f : flagged)
            if (MoveData[m].flags & f.first) byflag[f.first].push_back(m);
    }
    for (const auto &e : behavingeffects) EXPECT_EQ(byeffect[e.first], e.second) << "effect " << e.first;
    for (const auto &f : flagged) EXPECT_EQ(byflag[f.first], f.second) << "flag " << f.first;
}

TEST_F(CreaturesTest, MovesAreWellFormed) {
    for (int m = 1; m < MOVECOUNT; m++) {
        const moveinfo &move = MoveData[m];
        std::string name = move.name;
        EXPECT_TRUE(!name.empty() && name.size() <= 11) << name << ": the move menu shows the PP at x = 120";
        EXPECT_TRUE(move.pp >= 5 && move.pp <= 40 && move.accuracy >= 1 && move.accuracy <= 255) << name;
        EXPECT_TRUE((move.type >= TYPE_NORMAL && move.type <= TYPE_DARK) || m == FALLBACKMOVE) << name;
        bool behaves = behavingeffects.count(move.effect) > 0;
        // A move that deals no damage must do something: a behaving effect that always applies.
        EXPECT_TRUE(move.power != 0 || (behaves && move.effectchance == 255)) << name;
        // A side effect with a chance of 0 would never happen.
        bool sideeffect = behaves && move.effect != 23 && move.effect != 73 && move.effect != 93;
        EXPECT_TRUE(!sideeffect || move.effectchance > 0) << name;
    }
}

TEST_F(CreaturesTest, TypeChartAndStatusRows) {
    for (int a = 0; a < TYPECOUNT; a++)
        for (int d = 0; d < TYPECOUNT; d++) {
            double x = vltypes[a].multiplier[d];
            EXPECT_TRUE(a && d ? x == 0 || x == 0.5 || x == 1 || x == 2 : x == 1) << a << " " << d << " (??? neutral)";
        }
    // Pairs whose reverse differs, so a chart stored defender-first shows.
    const double pairs[][3] = {{TYPE_ELECTRIC, TYPE_GROUND, 0}, {TYPE_GROUND, TYPE_ELECTRIC, 2},
                               {TYPE_WATER, TYPE_FIRE, 2}, {TYPE_FIRE, TYPE_WATER, 0.5}};
    for (const auto &p : pairs) EXPECT_EQ(vltypes[(int)p[0]].multiplier[(int)p[1]], p[2]) << p[0] << " " << p[1];
    EXPECT_STREQ(vorlstatus[STATUS_NONE].abbrev, " ") << "a healthy creature's box shows nothing";
    EXPECT_EQ(vorlstatus[STATUS_FAINTED + 1].abbrev, nullptr);
}

TEST_F(CreaturesTest, SpeciesRowsAndEvolutionsAreSound) {
    std::set<int> growths;
    for (int s = 1; s < SPECIESCOUNT; s++) {
        const vrltinfo &row = VrltData[s];
        for (int type : {row.type1, row.type2}) EXPECT_TRUE(type >= TYPE_NORMAL && type <= TYPE_DARK) << row.name;
        for (int base : {row.baseattack, row.basedefense, row.basespattack, row.basespdefense, row.basespeed,
                         row.basehp})
            EXPECT_TRUE(base >= 20 && base <= 160) << row.name << " has a base value of " << base;
        EXPECT_TRUE(row.genderratio <= 15 || row.genderratio == 17) << row.name;
        growths.insert(row.growth);
        ASSERT_TRUE(row.familybase >= 1 && row.familybase < SPECIESCOUNT) << row.name;
        EXPECT_EQ(VrltData[row.familybase].familybase, row.familybase) << row.name;
        EXPECT_EQ(VrltData[row.familybase].growth, row.growth) << row.name << " grows like the rest of its line";
        ASSERT_TRUE(row.evocount >= 0 && row.evocount <= EVOMAX) << row.name;
        for (int k = row.evocount; k < EVOMAX; k++) EXPECT_EQ(row.evolutions[k].target, 0) << row.name;
        for (int k = 0; k < row.evocount; k++) {
            const evoentry &e = row.evolutions[k];
            ASSERT_TRUE(e.target >= 1 && e.target < SPECIESCOUNT && e.target != s) << row.name;
            EXPECT_EQ(VrltData[e.target].familybase, row.familybase) << row.name;
            EXPECT_GT(BaseTotal(VrltData[e.target]), BaseTotal(row)) << row.name;
            EXPECT_TRUE(e.method != EVO_LEVEL || (e.param >= 2 && e.param <= MAXLEVEL)) << row.name;
        }
    }
    EXPECT_EQ(growths, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(CreaturesTest, LearnsetsEndCleanlyAndEveryCreatureKnowsMoves) {
    for (int s = 1; s < SPECIESCOUNT; s++) {
        const learnentry *set = VrltData[s].learnset;
        const char *name = VrltData[s].name;
        int end = 0, lastlevel = 0;
        while (end < LEARNSETMAX && set[end].move != 0) end++;
        ASSERT_LT(end, LEARNSETMAX) << name << ": the list must end with an empty entry";
        for (int i = end; i < LEARNSETMAX; i++) EXPECT_TRUE(set[i].move == 0 && set[i].level == 0) << name << " " << i;
        std::set<int> moves;
        for (int i = 0; i < end; i++) {
            const learnentry &e = set[i];
            EXPECT_TRUE(e.move >= 1 && e.move < MOVECOUNT && e.move != FALLBACKMOVE && e.level <= 101) << name;
            EXPECT_TRUE(moves.insert(e.move).second) << name << " lists move " << e.move << " twice";
            if (e.level == 0) continue;
            EXPECT_GE(e.level, lastlevel) << name << ": entries in level order";
            lastlevel = e.level;
        }
        // Two moves by level 5 for either owner; drawn values in 0 to 14.
        for (int owner : {VORLET_PLAYER, VORLET_WILD})
            for (int level : {1, 5, 100}) {
                ownedvorl v = ownedvorl();
                EXPECT_GE(CreateVorlet(v, s, level, owner, nullptr), level == 5 ? 2 : 1) << name << " " << level;
                for (int value : {v.atkiv, v.defiv, v.spdiv, v.spciv}) EXPECT_TRUE(value >= 0 && value <= 14);
            }
    }
}
