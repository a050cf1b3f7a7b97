// Scoped changes restore their target on normal and exceptional exits.
#include "platform/runtime/ScopedChange.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(ScopedChange, RestoresOnNormalAndExceptionalExit) {
    bool Flag = false;
    {
        TScopedChange Guard(Flag, true);
        EXPECT_TRUE(Flag);
    }
    EXPECT_FALSE(Flag);
    EXPECT_THROW(
        {
            TScopedChange Guard(Flag, true);
            throw std::runtime_error("handler failed");
        },
        std::runtime_error);
    EXPECT_FALSE(Flag);

    int Counter = 2;
    EXPECT_THROW(
        {
            TScopedCount Outer(Counter);
            TScopedCount Inner(Counter);
            EXPECT_EQ(4, Counter);
            throw std::runtime_error("nested");
        },
        std::runtime_error);
    EXPECT_EQ(2, Counter);
}
