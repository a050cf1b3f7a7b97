#pragma once
// The platform's pseudo-random generator: a 32-bit linear congruential sequence whose state is
// RandSeed, so a program (or a test) that sets RandSeed gets the same numbers every time.

#include <cstdint>

// The generator's state. Randomize sets it from the clock; assigning it restarts the sequence.
extern int32_t RandSeed;

// Seeds RandSeed from the clock.
void Randomize();
// An integer 0 <= result < Range (0 for Range <= 0).
int32_t Random(int32_t Range);
// A double 0 <= result < 1.
double Random();
// An integer between AFrom and ATo, the larger bound excluded.
int32_t RandomRange(int32_t AFrom, int32_t ATo);
