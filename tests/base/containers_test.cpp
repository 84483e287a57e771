#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "base/containers.h"

namespace {

// An element that writes its id to a shared log when it is deleted.
class Tracked {
public:
    Tracked(int id, std::vector<int>* deleted) : id(id), deleted(deleted) {}
    Tracked(const Tracked&) = default;
    virtual ~Tracked() { deleted->push_back(id); }
    int id;

private:
    std::vector<int>* deleted;
};

class ContainersTest : public ::testing::Test {
protected:
    Tracked* make(int id) { return new Tracked(id, &deleted); }

    static std::vector<int> ids(const DSParray<Tracked>& array)
    {
        std::vector<int> result;
        for (uint32_t i = 0; i < array.count(); ++i) result.push_back(array.get(i)->id);
        return result;
    }

    std::vector<int> deleted;
};

using ContainersArray = ContainersTest;
using ContainersHashMap = ContainersTest;

}  // namespace

TEST_F(ContainersArray, OwningArrayDeletesInIndexOrder)
{
    auto* array = new DSParray<Tracked>(false);
    array->insert(make(1));
    array->insert(make(2));
    array->insert(make(3), 0);  // [3, 1, 2]
    delete array;
    EXPECT_EQ(deleted, (std::vector<int>{3, 1, 2}));
}

TEST_F(ContainersArray, ReferencingArrayDeletesNothing)
{
    Tracked a(1, &deleted), b(2, &deleted), c(3, &deleted);
    {
        // Deleted through the base class, as another file would.
        DSParray<Tracked>* reference = new DSPrefArray<Tracked>;
        reference->insert(&a);
        reference->insert(&b);
        reference->insert(&c);
        EXPECT_TRUE(reference->erase(1));
        reference->clear();
        EXPECT_EQ(reference->count(), 0u);
        reference->insert(&a);
        delete reference;

        DSParray<Tracked> flagged(true);
        flagged.insert(&a);
        flagged.insert(&b);
    }
    EXPECT_TRUE(deleted.empty());
}

TEST_F(ContainersArray, ClearDeletesInIndexOrderAndEmpties)
{
    DSParray<Tracked> array(false);
    for (int id : {4, 5, 6}) array.insert(make(id));
    array.clear();
    EXPECT_EQ(deleted, (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(array.count(), 0u);
    EXPECT_EQ(array.get(0), nullptr);
}

TEST_F(ContainersArray, InsertPositions)
{
    struct Case {
        int position;
        bool inserted;
        std::vector<int> expected;
    } cases[] = {
        {-1, true, {1, 2, 9}}, {0, true, {9, 1, 2}}, {1, true, {1, 9, 2}},
        {2, true, {1, 2, 9}},  {3, false, {1, 2}},   {-2, false, {1, 2}},
    };
    for (const Case& c : cases) {
        DSParray<Tracked> array(false);
        array.insert(make(1));
        array.insert(make(2));
        std::unique_ptr<Tracked> element(make(9));
        Tracked* result = array.insert(element.get(), c.position);
        if (c.inserted) {
            EXPECT_EQ(result, element.get()) << "position " << c.position;
            element.release();  // the array owns it now
        } else {
            EXPECT_EQ(result, nullptr) << "position " << c.position;
        }
        EXPECT_EQ(ids(array), c.expected) << "position " << c.position;
    }
    // A refused element stayed with the caller: it was deleted once, by the test.
    EXPECT_EQ(std::count(deleted.begin(), deleted.end(), 9), 6);
}

TEST_F(ContainersArray, InsertIntoEmptyArray)
{
    DSParray<Tracked> array(false);
    EXPECT_NE(array.insert(make(1), -1), nullptr);
    EXPECT_NE(array.insert(make(2), 0), nullptr);
    EXPECT_EQ(ids(array), (std::vector<int>{2, 1}));
}

TEST_F(ContainersArray, EraseDeletesUnlessKept)
{
    DSParray<Tracked> array(false);
    Tracked* first = make(1);
    array.insert(first);
    array.insert(make(2));
    array.insert(make(3));

    EXPECT_TRUE(array.erase(0, true));
    EXPECT_TRUE(deleted.empty()) << "a kept element is not deleted";
    EXPECT_EQ(ids(array), (std::vector<int>{2, 3}));
    delete first;
    deleted.clear();

    EXPECT_TRUE(array.erase(1));
    EXPECT_EQ(deleted, (std::vector<int>{3}));
    EXPECT_EQ(ids(array), (std::vector<int>{2}));

    // At or past the count nothing is removed.
    EXPECT_FALSE(array.erase(1));
    EXPECT_FALSE(array.erase(1000));
    EXPECT_EQ(ids(array), (std::vector<int>{2}));
    EXPECT_EQ(deleted, (std::vector<int>{3}));
}

TEST_F(ContainersArray, GetPastTheEndIsNull)
{
    DSParray<Tracked> array(false);
    EXPECT_EQ(array.get(0), nullptr);
    array.insert(make(1));
    EXPECT_NE(array.get(0), nullptr);
    EXPECT_EQ(array.get(1), nullptr);
    EXPECT_EQ(array.get(0xFFFFFFFFu), nullptr);
}

TEST_F(ContainersArray, AssignClearsThenCopiesOrShares)
{
    DSParray<Tracked> source(false);
    source.insert(make(1));
    source.insert(make(2));

    DSParray<Tracked> owning(false);
    owning.insert(make(7));
    owning = source;
    EXPECT_EQ(deleted, (std::vector<int>{7})) << "the old element is cleared first";
    EXPECT_EQ(ids(owning), (std::vector<int>{1, 2}));
    EXPECT_NE(owning.get(0), source.get(0)) << "an owning array holds its own copies";

    DSPrefArray<Tracked> reference;
    reference = source;
    EXPECT_EQ(reference.get(0), source.get(0));
    EXPECT_EQ(reference.get(1), source.get(1));
}

TEST_F(ContainersHashMap, ExistingKeyKeepsTheFirstValue)
{
    std::unique_ptr<Tracked> second(make(2));
    {
        DSPhashMap<Tracked> map(false);
        Tracked* first = make(1);
        EXPECT_EQ(map.insert(first, 5), first);
        map.insert(second.get(), 5);
        EXPECT_EQ(map.find(5), first);
        EXPECT_EQ(map.count(), 1u);
    }
    // The map deleted only the value it kept; the refused one is the caller's.
    EXPECT_EQ(deleted, (std::vector<int>{1}));
}

TEST_F(ContainersHashMap, NullInsertsNothingAndAbsentKeyFindsNull)
{
    DSPhashMap<Tracked> map(false);
    EXPECT_EQ(map.insert(nullptr, 3), nullptr);
    EXPECT_EQ(map.count(), 0u);
    EXPECT_EQ(map.find(3), nullptr);

    // A null insert does not block a later value for that key.
    Tracked* value = make(1);
    map.insert(value, 3);
    EXPECT_EQ(map.find(3), value);
    EXPECT_EQ(map.find(4), nullptr);
}

TEST_F(ContainersHashMap, WalksAndDeletesInAscendingKeyOrder)
{
    auto* map = new DSPhashMap<Tracked>(false);
    map->insert(make(30), 30);
    map->insert(make(10), 10);
    map->insert(make(40), 0xFFFFFFF0u);  // above the signed range
    map->insert(make(20), 20);

    std::vector<uint32_t> keys;
    for (const auto& entry : map->walk()) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<uint32_t>{10, 20, 30, 0xFFFFFFF0u}));

    delete map;
    EXPECT_EQ(deleted, (std::vector<int>{10, 20, 30, 40}));
}

