// JSON values: reference-counted null, booleans, integers, doubles, strings,
// arrays and objects, with the result codes every JSON operation returns.
#pragma once

#include "base/keel.h"

#include <cstdint>

typedef int32_t cson_int_t;
typedef double cson_double_t;

// Result codes; 0 is success. cson_rc_string gives each one's text.
enum cson_rc_code {
    cson_rc_OK = 0,
    cson_rc_ArgError = 1,
    cson_rc_RangeError = 2,
    cson_rc_TypeError = 3,
    cson_rc_IOError = 4,
    cson_rc_AllocError = 5,
    cson_rc_NYIError = 6,
    cson_rc_InternalError = 7,
    cson_rc_UnsupportedError = 8,
    cson_rc_NotFoundError = 9,
    cson_rc_UnknownError = 10,
    cson_rc_Parse_INVALID_CHAR = 11,
    cson_rc_Parse_INVALID_KEYWORD = 12,
    cson_rc_Parse_INVALID_ESCAPE_SEQUENCE = 13,
    cson_rc_Parse_INVALID_UNICODE_SEQUENCE = 14,
    cson_rc_Parse_INVALID_NUMBER = 15,
    cson_rc_Parse_NESTING_DEPTH_REACHED = 16,
    cson_rc_Parse_UNBALANCED_COLLECTION = 17,
    cson_rc_Parse_EXPECTED_KEY = 18,
    cson_rc_Parse_EXPECTED_COLON = 19
};

// Value kinds, as the type tests and the writer number them.
enum cson_type_id {
    CSON_TYPE_UNDEF = 0,
    CSON_TYPE_NULL = 1,
    CSON_TYPE_BOOL = 2,
    CSON_TYPE_INTEGER = 3,
    CSON_TYPE_DOUBLE = 4,
    CSON_TYPE_STRING = 5,
    CSON_TYPE_ARRAY = 6,
    CSON_TYPE_OBJECT = 7
};

struct cson_value_api;
// A value: its kind's descriptor, its payload (which follows it in the same
// allocation) and its reference count (0 means one owner).
struct cson_value {
    const cson_value_api* api;
    void* value;
    uint32_t refcount;
};

// A string payload: its byte length, followed by the bytes and a NUL.
struct cson_string {
    uint32_t length;
};

struct cson_value_list {
    cson_value** list;
    uint32_t count;
    uint32_t alloced;
};

struct cson_kvp {
    cson_value* key;
    cson_value* value;
};

// The entries in insertion order (a pointer to one stays valid until the
// object next changes).
struct cson_kvp_list {
    cson_kvp* list;
    uint32_t count;
    uint32_t alloced;
};

struct cson_array {
    cson_value_list list;
};

struct cson_object {
    cson_kvp_list kvp;
};

KEEL_API const char* cson_rc_string(int rc);

// Kinds and type tests. A missing value is undefined.
KEEL_API int cson_value_type_id(const cson_value* v);
KEEL_API bool cson_value_is_undef(const cson_value* v);
KEEL_API bool cson_value_is_null(const cson_value* v);
KEEL_API bool cson_value_is_bool(const cson_value* v);
KEEL_API bool cson_value_is_integer(const cson_value* v);
KEEL_API bool cson_value_is_double(const cson_value* v);
KEEL_API bool cson_value_is_number(const cson_value* v);
KEEL_API bool cson_value_is_string(const cson_value* v);
KEEL_API bool cson_value_is_array(const cson_value* v);
KEEL_API bool cson_value_is_object(const cson_value* v);

// Creation. The fixed values and the zeroes are shared and never freed.
KEEL_API cson_value* cson_value_undef(void);
KEEL_API cson_value* cson_value_null(void);
KEEL_API cson_value* cson_value_true(void);
KEEL_API cson_value* cson_value_false(void);
KEEL_API cson_value* cson_value_new_bool(bool v);
KEEL_API cson_value* cson_value_new_integer(cson_int_t v);
KEEL_API cson_value* cson_value_new_double(cson_double_t v);
KEEL_API cson_value* cson_value_new_string(const char* text, uint32_t length);
KEEL_API cson_value* cson_value_new_array(void);
KEEL_API cson_value* cson_value_new_object(void);

