// The writer: a value tree to JSON text, walked with its own stack so that
// deep trees need no deep C stack.
#include "json/writer.h"
#include "json/value_internal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace json_detail;

namespace {

// Collects small pieces and hands them to the output function in runs.
class Output {
public:
    Output(cson_data_dest_f dest, void* state) : dest_(dest), state_(state) {}

    int put(const char* s, size_t n)
    {
        if (rc_) return rc_;
        if (n > sizeof(buffer_) - used_) {
            flush();
            if (n >= sizeof(buffer_)) {
                send(s, n);
                return rc_;
            }
        }
        memcpy(buffer_ + used_, s, n);
        used_ += n;
        return rc_;
    }
    int put(char c) { return put(&c, 1); }

    int flush()
    {
        if (used_ && !rc_) send(buffer_, used_);
        used_ = 0;
        return rc_;
    }
    int rc() const { return rc_; }

private:
    void send(const char* s, size_t n)
    {
        while (n && !rc_) {
            const unsigned piece = n > 0x40000000u ? 0x40000000u : unsigned(n);
            rc_ = dest_(state_, s, piece);
            s += piece;
            n -= piece;
        }
    }

    cson_data_dest_f dest_;
    void* state_;
    int rc_ = 0;
    size_t used_ = 0;
    char buffer_[4096];
};

constexpr uint32_t kReplacement = 0xFFFD;

// One UTF-8 character at s (n bytes left): its code point and byte count.
// Bad forms (stray continuation, truncated, overlong, surrogates, FFFE/FFFF,
// beyond U+10FFFF) become U+FFFD.
uint32_t decode_utf8(const unsigned char* s, size_t n, size_t* used)
{
    const unsigned char lead = s[0];
    size_t extra;
    uint32_t cp;
    uint32_t smallest;
    if (lead < 0xC0) {
        *used = 1;
        return kReplacement;
    } else if (lead < 0xE0) {
        extra = 1, cp = lead & 0x1F, smallest = 0x80;
    } else if (lead < 0xF0) {
        extra = 2, cp = lead & 0x0F, smallest = 0x800;
    } else if (lead < 0xF8) {
        extra = 3, cp = lead & 0x07, smallest = 0x10000;
    } else {
        size_t i = 1;
        while (i < n && (s[i] & 0xC0) == 0x80) ++i;
        *used = i;
        return kReplacement;
    }
    size_t i = 1;
    for (; i <= extra; ++i) {
        if (i >= n || (s[i] & 0xC0) != 0x80) {
            *used = i;
            return kReplacement;
        }
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    *used = i;
    if (cp < smallest || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF || cp > 0x10FFFF)
        return kReplacement;
    return cp;
}

void put_u_escape(Output& out, uint32_t unit)
{
    static const char kHex[] = "0123456789abcdef";
    const char text[6] = {'\\', 'u', kHex[(unit >> 12) & 15], kHex[(unit >> 8) & 15], kHex[(unit >> 4) & 15],
                          kHex[unit & 15]};
    out.put(text, 6);
}

void put_code_point(Output& out, uint32_t cp)
{
    if (cp < 0x10000) {
        put_u_escape(out, cp);
        return;
    }
    cp -= 0x10000;
    put_u_escape(out, 0xD800 + (cp >> 10));
    put_u_escape(out, 0xDC00 + (cp & 0x3FF));
}

// The escape of a one-byte character, or 0 when it is written as it is.
char short_escape(unsigned char b, bool escape_slash)
{
    switch (b) {
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\f': return 'f';
    case '\r': return 'r';
    case '"': return '"';
    case '\\': return '\\';
    case '/': return escape_slash ? '/' : 0;
    default: return 0;
    }
}

void put_string(Output& out, const char* text, size_t n, bool escape_slash)
{
    if (!text || !n) {
        out.put("\"\"", 2);
        return;
    }
    const auto* s = reinterpret_cast<const unsigned char*>(text);
    out.put('"');
    size_t run = 0;
    size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b >= 0x20 && b < 0x80 && b != '"' && b != '\\' && !(b == '/' && escape_slash)) {
            ++i;
            continue;
        }
        out.put(text + run, i - run);
        if (b < 0x80) {
            const char e = short_escape(b, escape_slash);
            if (e) {
                const char pair[2] = {'\\', e};
                out.put(pair, 2);
            } else {
                put_u_escape(out, b);
            }
            ++i;
        } else {
            size_t used = 1;
            put_code_point(out, decode_utf8(s + i, n - i, &used));
            i += used;
        }
        run = i;
    }
    out.put(text + run, n - run);
    out.put('"');
}

