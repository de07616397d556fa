// The player record and the making of creatures.
#include "base/log.h"
#include "creatures/creatures.h"

playerrecord MainPlayer;

static bool MoveInTable(int move) { return move >= 1 && move < MOVECOUNT; }

int TeachMove(ownedvorl &vorlet, int move) {
    if (!MoveInTable(move)) {
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Move %d is not in the move table (1 to %d); it was not learned", move,
               MOVECOUNT - 1);
        return -2;
    }
    for (int slot = 0; slot < MOVESLOTS; slot++) {
        if (vorlet.moves[slot].move != 0) continue;
        vorlet.moves[slot].move = move;
        vorlet.moves[slot].maxpp = vorlet.moves[slot].pp = MoveData[move].pp;
        return slot;
    }
    return -1;
}

// Walks the learnset to its end; a full set of slots drops its oldest move,
// so the creature keeps the last four it could have learned by its level.
static int LearnStartingMoves(ownedvorl &vorlet, int owner) {
    const vrltinfo &row = VrltData[vorlet.species];
    int known = 0;
    for (int i = 0; i < LEARNSETMAX; i++) {
        const learnentry &entry = row.learnset[i];
        if (!MoveInTable(entry.move)) break;
        if (entry.level > vorlet.level) continue;
        if (entry.level == 0 && owner == VORLET_PLAYER) continue;
        if (known == MOVESLOTS) {
            for (int slot = 0; slot < MOVESLOTS - 1; slot++) vorlet.moves[slot] = vorlet.moves[slot + 1];
            vorlet.moves[MOVESLOTS - 1].move = 0;
            known--;
        }
        TeachMove(vorlet, entry.move);
        known++;
    }
    return known;
}

void ComputeStats(ownedvorl &vorlet) {
    const vrltinfo &row = VrltData[vorlet.species];
    int level = vorlet.level;
    vorlet.attack = CalcStat(row.baseattack, (int16_t)vorlet.atkiv, vorlet.atkexp, level, 0);
    vorlet.defense = CalcStat(row.basedefense, (int16_t)vorlet.defiv, vorlet.defexp, level, 0);
    vorlet.speed = CalcStat(row.basespeed, (int16_t)vorlet.spdiv, vorlet.spdexp, level, 0);
    vorlet.spattack = CalcStat(row.basespattack, (int16_t)vorlet.spciv, vorlet.spcexp, level, 0);
    vorlet.spdefense = CalcStat(row.basespdefense, (int16_t)vorlet.spciv, vorlet.spcexp, level, 0);
    vorlet.maxhp = CalcStat(row.basehp, (int16_t)vorlet.hpiv, vorlet.hpexp, level, 1);
}

int CreateVorlet(ownedvorl &vorlet, int species, int level, int owner, const char *metplace) {
    if (species < 1 || species >= SPECIESCOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Species %d is not a Vorlet of this game (1 to %d); no Vorlet was made",
               species, SPECIESCOUNT - 1);
        return -1;
    }
    if (level < 1 || level > MAXLEVEL) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Level %d for a %s is outside 1 to %d; no Vorlet was made", level,
               VrltData[species].name, MAXLEVEL);
        return -1;
    }
    vorlet = ownedvorl();
    vorlet.species = species;
    vorlet.level = level;
    vorlet.exp = ExpNeededForLevel(level, species);
    vorlet.atkiv = random(15);
    vorlet.defiv = random(15);
    vorlet.spdiv = random(15);
    vorlet.spciv = random(15);
    vorlet.hpiv = DetermineHP(vorlet);
    ComputeStats(vorlet);
    vorlet.hp = vorlet.maxhp;
    vorlet.status = STATUS_NONE;
    vorlet.happiness = 70;
    int known = LearnStartingMoves(vorlet, owner);
    if (owner == VORLET_PLAYER) {
        vorlet.otname = MainPlayer.name;
        vorlet.otid = MainPlayer.trainerid;
    }
    vorlet.nickname = VrltData[species].name;
    vorlet.shiny = IsShiny(vorlet);
    vorlet.metplace = metplace ? metplace : "";
    vorlet.metlevel = level;
    return known;
}

int CheckVorlet(const ownedvorl &vorlet, const char *where) {
    if (!where) where = "a Vorlet";
    int result = 0;
    if (vorlet.species < 1 || vorlet.species >= SPECIESCOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "%s has species %d, not 1 to %d", where, vorlet.species, SPECIESCOUNT - 1);
        result = -1;
    }
    if (vorlet.level < 1 || vorlet.level > MAXLEVEL) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "%s has level %d, not 1 to %d", where, vorlet.level, MAXLEVEL);
        result = -1;
    }
    for (int slot = 0; slot < MOVESLOTS; slot++) {
        int move = vorlet.moves[slot].move;
        if (move < 0 || move >= MOVECOUNT) {
            logfmt(LOG_MAJOR, LOGCAT_PROJECT, "%s has move %d in slot %d, not 0 to %d", where, move, slot + 1,
                   MOVECOUNT - 1);
            result = -1;
        }
    }
    if (vorlet.status < STATUS_NONE || vorlet.status > STATUS_FAINTED) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "%s has status %d, not 0 to %d", where, vorlet.status, STATUS_FAINTED);
        result = -1;
    }
    return result;
}

int NewGamePlayer(int startvrlt) {
    if (startvrlt < 1 || startvrlt >= SPECIESCOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROJECT, "Starting Vorlet %d is not a Vorlet of this game (1 to %d)", startvrlt,
               SPECIESCOUNT - 1);
        return -1;
    }
    MainPlayer.name = "Tobrin";
    MainPlayer.trainerid = random(65500);
    MainPlayer.money = 3000;
    for (int i = 0; i < PARTYMAX; i++) MainPlayer.party[i] = i;
    for (int i = 0; i < MOVECOUNT; i++) MainPlayer.counters[i] = 0;
    MainPlayer.partycount = 1;
    CreateVorlet(MainPlayer.owned[0], startvrlt, 5, VORLET_PLAYER, "Route 0");
    return 0;
}

void RestParty() {
    for (int i = 0; i < MainPlayer.partycount && i < PARTYMAX; i++) {
        const int32_t index = MainPlayer.party[i];
        if (index < 0 || index >= PARTYMAX) continue;
        ownedvorl &vorlet = MainPlayer.owned[index];
        vorlet.hp = vorlet.maxhp;
        for (moveslot &slot : vorlet.moves) slot.pp = slot.maxpp;
        vorlet.status = STATUS_NONE;
    }
}
