#include "audio/alsa.h"

#include <alsa/asoundlib.h>

namespace murmur {

namespace {

void ignore_error(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void silence_alsa_errors()
{
    snd_lib_error_set_handler(ignore_error);
}

void restore_alsa_errors()
{
    snd_lib_error_set_handler(nullptr);
}

}  // namespace murmur
