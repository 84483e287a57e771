// JSON text as keelcore reads it: from memory in one piece and from a source
// that hands it over in pieces of varying size. Both must agree; a value read
// must write, read back and write again to the same text.
// The first byte picks the options (bit 0 comments, bit 1 indented output) and
// the seed of the piece sizes; the rest is the text.
#include <cstring>
#include <string>

#include "json/parser.h"
#include "json/writer.h"
#include "tests/fuzz/support/fuzz_support.h"

namespace {

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

// Hands out the text in pieces of 1 to 64 bytes, the sizes drawn from the seed.
struct Pieces {
    const char* text;
    size_t size;
    size_t at;
    uint32_t state;
};

int next_piece(void* state, void* dest, unsigned* n)
{
    Pieces& p = *static_cast<Pieces*>(state);
    p.state = p.state * 1103515245u + 12345u;
    size_t piece = 1 + (p.state >> 16) % 64;
    if (piece > *n) piece = *n;
    if (piece > p.size - p.at) piece = p.size - p.at;
    memcpy(dest, p.text + p.at, piece);
    p.at += piece;
    *n = unsigned(piece);
    return 0;
}

std::string written(const cson_value* v, bool indented)
{
    cson_output_opt opt = {};
    opt.indentation = indented ? 2 : 0;
    opt.addSpaceAfterColon = indented;
    cson_buffer buffer = {};
    check(cson_output_buffer(v, &buffer, &opt) == cson_rc_OK);
    std::string text(reinterpret_cast<const char*>(buffer.mem), buffer.used);
    cson_buffer_clear(&buffer);
    return text;
}

// Read back from a source, since a text in memory must hold two characters
// at least and a written scalar may be one ("7").
cson_value* parsed(const std::string& text, const cson_parse_opt& opt)
{
    Pieces pieces{text.data(), text.size(), 0, uint32_t(text.size())};
    cson_value* v = nullptr;
    check(cson_parse(&v, next_piece, &pieces, &opt, nullptr) == cson_rc_OK);
    return v;
}

// Whether the text's strings are sure to be written back as they were read:
// nothing outside ASCII and no escape that could be FFFE or FFFF.
bool faithful(const char* text, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
        if (i + 4 > length) continue;
        const char last = char(text[i + 3] | 0x20);
        if ((text[i] | 0x20) == 'f' && (text[i + 1] | 0x20) == 'f' && (text[i + 2] | 0x20) == 'f' &&
            (last == 'e' || last == 'f'))
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 65536) return 0;
    const uint8_t flags = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const unsigned length = unsigned(size - 1);
    cson_parse_opt opt = {};
    opt.allowComments = flags & 1;
    // The writer has no limit of its own here, so any depth read writes back.
    opt.maxDepth = 25;

    cson_value* whole = nullptr;
    cson_parse_info whole_info = {};
    const int whole_rc = cson_parse_string(&whole, text, length, &opt, &whole_info);
    check((whole_rc == cson_rc_OK) == (whole != nullptr));

    Pieces pieces{text, length, 0, flags};
    cson_value* streamed = nullptr;
    cson_parse_info streamed_info = {};
    const int streamed_rc = cson_parse(&streamed, next_piece, &pieces, &opt, &streamed_info);
    check((streamed_rc == cson_rc_OK) == (streamed != nullptr));

    // Texts below two bytes are refused from memory whatever they hold.
    if (length >= 2) {
        check(whole_rc == streamed_rc);
        check(whole_info.line == streamed_info.line && whole_info.col == streamed_info.col &&
              whole_info.length == streamed_info.length);
    }
    if (whole && streamed) check(written(whole, false) == written(streamed, false));

    if (whole) {
        // Bytes that are not UTF-8 and the code points FFFE and FFFF are
        // written as U+FFFD, so text holding them may change once (and keys
        // that become equal merge); from then on the text must stay the same.
        const std::string first = written(whole, false);
        cson_value* again = parsed(first, opt);
        const std::string second = written(again, false);
        if (faithful(text, length)) check(second == first);
        cson_value* third = parsed(second, opt);
        check(written(third, false) == second);
        cson_value* from_indented = parsed(written(whole, flags & 2), opt);
        check(written(from_indented, false) == second);
        cson_value* copy = cson_value_clone(whole);
        check(copy != nullptr);
        check(written(copy, false) == first);
        cson_value_free(copy);
        cson_value_free(from_indented);
        cson_value_free(third);
        cson_value_free(again);
    }
    cson_value_free(whole);
    cson_value_free(streamed);
    return 0;
}