// Conversions between kinds (0 or the failure code).
KEEL_API int cson_value_fetch_bool(const cson_value* v, bool* out);
KEEL_API int cson_value_fetch_integer(const cson_value* v, cson_int_t* out);
KEEL_API int cson_value_fetch_double(const cson_value* v, cson_double_t* out);
KEEL_API bool cson_value_get_bool(const cson_value* v);
KEEL_API cson_int_t cson_value_get_integer(const cson_value* v);
KEEL_API cson_double_t cson_value_get_double(const cson_value* v);
KEEL_API cson_string* cson_value_get_string(const cson_value* v);
KEEL_API const char* cson_value_get_cstr(const cson_value* v);
KEEL_API cson_array* cson_value_get_array(const cson_value* v);
KEEL_API cson_object* cson_value_get_object(const cson_value* v);

// Reference counting.
KEEL_API int cson_value_add_reference(cson_value* v);
KEEL_API void cson_value_free(cson_value* v);
KEEL_API uint32_t cson_value_refcount(const cson_value* v);

// Deep copy (null when an allocation fails) and estimated memory use.
KEEL_API cson_value* cson_value_clone(const cson_value* v);
KEEL_API uint32_t cson_value_msize(const cson_value* v);

// Strings.
KEEL_API const char* cson_string_cstr(const cson_string* s);
KEEL_API uint32_t cson_string_length_bytes(const cson_string* s);
KEEL_API uint32_t cson_string_length_utf8(const cson_string* s);
// Byte-wise comparison over the longer length: <0, 0 or >0.
KEEL_API int cson_string_cmp_cstr_n(const cson_string* s, const char* text, uint32_t length);
KEEL_API int cson_string_cmp_cstr(const cson_string* s, const char* text);
KEEL_API cson_value* cson_string_value(const cson_string* s);

// Arrays. A container takes its own reference to a value put into it: the
// caller still owns the value it made and releases it when done.
KEEL_API cson_value* cson_array_value(const cson_array* a);
KEEL_API uint32_t cson_array_length_get(const cson_array* a);
KEEL_API int cson_array_reserve(cson_array* a, uint32_t size);
KEEL_API cson_value* cson_array_get(const cson_array* a, uint32_t index);
KEEL_API int cson_array_set(cson_array* a, uint32_t index, cson_value* v);
KEEL_API int cson_array_append(cson_array* a, cson_value* v);

// Objects (the same ownership as arrays). Setting a missing value removes the
// key; taking an entry hands the object's reference to the caller.
KEEL_API cson_value* cson_object_value(const cson_object* o);
KEEL_API uint32_t cson_object_length_get(const cson_object* o);
KEEL_API cson_kvp* cson_object_entry_at(const cson_object* o, uint32_t index);
KEEL_API cson_value* cson_object_get(const cson_object* o, const char* key);
KEEL_API cson_value* cson_object_get_s(const cson_object* o, const cson_string* key);
KEEL_API int cson_object_set(cson_object* o, const char* key, cson_value* v);
KEEL_API int cson_object_set_s(cson_object* o, cson_string* key, cson_value* v);
KEEL_API int cson_object_unset(cson_object* o, const char* key);
KEEL_API cson_value* cson_object_take(cson_object* o, const char* key);
// Nested lookup: path starts with the separator, e.g. "/a/b" with '/'.
KEEL_API int cson_object_fetch_sub(const cson_object* o, cson_value** out, const char* path, char separator);
KEEL_API cson_value* cson_object_get_sub(const cson_object* o, const char* path, char separator);

KEEL_API cson_string* cson_kvp_key(const cson_kvp* kvp);
KEEL_API cson_value* cson_kvp_value(const cson_kvp* kvp);

// Command-line style "--key=value" arguments into an object.
KEEL_API int cson_parse_argv_flags(int argc, const char* const* argv, cson_object** target, unsigned* count);
