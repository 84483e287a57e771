// Byte-string helpers and the 32-bit name hash shared by every file.
#pragma once

#include <string>
#include "base/keel.h"

KEEL_API uint32_t __mystring_hash(const char* text);
KEEL_API void __mystring_upper_case(char* text);
KEEL_API void __mystring_lower_case(char* text);
// size 0 means no limit; otherwise at most size - 1 bytes and a terminator.
KEEL_API char* __mystring_string_copy(char* destination, const char* source, uint16_t size);
// Equal lengths and equal bytes after folding 'A'..'Z' to lower case.
KEEL_API bool __mystring_string_equal(const char* a, const char* b);
// Widest line in visible characters and the number of lines; colour escapes
// ("#C5558") are not counted and "##" shows one '#'.
KEEL_API void __mystring_extract_width_and_height_from_string(const char* text, int* width, int* lines);
// out must hold 256 bytes; returns the length written.
KEEL_API int16_t __mystring_convert_to_roman_numeral(char* out, uint16_t number);
// Inserts line breaks so that no line runs past width characters.
KEEL_API uint32_t __mystring_auto_newline(std::string& text, uint32_t width);
