// The primality test by trial division, the stepped trial-division listing and the sieve of Atkin.
#include "app/window/PrimeListing.h"

#include <algorithm>
#include <cmath>

bool IsPrime(int32_t a) {
    // The square root of a negative number has no integer part to truncate.
    if (a < 0) return false;
    const int32_t r = static_cast<int32_t>(std::sqrt(static_cast<double>(a)));
    if (a == 2) return true;
    if (a % 2 == 0) return false;
    for (int32_t i = 3; i <= r; i += 2)
        if (a % i == 0) return false;
    return true;
}

TTrialDivisionListing::TTrialDivisionListing(int64_t First, int64_t Last) : FNext(First), FLast(Last) {}

bool TTrialDivisionListing::Step(int64_t Count, std::vector<int64_t>& Found) {
    const int64_t stop = std::min(FLast, FNext + Count - 1);
    for (; FNext <= stop; ++FNext)
        if (IsPrime(static_cast<int32_t>(FNext))) Found.push_back(FNext);
    return !Done();
}

namespace {
// The largest s with s * s <= n; the floating root alone can land one off for large n.
int64_t IntegerSqrt(int64_t n) {
    int64_t s = static_cast<int64_t>(std::sqrt(static_cast<double>(n)));
    while (s > 0 && s * s > n)
        --s;
    while ((s + 1) * (s + 1) <= n)
        ++s;
    return s;
}
} // namespace

std::vector<int64_t> AtkinListing(int64_t Limit, int64_t From) {
    std::vector<int64_t> listed;
    if (Limit < 0) return listed;
    const int64_t s = IntegerSqrt(Limit);
    // Room for the flags of 2 and 3 even below them.
    std::vector<uint8_t> flags(static_cast<size_t>(std::max<int64_t>(Limit, 3) + 1), 0);
    flags[2] = flags[3] = 1;
    for (int64_t x = 1; x <= s; ++x) {
        for (int64_t y = 1; y <= s; ++y) {
            int64_t n = 4 * x * x + y * y;
            if (n <= Limit && (n % 12 == 1 || n % 12 == 5)) flags[size_t(n)] ^= 1;
            n = 3 * x * x + y * y;
            if (n <= Limit && n % 12 == 7) flags[size_t(n)] ^= 1;
            n = 3 * x * x - y * y;
            if (x > y && n <= Limit && n % 12 == 11) flags[size_t(n)] ^= 1;
        }
    }
    for (int64_t n = 5; n <= s; ++n) {
        if (!flags[size_t(n)]) continue;
        const int64_t square = n * n;
        for (int64_t k = square; k <= Limit; k += square)
            flags[size_t(k)] = 0;
    }
    for (int64_t n = std::max<int64_t>(From, 0); n <= Limit; ++n)
        if (flags[size_t(n)] && n % 3 != 0 && n % 5 != 0) listed.push_back(n);
    return listed;
}
