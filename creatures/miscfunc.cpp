// Random draw and creature formulas.
#include "creatures/creatures.h"

static unsigned randomstate = 1;

void SeedRandom(unsigned seed) { randomstate = seed; }

// The classic 15-bit linear congruential generator.
static int NextRandom() {
    randomstate = randomstate * 214013u + 2531011u;
    return (int)((randomstate >> 16) & 0x7FFF);
}

int random(int n) {
    if (n <= 0) return 0;
    return NextRandom() % n;
}
