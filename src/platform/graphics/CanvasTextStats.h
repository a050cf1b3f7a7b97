#pragma once
// How much text the canvas has measured, for checks that fitting a text stays cheap.

#include <cstdint>

// Characters measured so far in this process (each measurement counts its text's length): lets a
// check see that fitting a long text measures only about what shows, not the whole text.
uint64_t TextCharactersMeasured();
