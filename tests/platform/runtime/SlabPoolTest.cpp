// The slab pool under the cell store: distinct aligned slots, reuse of freed ones, and memory
// handed back when the last slot goes.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "platform/runtime/SlabPool.h"

TEST(SlabPool, SlotsAreDistinctAlignedAndReusedAfterFree) {
    TSlabPool Pool(40);
    EXPECT_GE(Pool.GetSlotSize(), 40u);
    EXPECT_EQ(Pool.GetSlotSize() % alignof(std::max_align_t), 0u);
    std::vector<void*> Slots;
    std::set<std::uintptr_t> Seen;
    // Enough to need several blocks.
    for (int i = 0; i < 10'000; ++i) {
        void* Slot = Pool.Allocate();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Slot) % alignof(std::max_align_t), 0u);
        EXPECT_TRUE(Seen.insert(reinterpret_cast<std::uintptr_t>(Slot)).second);
        Slots.push_back(Slot);
    }
    // Slots never overlap: writing each whole slot leaves the others intact.
    for (size_t i = 0; i < Slots.size(); ++i)
        std::memset(Slots[i], static_cast<int>(i & 0xFF), Pool.GetSlotSize());
    for (size_t i = 0; i < Slots.size(); ++i)
        ASSERT_EQ(static_cast<unsigned char*>(Slots[i])[Pool.GetSlotSize() - 1], i & 0xFF);
    EXPECT_EQ(Pool.GetLiveCount(), 10'000u);
    const size_t Blocks = Pool.GetBlockCount();
    EXPECT_GT(Blocks, 1u);

    Pool.Free(Slots[17]);
    Pool.Free(Slots[4'000]);
    EXPECT_EQ(Pool.Allocate(), Slots[4'000]);
    EXPECT_EQ(Pool.Allocate(), Slots[17]);
    EXPECT_EQ(Pool.GetBlockCount(), Blocks);
    for (void* Slot : Slots)
        Pool.Free(Slot);
    EXPECT_EQ(Pool.GetLiveCount(), 0u);
    EXPECT_EQ(Pool.GetBlockCount(), 0u);
    // Usable again after giving everything back.
    void* Again = Pool.Allocate();
    EXPECT_NE(Again, nullptr);
    EXPECT_EQ(Pool.GetBlockCount(), 1u);
    Pool.Free(Again);
}

TEST(SlabPool, SmallAlignmentPacksSlotsTightly) {
    TSlabPool Pool(12, 8);
    EXPECT_EQ(Pool.GetSlotSize(), 16u);
    auto* First = static_cast<std::byte*>(Pool.Allocate());
    auto* Second = static_cast<std::byte*>(Pool.Allocate());
    EXPECT_EQ(Second - First, 16);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Second) % 8, 0u);
    Pool.Free(First);
    Pool.Free(Second);
}

TEST(SlabPool, BlocksStartSmallAgainAfterTheLastSlotGoes) {
    TSlabPool Pool(32);
    // How many slots the first block of a fresh pool holds.
    std::vector<void*> Slots;
    while (Pool.GetBlockCount() < 2)
        Slots.push_back(Pool.Allocate());
    const size_t FirstBlock = Slots.size() - 1;
    // A big grid's worth grows the blocks; emptying it gives them back.
    while (Slots.size() < 300'000)
        Slots.push_back(Pool.Allocate());
    for (void* Slot : Slots)
        Pool.Free(Slot);
    Slots.clear();
    ASSERT_EQ(Pool.GetBlockCount(), 0u);
    while (Pool.GetBlockCount() < 2)
        Slots.push_back(Pool.Allocate());
    EXPECT_EQ(Slots.size() - 1, FirstBlock) << "a small grid after a big one takes a small block again";
    for (void* Slot : Slots)
        Pool.Free(Slot);
}
