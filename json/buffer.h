// A growable byte buffer, and reading a whole input into one.
#pragma once

#include "json/parser.h"

struct cson_buffer {
    unsigned char* mem;
    uint32_t capacity;
    uint32_t used;
};

// Makes room for at least size bytes (never shrinks).
KEEL_API int cson_buffer_reserve(cson_buffer* buffer, uint32_t size);
KEEL_API void cson_buffer_clear(cson_buffer* buffer);
// Reads everything the source gives, in chunks of up to 4096 bytes, and
// NUL-terminates it (the NUL is not counted in used).
KEEL_API int cson_buffer_fill_from(cson_buffer* buffer, cson_data_source_f source, void* state);
