// Dotted addresses. SDL_net keeps a host in network order, so the lowest byte
// of the number is the first field; parsing builds the reverse order.
#include <cstdio>
#include <string>

#include "net/slots.h"

namespace wirelink {

int net_format_address(uint32_t address, char* out)
{
    return snprintf(out, 16, "%i.%i.%i.%i", int(address & 0xFF), int((address >> 8) & 0xFF),
                    int((address >> 16) & 0xFF), int(address >> 24));
}

// A decimal field as the C conversion reads it (blanks, a sign, digits),
// wrapping instead of overflowing.
static uint32_t field_value(const std::string& field)
{
    size_t at = 0;
    while (at < field.size() && (field[at] == ' ' || (field[at] >= '\t' && field[at] <= '\r'))) ++at;
    bool negative = at < field.size() && field[at] == '-';
    if (at < field.size() && (field[at] == '-' || field[at] == '+')) ++at;
    uint32_t value = 0;
    for (; at < field.size() && field[at] >= '0' && field[at] <= '9'; ++at) value = value * 10 + uint32_t(field[at] - '0');
    return negative ? 0u - value : value;
}

// Fields are the runs between dots; empty runs are skipped, missing fields count 0.
uint32_t net_parse_address(const char* text)
{
    uint32_t fields[4] = {};
    int count = 0;
    std::string copy = text ? text : "";
    size_t at = 0;
    while (count < 4 && at < copy.size()) {
        size_t end = copy.find('.', at);
        if (end == std::string::npos) end = copy.size();
        if (end > at) fields[count++] = field_value(copy.substr(at, end - at));
        at = end + 1;
    }
    return (uint32_t(uint8_t(fields[0])) << 24) + (uint32_t(uint16_t(fields[1])) << 16) + (fields[2] << 8) + fields[3];
}

}  // namespace wirelink
