// JSON values: creation, conversions, reference counting, copies, strings,
// arrays and objects.
#include "json/parser.h"
#include "json/value_internal.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <type_traits>

using namespace json_detail;

namespace {

const cson_value_api kUndefApi{CSON_TYPE_UNDEF, true, false};
const cson_value_api kNullApi{CSON_TYPE_NULL, true, false};
const cson_value_api kBoolApi{CSON_TYPE_BOOL, true, false};
const cson_value_api kSharedIntegerApi{CSON_TYPE_INTEGER, true, false};
const cson_value_api kSharedDoubleApi{CSON_TYPE_DOUBLE, true, false};
const cson_value_api kSharedStringApi{CSON_TYPE_STRING, true, false};
const cson_value_api kIntegerApi{CSON_TYPE_INTEGER, false, false};
const cson_value_api kDoubleApi{CSON_TYPE_DOUBLE, false, false};
const cson_value_api kStringApi{CSON_TYPE_STRING, false, false};
const cson_value_api kArrayApi{CSON_TYPE_ARRAY, false, false};
const cson_value_api kObjectApi{CSON_TYPE_OBJECT, false, false};
const cson_value_api kPooledIntegerApi{CSON_TYPE_INTEGER, false, true};
const cson_value_api kPooledDoubleApi{CSON_TYPE_DOUBLE, false, true};
const cson_value_api kPooledStringApi{CSON_TYPE_STRING, false, true};
const cson_value_api kPooledArrayApi{CSON_TYPE_ARRAY, false, true};
const cson_value_api kPooledObjectApi{CSON_TYPE_OBJECT, false, true};

// The shared values keep the same layout as allocated ones: payload after value.
struct SharedFixed {
    cson_value v;
    bool b;
};
struct SharedInteger {
    cson_value v;
    cson_int_t i;
};
struct SharedDouble {
    cson_value v;
    cson_double_t d;
};
struct SharedString {
    cson_value v;
    cson_string s;
    char nul[4];
};

SharedFixed g_undef{{&kUndefApi, &g_undef.b, 0}, false};
SharedFixed g_null{{&kNullApi, &g_null.b, 0}, false};
SharedFixed g_true{{&kBoolApi, &g_true.b, 0}, true};
SharedFixed g_false{{&kBoolApi, &g_false.b, 0}, false};
SharedInteger g_zero_integer{{&kSharedIntegerApi, &g_zero_integer.i, 0}, 0};
SharedDouble g_zero_double{{&kSharedDoubleApi, &g_zero_double.d, 0}, 0.0};
SharedString g_empty_string{{&kSharedStringApi, &g_empty_string.s, 0}, {0}, {0, 0, 0, 0}};

bool is_shared(const cson_value* v) { return v->api->shared; }

cson_value* allocate_value(const cson_value_api* api, size_t payload_size)
{
    auto* v = static_cast<cson_value*>(malloc(sizeof(cson_value) + payload_size));
    if (!v) return nullptr;
    v->api = api;
    v->value = v + 1;
    v->refcount = 0;
    return v;
}

// Blocks are aligned to their size, so a value's block is found from its address.
constexpr size_t kBlockSize = 16384;

ValueBlock* block_of(cson_value* v)
{
    return reinterpret_cast<ValueBlock*>(reinterpret_cast<uintptr_t>(v) & ~uintptr_t(kBlockSize - 1));
}

bool is_container(const cson_value* v) { return v && (kind(v) == CSON_TYPE_ARRAY || kind(v) == CSON_TYPE_OBJECT); }

// A container built whole by the parser holds its first list in its own
// allocation, right after the list's header.
template <typename List>
bool list_is_inline(const List& l)
{
    return static_cast<const void*>(l.list) == static_cast<const void*>(&l + 1);
}

// A container the parser makes in a block is followed by a hash of its list
// and one mark per member, saying what each member was when it was made. The
// marks hold while the list still hashes the same: any change to the list,
// however made, sends its release back to reading every member.
enum MemberMark : uint8_t { kMarkRead, kMarkPooledScalar, kMarkShared };

uint8_t mark_of(const cson_value* v)
{
    if (v->api->shared) return kMarkShared;
    if (v->api->pooled && !is_container(v)) return kMarkPooledScalar;
    return kMarkRead;
}

uint64_t hash_step(uint64_t h, const cson_value* v)
{
    h ^= reinterpret_cast<uintptr_t>(v);
    h *= 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

uint64_t hash_members(cson_value* const* items, uint32_t n)
{
    uint64_t h = n;
    for (uint32_t i = 0; i < n; ++i) h = hash_step(h, items[i]);
    return h;
}

uint64_t hash_entries(const cson_kvp* entries, uint32_t n)
{
    uint64_t h = n;
    for (uint32_t i = 0; i < n; ++i) h = hash_step(h, entries[i].value);
    return h;
}

// Room after a list of n members of member_size bytes for its hash and marks.
size_t marks_size(uint32_t n) { return sizeof(uint64_t) + n; }

template <typename List>
unsigned char* marks_place(const List& l)
{
    return reinterpret_cast<unsigned char*>(l.list + l.alloced);
}

const uint8_t* member_marks(const cson_value* v)
{
    uint64_t kept = 0;
    if (v->api == &kPooledArrayApi) {
        const cson_value_list& l = array_of(v)->list;
        if (!l.count || !list_is_inline(l)) return nullptr;
        memcpy(&kept, marks_place(l), sizeof(kept));
        return kept == hash_members(l.list, l.count) ? marks_place(l) + sizeof(kept) : nullptr;
    }
    if (v->api == &kPooledObjectApi) {
        const cson_kvp_list& l = object_of(v)->kvp;
        if (!l.count || !list_is_inline(l)) return nullptr;
        memcpy(&kept, marks_place(l), sizeof(kept));
        return kept == hash_entries(l.list, l.count) ? marks_place(l) + sizeof(kept) : nullptr;
    }
    return nullptr;
}

// Freed blocks wait here for the next parse rather than going back to the
// allocator, which hands the pages of a large document back to the system
// and has them faulted in again on the next one. It keeps a bounded number
// (as much as the allocator itself keeps at most before trimming); under the
// address sanitizer it keeps none, so that every block's end is seen.
class BlockStore {
public:
    ValueBlock* take()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (FreeBlock* b = kept_) {
                kept_ = b->next;
                --count_;
                return reinterpret_cast<ValueBlock*>(b);
            }
        }
        void* p = nullptr;
        return posix_memalign(&p, kBlockSize, kBlockSize) == 0 ? static_cast<ValueBlock*>(p) : nullptr;
    }

