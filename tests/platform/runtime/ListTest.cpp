// TObject, TPersistent.Assign, TList and TObjectList.

#include <numeric>
#include <vector>

#include "platform/runtime/List.h"
#include "platform/runtime/Random.h"
#include "platform/runtime/RuntimeTestSupport.h"
#include "platform/runtime/StringList.h"

namespace {

class TCounted : public TObject {
public:
    explicit TCounted(int& alive) : FAlive(alive) { ++FAlive; }
    ~TCounted() override { --FAlive; }

private:
    int& FAlive;
};

class TShape : public TPersistent {
public:
    int Width = 0;
    void Assign(const TPersistent* Source) override {
        if (auto* other = dynamic_cast<const TShape*>(Source)) {
            Width = other->Width;
            return;
        }
        TPersistent::Assign(Source);
    }
};

// Knows how to copy itself into a TShape, though TShape does not know it.
class TTemplate : public TPersistent {
public:
    int Size = 0;

protected:
    void AssignTo(TPersistent* Dest) const override {
        if (auto* shape = dynamic_cast<TShape*>(Dest)) {
            shape->Width = Size;
            return;
        }
        TPersistent::AssignTo(Dest);
    }
};

class TOther : public TPersistent {};

TEST(Persistent, AssignCopiesKnownSourcesAndRefusesOthers) {
    TShape a, b;
    b.Width = 7;
    a.Assign(&b);
    EXPECT_EQ(a.Width, 7);

    TTemplate t;
    t.Size = 12;
    a.Assign(&t);
    EXPECT_EQ(a.Width, 12);

    TOther other;
    EXPECT_EQ(MessageOf<EConvertError>([&] { a.Assign(&other); }), "Cannot assign a TOther to a TShape");
    EXPECT_EQ(MessageOf<EConvertError>([&] { other.Assign(&a); }), "Cannot assign a TShape to a TOther");
    EXPECT_EQ(MessageOf<EConvertError>([&] { other.Assign(nullptr); }), "Cannot assign a nil to a TOther");
    EXPECT_EQ(TStringList().ClassName(), "TStringList");
    EXPECT_TRUE(a.ClassNameIs("tshape"));
    EXPECT_TRUE(a.InheritsFrom<TPersistent>());
    EXPECT_FALSE(a.InheritsFrom<TStrings>());
}

int V(void* p) {
    return static_cast<int>(reinterpret_cast<intptr_t>(p));
}
void* P(int v) {
    return reinterpret_cast<void*>(static_cast<intptr_t>(v));
}

std::vector<int> Items(const TList& list) {
    std::vector<int> r;
    for (int i = 0; i < list.GetCount(); ++i)
        r.push_back(V(list[i]));
    return r;
}

TEST(List, EditingOperationsKeepTheOrder) {
    TList list;
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(list.Add(P(i)), i - 1);
    list.Insert(0, P(9));
    list.Insert(6, P(8));
    EXPECT_EQ(Items(list), (std::vector<int>{9, 1, 2, 3, 4, 5, 8}));
    list.Delete(1);
    EXPECT_EQ(list.Remove(P(4)), 3);
    EXPECT_EQ(list.Remove(P(42)), -1);
    EXPECT_EQ(Items(list), (std::vector<int>{9, 2, 3, 5, 8}));
    list.Move(0, 4); // remove, then insert
    EXPECT_EQ(Items(list), (std::vector<int>{2, 3, 5, 8, 9}));
    list.Move(3, 1);
    EXPECT_EQ(Items(list), (std::vector<int>{2, 8, 3, 5, 9}));
    list.Exchange(0, 4);
    EXPECT_EQ(Items(list), (std::vector<int>{9, 8, 3, 5, 2}));
    EXPECT_EQ(list.IndexOf(P(5)), 3);
    EXPECT_EQ(list.Extract(P(3)), P(3));
    EXPECT_EQ(V(list.First()), 9);
    EXPECT_EQ(V(list.Last()), 2);
    list.Put(0, nullptr);
    list.Pack();
    EXPECT_EQ(Items(list), (std::vector<int>{8, 5, 2}));
    list.SetCount(5);
    EXPECT_EQ(Items(list), (std::vector<int>{8, 5, 2, 0, 0}));
    list.SetCount(1);
    EXPECT_EQ(Items(list), (std::vector<int>{8}));
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(List, BadIndicesRaiseTheListErrors) {
    TList list;
    for (int i = 0; i < 3; ++i)
        list.Add(P(i + 1));
    EXPECT_EQ(MessageOf<EListError>([&] { list.Get(3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Delete(3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Insert(4, nullptr); }), "List index out of bounds (4)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Move(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Exchange(-2, 0); }), "List index out of bounds (-2)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.Put(7, nullptr); }), "List index out of bounds (7)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCapacity(2); }), "List capacity out of bounds (2)");
    EXPECT_EQ(MessageOf<EListError>([&] { list.SetCount(-1); }), "List count out of bounds (-1)");
    EXPECT_EQ(MessageOf<EListError>([] { TList().First(); }), "List index out of bounds (0)");
    // Nothing changed by the failed calls.
    EXPECT_EQ(Items(list), (std::vector<int>{1, 2, 3}));
}

TEST(List, GrowsByThePlatformPolicy) {
    TList list;
    std::vector<int> capacities;
    for (int i = 0; i < 80; ++i) {
        list.Add(nullptr);
        if (capacities.empty() || capacities.back() != list.GetCapacity())
            capacities.push_back(list.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95}));
}

TEST(List, SortIsStableAndSurvivesAnInconsistentComparison) {
    TList list;
    // Key in the tens, arrival order in the units.
    for (int v : {31, 12, 33, 11, 22, 13, 32, 21})
        list.Add(P(v));
    list.Sort([](void* a, void* b) { return V(a) / 10 - V(b) / 10; });
    EXPECT_EQ(Items(list), (std::vector<int>{12, 11, 13, 22, 21, 31, 33, 32}));

    TList big;
    for (int i = 0; i < 1000; ++i)
        big.Add(P(i));
    RandSeed = 1234;
    big.Sort([](void*, void*) { return Random(3) - 1; });
    std::vector<int> items = Items(big);
    std::sort(items.begin(), items.end());
    std::vector<int> expected(1000);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(items, expected);
}

TEST(ObjectList, OwnsWhatItDeletesButNotWhatItExtracts) {
    int alive = 0;
    auto* kept = new TCounted(alive);
    {
        TObjectList list;
        list.Add(new TCounted(alive));
        list.Add(kept);
        list.Add(new TCounted(alive));
        list.Add(new TCounted(alive));
        EXPECT_EQ(alive, 4);
        list.Delete(0);
        EXPECT_EQ(alive, 3);
        EXPECT_EQ(list.Extract(kept), kept);
        EXPECT_EQ(alive, 3);
        list.SetItems(0, new TCounted(alive)); // the replaced object goes
        EXPECT_EQ(alive, 3);
    }
    EXPECT_EQ(alive, 1);
    {
        TObjectList borrowed(false);
        borrowed.Add(kept);
    }
    EXPECT_EQ(alive, 1);
    delete kept;
    EXPECT_EQ(alive, 0);
}

} // namespace
