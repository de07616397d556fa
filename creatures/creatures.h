// Creature rules and data: records, static tables, formulas and the random draw.
#pragma once

#include <cstdint>
#include <string>

// sizes of the fixed tables
enum {
    MOVECOUNT = 252,     // move numbers 0 to 251; 0 is the placeholder / empty slot
    SPECIESCOUNT = 16,   // species numbers 0 to 15; 0 is the placeholder
    TYPECOUNT = 18,      // type numbers 0 to 17
    STATUSROWS = 8,      // status codes 0 to 6 plus an all-zero end row
    LEARNSETMAX = 50,
    EVOMAX = 5,
    MAXLEVEL = 100,
    PARTYMAX = 6,
    MOVESLOTS = 4,
};

// type numbers (rows of vltypes)
enum {
    TYPE_NONE = 0, TYPE_NORMAL, TYPE_FIGHTING, TYPE_FLYING, TYPE_POISON, TYPE_GROUND, TYPE_ROCK,
    TYPE_BUG, TYPE_GHOST, TYPE_STEEL, TYPE_FIRE, TYPE_WATER, TYPE_GRASS, TYPE_ELECTRIC,
    TYPE_PSYCHIC, TYPE_ICE, TYPE_DRAGON, TYPE_DARK
};

// status codes (rows of vorlstatus)
enum {
    STATUS_NONE = 0, STATUS_BURNED, STATUS_POISONED, STATUS_PARALYZED, STATUS_ASLEEP,
    STATUS_FROZEN, STATUS_FAINTED
};

// growth rates of the experience curve
enum { LEVELUPEXP_FAST = 1, LEVELUPEXP_MEDIUMFAST = 2, LEVELUPEXP_MEDIUMSLOW = 3, LEVELUPEXP_SLOW = 4 };

// evolution methods; 2, 3 and any other value never apply
enum { EVO_LEVEL = 1, EVO_HAPPINESS = 4, EVO_ATKDEF = 5 };

// move flag bits; contact is carried for game makers and read by no rule
enum : uint32_t {
    MOVEFLAG_CONTACT = 0x1,
    MOVEFLAG_HIGHCRIT = 0x2,
    MOVEFLAG_NEVERMISS = 0x10,
    MOVEFLAG_FROZENUSE = 0x20,     // a frozen user never thaws by chance while choosing it: it stays frozen
    MOVEFLAG_THAWTARGET = 0x2000,  // thaws a frozen target (Fire-type moves do too)
};

// secondary effect ids of the move table; any other id does nothing
enum {
    EFFECT_BURN = 3,  // the target is burned, paralysed, frozen, poisoned or put to sleep
    EFFECT_FREEZE = 4,
    EFFECT_PARALYSE = 5,
    EFFECT_POISON = 13,
    EFFECT_SLEEP = 21,
    EFFECT_ACCURACYDOWN = 16,  // a stage of the target one lower
    EFFECT_DEFENSEDOWN = 19,
    EFFECT_ATTACKDOWN = 20,
    EFFECT_SPEEDDOWN = 26,
    EFFECT_SPDEFENSEDOWN = 38,
    EFFECT_EVASIONDOWN = 105,
    EFFECT_SPATTACKUP = 32,  // a stage of the user one higher
    EFFECT_ATTACKUP = 39,
    EFFECT_EVASIONUP = 45,
    EFFECT_DEFENSEUP = 47,
    EFFECT_FOCUS = 54,        // the user's critical hits come more often
    EFFECT_FIXEDDAMAGE = 23,  // the damage is the move's power
    EFFECT_NEEDSAWAKE = 73,   // a sleeping user cannot use these two
    EFFECT_NEEDSAWAKE2 = 93,
};

// the move-fallback used when no slot can be chosen
enum { FALLBACKMOVE = 165 };

// the static tables
struct moveinfo {
    int32_t number;
    const char *name;  // at most 11 characters: the move menu puts the PP at x = 120
    uint32_t flags;
    int16_t priority;  // lower acts first; 3 ordinary
    int16_t pp;
    int32_t power;
    int16_t type;
    int32_t accuracy;      // 0 to 255
    int32_t effectchance;  // 0 to 255
    int32_t effect;
};

struct evoentry {
    uint8_t method;
    uint8_t param;
    int32_t target;
};

struct learnentry {
    int32_t move;     // a learnset ends at the first move outside 1 to 251
    uint8_t altlevel; // not read
    uint8_t level;    // 0 never by level (wild creatures still know it), 101 never in play
};

struct vrltinfo {
    int32_t number;
    int32_t regionalnumber;
    char name[13];
    char category[16];
    uint8_t type1, type2;  // equal for a single-typed species
    int32_t height, weight;
    int32_t familybase;
    int16_t evocount;
    evoentry evolutions[EVOMAX];
    const char *description;
    uint8_t genderratio;  // attack IV below it is female; 17 no gender
    int16_t baseattack, basedefense, basespattack, basespdefense, basespecial, basespeed, basehp, catchrate;
    int16_t baseexp;
    uint8_t growth;
    uint8_t group1, group2;
    int32_t hatchcounter;
    learnentry learnset[LEARNSETMAX];
};

