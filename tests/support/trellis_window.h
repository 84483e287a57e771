// A test fixture that loads the built platform plug-in, opens its window
// (with the fixed pipeline unless shaders are asked for, and with vertex
// buffers and display lists only when asked for) and the top-left
// pixel space, and reads the drawn pixels back before the frame is shown.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/color.h"
#include "base/graphics_interface.h"
#include "tests/support/scratch.h"

struct Pixel {
    int r, g, b, a;
};

class TrellisWindow : public ::testing::Test {
protected:
    static constexpr uint16_t kWidth = 320;
    static constexpr uint16_t kHeight = 240;

    explicit TrellisWindow(bool shaders = false, bool vbos = false, bool display_lists = false)
        : shaders(shaders), vbos(vbos), display_lists(display_lists) {}
    void SetUp() override;
    void TearDown() override;

    // Window pixel, y from the top.
    Pixel pixel(int x, int y) const;
    std::vector<uint8_t> screenshot() const;
    void clear_to(float grey);
    // Ends the frame and hands back its counters.
    FrameStatistics end_frame();
    // A texture from RGBA bytes, sampled nearest so texels land on pixels.
    int texture_of(uint16_t width, uint16_t height, std::vector<uint8_t> rgba);
    // A 16 x 16 sheet of 16-pixel cells: cell c is (255, c, 255) opaque,
    // except the blank, which is transparent black.
    int coded_glyph_sheet();

    const bool shaders;
    const bool vbos;
    const bool display_lists;
    graphics_interface* graphics = nullptr;
    ScratchFolder scratch;
    std::string home;
    cColor white{1, 1, 1, 1};
};

// Expects each channel within tolerance.
void expect_pixel(const Pixel& actual, const Pixel& expected, int tolerance, const std::string& where);
