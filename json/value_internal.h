// What the parser and writer share with the value model beyond the exports:
// the kinds' descriptors and the insertions that hand over ownership.
#pragma once

#include "json/value.h"

#include <cstddef>
#include <cstring>

struct cson_value_api {
    cson_type_id type_id;
    bool shared;  // one of the static values that are never counted or freed
    bool pooled;  // lives in a ValueBlock (its value field points to the block)
};

// Shared by the library's files only: hidden, so calls between them are direct.
namespace json_detail __attribute__((visibility("hidden"))) {

// Every payload follows its value in the same allocation.
inline void* payload(const cson_value* v) { return const_cast<cson_value*>(v) + 1; }
inline cson_string* string_of(const cson_value* v) { return static_cast<cson_string*>(payload(v)); }
inline char* string_bytes(cson_string* s) { return reinterpret_cast<char*>(s + 1); }
inline cson_array* array_of(const cson_value* v) { return static_cast<cson_array*>(payload(v)); }
inline cson_object* object_of(const cson_value* v) { return static_cast<cson_object*>(payload(v)); }
inline int kind(const cson_value* v) { return v ? v->api->type_id : CSON_TYPE_UNDEF; }

// Most copies here are a few bytes long, where a call to memcpy costs more
// than the copy: fixed-size pieces that overlap compile to plain moves.
inline void copy_bytes(void* to, const void* from, size_t n)
{
    auto* d = static_cast<char*>(to);
    const auto* s = static_cast<const char*>(from);
    if (n >= 8 && n <= 16) {
        memcpy(d, s, 8);
        memcpy(d + n - 8, s + n - 8, 8);
    } else if (n >= 4 && n < 8) {
        memcpy(d, s, 4);
        memcpy(d + n - 4, s + n - 4, 4);
    } else if (n > 0 && n < 4) {
        d[0] = s[0];
        d[n / 2] = s[n / 2];
        d[n - 1] = s[n - 1];
    } else if (n > 16 && n <= 32) {
        memcpy(d, s, 16);
        memcpy(d + n - 16, s + n - 16, 16);
    } else if (n > 32) {
        memcpy(d, s, n);
    }
}

// The container takes over the caller's ownership of v (no new reference).
int array_append_owned(cson_array* a, cson_value* v);
// Appends without looking for the key; the object owns key and value.
int object_append_owned(cson_object* o, cson_value* key, cson_value* v);
int object_find(const cson_object* o, const char* key, uint32_t length);
// Values the parser makes are carved out of shared blocks: each block counts
// its live values and is recycled with the last of them. A value stays counted
// and released one by one as any other; its block is found from its address.
struct ValueBlock {
    uint32_t live;        // its values, and the pool's own hold while it fills
    uint32_t referenced;  // its values counted above 0 (held more than once)
};
static_assert(sizeof(ValueBlock) % 8 == 0, "values after the header stay aligned");

// The count of a value held once more (as cson_value_add_reference).
int add_reference(cson_value* v);
// Releases v (as cson_value_free).
void release(cson_value* v);
// The shared null, true or false for the parser's event of that name.
cson_value* literal_value(int event);

// Makes v's count 0 (one owner), as a parsed root is handed over.
void reset_to_one_owner(cson_value* v);

class ValuePool {
public:
    ValuePool() = default;
    ValuePool(const ValuePool&) = delete;
    ValuePool& operator=(const ValuePool&) = delete;
    ~ValuePool();
    cson_value* new_integer(cson_int_t i);
    cson_value* new_double(cson_double_t d);
    cson_value* new_string(const char* text, uint32_t length);
    // A container made whole, with its members in the same allocation. An
    // object takes n/2 key/value pairs, a later duplicate key replacing the
    // earlier value in its place. Null when memory runs out; nothing was
    // taken then.
    cson_value* new_array_with(cson_value* const* items, uint32_t n);
    cson_value* new_object_with(cson_value* const* pairs, uint32_t n);

private:
    // Scalars and containers fill blocks of their own, so that releasing a
    // tree reads the containers' blocks and not the scalars'.
    struct Cursor {
        ValueBlock* block = nullptr;
        size_t used = 0;
    };
    cson_value* take(Cursor& cursor, const cson_value_api* api, size_t payload_size);
    Cursor scalars_;
    Cursor containers_;
};

}  // namespace json_detail
