// The primality test and both listings, checked against a plain sieve of Eratosthenes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/window/PrimeListing.h"

namespace {

// Independent reference: composite[n] for every n up to Limit.
std::vector<bool> Eratosthenes(int64_t Limit) {
    std::vector<bool> composite(size_t(Limit + 1), false);
    composite[0] = composite[1] = true;
    for (int64_t p = 2; p * p <= Limit; ++p)
        if (!composite[size_t(p)])
            for (int64_t k = p * p; k <= Limit; k += p)
                composite[size_t(k)] = true;
    return composite;
}

std::vector<int64_t> PrimesBetween(int64_t From, int64_t Limit) {
    std::vector<bool> composite = Eratosthenes(Limit);
    std::vector<int64_t> primes;
    for (int64_t n = From; n <= Limit; ++n)
        if (!composite[size_t(n)]) primes.push_back(n);
    return primes;
}

TEST(PrimalityTest, SmallNumbersIncludingOneAndOddSquares) {
    for (int32_t yes : {1, 2, 3, 5, 7, 11, 13, 1000003})
        EXPECT_TRUE(IsPrime(yes)) << yes;
    // 25 and 49: odd squares whose root is tried exactly at the loop's last step.
    for (int32_t no : {0, 4, 9, 15, 25, 49, 121, 1000001})
        EXPECT_FALSE(IsPrime(no)) << no;
}

TEST(PrimalityTest, AgreesWithASieveUpToOneHundredThousand) {
    std::vector<bool> composite = Eratosthenes(100'000);
    for (int32_t n = 2; n <= 100'000; ++n)
        ASSERT_EQ(IsPrime(n), !composite[size_t(n)]) << n;
}

TEST(PrimalityTest, ExtremesOfTheThirtyTwoBitRange) {
    EXPECT_TRUE(IsPrime(std::numeric_limits<int32_t>::max())); // 2^31 - 1 is prime
    // The square of the prime 46337, just below 2^31: its root must not come out one short.
    EXPECT_FALSE(IsPrime(46337 * 46337));
    EXPECT_FALSE(IsPrime(46337 * 46309));
    EXPECT_FALSE(IsPrime(-7));
    EXPECT_FALSE(IsPrime(std::numeric_limits<int32_t>::min()));
}

TEST(TrialDivisionListingTest, StepsCoverTheRangeInclusivelyWhateverTheirSize) {
    TTrialDivisionListing whole(1, 30);
    std::vector<int64_t> all;
    EXPECT_FALSE(whole.Step(1000, all));
    EXPECT_EQ(all, (std::vector<int64_t>{1, 2, 3, 5, 7, 11, 13, 17, 19, 23, 29}));

    TTrialDivisionListing stepped(1, 30);
    std::vector<int64_t> parts;
    int steps = 0;
    while (stepped.Step(7, parts))
        ++steps;
    EXPECT_EQ(steps, 4); // 7 + 7 + 7 + 7 + 2 candidates: the fifth step ends it
    EXPECT_TRUE(stepped.Done());
    EXPECT_EQ(parts, all);
    // A finished listing adds nothing more.
    EXPECT_FALSE(stepped.Step(7, parts));
    EXPECT_EQ(parts, all);
}

TEST(TrialDivisionListingTest, WindowRangeStaysInsideThirtyTwoBits) {
    EXPECT_EQ(TTrialDivisionListing::WindowFirst, 1'410'065'407);
    EXPECT_GT(TTrialDivisionListing::WindowLast, TTrialDivisionListing::WindowFirst);
    EXPECT_LE(TTrialDivisionListing::WindowLast, std::numeric_limits<int32_t>::max());
}

TEST(AtkinListingTest, WindowListingIsExactlyThePrimesOfItsRange) {
    std::vector<int64_t> listed = AtkinListing(AtkinWindowLimit, AtkinWindowFrom);
    std::vector<int64_t> expected = PrimesBetween(1'000'000, 1'100'000);
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), 1000003);
    EXPECT_EQ(listed.size(), expected.size());
    EXPECT_EQ(listed, expected);
    // Running it again gives the same numbers: nothing is kept between calls.
    EXPECT_EQ(AtkinListing(AtkinWindowLimit, AtkinWindowFrom), listed);
}

TEST(AtkinListingTest, SmallLimitsMatchTheSieveAboveFive) {
    // Below 7 the divisibility filter drops 3 and 5 and keeps 2; above it only primes remain.
    for (int64_t limit : {7, 100, 1021, 1024, 10007, 65536}) {
        std::vector<int64_t> listed = AtkinListing(limit, 7);
        EXPECT_EQ(listed, PrimesBetween(7, limit)) << limit;
    }
    EXPECT_EQ(AtkinListing(10, 0), (std::vector<int64_t>{2, 7}));
    EXPECT_TRUE(AtkinListing(1, 0).empty());
}

TEST(AtkinListingTest, APrimeSquareExactlyAtTheLimitIsNotListed) {
    // The limit's root is the prime itself, the last number whose square the sieve clears.
    for (int64_t p : {5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41, 43, 47, 1009, 1033, 1049}) {
        const int64_t square = p * p, from = std::max<int64_t>(7, square - 200);
        EXPECT_EQ(AtkinListing(square, from), PrimesBetween(from, square)) << square;
    }
}

} // namespace