void put_double(Output& out, double d)
{
    if (!std::isfinite(d)) {
        out.put("null", 4);
        return;
    }
    // The shortest text that reads back as the same double, with ".0" when
    // it would otherwise read as an integer.
    char text[40];
    const std::to_chars_result r = std::to_chars(text, text + sizeof(text) - 3, d);
    size_t n = size_t(r.ptr - text);
    if (!memchr(text, '.', n) && !memchr(text, 'e', n)) {
        text[n++] = '.';
        text[n++] = '0';
    }
    out.put(text, n);
}

void put_integer(Output& out, cson_int_t i)
{
    char text[16];
    const std::to_chars_result r = std::to_chars(text, text + sizeof(text), i);
    out.put(text, size_t(r.ptr - text));
}

int put_scalar(Output& out, const cson_value* v, const cson_output_opt& opt)
{
    switch (kind(v)) {
    case CSON_TYPE_UNDEF:
    case CSON_TYPE_NULL: out.put("null", 4); break;
    case CSON_TYPE_BOOL:
        if (*static_cast<const bool*>(payload(v))) out.put("true", 4);
        else out.put("false", 5);
        break;
    case CSON_TYPE_INTEGER: put_integer(out, *static_cast<const cson_int_t*>(payload(v))); break;
    case CSON_TYPE_DOUBLE: put_double(out, *static_cast<const cson_double_t*>(payload(v))); break;
    case CSON_TYPE_STRING: {
        cson_string* s = string_of(v);
        put_string(out, string_bytes(s), s->length, opt.escapeForwardSlashes);
        break;
    }
    default: return cson_rc_TypeError;
    }
    return out.rc();
}

void put_line(Output& out, const cson_output_opt& opt, size_t level)
{
    out.put('\n');
    if (opt.indentation == 1) {
        for (size_t i = 0; i < level; ++i) out.put('\t');
    } else {
        static const char kBlanks[] = "                                ";
        size_t blanks = level * opt.indentation;
        while (blanks) {
            const size_t piece = blanks < 32 ? blanks : 32;
            out.put(kBlanks, piece);
            blanks -= piece;
        }
    }
}

uint32_t length_of(const cson_value* c)
{
    return kind(c) == CSON_TYPE_ARRAY ? array_of(c)->list.count : object_of(c)->kvp.count;
}

struct Frame {
    const cson_value* container;
    uint32_t next;
    bool indented;
};

class FrameStack {
public:
    ~FrameStack() { free(frames_); }
    bool push(const Frame& f)
    {
        if (count_ == capacity_) {
            const size_t grown = capacity_ ? capacity_ * 2 : 32;
            void* p = realloc(frames_, grown * sizeof(Frame));
            if (!p) return false;
            frames_ = static_cast<Frame*>(p);
            capacity_ = grown;
        }
        frames_[count_++] = f;
        return true;
    }
    Frame& top() { return frames_[count_ - 1]; }
    void pop() { --count_; }
    size_t size() const { return count_; }

private:
    Frame* frames_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

bool is_container(const cson_value* v) { return kind(v) == CSON_TYPE_ARRAY || kind(v) == CSON_TYPE_OBJECT; }

// Opens a container: "{}" or "[]" at once when empty, otherwise a new frame.
int open_container(Output& out, FrameStack& stack, const cson_value* c, const cson_output_opt& opt)
{
    if (opt.maxDepth && stack.size() + 1 > opt.maxDepth) return cson_rc_RangeError;
    const bool object = kind(c) == CSON_TYPE_OBJECT;
    const uint32_t count = length_of(c);
    if (count == 0) {
        out.put(object ? "{}" : "[]", 2);
        return out.rc();
    }
    out.put(object ? '{' : '[');
    const bool indented = opt.indentation && (count > 1 || opt.indentSingleMemberValues);
    if (!stack.push({c, 0, indented})) return cson_rc_AllocError;
    return out.rc();
}

int put_tree(Output& out, const cson_value* root, const cson_output_opt& opt)
{
    if (!is_container(root)) return put_scalar(out, root, opt);
    FrameStack stack;
    if (const int rc = open_container(out, stack, root, opt)) return rc;
    while (stack.size()) {
        Frame& f = stack.top();
        const cson_value* c = f.container;
        const bool object = kind(c) == CSON_TYPE_OBJECT;
        if (f.next == length_of(c)) {
            if (f.indented) put_line(out, opt, stack.size() - 1);
            out.put(object ? '}' : ']');
            stack.pop();
            if (out.rc()) return out.rc();
            continue;
        }
        const uint32_t index = f.next++;
        const cson_value* item;
        if (object) {
            const cson_kvp* kvp = &object_of(c)->kvp.list[index];
            if (!kvp->key) continue;
            if (index > 0) out.put(',');
            if (f.indented) put_line(out, opt, stack.size());
            cson_string* key = string_of(kvp->key);
            put_string(out, string_bytes(key), key->length, opt.escapeForwardSlashes);
            if (opt.addSpaceAfterColon) out.put(": ", 2);
            else out.put(':');
            item = kvp->value;
        } else {
            if (index > 0) out.put(',');
            if (f.indented) put_line(out, opt, stack.size());
            item = array_of(c)->list.list[index];
        }
        const int rc = is_container(item) ? open_container(out, stack, item, opt) : put_scalar(out, item, opt);
        if (rc) return rc;
    }
    return out.rc();
}

}  // namespace

