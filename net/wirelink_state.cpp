#include "net/wirelink_state.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace wirelink {

State& state()
{
    static State shared;
    return shared;
}

void warn(const char* text)
{
    printf("WARNING: %s\n", text);
}

void set_last_error(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(state().last_error, sizeof state().last_error, format, arguments);
    va_end(arguments);
}

int send_length(const void* data, int length)
{
    if (!data) return 0;
    if (length == -1) return int(strnlen(static_cast<const char*>(data), 0x7FFFFFFE)) + 1;
    return length < 0 ? 0 : length;
}

int receive_limit(int max)
{
    if (max < 0) return 0;
    return max > 32767 ? 32767 : max;
}

}  // namespace wirelink