struct typeinfo {
    int32_t number;
    int32_t code;
    const char *name;
    const char *abbrev;
    double multiplier[TYPECOUNT];  // against defending types 0 to 17
    int32_t special;               // 1: moves of this type use the special stats
};

struct statusinfo {
    int32_t code;
    const char *name;
    const char *abbrev;
};

// Indexed directly: callers keep move 0-251, species 0-15, type 0-17 and
// status 0-6 in range. Values read from data files must pass the checks
// below (CreateVorlet, CheckVorlet) before they are used as indexes.
extern const moveinfo MoveData[MOVECOUNT];
extern const vrltinfo VrltData[SPECIESCOUNT];
extern const typeinfo vltypes[TYPECOUNT];
extern const statusinfo vorlstatus[STATUSROWS];

// the creature and player records
struct moveslot {
    int32_t move;  // 0 = empty slot
    int32_t maxpp;
    int32_t pp;
};

struct ownedvorl {
    int32_t species;
    int32_t exp;
    int32_t level;
    int32_t atkiv, defiv, spdiv, spciv, hpiv;
    int32_t atkexp, defexp, spdexp, spcexp, hpexp;
    int32_t attack, defense, speed, spattack, spdefense;
    int32_t maxhp, hp;
    int32_t status;
    int32_t happiness;
    int32_t spare1;
    moveslot moves[MOVESLOTS];
    int32_t spare2;
    std::string otname;  // empty for a wild creature
    int32_t otid;        // 0 for a wild creature
    std::string nickname;
    uint8_t spareflag;
    int32_t shiny;
    std::string metplace;
    int32_t metlevel;
};

struct playerrecord {
    std::string name;
    int32_t trainerid;
    int32_t money;
    ownedvorl owned[PARTYMAX];
    int32_t party[PARTYMAX];  // party position -> index into owned
    int16_t counters[MOVECOUNT];
    int16_t partycount;
};

extern playerrecord MainPlayer;

// the random draw
// Seeds the game's own 15-bit generator (same seed, same game everywhere).
void SeedRandom(unsigned seed);
// 0 to n-1, scaled from one 15-bit draw as n * r / 32768; 0 when n is not
// positive. Every call consumes one draw, random(0) and random(1) included.
int random(int n);
// Test hook: the next calls of random(n) return these values, in order,
// before the generator is used again. A queued value v gives v mod n (never
// negative), so a value already in 0 to n-1 comes back exactly; for n <= 0
// the call gives 0 and still consumes the value.
void QueueRandomDraws(const int *values, int count);
void ClearRandomDraws();
// Queued values not yet consumed.
int QueuedRandomDraws();

// stat formulas
// The stat for a level; the stat-experience term in 16.16 fixed point.
int CalcStat(int base, int16_t iv, int statexp, int level, int ishp);
// Total experience at which a creature of the species has reached the level.
// A growth outside 1 to 4, or a species outside the table, logs and gives 1.
int ExpNeededForLevel(int level, int species);
int DetermineHP(const ownedvorl &vorlet);
int IsShiny(const ownedvorl &vorlet);
// 0 no gender, 1 male, 2 female; value is the creature's atkiv. A species
// outside the table logs and gives 0.
int GetGender(int species, int value);

// creation and moves
// Whose creature is made: the player's (owner fields from MainPlayer, learn
// level 0 skipped) or a wild one (owner fields empty, learn level 0 counts).
enum { VORLET_WILD = 0, VORLET_PLAYER = 1 };
// Builds a creature of the species at the level in place, in the creation
// order (experience, individual values drawn atk, def, spd, spc, stats,
// moves from the learnset, shiny). metplace may be null for an empty text.
// Species and level usually come from data files (project file, map wild
// tables): a species outside 1 to 15 or a level outside 1 to 100 is refused
// with a log line (level 2, category Project) and -1, the record untouched
// and no random draw consumed. Otherwise returns the number of moves the
// creature knows (0 to 4; 0 only for a species with nothing by that level).
int CreateVorlet(ownedvorl &vorlet, int species, int level, int owner, const char *metplace);
// Computes attack, defence, speed, special attack, special defence and
// maximum HP for the creature's species, level, individual values and stat
// experience; hp is left as it is.
void ComputeStats(ownedvorl &vorlet);
// Puts the move into the first empty slot with its full PP. Returns the slot
// (0 to 3), -1 when all four are taken, or -2 after a logged refusal of a
// move number outside 1 to 251.
int TeachMove(ownedvorl &vorlet, int move);
// Checks every value of a creature in play that indexes a table (species
// 1 to 15, level 1 to 100, moves 0 to 251, status 0 to 6), as loaded from a
// save file. Logs each bad value (level 2, category Project, naming `where`)
// and returns -1; 0 when all are sound.
int CheckVorlet(const ownedvorl &vorlet, const char *where);
// Fills MainPlayer for a new game: "Tobrin", trainerid random(65500), 3000
// money, party 0-5, counters 0, one creature of startvrlt at level 5 met on
// "Route 0". A species outside the table is refused (-1, MainPlayer and the
// generator untouched); 0 on success.
int NewGamePlayer(int startvrlt);
// Restores every carried creature (the first partycount of the party
// order): HP to its maximum, each move slot's PP to its maximum, no status.
// Records beyond the carried ones stay as they are.
void RestParty();
