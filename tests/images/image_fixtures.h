// Small image files written byte by byte, so each test knows exactly what a
// file holds: PNGs of any colour type through libpng, BMPs by hand or by SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngFixture {
    int width;
    int height;
    int color_type;  // PNG_COLOR_TYPE_*
    int bit_depth;
    std::vector<uint8_t> rows;                // packed rows, top first
    std::vector<uint8_t> palette;             // R, G, B triplets for palette images
    std::vector<uint8_t> palette_alpha;       // a tRNS chunk when not empty
};

bool write_png_fixture(const std::string& path, const PngFixture& png);
// 16 bits a pixel, 5 bits a channel (x1r5g5b5), rows bottom first as BMPs keep them.
bool write_bmp16_fixture(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels);
// 8 bits a pixel with the given palette of R, G, B triplets, written by SDL.
bool write_bmp8_fixture(const std::string& path, int width, int height, const std::vector<uint8_t>& palette,
                        const std::vector<uint8_t>& indices);

// The chunks of a PNG file by type, and its IHDR fields.
struct PngChunk {
    std::string type;
    std::vector<uint8_t> data;
};
std::vector<PngChunk> png_chunks(const std::string& bytes);
const PngChunk* find_chunk(const std::vector<PngChunk>& chunks, const std::string& type);
