// Invariants of the move, species, type and status tables that a slip in the
// data would break.
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "creatures/creatures.h"
#include "tests/harness/testsupport.h"

namespace {

class CreatureDataTest : public QbTest {};

// The moves whose effect the battle carries out, by effect id.
const std::map<int, std::vector<int>> behavingeffects = {
    {3, {7, 52, 53, 126, 172, 221}},
    {4, {8, 58, 59, 181}},
    {5, {9, 34, 78, 84, 85, 86, 122, 137, 192, 209, 225}},
    {13, {40, 41, 77, 123, 124, 139, 188}},
    {16, {28, 108, 134, 148, 189, 190}},
    {19, {39, 43, 51, 231, 249}},
    {20, {45, 62}},
    {21, {47, 79, 95, 142, 147}},
    {23, {49, 82}},
    {26, {61, 81, 132, 145, 196}},
    {32, {74}},
    {38, {94, 242, 247}},
    {39, {96, 159, 232}},
    {45, {104}},
    {47, {106, 110, 130, 211}},
    {54, {116}},
    {105, {230}},
    {73, {173}},
    {93, {214}},
};

std::vector<int> MovesWithFlag(uint32_t flag) {
    std::vector<int> moves;
    for (int m = 0; m < MOVECOUNT; m++)
        if (MoveData[m].flags & flag) moves.push_back(m);
    return moves;
}

bool IsEvolutionTarget(int species) {
    for (int s = 1; s < SPECIESCOUNT; s++)
        for (int k = 0; k < VrltData[s].evocount; k++)
            if (VrltData[s].evolutions[k].target == species) return true;
    return false;
}

int BaseTotal(const vrltinfo &row) {
    return row.baseattack + row.basedefense + row.basespattack + row.basespdefense + row.basespeed + row.basehp;
}

}  // namespace

TEST_F(CreatureDataTest, PlaceholderRowsAndRowNumbers) {
    const moveinfo &none = MoveData[0];
    EXPECT_STREQ(none.name, "...");
    EXPECT_EQ(none.priority, 3);
    EXPECT_EQ(none.pp, 1);
    EXPECT_EQ(none.flags | none.power | none.type | none.accuracy | none.effectchance | none.effect, 0u);

    const vrltinfo &nobody = VrltData[0];
    EXPECT_EQ(nobody.height, 1);
    EXPECT_EQ(nobody.weight, 1);
    EXPECT_EQ(nobody.type1 | nobody.type2 | nobody.evocount | nobody.growth | nobody.genderratio, 0);
    EXPECT_EQ(BaseTotal(nobody) + nobody.baseexp + nobody.familybase, 0);
    EXPECT_EQ(nobody.learnset[0].move, 0);

    for (int m = 0; m < MOVECOUNT; m++) EXPECT_EQ(MoveData[m].number, m);
    for (int s = 0; s < SPECIESCOUNT; s++) EXPECT_EQ(VrltData[s].number, s);
    for (int t = 0; t < TYPECOUNT; t++) {
        EXPECT_EQ(vltypes[t].number, t);
        EXPECT_EQ(vltypes[t].code, t < 10 ? t : t + 10);
        EXPECT_EQ(vltypes[t].special, t >= TYPE_FIRE ? 1 : 0);
        EXPECT_EQ(strlen(vltypes[t].abbrev), 3u);
    }
}

