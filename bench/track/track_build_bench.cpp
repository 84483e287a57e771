// Building one race track from the host's words (20 nodes): nodes, splines,
// the 10,001-step sampling and the ribbon, against one frame at 60 fps.
#include <cstdio>

#include "bench/support/timing.h"
#include "game/track.h"

int main()
{
    const TrackLoadRecord record = host_track_record(12345);
    size_t samples = 0;
    const double seconds = median_seconds([&] { samples += czrTrack::create(record)->sample_count(); });
    print_ratio("track build (20 nodes)", seconds, "s", kFrameBudgetSeconds, "s (frame at 60 fps)");
    return samples > 0 ? 0 : 1;
}
