// Random draw and creature formulas.
#include <climits>
#include <cmath>
#include <deque>

#include "base/log.h"
#include "base/numbers.h"
#include "creatures/creatures.h"

static unsigned randomstate = 1;
static std::deque<int> queueddraws;

void SeedRandom(unsigned seed) { randomstate = seed; }

// The classic 15-bit linear congruential generator.
static int NextRandom() {
    randomstate = randomstate * 214013u + 2531011u;
    return (int)((randomstate >> 16) & 0x7FFF);
}

int random(int n) {
    if (!queueddraws.empty()) {
        int value = queueddraws.front();
        queueddraws.pop_front();
        if (n <= 0) return 0;
        int result = value % n;
        return result < 0 ? result + n : result;
    }
    int r = NextRandom();
    if (n <= 0) return 0;
    // Scaling (not a remainder) spreads large n over their whole range. The
    // product is 64-bit so no n can overflow it; dividing by 32768 is exact,
    // so integer division equals the truncated real quotient.
    return (int)(((long long)n * r) / 32768);
}

void QueueRandomDraws(const int *values, int count) {
    for (int i = 0; i < count; i++) queueddraws.push_back(values[i]);
}

void ClearRandomDraws() { queueddraws.clear(); }

int QueuedRandomDraws() { return (int)queueddraws.size(); }

int CalcStat(int base, int16_t iv, int statexp, int level, int ishp) {
    // sqrt(statexp) rounded to 1/65536 as the library's fixsqrt gives it; done
    // in 64 bits because statexp << 16 would overflow 32 bits from 32768 on.
    long long root = 0;
    if (statexp > 0) root = (long long)std::floor(std::sqrt((double)statexp) * 65536.0 + 0.5);
    long long scaled = (long long)level * root / 400;
    long long term = (scaled >> 16) + ((scaled & 0x8000) >> 15);
    long long extra = ishp == 1 ? level + 10 : 5;
    return To32(((long long)(base + iv) * 2 + term) * level / 100 + extra);
}

static int TruncateToInt(double value) {
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return (int)value;
}

int ExpNeededForLevel(int level, int species) {
    if (species < 0 || species >= SPECIESCOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Experience asked for species %d, which is not in the table. Returning 1",
               species);
        return 1;
    }
    long long l2 = (long long)level * level;
    long long l3 = l2 * level;
    switch (VrltData[species].growth) {
    case LEVELUPEXP_FAST: return TruncateToInt(0.8 * (double)l3);
    case LEVELUPEXP_MEDIUMFAST: return To32(l3);
    case LEVELUPEXP_MEDIUMSLOW:
        return TruncateToInt(1.2 * (double)l3 - (double)(15 * l2) + (double)(100LL * level) - 140.0);
    case LEVELUPEXP_SLOW: return TruncateToInt(1.2 * (double)l3);
    default:
        log(LOG_MAJOR, LOGCAT_PROGRAM, "Invalid LEVELUPEXP_ set for passed Vorlet. Returning 1");
        return 1;
    }
}

int DetermineHP(const ownedvorl &vorlet) {
    return (vorlet.atkiv % 2) * 8 + (vorlet.defiv % 2) * 4 + (vorlet.spdiv % 2) * 2 + (vorlet.spciv % 2);
}

int IsShiny(const ownedvorl &vorlet) {
    // Bit 1 of the attack value: 2, 3, 6, 7, 10, 11, 14, 15.
    bool attackok = vorlet.atkiv >= 0 && vorlet.atkiv <= 15 && (vorlet.atkiv & 2) != 0;
    return attackok && vorlet.defiv == 10 && vorlet.spdiv == 10 && vorlet.spciv == 10 ? 1 : 0;
}

int GetGender(int species, int value) {
    if (species < 0 || species >= SPECIESCOUNT) {
        logfmt(LOG_MAJOR, LOGCAT_PROGRAM, "Gender asked for species %d, which is not in the table", species);
        return 0;
    }
    int ratio = VrltData[species].genderratio;
    if (ratio == 17) return 0;
    return value < ratio ? 2 : 1;
}
