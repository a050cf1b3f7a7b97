#pragma once
// The varied rows the large-grid benchmarks fill: a name, a status, an amount and a count.

#include <random>

#include "platform/runtime/Types.h"

const char16_t* const kStatuses[] = {u"Received", u"In review", u"Approved", u"Rejected"};

// Row after row of varied values: names of 6 to 30 characters, one in five with letters outside
// Latin-1; a status of four; an amount with two decimals; a whole count. The same seed gives the
// same rows to the grid and to the item model.
class TRowMaker {
public:
    WideString Name;
    int Status = 0;
    double Amount = 0, Count = 0;
    void Next() {
        const size_t Length = 6 + FRandom() % 25;
        Name.clear();
        const bool Wide = FRandom() % 5 == 0;
        for (size_t i = 0; i < Length; ++i) {
            const unsigned Letter = FRandom() % 26;
            if (i > 0 && FRandom() % 7 == 0)
                Name += u' ';
            else if (Wide && i % 3 == 1)
                Name += static_cast<char16_t>(u'\u0430' + Letter);
            else
                Name += static_cast<char16_t>((i == 0 ? u'A' : u'a') + Letter);
        }
        Status = static_cast<int>(FRandom() % 4);
        Amount = static_cast<double>(FRandom() % 100'000'000) / 100.0;
        Count = static_cast<double>(FRandom() % 1'000'000);
    }

private:
    std::mt19937 FRandom{30};
};