TEST_F(CreatureDataTest, EffectsAndFlagsSitOnExactlyTheirMoves) {
    std::map<int, std::vector<int>> found;
    for (int m = 1; m < MOVECOUNT; m++)
        if (behavingeffects.count(MoveData[m].effect)) found[MoveData[m].effect].push_back(m);
    for (const auto &entry : behavingeffects) EXPECT_EQ(found[entry.first], entry.second) << "effect " << entry.first;

    EXPECT_EQ(MovesWithFlag(MOVEFLAG_FROZENUSE), (std::vector<int>{172, 221}));
    EXPECT_EQ(MovesWithFlag(MOVEFLAG_THAWTARGET), (std::vector<int>{7, 52, 53, 83, 126, 172, 221}));
    EXPECT_EQ(MovesWithFlag(MOVEFLAG_NEVERMISS), (std::vector<int>{114, 129, 185, 233}));
    size_t highcrit = MovesWithFlag(MOVEFLAG_HIGHCRIT).size();
    EXPECT_GE(highcrit, 3u);
    EXPECT_LE(highcrit, 12u);

    const moveinfo &fallback = MoveData[FALLBACKMOVE];
    EXPECT_EQ(fallback.power, 50);
    EXPECT_EQ(fallback.type, TYPE_NONE);
    EXPECT_EQ(fallback.effect, 17);
    EXPECT_EQ(fallback.priority, 3);
}

