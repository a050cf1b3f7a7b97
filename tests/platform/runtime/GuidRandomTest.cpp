// GUID text forms and creation; the pseudo-random generator.

#include <regex>
#include <set>

#include "platform/runtime/Guid.h"
#include "platform/runtime/Random.h"
#include "platform/runtime/RuntimeTestSupport.h"

namespace {

TEST(Guid, TextFormIsBracedUpperCaseHexGroups) {
    TGUID g;
    g.D1 = 0x0123ABCD;
    g.D2 = 0x4567;
    g.D3 = 0x89AB;
    const uint8_t d4[8] = {0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xAB};
    std::copy(d4, d4 + 8, g.D4);
    EXPECT_EQ(GUIDToString(g), u"{0123ABCD-4567-89AB-CDEF-0123456789AB}");
    EXPECT_TRUE(IsEqualGUID(StringToGUID(u"{0123abcd-4567-89ab-cdef-0123456789ab}"), g));
    EXPECT_TRUE(IsEqualGUID(StringToGUID("{0123ABCD-4567-89AB-CDEF-0123456789AB}"), g));
    EXPECT_EQ(GUIDToString(TGUID{}), u"{00000000-0000-0000-0000-000000000000}");
    EXPECT_TRUE(TGUID{}.IsEmpty());

    for (const WideString bad :
         {u"0123ABCD-4567-89AB-CDEF-0123456789AB", u"{0123ABCD-4567-89AB-CDEF-0123456789AG}",
          u"{0123ABCD4-567-89AB-CDEF-0123456789AB}", u"{0123ABCD-4567-89AB-CDEF-0123456789AB", u"",
          u"{0123ABCD-4567-89AB-CDEF-0123456789ABC}"})
        EXPECT_EQ(MessageOf<EConvertError>([&] { StringToGUID(bad); }),
                  "'" + U8(bad) + "' is not a valid GUID value");
    TGUID untouched = g;
    EXPECT_FALSE(TryStringToGUID(u"nope", untouched));
    EXPECT_TRUE(IsEqualGUID(untouched, g));
}

TEST(Guid, CreatedGuidsAreRandomVersionFour) {
    std::set<std::u16string> seen;
    const std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}");
    for (int i = 0; i < 200; ++i) {
        TGUID g;
        EXPECT_EQ(CoCreateGuid(g), 0);
        WideString text = GUIDToString(g);
        EXPECT_TRUE(std::regex_match(U8(text), form)) << U8(text);
        EXPECT_TRUE(IsEqualGUID(StringToGUID(text), g));
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 200u);
    EXPECT_FALSE(IsEqualGUID(NewGUID(), NewGUID()));
}

TEST(RandomGenerator, ASeedRepeatsItsSequence) {
    RandSeed = 0;
    EXPECT_EQ(Random(100), 0); // the state steps 0 -> 1 -> 134775814 -> ...
    EXPECT_EQ(RandSeed, 1);
    EXPECT_EQ(Random(100), 3);
    EXPECT_EQ(RandSeed, 134775814);

    RandSeed = 42;
    std::vector<int> first;
    for (int i = 0; i < 20; ++i)
        first.push_back(Random(1000));
    RandSeed = 42;
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Random(1000), first[i]);
}

TEST(RandomGenerator, ValuesStayInRangeAndSpreadEvenly) {
    RandSeed = 2024;
    int buckets[10] = {};
    for (int i = 0; i < 10000; ++i) {
        int v = Random(10);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 10);
        ++buckets[v];
    }
    for (int count : buckets) {
        EXPECT_GT(count, 850);
        EXPECT_LT(count, 1150);
    }
    for (int i = 0; i < 1000; ++i) {
        double d = Random();
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
        int r = RandomRange(5, -3);
        ASSERT_GE(r, -3);
        ASSERT_LT(r, 5);
    }
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-4), 0);
    int32_t before = RandSeed;
    Randomize();
    int32_t after1 = RandSeed;
    Randomize();
    EXPECT_TRUE(after1 != before || RandSeed != after1);
}

} // namespace
