#include "json_support.h"

#include <cmath>
#include <cstring>

namespace {

struct MemorySource {
    const std::string* text;
    size_t at;
};

// Delivers at most 7 bytes per call, so runs are cut at awkward places.
int read_memory(void* state, void* dest, unsigned* n)
{
    auto* s = static_cast<MemorySource*>(state);
    size_t left = s->text->size() - s->at;
    size_t take = left < 7 ? left : 7;
    if (take > *n) take = *n;
    memcpy(dest, s->text->data() + s->at, take);
    s->at += take;
    *n = unsigned(take);
    return 0;
}

}  // namespace

int parse_text(const std::string& text, cson_value** out, uint16_t max_depth)
{
    *out = nullptr;
    const cson_parse_opt opt{max_depth, false};
    return cson_parse_string(out, text.data(), unsigned(text.size()), &opt, nullptr);
}

int parse_stream(const std::string& text, cson_value** out, uint16_t max_depth)
{
    *out = nullptr;
    MemorySource source{&text, 0};
    const cson_parse_opt opt{max_depth, false};
    return cson_parse(out, read_memory, &source, &opt, nullptr);
}

std::string write_text(const cson_value* v, const cson_output_opt& opt)
{
    cson_buffer buffer{nullptr, 0, 0};
    const int rc = cson_output_buffer(v, &buffer, &opt);
    std::string text = rc ? "rc=" + std::to_string(rc) : std::string(reinterpret_cast<char*>(buffer.mem), buffer.used);
    cson_buffer_clear(&buffer);
    return text;
}

bool same_value(const cson_value* a, const cson_value* b)
{
    if (cson_value_type_id(a) != cson_value_type_id(b)) return false;
    switch (cson_value_type_id(a)) {
    case CSON_TYPE_BOOL: return cson_value_get_bool(a) == cson_value_get_bool(b);
    case CSON_TYPE_INTEGER: return cson_value_get_integer(a) == cson_value_get_integer(b);
    case CSON_TYPE_DOUBLE: {
        const double x = cson_value_get_double(a), y = cson_value_get_double(b);
        return x == y && std::signbit(x) == std::signbit(y);
    }
    case CSON_TYPE_STRING: {
        const cson_string* s = cson_value_get_string(a);
        return cson_string_cmp_cstr_n(s, cson_value_get_cstr(b), cson_string_length_bytes(cson_value_get_string(b))) == 0;
    }
    case CSON_TYPE_ARRAY: {
        const cson_array* x = cson_value_get_array(a);
        const cson_array* y = cson_value_get_array(b);
        if (cson_array_length_get(x) != cson_array_length_get(y)) return false;
        for (uint32_t i = 0; i < cson_array_length_get(x); ++i)
            if (!same_value(cson_array_get(x, i), cson_array_get(y, i))) return false;
        return true;
    }
    case CSON_TYPE_OBJECT: {
        const cson_object* x = cson_value_get_object(a);
        const cson_object* y = cson_value_get_object(b);
        if (cson_object_length_get(x) != cson_object_length_get(y)) return false;
        for (uint32_t i = 0; i < cson_object_length_get(x); ++i) {
            const cson_kvp* kx = cson_object_entry_at(x, i);
            const cson_kvp* ky = cson_object_entry_at(y, i);
            if (cson_string_cmp_cstr_n(cson_kvp_key(kx), cson_string_cstr(cson_kvp_key(ky)),
                                       cson_string_length_bytes(cson_kvp_key(ky))) != 0)
                return false;
            if (!same_value(cson_kvp_value(kx), cson_kvp_value(ky))) return false;
        }
        return true;
    }
    default: return true;
    }
}
