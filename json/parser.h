// The push parser (characters in, events out), the driver that builds values
// from its events, and the sources it reads from.
#pragma once

#include "json/value.h"

#include <cstddef>
#include <cstdio>

// Events, in the order the value builder numbers them.
enum cson_parse_event {
    CSON_EVENT_ARRAY_BEGIN = 1,
    CSON_EVENT_ARRAY_END = 2,
    CSON_EVENT_OBJECT_BEGIN = 3,
    CSON_EVENT_OBJECT_END = 4,
    CSON_EVENT_INTEGER = 5,
    CSON_EVENT_FLOAT = 6,
    CSON_EVENT_NULL = 7,
    CSON_EVENT_TRUE = 8,
    CSON_EVENT_FALSE = 9,
    CSON_EVENT_STRING = 10,
    CSON_EVENT_KEY = 11
};

// What a scalar event carries: the integer, the number, or the text (strings,
// keys, and floats when the callback converts them itself). The text is only
// valid during the call and need not end in a NUL: use its length.
struct cson_parser_value {
    cson_int_t integer;
    double number;
    const char* text;
    uint32_t length;
};

// Returns 0 to go on, or a result code that stops the parse.
typedef int (*cson_parser_callback)(void* context, int event, const cson_parser_value* value);

struct cson_parser_config {
    cson_parser_callback callback;
    void* callback_context;
    int depth;  // deepest nesting allowed; below 1 means unlimited
    bool allow_comments;
    bool handle_floats_manually;
    void* (*allocate)(size_t size);
    void (*release)(void* p);
};

struct cson_parser;

// Defaults: no callback, depth 127, no comments, the run-time's allocator.
KEEL_API void cson_parser_config_init(cson_parser_config* config);
KEEL_API cson_parser* cson_parser_new(const cson_parser_config* config);
KEEL_API void cson_parser_delete(cson_parser* p);
// One character; false when the parser refuses it (see cson_parser_error).
KEEL_API bool cson_parser_char(cson_parser* p, int c);
// A run of characters; *consumed says how many were taken before a refusal.
KEEL_API bool cson_parser_chars(cson_parser* p, const char* text, size_t length, size_t* consumed);
// End of input: true unless the text so far is refused or incomplete (an
// empty input is complete and gives no events).
KEEL_API bool cson_parser_done(cson_parser* p);
// The result code of the refusal (11 to 19, 5, or the callback's own), 0 if none.
KEEL_API int cson_parser_error(const cson_parser* p);

// Parse driver.
struct cson_parse_opt {
    uint16_t maxDepth;  // 0 means the default, 25
    bool allowComments;
};

// Where the parse stopped: line (from 1), column and character count.
struct cson_parse_info {
    uint32_t line;
    uint32_t col;
    uint32_t length;
    int errorCode;
    uint32_t reserved1;
    uint32_t reserved2;
};

// Fills dest with up to *n bytes and sets *n to the count (0 at the end).
typedef int (*cson_data_source_f)(void* state, void* dest, unsigned* n);

KEEL_API int cson_data_source_FILE(void* state, void* dest, unsigned* n);
KEEL_API int cson_parse(cson_value** target, cson_data_source_f source, void* state, const cson_parse_opt* opt,
                        cson_parse_info* info);
KEEL_API int cson_parse_FILE(cson_value** target, FILE* file, const cson_parse_opt* opt, cson_parse_info* info);
KEEL_API int cson_parse_filename(cson_value** target, const char* path, const cson_parse_opt* opt,
                                 cson_parse_info* info);
KEEL_API int cson_parse_string(cson_value** target, const char* text, unsigned length, const cson_parse_opt* opt,
                               cson_parse_info* info);
