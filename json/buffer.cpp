// The growable byte buffer.
#include "json/buffer.h"

#include <cstdlib>

KEEL_API int cson_buffer_reserve(cson_buffer* buffer, uint32_t size)
{
    if (!buffer) return cson_rc_ArgError;
    if (size <= buffer->capacity) return cson_rc_OK;
    void* grown = realloc(buffer->mem, size);
    if (!grown) return cson_rc_AllocError;
    buffer->mem = static_cast<unsigned char*>(grown);
    buffer->capacity = size;
    return cson_rc_OK;
}

KEEL_API void cson_buffer_clear(cson_buffer* buffer)
{
    if (!buffer) return;
    free(buffer->mem);
    *buffer = cson_buffer{nullptr, 0, 0};
}

KEEL_API int cson_buffer_fill_from(cson_buffer* buffer, cson_data_source_f source, void* state)
{
    if (!buffer || !source) return cson_rc_ArgError;
    constexpr unsigned kChunk = 4096;
    buffer->used = 0;
    for (;;) {
        if (buffer->used > UINT32_MAX - kChunk - 1) return cson_rc_RangeError;
        if (buffer->capacity < buffer->used + kChunk + 1) {
            uint32_t capacity = buffer->capacity ? buffer->capacity : kChunk + 1;
            while (capacity < buffer->used + kChunk + 1)
                capacity = capacity > UINT32_MAX / 2 ? UINT32_MAX : capacity * 2;
            if (const int rc = cson_buffer_reserve(buffer, capacity)) return rc;
        }
        unsigned n = kChunk;
        if (const int rc = source(state, buffer->mem + buffer->used, &n)) return rc;
        if (n > kChunk) return cson_rc_RangeError;
        buffer->used += n;
        if (n < kChunk) break;
    }
    buffer->mem[buffer->used] = 0;
    return cson_rc_OK;
}
