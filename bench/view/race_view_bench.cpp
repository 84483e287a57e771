// Frames per second of a sixteen-cart race at 1024 x 768 on Mesa's software
// renderer, against the same window's empty frame (clear and swap only).
// Run it under an X server with LIBGL_ALWAYS_SOFTWARE=1.
#include <cstdio>
#include <cstdlib>

#include "bench/support/timing.h"
#include "game/game.h"
#include "tests/race_view/race_stage.h"
#include "tests/support/scratch.h"

int main()
{
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    ScratchFolder folder;
    RaceStage stage;
    const std::string failure = stage.open(folder.path(), 1024, 768, 16, 1234);
    if (!failure.empty()) {
        std::printf("ERROR: %s\n", failure.c_str());
        return 1;
    }
    stage.chase_own_cart();
    const int frames = 10;
    const double race = median_seconds(
        [&] {
            for (int i = 0; i < frames; ++i) {
                stage.draw_race_frame();
                stage.end_frame();
            }
        },
        5);
    const double empty = median_seconds(
        [&] {
            for (int i = 0; i < frames; ++i) {
                stage.draw_empty_frame();
                stage.end_frame();
            }
        },
        5);
    print_ratio("16-cart race view, 1024 x 768", frames / race, "frames per second", frames / empty,
                "empty frames per second");
    stage.close();
    return 0;
}
