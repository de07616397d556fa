// The experience a won battle shares out.
#include "battle/battle.h"
#include "shell/log.h"

static bool Shares(int position) {
    return battleinfo.participated[position] == 1 &&
           MainPlayer.owned[MainPlayer.party[position]].status != STATUS_FAINTED;
}

// Adds to a stat experience, which never passes 65535.
static void AddStatExp(int32_t &statexp, int gain) {
    statexp += gain;
    if (statexp > 65534) statexp = 65535;
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
    }
    for (int i = 0; i < PARTYMAX; i++) battleinfo.participated[i] = 0;
    return 1;
}
