// A race as a player sees it, without the network: the real platform
// plug-in's window in a folder of its own (the built data linked in), the
// game's resources loaded, a hosted race of a few carts on a fresh track, and
// one frame drawn the way the engine draws a view. The test, the benchmark
// and the screenshot tool share it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/graphics_interface.h"
#include "base/vector.h"

class cGame;

class RaceStage {
public:
    RaceStage();
    ~RaceStage();
    RaceStage(const RaceStage&) = delete;
    RaceStage& operator=(const RaceStage&) = delete;

    // Opens the window in folder (which gets plugin/ and data/) and starts a
    // hosted race of cart_count carts, half of each species, with the given
    // track seed. An empty string on success, else what failed.
    std::string open(const std::string& folder, uint16_t width, uint16_t height, int cart_count, int16_t seed);
    // The track and the carts go while the window still holds their buffers.
    void close();

    // The camera at eye, looking at target with +y up.
    void look_from(const cVector3D& eye, const cVector3D& target);
    // The view behind the own cart, as the race keeps it.
    void chase_own_cart();
    // Scene pass, effects pass, then the HUD and chat overlay.
    void draw_race_frame();
    // What every frame costs without a race: the clear and the swap.
    void draw_empty_frame();
    // Shows the frame (swap and clear).
    void end_frame();

    // RGBA, rows from the top.
    std::vector<uint8_t> screenshot() const;
    bool save_png(const std::string& path) const;

    cGame& game() { return *race; }
    graphics_interface* graphics = nullptr;
    uint16_t width = 0;
    uint16_t height = 0;

private:
    void load_engine_programs();
    void use_engine_program(int program);

    std::unique_ptr<cGame> race;
    int map_3d_program = -1;
    int overlay_program = -1;
    std::string home;
    bool opened = false;
};
