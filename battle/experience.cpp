// The experience a won battle shares out, the level-ups it brings with their
// stat tables and new moves, and the evolution check at the battle's end.
#include <algorithm>

#include "base/input.h"
#include "base/log.h"
#include "base/platform.h"
#include "battle/battle.h"

static bool Shares(int position) {
    return battleinfo.participated[position] == 1 &&
           MainPlayer.owned[MainPlayer.party[position]].status != STATUS_FAINTED;
}

// Adds to a stat experience, which never passes 65535.
static void AddStatExp(int32_t &statexp, int gain) {
    statexp += gain;
    if (statexp > 65534) statexp = 65535;
}

static const char *MoveName(int move) { return move >= 0 && move < MOVECOUNT ? MoveData[move].name : "?"; }

// The old value, the gain and the new value of each stat, until confirmed.
static void ShowStatTable(const int before[6], const ownedvorl &vorlet) {
    static const char *const formats[6] = {
        "HP           : %u   +%u   %u", "Attack       : %u   +%u   %u", "Defense      : %u   +%u   %u",
        "Speed        : %u   +%u   %u", "Spec. Attack : %u   +%u   %u", "Spec. Defense: %u   +%u   %u"};
    const int after[6] = {vorlet.maxhp, vorlet.attack, vorlet.defense, vorlet.speed, vorlet.spattack, vorlet.spdefense};
    DrawBattleNoText();
    for (int k = 0; k < 6; k++)
        MessageLine(k,
                   Format(formats[k], (unsigned)before[k], (unsigned)(after[k] - before[k]), (unsigned)after[k]));
    ShowBuffer(battlebackbuffer);
    WaitForSpace();
}

// Which of the answer keys 1 to 5 are down, each looked at once; true when
// any is.
static bool LookAtAnswerKeys(bool down[5]) {
    bool any = false;
    for (int k = 0; k < 5; k++) any = (down[k] = MenuKeyDown(k + 1)) || any;
    return any;
}

// How long a learned move's message stays before the battle goes on.
constexpr int LEARNEDMS = 1000;
// The second column of the prompt's moves: the message area's middle.
constexpr int PROMPTCOLUMNX = MESSAGEX + MESSAGECHARS / 2 * 8;

// Shows what the buffer holds for a moment, with no key to wait for.
static void ShowLearned() {
    ShowBuffer(battlebackbuffer);
    HoldShown(LEARNEDMS);
}

// A fifth move: every answer key held acts, in the order 1 to 5, without
// waiting for its release. The question takes up to three lines; a little
// lower the four moves stand two to a line, then "5. Cancel".
static void ReplacePrompt(ownedvorl &vorlet, int move) {
    const char *name = vorlet.nickname.c_str(), *newmove = MoveData[move].name;
    DrawBattleNoText();
    const int line = MessageLines(Format("%s wants to learn %s, but already knows four moves.", name, newmove), 3);
    MessageLine(line, "What should it replace?");
    const int choicesy = MESSAGEY + LINEHEIGHT * (line + 1) + LINEHEIGHT / 2;
    for (int k = 0; k < MOVESLOTS; k++)
        BattleText(k % 2 ? PROMPTCOLUMNX : MESSAGEX, choicesy + LINEHEIGHT * (k / 2),
                   Format("%d. %s", k + 1, MoveName(vorlet.moves[k].move)));
    BattleText(MESSAGEX, choicesy + LINEHEIGHT * MOVESLOTS / 2, "5. Cancel");
    ShowBuffer(battlebackbuffer);
    bool down[5] = {};
    while (!LookAtAnswerKeys(down) && !CloseRequested()) WaitTick();

    for (int k = 0; k < MOVESLOTS; k++) {
        if (!down[k]) continue;
        DrawBattleNoText();
        MessageLine(0, Format("%s forgot %s and", name, MoveName(vorlet.moves[k].move)));
        vorlet.moves[k] = {move, MoveData[move].pp, MoveData[move].pp};
        MessageLine(1, Format("%s learned %s!", name, newmove));
        ShowLearned();
    }
    if (down[4]) {
        DrawBattleNoText();
        MessageLine(0, Format("%s stopped learning %s", name, newmove));
        ShowLearned();
    }
}

