// The window settings: the bytes as the cfg file through the active file,
// and the same bytes as the console's answers. Either way the window has a
// size the engine can open; with no usable cfg the answers are saved.
#include <cstdio>

#include "framework/engine.h"
#include "tests/fuzz/support/fuzz_support.h"

namespace {

class CfgEngine : public cEngine {
public:
    bool run_frame() override { return false; }
};

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

void check_size(uint16_t width, uint16_t height)
{
    check(width >= 1 && width <= 16384 && height >= 1 && height <= 16384);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    // A cfg that is not usable makes the engine ask the console: it reads no answers here.
    if (!freopen("/dev/null", "r", stdin)) perror("freopen");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CfgEngine engine;
    const std::string cfg = scratch_file("zorblitRally.cfg", data, size);
    uint16_t width = 0;
    uint16_t height = 0;
    bool fullscreen = false;
    engine.ask_startup_settings(cfg, &width, &height, &fullscreen);
    check_size(width, height);
    uint16_t again_width = 0;
    uint16_t again_height = 0;
    bool again_fullscreen = false;
    engine.ask_startup_settings(cfg, &again_width, &again_height, &again_fullscreen);
    check(again_width == width && again_height == height && again_fullscreen == fullscreen);

    if (size == 0) return 0;
    FILE* answers = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!answers) return 0;
    const StartupSettings asked = ask_console_for_settings(answers);
    fclose(answers);
    check_size(asked.width, asked.height);
    return 0;
}