TEST_F(ContainersHashMap, ReferencingMapDeletesNothing)
{
    Tracked a(1, &deleted), b(2, &deleted);
    {
        DSPhashMap<Tracked>* map = new DSPrefHashMap<Tracked>;
        map->insert(&a, 1);
        map->insert(&b, 2);
        delete map;
    }
    EXPECT_TRUE(deleted.empty());
}

// The blocks are plain memory with no destructor to observe; the sanitizer
// build's leak check fails this test when the map leaves them behind.
TEST(ContainersVoidMap, OwningMapFreesItsBlocks)
{
    DSPhashMap<void> map(false);
    for (uint32_t key = 0; key < 4; ++key) map.insert(::operator new(64), key);
    EXPECT_EQ(map.count(), 4u);

    DSPrefHashMap<void> reference;
    static char block[16];
    reference.insert(block, 1);  // a referencing map must not free what it does not own
}

TEST(ContainersValueArray, AddRemoveAndBuildFromValues)
{
    const long values[] = {5, 6, 7};
    DSarray<long> array(3, values);
    EXPECT_EQ(array.count(), 3u);
    EXPECT_EQ(array.get(2), 7);

    EXPECT_TRUE(array.remove(0));
    EXPECT_FALSE(array.remove(2));
    EXPECT_EQ(array.count(), 2u);
    EXPECT_EQ(array.get(0), 6);
    array.add(8);
    EXPECT_EQ(array.get(2), 8);
    array.clear();
    EXPECT_EQ(array.count(), 0u);
}

TEST_F(ContainersHashMap, GarbageCollectedMapDeletesMarkedKeysAtCollection)
{
    {
        DSPhashMapGarbageCollected<Tracked> map;
        map.insert(make(1), 1);
        map.insert(make(2), 2);
        map.mark_for_removal(1);
        map.mark_for_removal(99);  // absent keys are ignored
        EXPECT_NE(map.find(1), nullptr) << "removal waits for the collection";
        EXPECT_TRUE(deleted.empty());

        map.collect();
        EXPECT_EQ(deleted, (std::vector<int>{1}));
        EXPECT_EQ(map.find(1), nullptr);
        EXPECT_NE(map.find(2), nullptr);

        map.collect();  // nothing pending any more
        EXPECT_EQ(deleted, (std::vector<int>{1}));
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 2}));
}
