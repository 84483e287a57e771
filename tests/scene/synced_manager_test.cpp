// Sync ids, deferred removal and collection in the synced manager.
#include <gtest/gtest.h>

#include "framework/synced.h"

namespace {

int destroyed = 0;

struct Thing : _cVantorSyncedObjectBase {
    explicit Thing(uint32_t id = 0) { sync_id = id; }
    ~Thing() override { ++destroyed; }
};

class SyncedManagerTest : public ::testing::Test {
protected:
    void SetUp() override { destroyed = 0; }
};

TEST_F(SyncedManagerTest, HandsOutIdsFromOneAndKeepsIdsReadFromPackets)
{
    cVantorSyncedManager<Thing> manager;
    Thing* first = manager.register_object(new Thing);
    EXPECT_EQ(first->sync_id, 1u);
    Thing* received = manager.register_object(new Thing(7));
    EXPECT_EQ(received->sync_id, 7u);
    EXPECT_EQ(manager.next_id, 2u);
    EXPECT_EQ(manager.register_object(new Thing)->sync_id, 2u);
    EXPECT_EQ(manager.find(7), received);
    EXPECT_EQ(manager.find(3), nullptr);
    EXPECT_EQ(manager.register_object(nullptr), nullptr);
}

TEST_F(SyncedManagerTest, WrapsPastZeroAndOverIdsStillHeld)
{
    cVantorSyncedManager<Thing> manager;
    manager.register_object(new Thing);  // holds 1
    manager.next_id = 0xFFFFFFFF;
    EXPECT_EQ(manager.register_object(new Thing)->sync_id, 0xFFFFFFFFu);
    EXPECT_EQ(manager.next_id, 1u);
    EXPECT_EQ(manager.register_object(new Thing)->sync_id, 2u);
    EXPECT_EQ(manager.objects.count(), 3u);
}

TEST_F(SyncedManagerTest, RemovalWaitsForTheCollect)
{
    cVantorSyncedManager<Thing> manager;
    Thing* five = manager.register_object(new Thing(5));
    manager.register_object(new Thing(6));
    EXPECT_FALSE(manager.remove(9));
    EXPECT_TRUE(manager.remove(5));
    EXPECT_TRUE(manager.remove(5));  // queued twice; the second pass finds nothing
    EXPECT_EQ(manager.find(5), five);
    EXPECT_EQ(destroyed, 0);
    manager.collect();
    EXPECT_EQ(manager.find(5), nullptr);
    EXPECT_NE(manager.find(6), nullptr);
    EXPECT_EQ(destroyed, 1);
    // The queue is empty again: a second collect destroys nothing.
    manager.collect();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(manager.remove(5));
}

TEST_F(SyncedManagerTest, ARemovalOfAnUnknownIdQueuesNothing)
{
    cVantorSyncedManager<Thing> manager;
    EXPECT_FALSE(manager.remove(4));
    // Registered after the failed removal: a queued 4 would take it.
    manager.register_object(new Thing(4));
    manager.collect();
    EXPECT_NE(manager.find(4), nullptr);
}

TEST_F(SyncedManagerTest, AReferencingManagerForgetsWithoutDestroying)
{
    Thing kept(3);
    {
        cVantorSyncedManager<Thing> manager(true);
        manager.register_object(&kept);
        EXPECT_TRUE(manager.remove(3));
        manager.collect();
        EXPECT_EQ(manager.find(3), nullptr);
        manager.register_object(&kept);
    }
    EXPECT_EQ(destroyed, 0);
}

TEST_F(SyncedManagerTest, AnOwningManagerDestroysWhatItStillHolds)
{
    {
        cVantorSyncedManager<Thing> manager;
        manager.register_object(new Thing);
        manager.register_object(new Thing);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST_F(SyncedManagerTest, ATakenIdReturnsTheObjectAlreadyHeld)
{
    cVantorSyncedManager<Thing> owning;
    Thing* first = owning.register_object(new Thing(7));
    EXPECT_EQ(owning.register_object(new Thing(7)), first);
    EXPECT_EQ(destroyed, 1);  // the second is not leaked
    EXPECT_EQ(owning.objects.count(), 1u);
    EXPECT_EQ(owning.find(7), first);

    Thing a(8), b(8);
    cVantorSyncedManager<Thing> referencing(true);
    referencing.register_object(&a);
    EXPECT_EQ(referencing.register_object(&b), &a);
    EXPECT_EQ(destroyed, 1);  // not the referencing manager's to delete
}

}  // namespace
