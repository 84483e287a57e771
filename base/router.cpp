#include "base/router.h"

#include <cstdio>

static cMessageRouter::Mailbox* mailbox_for(MessageRouter* router, uint32_t code)
{
    cMessageRouter::Mailbox* mailbox = router->find(code);
    if (!mailbox) mailbox = router->insert(new cMessageRouter::Mailbox, code);
    return mailbox;
}

static int find_observer(const cMessageRouter::Mailbox* mailbox, const cMessageObserver* observer)
{
    for (uint32_t i = 0; i < mailbox->observers.count(); ++i)
        if (mailbox->observers.get(i) == observer) return int(i);
    return -1;
}

// Walks by index and reads the count before every call, so an observer that
// registers or unregisters during delivery never invalidates the walk.
static int16_t deliver(const cMessageRouter::Mailbox* mailbox, const RoutedMessage* message)
{
    int16_t reached = 0;
    for (uint32_t i = 0; i < mailbox->observers.count(); ++i) {
        mailbox->observers.get(i)->receive_message(message);
        ++reached;
    }
    return reached;
}

bool __messageRouter_register_for_message(MessageRouter* router, cMessageObserver* observer, uint32_t code)
{
    cMessageRouter::Mailbox* mailbox = mailbox_for(router, code);
    if (!mailbox) {
        printf("ERROR: Could not find a message for code %i [%c%c%c%c]\n", int(code), char(code >> 24),
               char(code >> 16), char(code >> 8), char(code));
        return false;
    }
    if (find_observer(mailbox, observer) >= 0) return false;
    mailbox->observers.insert(observer);
    return true;
}

bool __messageRouter_unregister_for_message(MessageRouter* router, cMessageObserver* observer, uint32_t code)
{
    cMessageRouter::Mailbox* mailbox = router->find(code);
    if (!mailbox) return false;
    const int index = find_observer(mailbox, observer);
    if (index < 0) return false;
    return mailbox->observers.erase(uint32_t(index));
}

int __messageRouter_unregister_all(MessageRouter* router, cMessageObserver* observer)
{
    int removed = 0;
    for (auto& entry : router->walk())
        if (__messageRouter_unregister_for_message(router, observer, entry.first)) ++removed;
    return removed;
}

int16_t __messageRouter_post_message(MessageRouter* router, const RoutedMessage* message)
{
    const cMessageRouter::Mailbox* mailbox = router->find(message->code);
    return mailbox ? deliver(mailbox, message) : 0;
}

int16_t __messageRouter_post_message_delayed(MessageRouter* router, cMessageStable* held, float* delay)
{
    if (!held) return 0;
    cMessageRouter::Mailbox* mailbox = mailbox_for(router, held->message.code);
    mailbox->delayed.insert(new tuple2<cMessageStable*, float>{held, *delay});
    return int16_t(mailbox->observers.count());
}

int __messageRouter_update(MessageRouter* router, float* elapsed)
{
    int delivered = 0;
    for (auto& entry : router->walk()) {
        cMessageRouter::Mailbox* mailbox = entry.second;
        // Only the messages waiting when the update reached this mailbox:
        // one posted by an observer during delivery waits for the next update.
        uint32_t i = 0;
        for (uint32_t waiting = mailbox->delayed.count(); waiting > 0 && i < mailbox->delayed.count(); --waiting) {
            tuple2<cMessageStable*, float>* held = mailbox->delayed.get(i);
            if (held->second > *elapsed) {
                held->second -= *elapsed;
                ++i;
                continue;
            }
            cMessageStable* message = held->first;
            mailbox->delayed.erase(i);
            deliver(mailbox, &message->message);
            delete message;
            ++delivered;
        }
    }
    return delivered;
}
