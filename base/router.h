// Message router: observers register for a 32-bit code (the name hash of a
// message name); senders post at once or after a delay counted down by
// __messageRouter_update. The state is the mailbox map held by modGraphics.
#pragma once

#include "base/containers.h"
#include "base/keel.h"

struct RoutedMessage {
    uint32_t code;
    uint32_t sender_word;
    uint32_t receiver_word;
};

class cMessageObserver {
public:
    virtual void receive_message(const RoutedMessage* message) = 0;
    virtual ~cMessageObserver() = default;
};

// A message held by the router until its delay has run out.
class cMessageStable {
public:
    explicit cMessageStable(const RoutedMessage& message) : message(message) {}
    virtual ~cMessageStable() = default;
    RoutedMessage message;
};

class cMessageRouter {
public:
    struct Mailbox {
        DSParray<tuple2<cMessageStable*, float>> delayed;
        DSPrefArray<cMessageObserver> observers;
    };
    using Mailboxes = DSPhashMap<Mailbox>;
};

using MessageRouter = cMessageRouter::Mailboxes;

KEEL_API bool __messageRouter_register_for_message(MessageRouter* router, cMessageObserver* observer, uint32_t code);
KEEL_API bool __messageRouter_unregister_for_message(MessageRouter* router, cMessageObserver* observer, uint32_t code);
// Returns the number of mailboxes the observer was removed from.
KEEL_API int __messageRouter_unregister_all(MessageRouter* router, cMessageObserver* observer);
// Delivers at once; returns the number of observers reached.
KEEL_API int16_t __messageRouter_post_message(MessageRouter* router, const RoutedMessage* message);
// The router owns held from here until delivery; returns the code's observer count.
KEEL_API int16_t __messageRouter_post_message_delayed(MessageRouter* router, cMessageStable* held, float* delay);
KEEL_API int __messageRouter_update(MessageRouter* router, float* elapsed);