    void give(ValueBlock* block)
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!closed_ && count_ < kMostKept) {
                auto* b = reinterpret_cast<FreeBlock*>(block);
                b->next = kept_;
                kept_ = b;
                ++count_;
                return;
            }
        }
        free(block);
    }

    // At exit: everything kept goes back, and later blocks go straight back.
    void close()
    {
        FreeBlock* b = nullptr;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closed_ = true;
            b = kept_;
            kept_ = nullptr;
            count_ = 0;
        }
        while (b) {
            FreeBlock* next = b->next;
            free(b);
            b = next;
        }
    }

private:
    struct FreeBlock {
        FreeBlock* next;
    };
#if defined(__SANITIZE_ADDRESS__)
    static constexpr size_t kMostKept = 0;
#else
    static constexpr size_t kMostKept = (size_t(32) << 20) / kBlockSize;
#endif
    std::mutex mutex_;
    FreeBlock* kept_ = nullptr;
    size_t count_ = 0;
    bool closed_ = false;
};

// Never destroyed, so values released by other objects' destructors at exit
// can still reach it; the closer below empties it.
BlockStore g_blocks;
static_assert(std::is_trivially_destructible<BlockStore>::value, "the block store outlives every value");
struct BlockStoreCloser {
    ~BlockStoreCloser() { g_blocks.close(); }
} g_block_store_closer;

void release_block(ValueBlock* block)
{
    if (--block->live == 0) g_blocks.give(block);
}

void release_storage(cson_value* v)
{
    if (v->api->pooled) release_block(block_of(v));
    else free(v);
}

// A value's count leaves or reaches 0: its block keeps track of how many of
// its values are held more than once.
void count_up(cson_value* v)
{
    if (v->refcount++ == 0 && v->api->pooled) ++block_of(v)->referenced;
}

void count_down(cson_value* v)
{
    if (--v->refcount == 0 && v->api->pooled) --block_of(v)->referenced;
}

// Releasing a tree never recurses: containers whose last owner went away wait
// in a chain threaded through their (recomputable) payload pointers.
void drop_into(cson_value* v, cson_value*& pending)
{
    if (!v || is_shared(v)) return;
    if (v->refcount > 0) {
        count_down(v);
        return;
    }
    if (is_container(v)) {
        v->value = pending;
        pending = v;
    } else {
        release_storage(v);
    }
}

// A parsed member marked as a block's scalar goes without being read when no
// value of its block is held twice; a shared one needs nothing.
inline bool dropped_by_mark(cson_value* v, uint8_t mark)
{
    if (mark == kMarkShared) return true;
    if (mark != kMarkPooledScalar) return false;
    ValueBlock* block = block_of(v);
    if (block->referenced) return false;
    release_block(block);
    return true;
}

// A container's members: an array's items or an object's entries.
struct Members {
    cson_value** items;
    cson_kvp* entries;
    uint32_t count;

    cson_value* value(uint32_t i) const { return items ? items[i] : entries[i].value; }
};

Members members_of(cson_value* v)
{
    if (kind(v) == CSON_TYPE_ARRAY) {
        cson_value_list& l = array_of(v)->list;
        return {l.list, nullptr, l.count};
    }
    cson_kvp_list& l = object_of(v)->kvp;
    return {nullptr, l.list, l.count};
}

void release_container(cson_value* v)
{
    if (kind(v) == CSON_TYPE_ARRAY) {
        cson_value_list& l = array_of(v)->list;
        if (!list_is_inline(l)) free(l.list);
    } else {
        cson_kvp_list& l = object_of(v)->kvp;
        if (!list_is_inline(l)) free(l.list);
    }
    release_storage(v);
}

// One open container of a release: its members are visited in order.
struct Frame {
    cson_value* container;
    Members members;
    const uint8_t* marks;
    uint32_t next;
};

Frame frame_for(cson_value* v)
{
    Frame f{v, members_of(v), member_marks(v), 0};
    // Members are visited once each, mostly cold: those that must be read are
    // fetched ahead.
    if (f.marks) {
        for (uint32_t i = 0; i < f.members.count; ++i)
            if (f.marks[i] == kMarkRead) __builtin_prefetch(f.members.value(i));
    }
    return f;
}

// Releases the tree under top in the order it was built, which is the order
// of its memory; containers deeper than the frames go to the pending chain.
void release_walk(cson_value* top, cson_value*& pending)
{
    constexpr int kFrames = 64;
    Frame frames[kFrames];
    int depth = 0;
    frames[0] = frame_for(top);
    while (depth >= 0) {
        Frame& f = frames[depth];
        if (f.next == f.members.count) {
            release_container(f.container);
            --depth;
            continue;
        }
        const uint32_t i = f.next++;
        if (f.members.entries) drop_into(f.members.entries[i].key, pending);  // a string
        cson_value* m = f.members.value(i);
        if (!f.marks && i + 4 < f.members.count) __builtin_prefetch(f.members.value(i + 4));
        if (f.marks && dropped_by_mark(m, f.marks[i])) continue;
        if (!m || is_shared(m)) continue;
        if (m->refcount > 0) {
            count_down(m);
        } else if (!is_container(m)) {
            release_storage(m);
        } else if (depth + 1 < kFrames) {
            frames[++depth] = frame_for(m);
        } else {
            m->value = pending;
            pending = m;
        }
    }
}

