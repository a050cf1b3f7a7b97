#pragma once
// The varied rows the large-grid benchmarks fill: a name, a status, an amount and a count.

#include <cstdint>

#include "platform/runtime/Types.h"

const char16_t* const kStatuses[] = {u"Received", u"In review", u"Approved", u"Rejected"};

// Row after row of varied values: names of 6 to 30 characters, one in five with letters outside
// Latin-1; a status of four; an amount with two decimals; a whole count. The same seed gives the
// same rows to the grid and to the item model. One cheap 64-bit draw serves four characters
// (each one's letter and whether a space takes its place), so making rows stays a small part of a populate.
class TRowMaker {
public:
    WideString Name;
    int Status = 0;
    double Amount = 0, Count = 0;
    void Next() {
        const uint64_t Row = Draw();
        const size_t Length = 6 + Row % 25;
        const bool Wide = (Row >> 8) % 5 == 0;
        Status = static_cast<int>((Row >> 16) % 4);
        Count = static_cast<double>((Row >> 24) % 1'000'000);
        Amount = static_cast<double>(Draw() % 100'000'000) / 100.0;
        Name.resize(Length);
        uint64_t Bits = 0;
        for (size_t i = 0; i < Length; ++i) {
            // Sixteen bits a character: the letter from the low five and the space from the rest.
            if (i % 4 == 0) Bits = Draw();
            const unsigned Character = static_cast<unsigned>(Bits & 0xFFFF);
            Bits >>= 16;
            const unsigned Letter = Character % 26;
            const bool Space = i > 0 && (Character / 26) % 7 == 0;
            const unsigned First = i == 0 ? u'A' : (Wide && i % 3 == 1) ? u'\u0430' : u'a';
            // Chosen without branches: the choices are random, and mispredicted ones cost more
            // than the making.
            Name[i] = static_cast<char16_t>(Space ? u' ' : First + Letter);
        }
    }

private:
    // A 64-bit mix of a counter (splitmix): fast, and every bit of the result well spread.
    uint64_t Draw() {
        uint64_t Z = (FState += 0x9E3779B97F4A7C15u);
        Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9u;
        Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBu;
        return Z ^ (Z >> 31);
    }
    uint64_t FState = 30;
};
