// Creature rules and data: records, static tables, formulas and the random draw.
#pragma once

// the random draw
// Seeds the game's own 15-bit generator (same seed, same game everywhere).
void SeedRandom(unsigned seed);
// 0 to n-1; 0 when n is not positive.
int random(int n);