void free_tree(cson_value* root)
{
    cson_value* pending = nullptr;
    drop_into(root, pending);
    while (pending) {
        cson_value* v = pending;
        pending = static_cast<cson_value*>(v->value);
        release_walk(v, pending);
    }
}

template <typename List>
int list_reserve(List& l, uint32_t size)
{
    if (size <= l.alloced) return cson_rc_OK;
    void* grown;
    if (list_is_inline(l)) {
        grown = malloc(size_t(size) * sizeof(*l.list));
        if (grown) memcpy(grown, l.list, size_t(l.alloced) * sizeof(*l.list));
    } else {
        grown = realloc(l.list, size_t(size) * sizeof(*l.list));
    }
    if (!grown) return cson_rc_AllocError;
    l.list = static_cast<decltype(l.list)>(grown);
    memset(l.list + l.alloced, 0, size_t(size - l.alloced) * sizeof(*l.list));
    l.alloced = size;
    return cson_rc_OK;
}

template <typename List>
int list_grow_for_one(List& l)
{
    if (l.count < l.alloced) return cson_rc_OK;
    if (l.count >= UINT32_MAX / 2) return cson_rc_RangeError;
    return list_reserve(l, l.count ? l.count * 2 : 6);
}

bool parse_whole_integer(const char* text, cson_int_t* out)
{
    if (!*text) return false;
    errno = 0;
    char* end = nullptr;
    const long long n = strtoll(text, &end, 10);
    if (errno || *end || n < INT32_MIN || n > INT32_MAX) return false;
    *out = cson_int_t(n);
    return true;
}

bool parse_whole_double(const char* text, cson_double_t* out)
{
    if (!*text) return false;
    char* end = nullptr;
    const double d = strtod(text, &end);
    if (*end) return false;
    *out = d;
    return true;
}

}  // namespace

