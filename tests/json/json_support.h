// Small helpers the JSON tests share: parse a text, write a value, compare trees.
#pragma once

#include "json/parser.h"
#include "json/value.h"
#include "json/writer.h"

#include <string>

// The result code of parsing text from memory; *out gets the root (or null).
int parse_text(const std::string& text, cson_value** out, uint16_t max_depth = 0);
// The same through the stream driver (which has no minimum length).
int parse_stream(const std::string& text, cson_value** out, uint16_t max_depth = 0);
// The text the writer makes, or "rc=N" when it fails.
std::string write_text(const cson_value* v, const cson_output_opt& opt = cson_output_opt{0, 0, false, false, false, false});
bool same_value(const cson_value* a, const cson_value* b);
