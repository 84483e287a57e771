#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/router.h"
#include "base/strings.h"

namespace {

// Log lines look like "A:<code>:<sender word>".
using Log = std::vector<std::string>;

class Recorder : public cMessageObserver {
public:
    Recorder(const char* name, Log* log) : name(name), log(log) {}
    void receive_message(const RoutedMessage* message) override
    {
        log->push_back(name + ":" + std::to_string(message->code) + ":" + std::to_string(message->sender_word));
        if (on_receive) on_receive(message);
    }
    std::function<void(const RoutedMessage*)> on_receive;

private:
    std::string name;
    Log* log;
};

// A held message that notes its own deletion.
class HeldMessage : public cMessageStable {
public:
    HeldMessage(uint32_t code, uint32_t word, int* deletions) : cMessageStable({code, word, 0}), deletions(deletions) {}
    ~HeldMessage() override { ++*deletions; }

private:
    int* deletions;
};

std::string entry(const char* name, uint32_t code, uint32_t word)
{
    return std::string(name) + ":" + std::to_string(code) + ":" + std::to_string(word);
}

class RouterTest : public ::testing::Test {
protected:
    int16_t post(uint32_t code, uint32_t word = 0)
    {
        const RoutedMessage message{code, word, 0};
        return __messageRouter_post_message(&router, &message);
    }
    int16_t post_delayed(uint32_t code, uint32_t word, float delay)
    {
        return __messageRouter_post_message_delayed(&router, new HeldMessage(code, word, &deletions), &delay);
    }
    void update(float elapsed) { __messageRouter_update(&router, &elapsed); }
    float remaining(uint32_t code, uint32_t index)
    {
        const cMessageRouter::Mailbox* mailbox = router.find(code);
        if (!mailbox || !mailbox->delayed.get(index)) return -1.0f;
        return mailbox->delayed.get(index)->second;
    }
    uint32_t waiting(uint32_t code)
    {
        const cMessageRouter::Mailbox* mailbox = router.find(code);
        return mailbox ? mailbox->delayed.count() : 0;
    }

    MessageRouter router{false};
    Log log;
    int deletions = 0;
    Recorder a{"A", &log}, b{"B", &log}, c{"C", &log};
    const uint32_t code = __mystring_hash("CloseGraphics");
};

}  // namespace

TEST_F(RouterTest, RegisteringTwiceKeepsOneEntry)
{
    EXPECT_TRUE(__messageRouter_register_for_message(&router, &a, code));
    EXPECT_FALSE(__messageRouter_register_for_message(&router, &a, code));
    EXPECT_EQ(post(code, 1), 1);
    EXPECT_EQ(log, (Log{entry("A", code, 1)}));
}

TEST_F(RouterTest, DeliversInRegistrationOrder)
{
    __messageRouter_register_for_message(&router, &b, code);
    __messageRouter_register_for_message(&router, &a, code);
    __messageRouter_register_for_message(&router, &c, 7);
    EXPECT_EQ(post(code, 3), 2);
    EXPECT_EQ(log, (Log{entry("B", code, 3), entry("A", code, 3)}));
}

TEST_F(RouterTest, PostWithoutMailboxReachesNobodyAndCreatesNone)
{
    EXPECT_EQ(post(42), 0);
    EXPECT_EQ(router.find(42), nullptr);
    EXPECT_TRUE(log.empty());
}

TEST_F(RouterTest, DelayedPostCreatesTheMailboxAndCountsObservers)
{
    EXPECT_EQ(post_delayed(42, 0, 1.0f), 0);
    EXPECT_NE(router.find(42), nullptr);

    __messageRouter_register_for_message(&router, &a, code);
    __messageRouter_register_for_message(&router, &b, code);
    EXPECT_EQ(post_delayed(code, 3, 1.0f), 2);
    EXPECT_TRUE(log.empty()) << "nothing is delivered before an update";
    update(1.0f);
    EXPECT_EQ(log, (Log{entry("A", code, 3), entry("B", code, 3)})) << "both due, each to its own observers";
    EXPECT_EQ(deletions, 2) << "the one nobody observes is deleted as well";
    EXPECT_EQ(waiting(42), 0u);
    EXPECT_EQ(waiting(code), 0u);
    EXPECT_NE(router.find(42), nullptr) << "an emptied mailbox stays";
}

TEST_F(RouterTest, DelayCountsDownAndDueCountsEqual)
{
    __messageRouter_register_for_message(&router, &a, code);
    post_delayed(code, 5, 0.5f);

    update(0.2f);
    EXPECT_TRUE(log.empty());
    EXPECT_FLOAT_EQ(remaining(code, 0), 0.3f);

    update(0.3f);  // equal to what remains: due
    EXPECT_EQ(log, (Log{entry("A", code, 5)}));
    EXPECT_EQ(deletions, 1) << "a delivered message is deleted";
    EXPECT_EQ(waiting(code), 0u);

    update(1.0f);
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(deletions, 1);
}

TEST_F(RouterTest, DueMessagesOfOneCodeArriveInPostingOrder)
{
    __messageRouter_register_for_message(&router, &a, code);
    __messageRouter_register_for_message(&router, &b, code);
    post_delayed(code, 1, 0.1f);
    post_delayed(code, 2, 0.1f);
    update(0.1f);
    EXPECT_EQ(log, (Log{entry("A", code, 1), entry("B", code, 1), entry("A", code, 2), entry("B", code, 2)}));
    EXPECT_EQ(deletions, 2);
}

