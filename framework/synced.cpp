#include "framework/synced.h"

#include <cmath>

#include "base/bytes.h"

int _cVantorSyncedObjectBase::write_sync_state(uint8_t*, size_t) const
{
    return 0;
}

int _cVantorSyncedObjectBase::read_sync_state(const uint8_t*, size_t, float time)
{
    if (!std::isfinite(time)) return -1;
    sync_time = time;
    return 0;
}

int _cVantorSyncedObjectBase::sync_state_size() const
{
    return 0;
}

int _cVantorSyncedObjectBase::write_sync_record(uint8_t* buffer, size_t capacity) const
{
    if (!buffer || capacity < size_t(kRecordSize)) return -1;
    ByteWriter out(buffer, capacity);
    out.u32(sync_id);
    return int(out.size());
}

int _cVantorSyncedObjectBase::read_sync_record(const uint8_t* buffer, size_t size)
{
    ByteReader in(buffer, size);
    uint32_t id = 0;
    if (!in.u32(id)) return -1;
    sync_id = id;
    return int(in.position());
}

int _cVantorSyncedObjectBase::sync_record_size() const
{
    return kRecordSize;
}
