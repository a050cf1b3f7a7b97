#pragma once
// The decimal digits of a double, correctly rounded: what every number-to-text form starts from.

#include <cstdint>

// The first `significant` significant digits (1 to 17) of a positive finite value, rounded from its
// exact binary value to nearest with ties to even (as the C library rounds), as one integer of
// exactly that many digits (the first never 0). exponent is set so that value ≈ 0.digits × 10^exponent.
uint64_t FloatSignificantDigits(double value, int significant, int& exponent);