namespace json_detail {

void reset_to_one_owner(cson_value* v)
{
    if (is_shared(v) || !v->refcount) return;
    v->refcount = 1;
    count_down(v);
}

int array_append_owned(cson_array* a, cson_value* v)
{
    cson_value_list& l = a->list;
    if (const int rc = list_grow_for_one(l)) return rc;
    l.list[l.count++] = v;
    return cson_rc_OK;
}

int object_append_owned(cson_object* o, cson_value* key, cson_value* v)
{
    cson_kvp_list& l = o->kvp;
    if (const int rc = list_grow_for_one(l)) return rc;
    l.list[l.count++] = cson_kvp{key, v};
    return cson_rc_OK;
}

int object_find(const cson_object* o, const char* key, uint32_t length)
{
    const cson_kvp_list& l = o->kvp;
    for (uint32_t i = 0; i < l.count; ++i) {
        cson_string* k = string_of(l.list[i].key);
        if (k->length == length && memcmp(string_bytes(k), key, length) == 0) return int(i);
    }
    return -1;
}

namespace {

uint32_t hash_bytes(const char* s, uint32_t n)
{
    uint32_t h = 2166136261u;
    for (uint32_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(s[i])) * 16777619u;
    return h;
}

bool same_key(const cson_value* a, const cson_value* b)
{
    if (a == b) return true;
    const cson_string* x = string_of(a);
    const cson_string* y = string_of(b);
    if (x->length != y->length) return false;
    const char* a_bytes = string_bytes(const_cast<cson_string*>(x));
    const char* b_bytes = string_bytes(const_cast<cson_string*>(y));
    // Most different keys of one length differ at an end; check there first.
    if (x->length && (a_bytes[0] != b_bytes[0] || a_bytes[x->length - 1] != b_bytes[x->length - 1])) return false;
    return memcmp(a_bytes, b_bytes, x->length) == 0;
}

// Keys that differ here cannot be the same.
uint64_t key_bit(const cson_value* key)
{
    const cson_string* k = string_of(key);
    const auto* b = reinterpret_cast<const unsigned char*>(k + 1);
    const uint32_t n = k->length;
    return uint64_t(1) << ((n * 7 + (n ? b[0] * 3 + b[n - 1] : 0)) & 63);
}

}  // namespace

// Containers up to this size share blocks; larger ones have their own allocation.
constexpr size_t kLargestPooledContainer = 2048;

namespace {

template <typename List>
void write_marks(const List& l, uint64_t hash, const cson_value* (*member)(const List&, uint32_t))
{
    unsigned char* place = marks_place(l);
    memcpy(place, &hash, sizeof(hash));
    for (uint32_t i = 0; i < l.count; ++i) place[sizeof(hash) + i] = mark_of(member(l, i));
}

const cson_value* array_member(const cson_value_list& l, uint32_t i) { return l.list[i]; }
const cson_value* object_member(const cson_kvp_list& l, uint32_t i) { return l.list[i].value; }

}  // namespace

cson_value* ValuePool::new_array_with(cson_value* const* items, uint32_t n)
{
    const size_t list_size = sizeof(cson_array) + size_t(n) * sizeof(cson_value*);
    const bool pooled = list_size + marks_size(n) <= kLargestPooledContainer;
    cson_value* v = pooled ? take(containers_, &kPooledArrayApi, list_size + marks_size(n)) : allocate_value(&kArrayApi, list_size);
    if (!v) return nullptr;
    cson_array* a = array_of(v);
    if (!n) {
        *a = cson_array{{nullptr, 0, 0}};
        return v;
    }
    a->list = cson_value_list{reinterpret_cast<cson_value**>(a + 1), n, n};
    copy_bytes(a->list.list, items, size_t(n) * sizeof(cson_value*));
    if (pooled) write_marks(a->list, hash_members(a->list.list, n), array_member);
    return v;
}

cson_value* ValuePool::new_object_with(cson_value* const* pairs, uint32_t n)
{
    const uint32_t entries = n / 2;
    const size_t list_size = sizeof(cson_object) + size_t(entries) * sizeof(cson_kvp);
    if (!entries) {
        cson_value* v = take(containers_, &kPooledObjectApi, list_size);
        if (v) *object_of(v) = cson_object{{nullptr, 0, 0}};
        return v;
    }
    // Large objects find duplicate keys through a table of entry numbers, so
    // that no input makes the check quadratic.
    constexpr uint32_t kLinearLimit = 16;
    uint32_t* table = nullptr;
    uint32_t mask = 0;
    if (entries > kLinearLimit) {
        uint32_t size = 64;
        while (size < entries * 2) size *= 2;
        table = static_cast<uint32_t*>(calloc(size, sizeof(uint32_t)));
        if (!table) return nullptr;
        mask = size - 1;
    }
    const bool pooled = list_size + marks_size(entries) <= kLargestPooledContainer;
    cson_value* ov = pooled ? take(containers_, &kPooledObjectApi, list_size + marks_size(entries))
                            : allocate_value(&kObjectApi, list_size);
    if (!ov) {
        free(table);
        return nullptr;
    }
    cson_object* o = object_of(ov);
    cson_kvp* list = reinterpret_cast<cson_kvp*>(o + 1);
    uint32_t count = 0;
    uint64_t seen = 0;  // small objects: a bit for each key's length and ends
    for (uint32_t i = 0; i < entries; ++i) {
        cson_value* key = pairs[2 * i];
        cson_value* v = pairs[2 * i + 1];
        int found = -1;
        uint32_t slot = 0;
        if (table) {
            cson_string* k = string_of(key);
            slot = hash_bytes(string_bytes(k), k->length) & mask;
            for (; table[slot]; slot = (slot + 1) & mask) {
                if (same_key(list[table[slot] - 1].key, key)) {
                    found = int(table[slot] - 1);
                    break;
                }
            }
        } else if (seen & key_bit(key)) {
            for (uint32_t j = 0; j < count && found < 0; ++j)
                if (same_key(list[j].key, key)) found = int(j);
        }
        seen |= key_bit(key);
        if (found >= 0) {
            free_tree(list[found].value);
            list[found].value = v;
            free_tree(key);
            continue;
        }
        if (table) table[slot] = count + 1;
        list[count++] = cson_kvp{key, v};
    }
    free(table);
    o->kvp = cson_kvp_list{list, count, entries};
    if (pooled) write_marks(o->kvp, hash_entries(list, count), object_member);
    return ov;
}

constexpr size_t kLargestPooled = 256;

ValuePool::~ValuePool()
{
    if (scalars_.block) release_block(scalars_.block);
    if (containers_.block) release_block(containers_.block);
}

cson_value* ValuePool::take(Cursor& cursor, const cson_value_api* api, size_t payload_size)
{
    const size_t size = (sizeof(cson_value) + payload_size + 7) & ~size_t(7);
    if (!cursor.block || cursor.used + size > kBlockSize) {
        // The pool's own hold on a block keeps it alive while values are added.
        ValueBlock* block = g_blocks.take();
        if (!block) return nullptr;
        block->live = 1;
        block->referenced = 0;
        if (cursor.block) release_block(cursor.block);
        cursor.block = block;
        cursor.used = sizeof(ValueBlock);
    }
    auto* v = reinterpret_cast<cson_value*>(reinterpret_cast<char*>(cursor.block) + cursor.used);
    cursor.used += size;
    ++cursor.block->live;
    v->api = api;
    v->value = v + 1;
    v->refcount = 0;
    return v;
}

cson_value* ValuePool::new_integer(cson_int_t i)
{
    if (i == 0) return &g_zero_integer.v;
    cson_value* v = take(scalars_, &kPooledIntegerApi, sizeof(cson_int_t));
    if (v) *static_cast<cson_int_t*>(payload(v)) = i;
    return v;
}

cson_value* ValuePool::new_double(cson_double_t d)
{
    if (d == 0.0 && !std::signbit(d)) return &g_zero_double.v;
    cson_value* v = take(scalars_, &kPooledDoubleApi, sizeof(cson_double_t));
    if (v) *static_cast<cson_double_t*>(payload(v)) = d;
    return v;
}

cson_value* ValuePool::new_string(const char* text, uint32_t length)
{
    if (!length || length > kLargestPooled) return cson_value_new_string(text, length);
    cson_value* v = take(scalars_, &kPooledStringApi, sizeof(cson_string) + size_t(length) + 1);
    if (!v) return nullptr;
    cson_string* s = string_of(v);
    s->length = length;
    copy_bytes(string_bytes(s), text, length);
    string_bytes(s)[length] = 0;
    return v;
}

}  // namespace json_detail

KEEL_API const char* cson_rc_string(int rc)
{
    static const char* const kTexts[] = {"OK",
                                         "ArgError",
                                         "RangeError",
                                         "TypeError",
                                         "IOError",
                                         "AllocError",
                                         "NYIError",
                                         "InternalError",
                                         "UnsupportedError",
                                         "NotFoundError",
                                         "UnknownError",
                                         "Parse_INVALID_CHAR",
                                         "Parse_INVALID_KEYWORD",
                                         "Parse_INVALID_ESCAPE_SEQUENCE",
                                         "Parse_INVALID_UNICODE_SEQUENCE",
                                         "Parse_INVALID_NUMBER",
                                         "Parse_NESTING_DEPTH_REACHED",
                                         "Parse_UNBALANCED_COLLECTION",
                                         "Parse_EXPECTED_KEY",
                                         "Parse_EXPECTED_COLON"};
    if (rc < 0 || rc >= int(sizeof(kTexts) / sizeof(kTexts[0]))) return "UnknownError";
    return kTexts[rc];
}

