// Number to text over 1,000,000 values: FloatToStr (what number cells answer), FormatFloat with a
// money picture and a float cell's text, beside the shortest round-trip conversion of the same
// values in the same run; and the digit generation alone against the library's conversion to the
// same digits, at the precisions the formatter asks for (15 for FloatToStr, 17 for pictures).

#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "BenchGridHost.h"
#include "BenchSupport.h"

#include "grid/model/Cells.h"
#include "grid/model/NumberColumn.h"
#include "platform/runtime/FloatDigits.h"
#include "platform/runtime/SysUtils.h"

namespace {

constexpr int kValues = 1'000'000;

// Range 0: amounts with two decimals and whole counts, as a grid holds them. Range 1: any finite
// double, magnitudes from 1e-300 to 1e300 and every digit count.
const std::vector<double>& Values(int64_t Kind) {
    static const std::vector<double> Amounts = [] {
        std::vector<double> V;
        std::mt19937_64 Random(30);
        for (int i = 0; i < kValues; ++i)
            V.push_back(i % 2 ? static_cast<double>(Random() % 100'000'000) / 100.0
                              : static_cast<double>(Random() % 1'000'000));
        return V;
    }();
    static const std::vector<double> Any = [] {
        std::vector<double> V;
        std::mt19937_64 Random(31);
        while (V.size() < static_cast<size_t>(kValues)) {
            const uint64_t Bits = Random();
            double Value;
            std::memcpy(&Value, &Bits, sizeof Value);
            if (std::isfinite(Value) && std::fabs(Value) > 1e-300 && std::fabs(Value) < 1e300)
                V.push_back(Value);
        }
        return V;
    }();
    return Kind == 0 ? Amounts : Any;
}

void SetLabel(benchmark::State& State) {
    State.SetLabel(State.range(0) == 0 ? "amounts and counts" : "any double");
    State.SetItemsProcessed(State.iterations() * kValues);
    ReportPeakMemory(State);
}

void BM_ToCharsShortestBaseline(benchmark::State& State) {
    const auto& V = Values(State.range(0));
    for (auto _ : State) {
        size_t Characters = 0;
        char Buffer[32];
        for (double Value : V)
            Characters +=
                static_cast<size_t>(std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr - Buffer);
        benchmark::DoNotOptimize(Characters);
    }
    SetLabel(State);
}
BENCHMARK(BM_ToCharsShortestBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FloatToStr(benchmark::State& State) {
    const auto& V = Values(State.range(0));
    for (auto _ : State) {
        size_t Characters = 0;
        for (double Value : V)
            Characters += FloatToStr(Value).size();
        benchmark::DoNotOptimize(Characters);
    }
    SetLabel(State);
}
BENCHMARK(BM_FloatToStr)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FormatFloatMoney(benchmark::State& State) {
    const auto& V = Values(State.range(0));
    const WideString Picture = u"#,##0.00";
    for (auto _ : State) {
        size_t Characters = 0;
        for (double Value : V)
            Characters += FormatFloat(Picture, Value).size();
        benchmark::DoNotOptimize(Characters);
    }
    SetLabel(State);
}
BENCHMARK(BM_FormatFloatMoney)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What a number cell answers for its text, through GetCell.
void BM_FloatCellText(benchmark::State& State) {
    const auto& V = Values(State.range(0));
    TBenchGridHost Grid;
    Grid.Columns->Add<TNxNumberColumn>(u"Amount");
    Grid.Cells->AddRow(kValues);
    for (int r = 0; r < kValues; ++r)
        Grid.Cells->GetCell(0, r)->SetAsFloat(V[static_cast<size_t>(r)]);
    for (auto _ : State) {
        size_t Characters = 0;
        for (int r = 0; r < kValues; ++r)
            Characters += Grid.Cells->GetCell(0, r)->GetAsString().size();
        benchmark::DoNotOptimize(Characters);
    }
    SetLabel(State);
}
BENCHMARK(BM_FloatCellText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The digits the formatter takes, as FloatSignificantDigits gives them, from the library's
// correctly rounded scientific text.
uint64_t ToCharsDigits(double Value, int Significant, int& Exponent) {
    char Buffer[40];
    const char* End =
        std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::scientific, Significant - 1)
            .ptr;
    uint64_t Whole = 0;
    const char* P = Buffer;
    for (; *P != 'e'; ++P)
        if (*P != '.') Whole = Whole * 10 + static_cast<uint64_t>(*P - '0');
    int Exp10 = 0;
    std::from_chars(P + (P[1] == '+' ? 2 : 1), End, Exp10);
    Exponent = Exp10 + 1;
    return Whole;
}

void SetDigitsLabel(benchmark::State& State) {
    State.SetLabel(std::string(State.range(0) == 0 ? "amounts and counts" : "any double") + ", " +
                   std::to_string(State.range(1)) + " digits");
    State.SetItemsProcessed(State.iterations() * kValues);
}

template <uint64_t (*Digits)(double, int, int&)> void DigitsOf(benchmark::State& State) {
    const auto& V = Values(State.range(0));
    const int Significant = static_cast<int>(State.range(1));
    for (auto _ : State) {
        uint64_t Sum = 0;
        for (double Value : V) {
            if (Value == 0) continue;
            int Exponent;
            Sum += Digits(std::fabs(Value), Significant, Exponent) + static_cast<uint64_t>(Exponent);
        }
        benchmark::DoNotOptimize(Sum);
    }
    SetDigitsLabel(State);
}

void BM_DigitsTable(benchmark::State& State) {
    DigitsOf<FloatSignificantDigits>(State);
}
void BM_DigitsToChars(benchmark::State& State) {
    DigitsOf<ToCharsDigits>(State);
}
BENCHMARK(BM_DigitsTable)->ArgsProduct({{0, 1}, {15, 17}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DigitsToChars)->ArgsProduct({{0, 1}, {15, 17}})->Unit(benchmark::kMillisecond);

} // namespace