KEEL_API int cson_output(const cson_value* v, cson_data_dest_f dest, void* state, const cson_output_opt* opt)
{
    if (!v || !dest || !opt) return cson_rc_ArgError;
    Output out(dest, state);
    int rc = put_tree(out, v, *opt);
    if (!rc && opt->addNewline) rc = out.put('\n');
    const int flushed = out.flush();
    return rc ? rc : flushed;
}

KEEL_API int cson_data_dest_FILE(void* state, const void* src, unsigned n)
{
    if (!state || (!src && n)) return cson_rc_ArgError;
    if (!n) return cson_rc_OK;
    return fwrite(src, 1, n, static_cast<FILE*>(state)) == n ? cson_rc_OK : cson_rc_IOError;
}

KEEL_API int cson_data_dest_buffer(void* state, const void* src, unsigned n)
{
    auto* buffer = static_cast<cson_buffer*>(state);
    if (!buffer || (!src && n)) return cson_rc_ArgError;
    if (uint64_t(buffer->used) + n + 1 > UINT32_MAX) return cson_rc_RangeError;
    const uint32_t needed = buffer->used + n + 1;
    if (needed > buffer->capacity) {
        uint64_t capacity = buffer->capacity ? buffer->capacity : 128;
        while (capacity < needed) capacity *= 2;
        if (capacity > UINT32_MAX) capacity = UINT32_MAX;
        if (const int rc = cson_buffer_reserve(buffer, uint32_t(capacity))) return rc;
    }
    memcpy(buffer->mem + buffer->used, src, n);
    buffer->used += n;
    buffer->mem[buffer->used] = 0;
    return cson_rc_OK;
}

KEEL_API int cson_output_FILE(const cson_value* v, FILE* file, const cson_output_opt* opt)
{
    if (!file) return cson_rc_ArgError;
    const cson_output_opt defaults{0, 25, false, false, false, false};
    const int rc = cson_output(v, cson_data_dest_FILE, file, opt ? opt : &defaults);
    if (rc == cson_rc_OK) fflush(file);
    return rc;
}

KEEL_API int cson_output_filename(const cson_value* v, const char* path, const cson_output_opt* opt)
{
    if (!v || !path) return cson_rc_ArgError;
    FILE* file = fopen(path, "wb");
    if (!file) return cson_rc_IOError;
    const int rc = cson_output_FILE(v, file, opt);
    const bool closed = fclose(file) == 0;
    return rc ? rc : (closed ? cson_rc_OK : cson_rc_IOError);
}

KEEL_API int cson_output_buffer(const cson_value* v, cson_buffer* buffer, const cson_output_opt* opt)
{
    if (!buffer) return cson_rc_ArgError;
    return cson_output(v, cson_data_dest_buffer, buffer, opt);
}