KEEL_API int cson_value_type_id(const cson_value* v) { return kind(v); }
KEEL_API bool cson_value_is_undef(const cson_value* v) { return kind(v) == CSON_TYPE_UNDEF; }
KEEL_API bool cson_value_is_null(const cson_value* v) { return kind(v) == CSON_TYPE_NULL; }
KEEL_API bool cson_value_is_bool(const cson_value* v) { return kind(v) == CSON_TYPE_BOOL; }
KEEL_API bool cson_value_is_integer(const cson_value* v) { return kind(v) == CSON_TYPE_INTEGER; }
KEEL_API bool cson_value_is_double(const cson_value* v) { return kind(v) == CSON_TYPE_DOUBLE; }
KEEL_API bool cson_value_is_number(const cson_value* v)
{
    return kind(v) == CSON_TYPE_INTEGER || kind(v) == CSON_TYPE_DOUBLE;
}
KEEL_API bool cson_value_is_string(const cson_value* v) { return kind(v) == CSON_TYPE_STRING; }
KEEL_API bool cson_value_is_array(const cson_value* v) { return kind(v) == CSON_TYPE_ARRAY; }
KEEL_API bool cson_value_is_object(const cson_value* v) { return kind(v) == CSON_TYPE_OBJECT; }

KEEL_API cson_value* cson_value_undef(void) { return &g_undef.v; }
KEEL_API cson_value* cson_value_null(void) { return &g_null.v; }
KEEL_API cson_value* cson_value_true(void) { return &g_true.v; }
KEEL_API cson_value* cson_value_false(void) { return &g_false.v; }
KEEL_API cson_value* cson_value_new_bool(bool v) { return v ? &g_true.v : &g_false.v; }

KEEL_API cson_value* cson_value_new_integer(cson_int_t i)
{
    if (i == 0) return &g_zero_integer.v;
    cson_value* v = allocate_value(&kIntegerApi, sizeof(cson_int_t));
    if (v) *static_cast<cson_int_t*>(payload(v)) = i;
    return v;
}

KEEL_API cson_value* cson_value_new_double(cson_double_t d)
{
    // Only positive zero is shared: -0.0 keeps its sign.
    if (d == 0.0 && !std::signbit(d)) return &g_zero_double.v;
    cson_value* v = allocate_value(&kDoubleApi, sizeof(cson_double_t));
    if (v) *static_cast<cson_double_t*>(payload(v)) = d;
    return v;
}

KEEL_API cson_value* cson_value_new_string(const char* text, uint32_t length)
{
    if (!text || !length) return &g_empty_string.v;
    if (length > UINT32_MAX - sizeof(cson_string) - 1) return nullptr;
    cson_value* v = allocate_value(&kStringApi, sizeof(cson_string) + size_t(length) + 1);
    if (!v) return nullptr;
    cson_string* s = string_of(v);
    s->length = length;
    copy_bytes(string_bytes(s), text, length);
    string_bytes(s)[length] = 0;
    return v;
}

KEEL_API cson_value* cson_value_new_array(void)
{
    cson_value* v = allocate_value(&kArrayApi, sizeof(cson_array));
    if (v) *array_of(v) = cson_array{{nullptr, 0, 0}};
    return v;
}

KEEL_API cson_value* cson_value_new_object(void)
{
    cson_value* v = allocate_value(&kObjectApi, sizeof(cson_object));
    if (v) *object_of(v) = cson_object{{nullptr, 0, 0}};
    return v;
}

KEEL_API int cson_value_fetch_bool(const cson_value* v, bool* out)
{
    bool b = false;
    switch (kind(v)) {
    case CSON_TYPE_UNDEF:
    case CSON_TYPE_NULL: b = false; break;
    case CSON_TYPE_BOOL: b = *static_cast<const bool*>(payload(v)); break;
    case CSON_TYPE_INTEGER: b = *static_cast<const cson_int_t*>(payload(v)) != 0; break;
    case CSON_TYPE_DOUBLE: b = *static_cast<const cson_double_t*>(payload(v)) != 0.0; break;
    case CSON_TYPE_STRING: b = string_of(v)->length != 0; break;
    case CSON_TYPE_ARRAY:
    case CSON_TYPE_OBJECT: b = true; break;
    default: return cson_rc_TypeError;
    }
    if (out) *out = b;
    return cson_rc_OK;
}

KEEL_API int cson_value_fetch_integer(const cson_value* v, cson_int_t* out)
{
    cson_int_t i = 0;
    switch (kind(v)) {
    case CSON_TYPE_BOOL: i = *static_cast<const bool*>(payload(v)) ? 1 : 0; break;
    case CSON_TYPE_INTEGER: i = *static_cast<const cson_int_t*>(payload(v)); break;
    case CSON_TYPE_DOUBLE: {
        // Truncated, and held to the integer range (a cast out of range is undefined).
        const double d = *static_cast<const cson_double_t*>(payload(v));
        if (d != d) i = 0;
        else if (d >= 2147483647.0) i = INT32_MAX;
        else if (d <= -2147483648.0) i = INT32_MIN;
        else i = cson_int_t(d);
        break;
    }
    case CSON_TYPE_UNDEF:
    case CSON_TYPE_NULL:
    case CSON_TYPE_STRING:
    case CSON_TYPE_ARRAY:
    case CSON_TYPE_OBJECT: i = 0; break;
    default: return cson_rc_TypeError;
    }
    if (out) *out = i;
    return cson_rc_OK;
}

KEEL_API int cson_value_fetch_double(const cson_value* v, cson_double_t* out)
{
    cson_double_t d = 0.0;
    switch (kind(v)) {
    case CSON_TYPE_UNDEF:
    case CSON_TYPE_NULL: d = 0.0; break;
    case CSON_TYPE_BOOL: d = *static_cast<const bool*>(payload(v)) ? 1.0 : 0.0; break;
    case CSON_TYPE_INTEGER: d = *static_cast<const cson_int_t*>(payload(v)); break;
    case CSON_TYPE_DOUBLE: d = *static_cast<const cson_double_t*>(payload(v)); break;
    default: return cson_rc_TypeError;
    }
    if (out) *out = d;
    return cson_rc_OK;
}

