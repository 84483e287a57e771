#include "base/strings.h"

#include <cstring>

uint32_t __mystring_hash(const char* text)
{
    const uint32_t n = uint32_t(strlen(text));
    uint32_t a = n * 5;
    uint32_t b = 0;
    for (const char* p = text; *p; ++p) {
        const uint32_t c = uint32_t(int32_t(int8_t(*p)));
        a = (c << 16) + 2 * a;
        b = b + c * c;
    }
    return a ^ b ^ (n * 500 + n * n * 4000);
}

void __mystring_upper_case(char* text)
{
    for (; *text; ++text)
        if (*text >= 'a' && *text <= 'z') *text = char(*text - 'a' + 'A');
}

void __mystring_lower_case(char* text)
{
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z') *text = char(*text - 'A' + 'a');
}

char* __mystring_string_copy(char* destination, const char* source, uint16_t size)
{
    const size_t length = strlen(source);
    if (size == 0 || length < size_t(size) - 1) {
        memcpy(destination, source, length + 1);
    } else {
        memcpy(destination, source, size_t(size) - 1);
        destination[size - 1] = 0;
    }
    return destination;
}

static char fold_lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool __mystring_string_equal(const char* a, const char* b)
{
    const size_t length = strlen(a);
    if (length != strlen(b)) return false;
    for (size_t i = 0; i < length; ++i)
        if (fold_lower(a[i]) != fold_lower(b[i])) return false;
    return true;
}

void __mystring_extract_width_and_height_from_string(const char* text, int* width, int* lines)
{
    *width = 0;
    *lines = 1;
    int count = 0;
    for (size_t i = 0; text[i]; ++i) {
        if (text[i] == '#' && text[i + 1] == '#') {
            ++i;
            ++count;
        } else if (text[i] == '#') {
            // A colour escape spans six characters; stop at the terminator
            // when the text ends inside one.
            size_t skipped = 1;
            while (skipped < 6 && text[i + 1]) { ++i; ++skipped; }
        } else if (text[i] == '\n') {
            if (count > *width) *width = count;
            ++*lines;
            count = 0;
        } else {
            ++count;
        }
    }
    if (count > *width) *width = count;
}

int16_t __mystring_convert_to_roman_numeral(char* out, uint16_t number)
{
    static const struct { uint16_t value; const char* letters; } numerals[] = {
        {1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"}, {90, "XC"},
        {50, "L"}, {40, "XL"}, {10, "X"}, {9, "IX"}, {5, "V"}, {4, "IV"}, {1, "I"}};
    int length = 0;
    unsigned remaining = number;
    for (const auto& numeral : numerals) {
        const int width = int(strlen(numeral.letters));
        while (remaining >= numeral.value && length < 256 - width) {
            memcpy(out + length, numeral.letters, size_t(width));
            length += width;
            remaining -= numeral.value;
        }
    }
    out[length] = 0;
    return int16_t(length);
}

static bool is_ascii_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

uint32_t __mystring_auto_newline(std::string& text, uint32_t width)
{
    if (width == 0) return uint32_t(text.size());
    size_t break_at = 0;
    size_t last_inserted = std::string::npos;
    uint32_t count = 0;
    for (size_t j = 0; j < text.size(); ++j) {
        if (!is_ascii_letter(text[j])) break_at = j + 1;
        ++count;
        if (count < width) continue;
        // Never two breaks at one place: a word that is still longer than
        // the line after its first break is cut after the width-th character
        // of its line (count can exceed width by one right after a break).
        if (break_at == last_inserted) break_at = j + 1 - (count - width);
        // A cut at the end of the text leaves no line to break off.
        if (break_at == text.size()) break;
        text.insert(break_at, "\n");
        last_inserted = break_at;
        ++j;  // the current character, or the break itself when it follows it
        count = uint32_t(j - break_at);
    }
    return uint32_t(text.size());
}
