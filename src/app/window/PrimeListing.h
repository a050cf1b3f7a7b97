#pragma once
// The prime test window's two listings: trial division in steps, and the sieve of Atkin.

#include <cstdint>
#include <vector>

// Whether a counts as prime: trial division by the odd numbers up to its square root, truncated.
// 1 counts as prime, since no divisor is tried for it; 0 and negative numbers do not.
bool IsPrime(int32_t a);

// The trial-division listing: every number in [First, Last] that IsPrime accepts, ascending.
// It runs in steps so that the window can handle messages between them.
// Contract: 0 <= First and Last <= INT32_MAX, since IsPrime takes a 32-bit number.
class TTrialDivisionListing {
public:
    // Where the window's listing starts and stops: 200,000 candidates, about a second here.
    static constexpr int64_t WindowFirst = 1'410'065'407;
    static constexpr int64_t WindowLast = 1'410'265'406;

    TTrialDivisionListing(int64_t First, int64_t Last);
    // Tests up to Count more candidates and appends the accepted ones to Found.
    // Returns false once every candidate has been tested.
    bool Step(int64_t Count, std::vector<int64_t>& Found);
    bool Done() const { return FNext > FLast; }

private:
    int64_t FNext;
    int64_t FLast;
};

// The sieve of Atkin up to Limit, in 64-bit arithmetic: the numbers in [From, Limit] whose flag
// stays set and that are divisible by neither 3 nor 5, ascending.
// The flags (one byte for each number up to Limit) live only during the call.
std::vector<int64_t> AtkinListing(int64_t Limit, int64_t From);

// The window's sieve listing: the primes between 1,000,000 and 1,100,000.
constexpr int64_t AtkinWindowLimit = 1'100'000;
constexpr int64_t AtkinWindowFrom = 1'000'000;