KEEL_API bool cson_value_get_bool(const cson_value* v)
{
    bool b = false;
    cson_value_fetch_bool(v, &b);
    return b;
}

KEEL_API cson_int_t cson_value_get_integer(const cson_value* v)
{
    cson_int_t i = 0;
    cson_value_fetch_integer(v, &i);
    return i;
}

KEEL_API cson_double_t cson_value_get_double(const cson_value* v)
{
    cson_double_t d = 0.0;
    cson_value_fetch_double(v, &d);
    return d;
}

KEEL_API cson_string* cson_value_get_string(const cson_value* v)
{
    return kind(v) == CSON_TYPE_STRING ? string_of(v) : nullptr;
}

KEEL_API const char* cson_value_get_cstr(const cson_value* v) { return cson_string_cstr(cson_value_get_string(v)); }

KEEL_API cson_array* cson_value_get_array(const cson_value* v)
{
    return kind(v) == CSON_TYPE_ARRAY ? array_of(v) : nullptr;
}

KEEL_API cson_object* cson_value_get_object(const cson_value* v)
{
    return kind(v) == CSON_TYPE_OBJECT ? object_of(v) : nullptr;
}

KEEL_API int cson_value_add_reference(cson_value* v) { return json_detail::add_reference(v); }

KEEL_API void cson_value_free(cson_value* v) { free_tree(v); }

namespace json_detail {

int add_reference(cson_value* v)
{
    if (!v) return cson_rc_ArgError;
    if (is_shared(v)) return cson_rc_OK;
    if (v->refcount == UINT32_MAX) return cson_rc_RangeError;
    count_up(v);
    return cson_rc_OK;
}

void release(cson_value* v) { free_tree(v); }

cson_value* literal_value(int event)
{
    return event == CSON_EVENT_TRUE ? &g_true.v : event == CSON_EVENT_FALSE ? &g_false.v : &g_null.v;
}

}  // namespace json_detail

KEEL_API uint32_t cson_value_refcount(const cson_value* v) { return v ? v->refcount : 0; }

namespace {

cson_value* clone_scalar(const cson_value* v)
{
    switch (kind(v)) {
    case CSON_TYPE_INTEGER: return cson_value_new_integer(*static_cast<const cson_int_t*>(payload(v)));
    case CSON_TYPE_DOUBLE: return cson_value_new_double(*static_cast<const cson_double_t*>(payload(v)));
    case CSON_TYPE_STRING: {
        cson_string* s = string_of(v);
        return cson_value_new_string(string_bytes(s), s->length);
    }
    case CSON_TYPE_BOOL: return cson_value_new_bool(*static_cast<const bool*>(payload(v)));
    case CSON_TYPE_UNDEF: return cson_value_undef();
    default: return cson_value_null();
    }
}

cson_value* new_container_like(const cson_value* v)
{
    return kind(v) == CSON_TYPE_ARRAY ? cson_value_new_array() : cson_value_new_object();
}

uint32_t container_length(const cson_value* v)
{
    return kind(v) == CSON_TYPE_ARRAY ? array_of(v)->list.count : object_of(v)->kvp.count;
}

// One open container of a copy or a size estimate.
struct Walk {
    const cson_value* source;
    cson_value* copy;
    uint32_t next;
};

// A growable stack of walks, so deep trees need no deep C stack.
class WalkStack {
public:
    ~WalkStack() { free(items_); }
    bool push(const Walk& w)
    {
        if (count_ == capacity_) {
            const size_t grown = capacity_ ? capacity_ * 2 : 32;
            void* p = realloc(items_, grown * sizeof(Walk));
            if (!p) return false;
            items_ = static_cast<Walk*>(p);
            capacity_ = grown;
        }
        items_[count_++] = w;
        return true;
    }
    bool empty() const { return count_ == 0; }
    Walk& top() { return items_[count_ - 1]; }
    void pop() { --count_; }

private:
    Walk* items_ = nullptr;
    size_t count_ = 0;
    size_t capacity_ = 0;
};

int add_copy(cson_value* into, const cson_value* source_container, uint32_t index, cson_value* copy)
{
    if (kind(into) == CSON_TYPE_ARRAY) return array_append_owned(array_of(into), copy);
    cson_string* key = string_of(object_of(source_container)->kvp.list[index].key);
    cson_value* key_copy = cson_value_new_string(string_bytes(key), key->length);
    if (!key_copy) return cson_rc_AllocError;
    const int rc = object_append_owned(object_of(into), key_copy, copy);
    if (rc) cson_value_free(key_copy);
    return rc;
}

const cson_value* member(const cson_value* container, uint32_t index)
{
    if (kind(container) == CSON_TYPE_ARRAY) return array_of(container)->list.list[index];
    return object_of(container)->kvp.list[index].value;
}

}  // namespace

KEEL_API cson_value* cson_value_clone(const cson_value* v)
{
    if (!v) return nullptr;
    if (!is_container(v)) return clone_scalar(v);
    cson_value* root = new_container_like(v);
    if (!root) return nullptr;
    WalkStack stack;
    if (!stack.push({v, root, 0})) {
        cson_value_free(root);
        return nullptr;
    }
    while (!stack.empty()) {
        Walk& w = stack.top();
        if (w.next == container_length(w.source)) {
            stack.pop();
            continue;
        }
        const uint32_t index = w.next++;
        const cson_value* item = member(w.source, index);
        const bool nested = is_container(item);
        cson_value* copy = nested ? new_container_like(item) : (item ? clone_scalar(item) : nullptr);
        const cson_value* source = w.source;
        cson_value* into = w.copy;
        if (item && !copy) {
            cson_value_free(root);
            return nullptr;
        }
        if (add_copy(into, source, index, copy) != cson_rc_OK) {
            cson_value_free(copy);
            cson_value_free(root);
            return nullptr;
        }
        if (nested && !stack.push({item, copy, 0})) {
            cson_value_free(root);
            return nullptr;
        }
    }
    return root;
}