// The learnset's moves for the creature's new level, in table order.
static void LearnNewMoves(ownedvorl &vorlet) {
    const learnentry *learnset = VrltData[vorlet.species].learnset;
    for (int i = 0; i < LEARNSETMAX; i++) {
        int move = learnset[i].move;
        if (move < 1 || move >= MOVECOUNT) break;
        if (learnset[i].level != vorlet.level) continue;
        if (TeachMove(vorlet, move) < 0) {
            ReplacePrompt(vorlet, move);
            continue;
        }
        // Shown for a moment without a key: the next screen follows by itself.
        DrawBattleNoText();
        MessageLine(0, Format("%s learned %s!", vorlet.nickname.c_str(), MoveData[move].name));
        ShowLearned();
    }
}

static void LevelUp(int position, ownedvorl &vorlet) {
    const int before[6] = {vorlet.maxhp, vorlet.attack, vorlet.defense, vorlet.speed, vorlet.spattack, vorlet.spdefense};
    vorlet.level++;
    battleinfo.grewlevel[position] = 1;
    BattleMessage(Format("%s reached level %u!", vorlet.nickname.c_str(), (unsigned)vorlet.level));
    ComputeStats(vorlet);
    vorlet.hp += vorlet.maxhp - before[0];  // a damaged creature keeps its damage
    ShowStatTable(before, vorlet);
    LearnNewMoves(vorlet);
}

int ExpAward(int species, int level, bool traded) {
    double factor = traded ? 1.5 : 1.0;
    return (int)(VrltData[species].baseexp * level * factor / 7.0);
}

int AddPlayerExp(int species, int award) {
    if (species < 1 || species >= SPECIESCOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Experience for species %d, which is not in the table, was not given",
               species);
        return 0;
    }
    int sharers = 0;
    for (int i = 0; i < PARTYMAX; i++) sharers += Shares(i) ? 1 : 0;
    if (sharers == 0) {
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Add experience called with expdivide is 0 ?!");
        return 0;
    }
    const vrltinfo &beaten = VrltData[species];
    for (int i = 0; i < PARTYMAX; i++) {
        if (!Shares(i)) continue;
        ownedvorl &vorlet = MainPlayer.owned[MainPlayer.party[i]];
        AddStatExp(vorlet.atkexp, beaten.baseattack / sharers);
        AddStatExp(vorlet.defexp, beaten.basedefense / sharers);
        AddStatExp(vorlet.spdexp, beaten.basespeed / sharers);
        AddStatExp(vorlet.spcexp, (beaten.basespattack / sharers + beaten.basespdefense / sharers) / 2);
        AddStatExp(vorlet.hpexp, beaten.basehp / sharers);
        if (vorlet.level > 99) continue;
        vorlet.exp += award / sharers;
        // Levelling stops at the highest level, where the tables end.
        while (vorlet.level < MAXLEVEL && vorlet.exp >= ExpNeededForLevel(vorlet.level + 1, vorlet.species))
            LevelUp(i, vorlet);
    }
    for (int i = 0; i < PARTYMAX; i++) battleinfo.participated[i] = 0;
    return 1;
}

// ---------------------------------------------------------------------------
// The evolution check

bool EvolutionApplies(const ownedvorl &vorlet, const evoentry &entry) {
    switch (entry.method) {
    case EVO_LEVEL: return vorlet.level >= entry.param;
    case EVO_HAPPINESS: {
        if (vorlet.happiness < 218) return false;
        // The hours 7 and 17 belong to both day and night.
        int hour = LocalHour();
        return entry.param == 0 || (entry.param == 1 && hour >= 7 && hour <= 17) ||
               (entry.param == 2 && (hour >= 17 || hour <= 7));
    }
    case EVO_ATKDEF:
        if (vorlet.level < 20) return false;
        return (entry.param == 1 && vorlet.defense >= vorlet.attack) ||
               (entry.param == 2 && vorlet.defense <= vorlet.attack) ||
               (entry.param == 3 && vorlet.defense == vorlet.attack);
    default: return false;
    }
}

int CheckForEvo2(int i) {
    if (i < 0 || i >= PARTYMAX) return 0;
    const ownedvorl &vorlet = MainPlayer.owned[i];
    if (vorlet.species < 0 || vorlet.species >= SPECIESCOUNT) return 0;
    const vrltinfo &row = VrltData[vorlet.species];
    int target = 0;
    for (int k = 0; k < std::min<int>(row.evocount, EVOMAX); k++)
        if (EvolutionApplies(vorlet, row.evolutions[k])) target = row.evolutions[k].target;
    return target;
}

int CheckForEvo() {
    int found = 0;
    for (int i = 0; i < PARTYMAX; i++)
        if (battleinfo.grewlevel[i] == 1 && CheckForEvo2(i) != 0) found++;
    return found;
}
