// Values to JSON text, through an output function or into a stream, a file
// or a growable buffer.
#pragma once

#include "json/buffer.h"

#include <cstdio>

struct cson_output_opt {
    uint8_t indentation;  // 0 none, 1 a tab per level, n > 1 n blanks per level
    uint16_t maxDepth;    // a deeper value fails with code 2; 0 means no limit
    bool addNewline;      // a line feed after the whole output
    bool addSpaceAfterColon;
    bool indentSingleMemberValues;
    bool escapeForwardSlashes;
};

// Receives each piece of output; returns 0 for success.
typedef int (*cson_data_dest_f)(void* state, const void* src, unsigned n);

KEEL_API int cson_data_dest_FILE(void* state, const void* src, unsigned n);
KEEL_API int cson_data_dest_buffer(void* state, const void* src, unsigned n);
KEEL_API int cson_output(const cson_value* v, cson_data_dest_f dest, void* state, const cson_output_opt* opt);
// Missing options: no indentation and a maximum depth of 25.
KEEL_API int cson_output_FILE(const cson_value* v, FILE* file, const cson_output_opt* opt);
KEEL_API int cson_output_filename(const cson_value* v, const char* path, const cson_output_opt* opt);
// Appends the text to the buffer and NUL-terminates it.
KEEL_API int cson_output_buffer(const cson_value* v, cson_buffer* buffer, const cson_output_opt* opt);