KEEL_API uint32_t cson_value_msize(const cson_value* v)
{
    if (!v) return 0;
    const uint32_t header = sizeof(cson_value);
    if (!is_container(v)) {
        switch (kind(v)) {
        case CSON_TYPE_INTEGER: return is_shared(v) ? header : header + sizeof(cson_int_t);
        case CSON_TYPE_DOUBLE: return is_shared(v) ? header : header + sizeof(cson_double_t);
        case CSON_TYPE_STRING: return is_shared(v) ? header : header + sizeof(cson_string) + string_of(v)->length + 1;
        default: return header;
        }
    }
    uint64_t total = 0;
    WalkStack stack;
    auto container_size = [&](const cson_value* c) -> uint64_t {
        if (kind(c) == CSON_TYPE_ARRAY)
            return header + sizeof(cson_array) + uint64_t(array_of(c)->list.alloced) * sizeof(cson_value*);
        const cson_kvp_list& l = object_of(c)->kvp;
        return header + sizeof(cson_object) + uint64_t(l.alloced) * sizeof(cson_kvp);
    };
    total += container_size(v);
    if (!stack.push({v, nullptr, 0})) return 0;
    while (!stack.empty()) {
        Walk& w = stack.top();
        if (w.next == container_length(w.source)) {
            stack.pop();
            continue;
        }
        const uint32_t index = w.next++;
        const cson_value* item = member(w.source, index);
        if (kind(w.source) == CSON_TYPE_OBJECT) total += cson_value_msize(object_of(w.source)->kvp.list[index].key);
        if (is_container(item)) {
            total += container_size(item);
            if (!stack.push({item, nullptr, 0})) return 0;
        } else {
            total += cson_value_msize(item);
        }
    }
    return total > UINT32_MAX ? UINT32_MAX : uint32_t(total);
}

KEEL_API const char* cson_string_cstr(const cson_string* s)
{
    return s ? string_bytes(const_cast<cson_string*>(s)) : nullptr;
}

KEEL_API uint32_t cson_string_length_bytes(const cson_string* s) { return s ? s->length : 0; }

KEEL_API uint32_t cson_string_length_utf8(const cson_string* s)
{
    if (!s) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(cson_string_cstr(s));
    uint32_t n = 0;
    for (uint32_t i = 0; i < s->length; ++i)
        if ((p[i] & 0xC0) != 0x80) ++n;
    return n;
}

KEEL_API int cson_string_cmp_cstr_n(const cson_string* s, const char* text, uint32_t length)
{
    if (!s) return text ? -1 : 0;
    if (!text) return 1;
    const uint32_t shorter = s->length < length ? s->length : length;
    const int c = shorter ? memcmp(cson_string_cstr(s), text, shorter) : 0;
    if (c) return c;
    return s->length == length ? 0 : (s->length < length ? -1 : 1);
}

KEEL_API int cson_string_cmp_cstr(const cson_string* s, const char* text)
{
    return cson_string_cmp_cstr_n(s, text, text ? uint32_t(strlen(text)) : 0);
}

KEEL_API cson_value* cson_string_value(const cson_string* s)
{
    return s ? reinterpret_cast<cson_value*>(const_cast<cson_string*>(s)) - 1 : nullptr;
}

KEEL_API cson_value* cson_array_value(const cson_array* a)
{
    return a ? reinterpret_cast<cson_value*>(const_cast<cson_array*>(a)) - 1 : nullptr;
}

KEEL_API uint32_t cson_array_length_get(const cson_array* a) { return a ? a->list.count : 0; }

KEEL_API int cson_array_reserve(cson_array* a, uint32_t size)
{
    if (!a) return cson_rc_ArgError;
    return list_reserve(a->list, size);
}

KEEL_API cson_value* cson_array_get(const cson_array* a, uint32_t index)
{
    if (!a || index >= a->list.count) return nullptr;
    return a->list.list[index];
}

KEEL_API int cson_array_set(cson_array* a, uint32_t index, cson_value* v)
{
    if (!a || !v) return cson_rc_ArgError;
    if (index == UINT32_MAX) return cson_rc_RangeError;
    cson_value_list& l = a->list;
    if (index >= l.alloced) {
        if (const int rc = list_reserve(l, index + 1)) return rc;
    }
    if (const int rc = cson_value_add_reference(v)) return rc;
    cson_value* old = l.list[index];
    l.list[index] = v;
    if (old) cson_value_free(old);
    if (index >= l.count) l.count = index + 1;
    return cson_rc_OK;
}

KEEL_API int cson_array_append(cson_array* a, cson_value* v)
{
    if (!a || !v) return cson_rc_ArgError;
    if (a->list.count == a->list.alloced) {
        if (const int rc = list_grow_for_one(a->list)) return rc;
    }
    return cson_array_set(a, a->list.count, v);
}

KEEL_API cson_value* cson_object_value(const cson_object* o)
{
    return o ? reinterpret_cast<cson_value*>(const_cast<cson_object*>(o)) - 1 : nullptr;
}

KEEL_API uint32_t cson_object_length_get(const cson_object* o) { return o ? o->kvp.count : 0; }

KEEL_API cson_kvp* cson_object_entry_at(const cson_object* o, uint32_t index)
{
    if (!o || index >= o->kvp.count) return nullptr;
    return &o->kvp.list[index];
}

KEEL_API cson_value* cson_object_get(const cson_object* o, const char* key)
{
    if (!o || !key) return nullptr;
    const int at = object_find(o, key, uint32_t(strlen(key)));
    return at < 0 ? nullptr : o->kvp.list[at].value;
}

