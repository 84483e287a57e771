// Objects the host replicates to its clients. Each carries a sync id that is
// the same on every machine and a second interface through which the network
// code writes and reads its state; one manager per object class hands out the
// ids and removes objects in a deferred, collected way.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/containers.h"

// The second base of every synced object.
//
// The state (the first three slots) is what the host streams every update;
// the record (the last three) is the full form used when an object is created
// on a client. Overrides write their own fields and then the base's.
//
// Every call gets the bytes its buffer holds. Writers and readers return the
// number of bytes actually written or read, and callers advance by exactly
// that count; the sizes are the capacities a caller reserves, which may be
// more than a call writes. A writer given too little room writes nothing and
// returns -1; a reader given too few bytes, or a non-finite number, changes
// nothing and returns -1.
class _cVantorSyncedObjectBase {
public:
    static constexpr int kRecordSize = 4;

    // The base writes no state.
    virtual int write_sync_state(uint8_t* buffer, size_t capacity) const;
    // The base only keeps the time stamp.
    virtual int read_sync_state(const uint8_t* buffer, size_t size, float time);
    virtual int sync_state_size() const;
    // The base record is the bare sync_id.
    virtual int write_sync_record(uint8_t* buffer, size_t capacity) const;
    virtual int read_sync_record(const uint8_t* buffer, size_t size);
    virtual int sync_record_size() const;

    virtual ~_cVantorSyncedObjectBase() = default;

    // The time stamp given with the last state read.
    float sync_time = 0;
    // 0: no id yet.
    uint32_t sync_id = 0;
};

// Hands out sync ids and maps them to the objects of one class. T derives
// from _cVantorSyncedObjectBase. An owning manager deletes its objects when
// they are collected or when it is destroyed; a referencing one only forgets
// them.
template <class T>
class cVantorSyncedManager {
public:
    explicit cVantorSyncedManager(bool reference = false) : objects(reference) {}
    cVantorSyncedManager(const cVantorSyncedManager&) = delete;
    cVantorSyncedManager& operator=(const cVantorSyncedManager&) = delete;
    virtual ~cVantorSyncedManager() = default;

    // Gives an object without an id the next free one (never 0) and maps its
    // id to it; an object that already has an id (one read from a packet)
    // keeps it. Returns the object now held under that id: when the id was
    // already taken the map keeps its first object and returns it, and an
    // owning manager deletes the object passed in. Null gives null.
    virtual T* register_object(T* object)
    {
        if (!object) return nullptr;
        if (object->sync_id == 0) object->sync_id = take_free_id();
        T* held = objects.find(object->sync_id);
        if (held) {
            if (!objects.is_reference()) delete object;
            return held;
        }
        objects.insert(object, object->sync_id);
        return object;
    }

    // Queues a held id for the next collect; false for an id not held.
    // Nothing is erased yet: the object is still found until then.
    virtual bool remove(uint32_t id)
    {
        if (!objects.find(id)) return false;
        objects.mark_for_removal(id);
        return true;
    }

    // Erases every queued id still held, deleting the objects of an owning
    // manager, and empties the queue.
    virtual void collect() { objects.collect(); }

    // Null when the id is not held.
    T* find(uint32_t id) const { return objects.find(id); }

    // The id handed out next.
    uint32_t next_id = 1;
    DSPhashMapGarbageCollected<T> objects;

private:
    // After the ids wrap, ones still held are passed over; 0 never is handed out.
    uint32_t take_free_id()
    {
        for (;;) {
            uint32_t id = next_id;
            if (++next_id == 0) next_id = 1;
            if (id != 0 && !objects.find(id)) return id;
        }
    }
};
