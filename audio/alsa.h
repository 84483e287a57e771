// ALSA prints its own lines on standard error while SDL probes for a sound
// device ("ALSA lib ... Unknown PCM default" and more where there is none);
// the module reports a missing device itself, in one line.
#pragma once

namespace murmur {

void silence_alsa_errors();
void restore_alsa_errors();

}  // namespace murmur