KEEL_API cson_value* cson_object_get_s(const cson_object* o, const cson_string* key)
{
    if (!o || !key) return nullptr;
    const int at = object_find(o, cson_string_cstr(key), key->length);
    return at < 0 ? nullptr : o->kvp.list[at].value;
}

namespace {

void remove_entry(cson_object* o, int at)
{
    cson_kvp_list& l = o->kvp;
    cson_value* key = l.list[at].key;
    memmove(l.list + at, l.list + at + 1, (l.count - uint32_t(at) - 1) * sizeof(cson_kvp));
    l.list[--l.count] = cson_kvp{nullptr, nullptr};
    cson_value_free(key);
}

int set_with_key(cson_object* o, const char* key, uint32_t length, cson_value* key_value, cson_value* v)
{
    if (!o || !key || !length) return cson_rc_ArgError;
    const int at = object_find(o, key, length);
    if (!v) {
        if (at < 0) return cson_rc_NotFoundError;
        cson_value_free(o->kvp.list[at].value);
        remove_entry(o, at);
        return cson_rc_OK;
    }
    if (const int rc = cson_value_add_reference(v)) return rc;
    if (at >= 0) {
        cson_kvp* kvp = &o->kvp.list[at];
        cson_value* old = kvp->value;
        kvp->value = v;
        cson_value_free(old);
        return cson_rc_OK;
    }
    cson_value* k = key_value;
    if (k) {
        cson_value_add_reference(k);
    } else {
        k = cson_value_new_string(key, length);
    }
    const int rc = k ? object_append_owned(o, k, v) : cson_rc_AllocError;
    if (rc) {
        cson_value_free(k);
        cson_value_free(v);
    }
    return rc;
}

}  // namespace

KEEL_API int cson_object_set(cson_object* o, const char* key, cson_value* v)
{
    return set_with_key(o, key, key ? uint32_t(strlen(key)) : 0, nullptr, v);
}

KEEL_API int cson_object_set_s(cson_object* o, cson_string* key, cson_value* v)
{
    if (!key) return cson_rc_ArgError;
    return set_with_key(o, cson_string_cstr(key), key->length, key->length ? cson_string_value(key) : nullptr, v);
}

KEEL_API int cson_object_unset(cson_object* o, const char* key) { return cson_object_set(o, key, nullptr); }

KEEL_API cson_value* cson_object_take(cson_object* o, const char* key)
{
    if (!o || !key || !*key) return nullptr;
    const int at = object_find(o, key, uint32_t(strlen(key)));
    if (at < 0) return nullptr;
    cson_value* v = o->kvp.list[at].value;
    remove_entry(o, at);
    return v;
}

KEEL_API int cson_object_fetch_sub(const cson_object* o, cson_value** out, const char* path, char separator)
{
    if (!o || !path) return cson_rc_ArgError;
    if (!*path) return cson_rc_RangeError;
    const char* p = path;
    const cson_object* current = o;
    cson_value* found = nullptr;
    bool any = false;
    while (*p) {
        while (*p == separator) ++p;
        if (!*p) break;
        const char* end = p;
        while (*end && *end != separator) ++end;
        const size_t length = size_t(end - p);
        if (length > 127) return cson_rc_RangeError;
        if (!current) return cson_rc_NotFoundError;
        const int at = object_find(current, p, uint32_t(length));
        if (at < 0) return cson_rc_NotFoundError;
        found = current->kvp.list[at].value;
        current = cson_value_get_object(found);
        any = true;
        p = end;
    }
    if (!any) return cson_rc_RangeError;
    if (out) *out = found;
    return cson_rc_OK;
}

KEEL_API cson_value* cson_object_get_sub(const cson_object* o, const char* path, char separator)
{
    cson_value* v = nullptr;
    return cson_object_fetch_sub(o, &v, path, separator) == cson_rc_OK ? v : nullptr;
}

KEEL_API cson_string* cson_kvp_key(const cson_kvp* kvp) { return kvp ? string_of(kvp->key) : nullptr; }
KEEL_API cson_value* cson_kvp_value(const cson_kvp* kvp) { return kvp ? kvp->value : nullptr; }

namespace {

cson_value* value_from_argument_text(const char* text)
{
    if (!*text) return cson_value_null();
    cson_int_t i = 0;
    if (parse_whole_integer(text, &i)) return cson_value_new_integer(i);
    cson_double_t d = 0.0;
    if (!(*text >= '0' && *text <= '9') && parse_whole_double(text, &d)) return cson_value_new_double(d);
    return cson_value_new_string(text, uint32_t(strlen(text)));
}

}  // namespace

KEEL_API int cson_parse_argv_flags(int argc, const char* const* argv, cson_object** target, unsigned* count)
{
    if (argc <= 0 || !argv || !target) return cson_rc_ArgError;
    cson_value* created = nullptr;
    cson_object* o = *target;
    if (!o) {
        created = cson_value_new_object();
        if (!created) return cson_rc_AllocError;
        o = object_of(created);
    }
    unsigned added = 0;
    int rc = cson_rc_OK;
    for (int i = 0; i < argc && rc == cson_rc_OK; ++i) {
        const char* arg = argv[i];
        if (!arg || *arg != '-') continue;
        while (*arg == '-') ++arg;
        if (!*arg) continue;
        const char* equals = strchr(arg, '=');
        const size_t key_length = equals ? size_t(equals - arg) : strlen(arg);
        if (!key_length) continue;
        cson_value* v = equals ? value_from_argument_text(equals + 1) : cson_value_true();
        if (!v) {
            rc = cson_rc_AllocError;
            break;
        }
        rc = set_with_key(o, arg, uint32_t(key_length), nullptr, v);
        cson_value_free(v);  // the object holds its own reference
        if (rc == cson_rc_OK) ++added;
    }
    if (count) *count = added;
    if (created) {
        if (rc == cson_rc_OK) *target = o;
        else cson_value_free(created);
    }
    return rc;
}
