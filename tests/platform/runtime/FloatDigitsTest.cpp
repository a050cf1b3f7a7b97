// The digits every number text starts from: correctly rounded, ties to even, at every precision.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/FloatDigits.h"

namespace {

// The library's correctly rounded scientific text, as digits and the exponent of 0.digits.
std::string Expected(double Value, int Significant) {
    char Buffer[64];
    const char* End =
        std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::scientific, Significant - 1)
            .ptr;
    std::string Digits;
    const char* P = Buffer;
    for (; *P != 'e'; ++P)
        if (*P != '.') Digits += *P;
    int Exponent = 0;
    std::from_chars(P + (P[1] == '+' ? 2 : 1), End, Exponent);
    return Digits + "e" + std::to_string(Exponent + 1);
}

std::string Actual(double Value, int Significant) {
    int Exponent = 0;
    const std::string Digits = std::to_string(FloatSignificantDigits(Value, Significant, Exponent));
    return Digits + "e" + std::to_string(Exponent);
}

} // namespace

TEST(FloatSignificantDigits, RoundLikeTheLibraryAtEveryPrecision) {
    // Exact halves (0.125, 2.5, 1e23's neighbours), carries into a new digit, powers of ten, the
    // ends of the range and subnormals, then random bit patterns of every magnitude.
    std::vector<double> Values = {0.125,
                                  2.5,
                                  3.5,
                                  0.5,
                                  1e23,
                                  9.5,
                                  99.95,
                                  0.3,
                                  1.0 / 3,
                                  1e-5,
                                  1e22,
                                  1e-300,
                                  5e-324,
                                  2.2250738585072014e-308,
                                  1.7976931348623157e308,
                                  123456789012345680.0,
                                  9007199254740993.0,
                                  0.000123456789};
    std::mt19937_64 Random(7);
    while (Values.size() < 20000) {
        const uint64_t Bits = Random() >> 1;
        double Value;
        std::memcpy(&Value, &Bits, sizeof Value);
        if (std::isfinite(Value) && Value > 0) Values.push_back(Value);
    }
    for (int Significant = 1; Significant <= 17; ++Significant)
        for (double Value : Values)
            ASSERT_EQ(Actual(Value, Significant), Expected(Value, Significant))
                << Value << " at " << Significant << " digits";
}
