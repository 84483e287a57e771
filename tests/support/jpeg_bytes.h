// JPEG files made in memory by libjpeg, for tests and seeds that need real ones.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// An RGB JPEG of width x height at quality; fill_row(y, row) gives row y's
// width * 3 bytes.
std::string jpeg_bytes(int width, int height, int quality,
                       const std::function<void(int y, std::vector<uint8_t>& row)>& fill_row);
