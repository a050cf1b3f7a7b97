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
    EXPECT_EQ(Pool.GetBlockBytes(), 0u);
    while (Pool.GetBlockCount() < 2)
        Slots.push_back(Pool.Allocate());
    EXPECT_EQ(Slots.size() - 1, FirstBlock) << "a small grid after a big one takes a small block again";
    for (void* Slot : Slots)
        Pool.Free(Slot);
}

TEST(SlabPool, BlocksGoBackAsTheyEmptyNotOnlyWithTheLastSlot) {
    TSlabPool Pool(32);
    std::vector<void*> Slots;
    for (int i = 0; i < 300'000; ++i) {
        Slots.push_back(Pool.Allocate());
        std::memset(Slots.back(), i & 0xFF, Pool.GetSlotSize());
    }
    const size_t Full = Pool.GetBlockCount();
    ASSERT_GT(Full, 6u);
    // All but ten slots spread over the pool: only the blocks holding those ten stay.
    std::vector<void*> Kept;
    for (size_t i = 0; i < Slots.size(); ++i) {
        if (i % 30'000 == 0)
            Kept.push_back(Slots[i]);
        else
            Pool.Free(Slots[i]);
    }
    EXPECT_EQ(Pool.GetLiveCount(), 10u);
    EXPECT_LE(Pool.GetBlockCount(), 10u);
    EXPECT_LT(Pool.GetBlockCount(), Full);
    for (size_t k = 0; k < Kept.size(); ++k)
        EXPECT_EQ(static_cast<unsigned char*>(Kept[k])[Pool.GetSlotSize() - 1], (k * 30'000) & 0xFF);
    // Down to one slot: its block alone stays, and new slots come from its freed ones first.
    for (size_t k = 1; k < Kept.size(); ++k)
        Pool.Free(Kept[k]);
    std::vector<void*> Again;
    for (int i = 0; i < 9; ++i)
        Again.push_back(Pool.Allocate());
    EXPECT_EQ(Pool.GetBlockCount(), 1u);
    // Refilled, the slots stay distinct from the one still held.
    for (int i = 0; i < 100'000; ++i)
        Again.push_back(Pool.Allocate());
    std::set<void*> Distinct(Again.begin(), Again.end());
    Distinct.insert(Kept[0]);
    EXPECT_EQ(Distinct.size(), Again.size() + 1);
    EXPECT_EQ(static_cast<unsigned char*>(Kept[0])[0], 0);
    for (void* Slot : Again)
        Pool.Free(Slot);
    Pool.Free(Kept[0]);
    EXPECT_EQ(Pool.GetBlockCount(), 0u);
}

TEST(SlabPool, ReservedRoomIsCarvedBeforeNewBlocksAndGoesBackWithTheSlots) {
    TSlabPool Pool(24, 8);
    std::vector<TLargeBlockRange> Fresh;
    // A few slots' worth asks for nothing.
    Pool.Reserve(100, Fresh);
    EXPECT_TRUE(Fresh.empty());
    EXPECT_EQ(Pool.GetBlockCount(), 0u);

    constexpr size_t kSlots = 1'000'000;
    Pool.Reserve(kSlots, Fresh);
    ASSERT_FALSE(Fresh.empty());
    size_t FreshBytes = 0;
    for (const TLargeBlockRange& Range : Fresh)
        FreshBytes += Range.Bytes;
    EXPECT_GE(FreshBytes, kSlots * Pool.GetSlotSize());
    EXPECT_LT(FreshBytes, kSlots * Pool.GetSlotSize() + kHugePageBytes);
    EXPECT_EQ(Pool.GetBlockBytes(), FreshBytes);
    PopulateLargeBlocks(Fresh);
    // Room reserved already counts: asking again for as many adds nothing.
    const size_t FreshCount = Fresh.size();
    Pool.Reserve(kSlots, Fresh);
    EXPECT_EQ(Fresh.size(), FreshCount);

    // Every slot of that many comes from the reserved blocks, in the order they were made, and
    // no block is added for them.
    const size_t Blocks = Pool.GetBlockCount();
    std::vector<void*> Slots;
    size_t Range = 0;
    for (size_t i = 0; i < kSlots; ++i) {
        auto* Slot = static_cast<std::byte*>(Pool.Allocate());
        auto Within = [&](size_t k) {
            return k < Fresh.size() && Slot >= Fresh[k].Data && Slot < Fresh[k].Data + Fresh[k].Bytes;
        };
        if (!Within(Range)) {
            ++Range;
            ASSERT_TRUE(Within(Range) && Slot == Fresh[Range].Data)
                << "slot " << i << " is not where the next reserved block starts";
        }
        std::memset(Slot, static_cast<int>(i & 0xFF), Pool.GetSlotSize());
        Slots.push_back(Slot);
    }
    EXPECT_EQ(Pool.GetBlockCount(), Blocks);
    EXPECT_EQ(static_cast<unsigned char*>(Slots[123'457])[0], 123'457 & 0xFF);
    // Past the reserved room the pool grows as usual.
    Slots.push_back(Pool.Allocate());
    for (void* Slot : Slots)
        Pool.Free(Slot);
    EXPECT_EQ(Pool.GetBlockCount(), 0u);
    EXPECT_EQ(Pool.GetBlockBytes(), 0u);

    // Emptied while reserved room waits, the pool gives that back too and starts afresh.
    Fresh.clear();
    Pool.Reserve(kSlots, Fresh);
    Pool.Free(Pool.Allocate());
    EXPECT_EQ(Pool.GetBlockCount(), 0u);
    void* Again = Pool.Allocate();
    std::memset(Again, 1, Pool.GetSlotSize());
    EXPECT_EQ(Pool.GetBlockCount(), 1u);
    Pool.Free(Again);
}