TEST_F(CreatureDataTest, MovesAreWellFormed) {
    std::set<std::string> names;
    std::set<int> priorities;
    for (int m = 1; m < MOVECOUNT; m++) {
        const moveinfo &move = MoveData[m];
        std::string name = move.name;
        EXPECT_FALSE(name.empty()) << m;
        EXPECT_LE(name.size(), 11u) << name << ": the move menu shows the PP at x = 120";
        EXPECT_TRUE(names.insert(name).second) << "two moves named " << name;
        EXPECT_TRUE(move.pp >= 5 && move.pp <= 40) << name;
        EXPECT_TRUE(move.power >= 0 && move.power <= 250) << name;
        EXPECT_TRUE(move.accuracy >= 1 && move.accuracy <= 255) << name;
        EXPECT_TRUE(move.effectchance >= 0 && move.effectchance <= 255) << name;
        EXPECT_TRUE(move.effect >= 0 && move.effect <= 117) << name;
        EXPECT_TRUE(move.priority >= 1 && move.priority <= 4) << name;
        priorities.insert(move.priority);
        if (m != FALLBACKMOVE) {
            EXPECT_TRUE(move.type >= TYPE_NORMAL && move.type <= TYPE_DARK) << name;
        }
        // A move that deals no damage must do something: a behaving effect that always applies.
        if (move.power == 0) {
            EXPECT_TRUE(behavingeffects.count(move.effect)) << name;
            EXPECT_EQ(move.effectchance, 255) << name;
        }
        // A side effect with a chance of 0 would never happen.
        if (behavingeffects.count(move.effect) && move.effect != 23 && move.effect != 73 && move.effect != 93) {
            EXPECT_GT(move.effectchance, 0) << name;
        }
    }
    EXPECT_EQ(priorities, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(CreatureDataTest, TypeChartValues) {
    std::set<double> allowed = {0.0, 0.5, 1.0, 2.0};
    for (int a = 0; a < TYPECOUNT; a++)
        for (int d = 0; d < TYPECOUNT; d++) EXPECT_TRUE(allowed.count(vltypes[a].multiplier[d])) << a << " " << d;
    for (int t = 0; t < TYPECOUNT; t++) {
        EXPECT_EQ(vltypes[TYPE_NONE].multiplier[t], 1.0) << "a typeless move is neutral";
        EXPECT_EQ(vltypes[t].multiplier[TYPE_NONE], 1.0);
    }
    EXPECT_EQ(vltypes[TYPE_NORMAL].multiplier[TYPE_GHOST], 0.0);
    EXPECT_EQ(vltypes[TYPE_GHOST].multiplier[TYPE_NORMAL], 0.0);
    EXPECT_EQ(vltypes[TYPE_ELECTRIC].multiplier[TYPE_GROUND], 0.0);
    EXPECT_EQ(vltypes[TYPE_POISON].multiplier[TYPE_STEEL], 0.0);
    EXPECT_EQ(vltypes[TYPE_PSYCHIC].multiplier[TYPE_DARK], 0.0);
    EXPECT_EQ(vltypes[TYPE_GROUND].multiplier[TYPE_FLYING], 0.0);
    EXPECT_EQ(vltypes[TYPE_FIRE].multiplier[TYPE_BUG] * vltypes[TYPE_FIRE].multiplier[TYPE_STEEL], 4.0);
    EXPECT_EQ(vltypes[TYPE_WATER].multiplier[TYPE_FIRE], 2.0);
    EXPECT_EQ(vltypes[TYPE_FIRE].multiplier[TYPE_WATER], 0.5);
    EXPECT_EQ(vltypes[TYPE_DRAGON].multiplier[TYPE_DRAGON], 2.0);
    EXPECT_EQ(vltypes[TYPE_DARK].multiplier[TYPE_FIGHTING], 0.5);
    EXPECT_STREQ(vltypes[TYPE_ELECTRIC].name, "Electric");
    EXPECT_STREQ(vltypes[TYPE_NONE].name, "???");

    const char *abbrevs[] = {" ", "BRN", "PSN", "PRZ", "SLP", "FRZ", "FNT"};
    for (int s = 0; s <= STATUS_FAINTED; s++) {
        EXPECT_EQ(vorlstatus[s].code, s);
        EXPECT_STREQ(vorlstatus[s].abbrev, abbrevs[s]);
    }
    EXPECT_STREQ(vorlstatus[STATUS_PARALYZED].name, "Paralyzed");
    EXPECT_EQ(vorlstatus[7].code, 0);
    EXPECT_EQ(vorlstatus[7].abbrev, nullptr);
}

TEST_F(CreatureDataTest, SpeciesRowsAreWellFormed) {
    std::set<std::string> names;
    std::set<int> growths, ratios;
    for (int s = 1; s < SPECIESCOUNT; s++) {
        const vrltinfo &row = VrltData[s];
        std::string name = row.name;
        EXPECT_TRUE(!name.empty() && name.size() <= 12) << s;
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_TRUE(strlen(row.category) > 0 && strlen(row.category) <= 15) << name;
        EXPECT_TRUE(row.type1 >= TYPE_NORMAL && row.type1 <= TYPE_DARK) << name;
        EXPECT_TRUE(row.type2 >= TYPE_NORMAL && row.type2 <= TYPE_DARK) << name;
        EXPECT_TRUE(row.description && strlen(row.description) > 20) << name;
        for (int base : {row.baseattack, row.basedefense, row.basespattack, row.basespdefense, row.basespeed,
                         row.basehp})
            EXPECT_TRUE(base >= 20 && base <= 160) << name;
        EXPECT_GT(row.baseexp, 0) << name;
        EXPECT_TRUE(row.genderratio <= 15 || row.genderratio == 17) << name;
        growths.insert(row.growth);
        ratios.insert(row.genderratio);
        int base = row.familybase;
        ASSERT_TRUE(base >= 1 && base < SPECIESCOUNT) << name;
        EXPECT_EQ(VrltData[base].familybase, base) << name;
        EXPECT_EQ(VrltData[base].growth, row.growth) << name << " grows like the rest of its line";
    }
    EXPECT_EQ(growths, (std::set<int>{1, 2, 3, 4}));
    EXPECT_TRUE(ratios.count(17));
    EXPECT_GE(ratios.size(), 4u);
}

TEST_F(CreatureDataTest, EvolutionsLeadToRealStrongerSpeciesAndUseEveryMethod) {
    std::set<std::pair<int, int>> used;  // method, param
    for (int s = 1; s < SPECIESCOUNT; s++) {
        const vrltinfo &row = VrltData[s];
        ASSERT_TRUE(row.evocount >= 0 && row.evocount <= EVOMAX) << row.name;
        for (int k = 0; k < row.evocount; k++) {
            const evoentry &e = row.evolutions[k];
            ASSERT_TRUE(e.target >= 1 && e.target < SPECIESCOUNT) << row.name;
            EXPECT_NE(e.target, s);
            EXPECT_EQ(VrltData[e.target].familybase, row.familybase) << row.name;
            EXPECT_GT(BaseTotal(VrltData[e.target]), BaseTotal(row)) << row.name;
            if (e.method == EVO_LEVEL) {
                EXPECT_TRUE(e.param >= 2 && e.param <= MAXLEVEL) << row.name;
            }
            used.insert({e.method, e.method == EVO_LEVEL ? 0 : e.param});
        }
        for (int k = row.evocount; k < EVOMAX; k++) EXPECT_EQ(row.evolutions[k].target, 0) << row.name;
    }
    std::set<std::pair<int, int>> wanted = {{EVO_LEVEL, 0},    {EVO_HAPPINESS, 0}, {EVO_HAPPINESS, 1},
                                            {EVO_HAPPINESS, 2}, {EVO_ATKDEF, 1},    {EVO_ATKDEF, 2},
                                            {EVO_ATKDEF, 3}};
    EXPECT_EQ(used, wanted);
}

TEST_F(CreatureDataTest, LearnsetsEndCleanlyAndTeachAtEveryStage) {
    int sixbyfive = 0;
    for (int s = 1; s < SPECIESCOUNT; s++) {
        const vrltinfo &row = VrltData[s];
        int end = 0;
        while (end < LEARNSETMAX && row.learnset[end].move != 0) end++;
        ASSERT_LT(end, LEARNSETMAX) << row.name << ": the list must end with an empty entry";
        for (int i = end; i < LEARNSETMAX; i++)
            EXPECT_TRUE(row.learnset[i].move == 0 && row.learnset[i].level == 0) << row.name << " entry " << i;
        int bylevel5 = 0, later = 0, lastlevel = 0;
        std::set<int> moves;
        for (int i = 0; i < end; i++) {
            const learnentry &entry = row.learnset[i];
            EXPECT_TRUE(entry.move >= 1 && entry.move < MOVECOUNT) << row.name;
            EXPECT_NE(entry.move, FALLBACKMOVE) << row.name;
            EXPECT_TRUE(moves.insert(entry.move).second) << row.name << " lists a move twice";
            EXPECT_LE(entry.level, 101) << row.name;
            if (entry.level == 0) continue;
            EXPECT_GE(entry.level, lastlevel) << row.name << ": entries in level order";
            lastlevel = entry.level;
            if (entry.level <= 5) bylevel5++;
            if (entry.level > 5 && entry.level <= MAXLEVEL) later++;
        }
        EXPECT_GE(later, 5) << row.name << " learns new moves after level 5";
        if (bylevel5 >= 6) sixbyfive++;

        for (int owner : {VORLET_PLAYER, VORLET_WILD}) {
            ownedvorl v = ownedvorl();
            EXPECT_GE(CreateVorlet(v, s, 5, owner, nullptr), 2) << row.name << " at level 5";
        }
    }
    EXPECT_GE(sixbyfive, 1) << "one species knows six moves by level 5";
}

TEST_F(CreatureDataTest, EarlyWildBattlesLastAFewTurns) {
    // Hits a level-5 creature needs with an ordinary neutral move (power 40,
    // average spread) to beat a first-stage wild creature of level 2 to 8,
    // with middling individual values on both sides.
    const int iv = 7, power = 40;
    for (int own = 1; own < SPECIESCOUNT; own++) {
        const vrltinfo &mine = VrltData[own];
        int attack = std::max(CalcStat(mine.baseattack, iv, 0, 5, 0), CalcStat(mine.basespattack, iv, 0, 5, 0));
        for (int wild = 1; wild < SPECIESCOUNT; wild++) {
            if (IsEvolutionTarget(wild)) continue;
            const vrltinfo &theirs = VrltData[wild];
            for (int level = 2; level <= 8; level++) {
                int defense = CalcStat(theirs.basedefense, iv, 0, level, 0);
                int hp = CalcStat(theirs.basehp, iv, 0, level, 1);
                int damage = ((2 * 5) / 5 + 2) * attack * power / defense / 50 + 2;
                damage = damage * 235 / 255;
                int hits = (hp + damage - 1) / damage;
                EXPECT_TRUE(hits >= 2 && hits <= 12)
                    << mine.name << " needs " << hits << " hits against a level " << level << " " << theirs.name;
            }
        }
    }
}
