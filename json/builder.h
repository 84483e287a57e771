// The value builder: turns the parser's events into a value tree. Shared by
// the parse driver and the parser, which calls it without the callback's
// indirection when it is the callback.
#pragma once

#include "json/parser.h"
#include "json/value_internal.h"

#include <cstdlib>

namespace json_detail __attribute__((visibility("hidden"))) {

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
inline bool same_bytes(const char* a, const char* b, uint32_t n)
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
        for (cson_value* v : slots_) release(v);
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
            if (s->length == length && same_bytes(string_bytes(const_cast<cson_string*>(s)), text, length) &&
                add_reference(slot) == cson_rc_OK)
                return slot;
        }
        cson_value* v = pool_.new_string(text, length);
        if (!v || add_reference(v) != cson_rc_OK) return v;
        release(slot);
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
        for (size_t i = 0; i < members.size(); ++i) release(*members.at(i));
        release(root);
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
                release(v);
                return fail(cson_rc_InternalError);
            }
            root = v;
            return cson_rc_OK;
        }
        if (!members.push(v)) {
            release(v);
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

// The parser calls this one directly rather than through its pointer.
inline int build_event(void* context, int event, const cson_parser_value* v)
{
    auto* b = static_cast<Builder*>(context);
    switch (event) {
    case CSON_EVENT_ARRAY_BEGIN: return b->begin(false);
    case CSON_EVENT_OBJECT_BEGIN: return b->begin(true);
    case CSON_EVENT_ARRAY_END:
    case CSON_EVENT_OBJECT_END: return b->end();
    case CSON_EVENT_INTEGER: return b->add(b->pool.new_integer(v->integer));
    case CSON_EVENT_FLOAT: return b->add(b->pool.new_double(v->number));
    case CSON_EVENT_NULL:
    case CSON_EVENT_TRUE:
    case CSON_EVENT_FALSE: return b->add(literal_value(event));
    case CSON_EVENT_STRING: return b->add(b->pool.new_string(v->text, v->length));
    case CSON_EVENT_KEY: return b->add(b->keys.get(v->text, v->length));
    default: return b->fail(cson_rc_InternalError);
    }
}

}  // namespace json_detail
