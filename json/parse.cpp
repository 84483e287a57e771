// Text to values: the builder that turns parser events into a value tree, and
// the driver that feeds the parser from a source.
#include "json/parser.h"
#include "json/value_internal.h"

#include <cstdlib>
#include <cstring>

using namespace json_detail;

namespace {

// A growable stack of pointers from the run-time's allocator.
template <typename T>
class Stack {
public:
    ~Stack() { free(items_); }
    bool push(const T& item)
    {
        if (size_ == capacity_) {
            const size_t grown = capacity_ ? capacity_ * 2 : 1024;
            void* p = realloc(items_, grown * sizeof(T));
            if (!p) return false;
            items_ = static_cast<T*>(p);
            capacity_ = grown;
        }
        items_[size_++] = item;
        return true;
    }
    T* at(size_t i) { return items_ + i; }
    T& top() { return items_[size_ - 1]; }
    size_t size() const { return size_; }
    void resize_down(size_t n) { size_ = n; }

private:
    T* items_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// Keys are short: a plain loop beats a call.
bool same_bytes(const char* a, const char* b, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

// Keys repeat from object to object: one string value serves them all, each
// entry holding its own reference.
class KeyCache {
public:
    explicit KeyCache(ValuePool& pool) : pool_(pool) {}
    ~KeyCache()
    {
        for (cson_value* v : slots_) cson_value_free(v);
    }

    cson_value* get(const char* text, uint32_t length)
    {
        if (length > kLongest) return pool_.new_string(text, length);
        // A few bytes are enough to spread the keys; the comparison decides.
        const auto* u = reinterpret_cast<const unsigned char*>(text);
        const uint32_t h = length ? length * 31u + u[0] * 7u + u[length - 1] * 131u + u[length / 2] * 17u : 0;
        cson_value*& slot = slots_[h % kSlots];
        if (slot) {
            const cson_string* s = string_of(slot);
            if (s->length == length && same_bytes(cson_string_cstr(s), text, length) &&
                cson_value_add_reference(slot) == cson_rc_OK)
                return slot;
        }
        cson_value* v = pool_.new_string(text, length);
        if (!v || cson_value_add_reference(v) != cson_rc_OK) return v;
        cson_value_free(slot);
        slot = v;
        return v;
    }

private:
    static constexpr uint32_t kLongest = 32;
    static constexpr uint32_t kSlots = 509;
    ValuePool& pool_;
    cson_value* slots_[kSlots] = {};
};

// The value builder: members wait on one stack until their container closes
// (keys and values alternating in objects), so each container gets its list
// in one allocation of the right size.
struct Builder {
    struct Open {
        bool object;
        size_t first;  // its first member on the member stack
    };
    cson_value* root = nullptr;
    Stack<Open> open;
    Stack<cson_value*> members;
    ValuePool pool;
    KeyCache keys{pool};
    int error = 0;

    ~Builder()
    {
        for (size_t i = 0; i < members.size(); ++i) cson_value_free(*members.at(i));
        cson_value_free(root);
    }

    int fail(int code)
    {
        if (!error) error = code;
        return code;
    }

    int add(cson_value* v)
    {
        if (!v) return fail(cson_rc_AllocError);
        if (open.size() == 0) {
            if (root) {
                cson_value_free(v);
                return fail(cson_rc_InternalError);
            }
            root = v;
            return cson_rc_OK;
        }
        if (!members.push(v)) {
            cson_value_free(v);
            return fail(cson_rc_AllocError);
        }
        return cson_rc_OK;
    }

    int begin(bool object)
    {
        if (!open.push({object, members.size()})) return fail(cson_rc_AllocError);
        return cson_rc_OK;
    }

    int end()
    {
        if (open.size() == 0) return fail(cson_rc_RangeError);
        const Open o = open.top();
        const uint32_t n = uint32_t(members.size() - o.first);
        cson_value* const* first = members.at(o.first);
        cson_value* container = o.object ? pool.new_object_with(first, n) : pool.new_array_with(first, n);
        if (!container) return fail(cson_rc_AllocError);
        members.resize_down(o.first);
        open.resize_down(open.size() - 1);
        return add(container);
    }
};

int on_event(void* context, int event, const cson_parser_value* v)
{
    auto* b = static_cast<Builder*>(context);
    switch (event) {
    case CSON_EVENT_ARRAY_BEGIN: return b->begin(false);
    case CSON_EVENT_OBJECT_BEGIN: return b->begin(true);
    case CSON_EVENT_ARRAY_END:
    case CSON_EVENT_OBJECT_END: return b->end();
    case CSON_EVENT_INTEGER: return b->add(b->pool.new_integer(v->integer));
    case CSON_EVENT_FLOAT: return b->add(b->pool.new_double(v->number));
    case CSON_EVENT_NULL: return b->add(cson_value_null());
    case CSON_EVENT_TRUE: return b->add(cson_value_true());
    case CSON_EVENT_FALSE: return b->add(cson_value_false());
    case CSON_EVENT_STRING: return b->add(b->pool.new_string(v->text, v->length));
    case CSON_EVENT_KEY: return b->add(b->keys.get(v->text, v->length));
    default: return b->fail(cson_rc_InternalError);
    }
}

// Line, column and character count over the characters fed so far.
void advance_position(cson_parse_info& pos, const char* text, size_t n)
{
    pos.length += uint32_t(n);
    const char* end = text + n;
    const char* last_line = nullptr;
    for (const char* p = text; (p = static_cast<const char*>(memchr(p, '\n', size_t(end - p)))) != nullptr; ++p) {
        ++pos.line;
        last_line = p;
    }
    if (last_line) pos.col = uint32_t(end - last_line - 1);
    else pos.col += uint32_t(n);
}

// Feeds text through the parser; false when it was refused.
struct Session {
    cson_parser* parser = nullptr;
    Builder builder;
    cson_parse_info pos{1, 0, 0, 0, 0, 0};

    ~Session() { cson_parser_delete(parser); }

    int open(const cson_parse_opt* opt, const cson_parse_info* info)
    {
        if (info) pos = *info;
        cson_parser_config config;
        cson_parser_config_init(&config);
        config.callback = on_event;
        config.callback_context = &builder;
        config.depth = opt && opt->maxDepth ? opt->maxDepth : 25;
        config.allow_comments = opt && opt->allowComments;
        parser = cson_parser_new(&config);
        return parser ? cson_rc_OK : cson_rc_AllocError;
    }

    int refusal()
    {
        const int rc = cson_parser_error(parser);
        if (rc) return rc;
        return builder.error ? builder.error : cson_rc_InternalError;
    }

    int feed(const char* text, size_t n)
    {
        size_t consumed = 0;
        const bool ok = cson_parser_chars(parser, text, n, &consumed);
        advance_position(pos, text, consumed);
        return ok ? cson_rc_OK : refusal();
    }

    int finish(cson_value** target)
    {
        if (!cson_parser_done(parser)) return refusal();
        if (!builder.root) return cson_rc_UnknownError;
        reset_to_one_owner(builder.root);
        *target = builder.root;
        builder.root = nullptr;
        return cson_rc_OK;
    }

    int close(int rc, cson_parse_info* info)
    {
        pos.errorCode = rc;
        if (info) *info = pos;
        return rc;
    }
};

}  // namespace

KEEL_API int cson_data_source_FILE(void* state, void* dest, unsigned* n)
{
    if (!state || !dest || !n) return cson_rc_ArgError;
    if (!*n) return cson_rc_RangeError;
    FILE* file = static_cast<FILE*>(state);
    *n = unsigned(fread(dest, 1, *n, file));
    if (!*n && !feof(file)) return cson_rc_IOError;
    return cson_rc_OK;
}

KEEL_API int cson_parse(cson_value** target, cson_data_source_f source, void* state, const cson_parse_opt* opt,
                        cson_parse_info* info)
{
    if (!target || !source) return cson_rc_ArgError;
    Session session;
    if (const int rc = session.open(opt, info)) return session.close(rc, info);
    char chunk[4096];
    for (;;) {
        unsigned n = sizeof(chunk);
        if (const int rc = source(state, chunk, &n)) return session.close(rc, info);
        if (n == 0) break;
        if (n > sizeof(chunk)) return session.close(cson_rc_RangeError, info);
        if (const int rc = session.feed(chunk, n)) return session.close(rc, info);
    }
    return session.close(session.finish(target), info);
}

KEEL_API int cson_parse_FILE(cson_value** target, FILE* file, const cson_parse_opt* opt, cson_parse_info* info)
{
    if (!file) return cson_rc_ArgError;
    return cson_parse(target, cson_data_source_FILE, file, opt, info);
}

KEEL_API int cson_parse_filename(cson_value** target, const char* path, const cson_parse_opt* opt,
                                 cson_parse_info* info)
{
    if (!path) return cson_rc_ArgError;
    FILE* file = fopen(path, "rb");
    if (!file) return cson_rc_IOError;
    const int rc = cson_parse_FILE(target, file, opt, info);
    fclose(file);
    return rc;
}

KEEL_API int cson_parse_string(cson_value** target, const char* text, unsigned length, const cson_parse_opt* opt,
                               cson_parse_info* info)
{
    if (!target || !text) return cson_rc_ArgError;
    if (length < 2) return cson_rc_RangeError;
    Session session;
    if (const int rc = session.open(opt, info)) return session.close(rc, info);
    if (const int rc = session.feed(text, length)) return session.close(rc, info);
    return session.close(session.finish(target), info);
}
