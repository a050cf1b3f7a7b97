// Number-to-text forms over a large random sample, against a slow reference written from the
// formatting rules: digits from printf's correctly rounded conversion, then the general form
// (shortest of the precision's digits, exponent outside -4..precision) and the fixed forms (the
// 17-digit decimal rounded half away from zero at the decimals).

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/SysUtils.h"

namespace {

struct RefDecimal {
    bool Negative = false;
    std::string Digits; // value = 0.Digits x 10^Exponent
    int Exponent = 0;
};

RefDecimal RefDigits(double Value, int Significant) {
    RefDecimal D;
    D.Negative = std::signbit(Value);
    if (Value == 0) return D;
    char Buffer[64];
    std::snprintf(Buffer, sizeof Buffer, "%.*e", Significant - 1, std::fabs(Value));
    const char* E = std::strchr(Buffer, 'e');
    for (const char* P = Buffer; P < E; ++P)
        if (*P != '.') D.Digits += *P;
    D.Exponent = std::atoi(E + 1) + 1;
    return D;
}

void RefStrip(RefDecimal& D) {
    while (!D.Digits.empty() && D.Digits.back() == '0')
        D.Digits.pop_back();
    if (D.Digits.empty()) D.Exponent = 0;
}

std::u16string Wide(const std::string& S) {
    return std::u16string(S.begin(), S.end());
}

std::string Exponent(int E, int MinDigits, bool Plus) {
    std::string Digits = std::to_string(std::abs(E));
    while (static_cast<int>(Digits.size()) < MinDigits)
        Digits.insert(Digits.begin(), '0');
    return (E < 0 ? "-" : Plus ? "+" : "") + Digits;
}

std::u16string RefGeneral(double Value, int Precision, int ExpDigits) {
    RefDecimal D = RefDigits(Value, Precision);
    RefStrip(D);
    if (D.Digits.empty()) return u"0";
    std::string Out = D.Negative ? "-" : "";
    if (D.Exponent > Precision || D.Exponent < -3) {
        Out += D.Digits[0];
        if (D.Digits.size() > 1) Out += "." + D.Digits.substr(1);
        return Wide(Out + "E" + Exponent(D.Exponent - 1, ExpDigits, false));
    }
    if (D.Exponent <= 0)
        Out += "0." + std::string(static_cast<size_t>(-D.Exponent), '0') + D.Digits;
    else if (D.Exponent >= static_cast<int>(D.Digits.size()))
        Out += D.Digits + std::string(static_cast<size_t>(D.Exponent) - D.Digits.size(), '0');
    else
        Out += D.Digits.substr(0, static_cast<size_t>(D.Exponent)) + "." +
               D.Digits.substr(static_cast<size_t>(D.Exponent));
    return Wide(Out);
}

std::u16string RefExponentForm(double Value, int Precision, int ExpDigits) {
    RefDecimal D = RefDigits(Value, Precision);
    const bool Zero = D.Digits.empty();
    if (Zero) D.Digits = std::string(static_cast<size_t>(Precision), '0');
    std::string Out = D.Negative && !Zero ? "-" : "";
    Out += D.Digits[0];
    if (Precision > 1) Out += "." + D.Digits.substr(1);
    return Wide(Out + "E" + Exponent(Zero ? 0 : D.Exponent - 1, ExpDigits, true));
}

// Decimals places, halves away from zero on the 17 significant digits; Group puts commas in.
std::u16string RefFixed(double Value, int Decimals, bool Group) {
    RefDecimal D = RefDigits(Value, 17);
    RefStrip(D);
    // Every digit as an integer count of 10^-Decimals units, rounded on the first dropped digit.
    std::string Units;
    for (int I = 0; I < D.Exponent + Decimals; ++I)
        Units += I >= 0 && I < static_cast<int>(D.Digits.size()) ? D.Digits[static_cast<size_t>(I)] : '0';
    const int Dropped = D.Exponent + Decimals;
    const bool Up = Dropped >= 0 && Dropped < static_cast<int>(D.Digits.size()) &&
                    D.Digits[static_cast<size_t>(Dropped)] >= '5';
    if (Units.empty()) Units = "0";
    if (Up) {
        int I = static_cast<int>(Units.size()) - 1;
        while (I >= 0 && Units[static_cast<size_t>(I)] == '9')
            Units[static_cast<size_t>(I--)] = '0';
        if (I < 0)
            Units.insert(Units.begin(), '1');
        else
            ++Units[static_cast<size_t>(I)];
    }
    while (static_cast<int>(Units.size()) < Decimals + 1)
        Units.insert(Units.begin(), '0');
    std::string Int = Units.substr(0, Units.size() - static_cast<size_t>(Decimals));
    while (Int.size() > 1 && Int[0] == '0')
        Int.erase(Int.begin());
    const std::string Dec = Units.substr(Units.size() - static_cast<size_t>(Decimals));
    const bool Zero = Int == "0" && Dec.find_first_not_of('0') == std::string::npos;
    std::string Out = D.Negative && !Zero ? "-" : "";
    for (size_t I = 0; I < Int.size(); ++I) {
        Out += Int[I];
        const size_t Left = Int.size() - 1 - I;
        if (Group && Left > 0 && Left % 3 == 0) Out += ',';
    }
    if (Decimals > 0) Out += "." + Dec;
    return Wide(Out);
}

// Any bits, two-decimal amounts, halves of the last shown place and their neighbours, powers of
// ten where the general form switches to the exponent, integers near 2^53, the extremes.
std::vector<double> Sample() {
    std::vector<double> Values = {0.0,
                                  -0.0,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  DBL_MIN,
                                  DBL_TRUE_MIN,
                                  -DBL_TRUE_MIN,
                                  9007199254740992.0,
                                  9007199254740993.0,
                                  1e15,
                                  1e16,
                                  1e17,
                                  0.0001,
                                  0.001,
                                  1e-5};
    std::mt19937_64 Random(30);
    auto Neighbours = [&](double X) {
        Values.push_back(X);
        Values.push_back(std::nextafter(X, INFINITY));
        Values.push_back(std::nextafter(X, -INFINITY));
    };
    for (int I = 0; I < 15000; ++I) {
        double Any;
        const uint64_t Bits = Random();
        std::memcpy(&Any, &Bits, sizeof Any);
        if (std::isfinite(Any)) Values.push_back(Any);
        Values.push_back(static_cast<double>(static_cast<int64_t>(Random() % 2'000'000'000) - 1'000'000'000) /
                         100.0);
        const int Places = static_cast<int>(Random() % 6);
        Neighbours((static_cast<double>(Random() % 1'000'000) + 0.5) / std::pow(10.0, Places));
        Neighbours(std::pow(10.0, static_cast<int>(Random() % 40) - 20) *
                   (Random() % 2 ? 1 : 0.99999999999999995));
        Neighbours(static_cast<double>((uint64_t{1} << 53) - Random() % 1000));
        // Cents and whole numbers of every length, around the fifteen digits of the general form.
        Neighbours(static_cast<double>(Random() % 10'000'000'000'000'000) / 100.0);
        Neighbours(static_cast<double>(Random() % 100) / 100.0);
        Neighbours(static_cast<double>(Random() % 1'000'000'000'000'000'000 >> (Random() % 60)));
        // 15 digits and a half at the 16th: the general form's rounding edge.
        Neighbours((static_cast<double>(Random() % 900'000'000'000'000 + 100'000'000'000'000) + 0.5) *
                   std::pow(10.0, static_cast<int>(Random() % 30) - 20));
    }
    return Values;
}

TEST(FloatTextSampleTest, EveryFormGivesTheReferenceTextOverALargeSample) {
    const TFormatSettings FS = TFormatSettings::Invariant();
    int Failures = 0;
    auto Check = [&](const std::u16string& Got, const std::u16string& Want, const char* Form, double Value) {
        if (Got == Want || ++Failures > 10) return;
        ADD_FAILURE() << Form << " of " << std::hexfloat << Value << ": " << U8(Got) << " instead of "
                      << U8(Want);
    };
    const std::vector<double> Values = Sample();
    ASSERT_GT(Values.size(), 200'000u);
    for (size_t I = 0; I < Values.size(); ++I) {
        const double Value = Values[I];
        Check(FloatToStr(Value, FS), RefGeneral(Value, 15, 0), "FloatToStr", Value);
        const int Precision = 1 + static_cast<int>(I % 17);
        Check(FloatToStrF(Value, ffGeneral, Precision, 2, FS), RefGeneral(Value, Precision, 2), "ffGeneral",
              Value);
        Check(FloatToStrF(Value, ffExponent, Precision, 3, FS), RefExponentForm(Value, Precision, 3),
              "ffExponent", Value);
        if (std::fabs(Value) >= 1e15) continue;
        const int Decimals = static_cast<int>(I % 5);
        Check(FloatToStrF(Value, ffFixed, 15, Decimals, FS), RefFixed(Value, Decimals, false), "ffFixed",
              Value);
        Check(FloatToStrF(Value, ffNumber, 15, Decimals, FS), RefFixed(Value, Decimals, true), "ffNumber",
              Value);
        Check(FormatFloat(u"0.00", Value, FS), RefFixed(Value, 2, false), "FormatFloat 0.00", Value);
        Check(FormatFloat(u"#,##0.000", Value, FS), RefFixed(Value, 3, true), "FormatFloat #,##0.000", Value);
        // A literal takes the picture's general route; the plain pictures above take the short one.
        Check(FormatFloat(u"#,##0.00' kg'", Value, FS), RefFixed(Value, 2, true) + u" kg",
              "FormatFloat with text", Value);
    }
}

} // namespace