TEST_F(RouterTest, UpdateHandlesEveryEntryAroundARemovedOne)
{
    __messageRouter_register_for_message(&router, &a, code);
    post_delayed(code, 1, 0.5f);
    post_delayed(code, 2, 0.1f);
    post_delayed(code, 3, 0.5f);
    post_delayed(code, 4, 0.1f);

    update(0.2f);  // late for 2 and 4: still delivered, nothing carried over
    EXPECT_EQ(log, (Log{entry("A", code, 2), entry("A", code, 4)}));
    ASSERT_EQ(waiting(code), 2u);
    // The entry that moved into the freed index was counted down as well.
    EXPECT_FLOAT_EQ(remaining(code, 0), 0.3f);
    EXPECT_FLOAT_EQ(remaining(code, 1), 0.3f);

    update(0.3f);
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2], entry("A", code, 1));
    EXPECT_EQ(log[3], entry("A", code, 3));
    EXPECT_EQ(deletions, 4);
}

TEST_F(RouterTest, UpdateVisitsCodesInAscendingOrder)
{
    __messageRouter_register_for_message(&router, &a, 300);
    __messageRouter_register_for_message(&router, &a, 100);
    __messageRouter_register_for_message(&router, &a, 0xF0000000u);
    post_delayed(0xF0000000u, 0, 0.0f);
    post_delayed(300, 0, 0.0f);
    post_delayed(100, 0, 0.0f);
    update(0.0f);
    EXPECT_EQ(log, (Log{entry("A", 100, 0), entry("A", 300, 0), entry("A", 0xF0000000u, 0)}));
}

TEST_F(RouterTest, DelayedNullMessageDeliversNothing)
{
    __messageRouter_register_for_message(&router, &a, code);
    float delay = 0.0f;
    __messageRouter_post_message_delayed(&router, nullptr, &delay);
    update(1.0f);
    EXPECT_TRUE(log.empty());
}

TEST_F(RouterTest, UnregisterRemovesTheFirstOccurrence)
{
    __messageRouter_register_for_message(&router, &a, code);
    __messageRouter_register_for_message(&router, &b, code);
    __messageRouter_register_for_message(&router, &c, code);

    EXPECT_FALSE(__messageRouter_unregister_for_message(&router, &a, 99)) << "no mailbox";
    EXPECT_TRUE(__messageRouter_unregister_for_message(&router, &b, code));
    EXPECT_FALSE(__messageRouter_unregister_for_message(&router, &b, code)) << "not registered any more";

    EXPECT_EQ(post(code), 2);
    EXPECT_EQ(log, (Log{entry("A", code, 0), entry("C", code, 0)}));
}

TEST_F(RouterTest, UnregisterAllLeavesTheMailboxes)
{
    for (uint32_t each : {1u, 2u, 3u}) __messageRouter_register_for_message(&router, &a, each);
    __messageRouter_register_for_message(&router, &b, 2);
    post_delayed(4, 0, 1.0f);  // a mailbox without a

    EXPECT_EQ(__messageRouter_unregister_all(&router, &a), 3);
    for (uint32_t each : {1u, 2u, 3u}) EXPECT_NE(router.find(each), nullptr);
    EXPECT_EQ(post(1), 0);
    EXPECT_EQ(post(2), 1);
    EXPECT_EQ(__messageRouter_unregister_all(&router, &a), 0);
    update(1.0f);
}

TEST_F(RouterTest, ObserverMayRegisterOthersDuringDelivery)
{
    __messageRouter_register_for_message(&router, &a, code);
    a.on_receive = [this](const RoutedMessage*) {
        // Grows this code's observer list and adds mailboxes to the map while
        // both are being walked.
        __messageRouter_register_for_message(&router, &b, code);
        for (uint32_t more = 1; more <= 64; ++more) __messageRouter_register_for_message(&router, &c, code + more);
    };
    EXPECT_EQ(post(code, 1), 2) << "an observer added during delivery is reached too";
    EXPECT_EQ(log, (Log{entry("A", code, 1), entry("B", code, 1)}));

    log.clear();
    a.on_receive = [this](const RoutedMessage*) {
        for (uint32_t more = 100; more <= 164; ++more) __messageRouter_register_for_message(&router, &c, more);
    };
    post_delayed(code, 2, 0.0f);
    update(0.0f);
    EXPECT_EQ(log, (Log{entry("A", code, 2), entry("B", code, 2)}));
    EXPECT_EQ(deletions, 1);
}

TEST_F(RouterTest, MessagePostedDuringAnUpdateWaitsForTheNext)
{
    // An observer that posts again on every delivery must not keep one update
    // running for ever.
    __messageRouter_register_for_message(&router, &a, code);
    uint32_t word = 0;
    a.on_receive = [&](const RoutedMessage*) { post_delayed(code, ++word, 0.0f); };
    post_delayed(code, 0, 0.0f);

    update(0.0f);
    EXPECT_EQ(log, (Log{entry("A", code, 0)}));
    update(0.0f);
    EXPECT_EQ(log, (Log{entry("A", code, 0), entry("A", code, 1)}));

    a.on_receive = nullptr;
    update(0.0f);
    EXPECT_EQ(deletions, 3);
}

TEST_F(RouterTest, DestroyedRouterFreesEntriesButNotHeldMessages)
{
    auto* local = new MessageRouter(false);
    HeldMessage* held = new HeldMessage(code, 0, &deletions);
    float delay = 5.0f;
    __messageRouter_register_for_message(local, &a, code);
    __messageRouter_post_message_delayed(local, held, &delay);
    delete local;  // the leak check of the sanitizer build catches a left entry
    EXPECT_EQ(deletions, 0) << "a waiting message is not destroyed with the router";
    EXPECT_TRUE(log.empty());
    delete held;
}
