#include "base/text_fields.h"

#include <cstdlib>

std::vector<std::string> hash_ended_fields(const char* text)
{
    std::vector<std::string> fields;
    if (!text) return fields;
    std::string field;
    for (const char* c = text; *c; ++c) {
        if (*c == '#') {
            fields.push_back(field);
            field.clear();
        } else {
            field += *c;
        }
    }
    return fields;
}

int read_hash_ended_numbers(const char* text, double* values, int capacity)
{
    const std::vector<std::string> fields = hash_ended_fields(text);
    for (size_t i = 0; i < fields.size() && int(i) < capacity; ++i)
        values[i] = std::atof(fields[i].c_str());
    return int(fields.size());
}
