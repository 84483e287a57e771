// Images whose headers announce more pixels than the import takes are refused
// before a loader makes a surface for them: a few forged bytes must not cost
// the process hundreds of megabytes, resident or merely reserved.
#include <gtest/gtest.h>
#include <png.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "platform/images.h"
#include "tests/support/jpeg_bytes.h"
#include "tests/support/scratch.h"
#include "tests/support/tiff_bytes.h"

namespace {

// ---- forged files: real headers with the size fields the test chooses

void append_png_bytes(png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void write_png_header(png_structp png, png_infop info, uint32_t width, uint32_t height, std::string* out)
{
    if (setjmp(png_jmpbuf(png))) return;
    png_set_write_fn(png, out, append_png_bytes, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // The start of the pixel data, so the header reads as complete.
    const png_byte start_of_pixels[] = {0x78, 0x9C, 0x63, 0x00};
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), start_of_pixels, sizeof start_of_pixels);
}

// Signature, IHDR and a first IDAT chunk: a few dozen bytes.
std::string png_claiming(uint32_t width, uint32_t height)
{
    std::string bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png && info) write_png_header(png, info, width, height, &bytes);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// File header and info header of a BMP, 24 bits a pixel unless told, without
// pixels; the small OS/2 info header keeps its size in 16-bit fields.
std::string bmp_claiming(int32_t width, int32_t height, bool os2_header = false, uint16_t bits = 24)
{
    const uint32_t info_size = os2_header ? 12 : 40;
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    out.bytes("BM", 2);
    out.u32(14 + info_size);
    out.u32(0);
    out.u32(14 + info_size);
    out.u32(info_size);
    if (os2_header) {
        out.u16(uint16_t(width));
        out.u16(uint16_t(height));
    } else {
        out.i32(width);
        out.i32(height);
    }
    out.u16(1);
    out.u16(bits);
    if (!os2_header) out.zeros(24);
    return std::string(bytes.begin(), bytes.end());
}

// An honest 8 x 8 grey JPEG from libjpeg, at its default quality.
std::string small_jpeg()
{
    return jpeg_bytes(8, 8, 75, [](int, std::vector<uint8_t>& row) { std::fill(row.begin(), row.end(), 128); });
}

// The 8 x 8 JPEG with the size fields of its frame header changed.
std::string jpeg_claiming(uint16_t width, uint16_t height)
{
    std::string bytes = small_jpeg();
    const size_t frame = bytes.find("\xFF\xC0");
    if (frame == std::string::npos) return "";
    bytes[frame + 5] = char(height >> 8);
    bytes[frame + 6] = char(height & 0xFF);
    bytes[frame + 7] = char(width >> 8);
    bytes[frame + 8] = char(width & 0xFF);
    return bytes;
}

// An honest 8 x 8 RGB TIFF in one uncompressed strip.
std::string small_tiff()
{
    std::string pixels(8 * 8 * 3, '\0');
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = char(i * 7 + 3);
    return tiff_one_strip(tiff_rgb_fields(8, 8), uint32_t(pixels.size()), pixels);
}

// ---- one import in a process of its own, and what it cost

struct MemoryPeaks {
    long resident_kb = 0;
    long reserved_kb = 0;
};

MemoryPeaks memory_peaks()
{
    MemoryPeaks peaks;
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "VmHWM:") status >> peaks.resident_kb;
        if (field == "VmPeak:") status >> peaks.reserved_kb;
    }
    return peaks;
}

struct ImportCost {
    std::string printed;
    bool finished = false;
    bool has_pixels = true;
    double seconds = 0;
    MemoryPeaks growth;
};

// Whether the file gave pixels.
bool import_and_free(const std::string& path)
{
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t* rgba = nullptr;
    trellis::import_image(path.c_str(), &width, &height, &rgba);
    const bool pixels = rgba != nullptr;
    delete[] rgba;
    return pixels;
}

// A forked child starts its own peaks at the parent's present size, so
// whatever earlier tests cost does not hide what this import costs. An
// honest file of the same format, when given, is imported first, so what
// the decoder takes on any file is not counted either.
void import_in_child(const std::string& path, const std::string& honest, int out)
{
    dup2(out, STDOUT_FILENO);
    if (!honest.empty()) import_and_free(honest);
    const MemoryPeaks before = memory_peaks();
    const auto start = std::chrono::steady_clock::now();
    const bool pixels = import_and_free(path);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const MemoryPeaks after = memory_peaks();
    printf("pixels %d grown %ld %ld seconds %f\n", pixels, after.resident_kb - before.resident_kb,
           after.reserved_kb - before.reserved_kb, took.count());
    fflush(stdout);
    _exit(0);
}

// What the child printed within the time given; a child still importing
// then is killed, and its cost is not finished.
std::string read_child(pid_t child, int in, int timeout_ms)
{
    std::string printed;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        pollfd ready = {in, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, int(left.count())) <= 0) {
            kill(child, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t got = read(in, buffer, sizeof buffer);
        if (got <= 0) break;
        printed.append(buffer, size_t(got));
    }
    waitpid(child, nullptr, 0);
    return printed;
}

constexpr int kChildTimeoutMs = 20000;

ImportCost import_alone(const std::string& path, const std::string& honest = "")
{
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return {};
    fflush(stdout);
    const pid_t child = fork();
    if (child == 0) import_in_child(path, honest, pipe_ends[1]);
    close(pipe_ends[1]);
    const std::string printed = read_child(child, pipe_ends[0], kChildTimeoutMs);
    close(pipe_ends[0]);
    ImportCost cost;
    const size_t last = printed.rfind("pixels ");
    if (last == std::string::npos) return cost;
    int pixels = 1;
    cost.finished = sscanf(printed.c_str() + last, "pixels %d grown %ld %ld seconds %lf", &pixels,
                           &cost.growth.resident_kb, &cost.growth.reserved_kb, &cost.seconds) == 4;
    cost.has_pixels = pixels != 0;
    cost.printed = printed.substr(0, last);
    return cost;
}

constexpr long kMostGrowthKb = 64 * 1024;

}  // namespace

TEST(ImageHeaders, SizesPastTheLimitAreRefusedBeforeAnyPixelIsMade)
{
    ScratchFolder scratch;
    const struct {
        const char* name;
        std::string bytes;
        std::string fault;  // empty: the one line a bad BMP prints
    } cases[] = {
        {"just_over.png", png_claiming(8193, 8193), "PNG image size out of range"},
        {"huge.png", png_claiming(16000, 16000), "PNG image size out of range"},
        {"just_over.bmp", bmp_claiming(8193, 8193), ""},
        {"huge.bmp", bmp_claiming(16000, 16000), ""},
        {"huge_top_down.bmp", bmp_claiming(16000, -16000), ""},
        {"huge_os2.bmp", bmp_claiming(16000, 16000, true), ""},
        // Pixels within the limit, but six bytes each.
        {"deep.bmp", bmp_claiming(8192, 8192, false, 48), ""},
        // SDL keeps the low byte of (bits + 7) / 8 as the bytes a pixel: 124
        // here, a surface of 4 GB whose size overflows SDL's int.
        {"deepest_os2.bmp", bmp_claiming(512, 64767, true, 56283), ""},
        {"just_over.jpg", jpeg_claiming(8193, 8193), "JPEG image size out of range"},
        {"huge.jpeg", jpeg_claiming(16000, 16000), "JPEG image size out of range"},
    };
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        ASSERT_GT(c.bytes.size(), 20u) << c.name;
        write_file(path, c.bytes);
        const ImportCost cost = import_alone(path);
        EXPECT_FALSE(cost.has_pixels) << c.name;
        EXPECT_EQ(cost.printed, c.fault.empty() ? "ERROR: File load error\n"
                                                : "ERROR: File load error: " + c.fault + " (" + path + ")\n");
        EXPECT_LT(cost.growth.resident_kb, kMostGrowthKb) << c.name;
        EXPECT_LT(cost.growth.reserved_kb, kMostGrowthKb) << c.name;
    }
}

TEST(ImageHeaders, HeadersWithinTheLimitStillLoad)
{
    ScratchFolder scratch;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"small.jpg", small_jpeg()},
        {"small.bmp", bmp_claiming(2, 1) + std::string(8, '\x40')},
        {"small.tif", small_tiff()},
    };
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        write_file(path, c.bytes);
        const ImportCost cost = import_alone(path);
        EXPECT_TRUE(cost.has_pixels) << c.name << ": " << cost.printed;
        EXPECT_EQ(cost.printed, "") << c.name;
    }
}

// Each directory asks libtiff for far more than the RGBA image needs, and is
// refused with its one line at once, before any of that is allocated.
TEST(ImageHeaders, ForgedTiffDirectoriesAreRefusedBeforeTheirPixelsAreMade)
{
    ScratchFolder scratch;
    const std::string honest = scratch / "small.tif";
    write_file(honest, small_tiff());
    const std::string few_bytes(16, '\x40');
    const uint16_t lzw = 5;
    const struct {
        const char* name;
        std::string bytes;
        std::string fault;
    } cases[] = {
        {"grey_273_samples.tif", tiff_grey_273_samples(), "TIFF image of too many samples a pixel"},
        {"eight_samples.tif", tiff_one_strip(tiff_rgb_fields(4096, 4096, lzw, 8), 16, few_bytes),
         "TIFF strip or tile larger than its image"},
        {"tile_past_the_image.tif", tiff_one_tile(tiff_rgb_fields(8, 8), 16384, 192, few_bytes),
         "TIFF strip or tile larger than its image"},
        {"strip_not_held.tif", tiff_one_strip(tiff_rgb_fields(8192, 4096), 8192u * 4096 * 3, few_bytes),
         "TIFF pixel data past the end of the file"},
        {"compressed_gigabytes.tif", tiff_one_strip(tiff_rgb_fields(8192, 4096, lzw), 0xC0000000u, few_bytes),
         "TIFF pixel data past the end of the file"},
    };
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        write_file(path, c.bytes);
        const ImportCost cost = import_alone(path, honest);
        EXPECT_TRUE(cost.finished) << c.name << " was still importing after " << kChildTimeoutMs / 1000 << " s";
        EXPECT_FALSE(cost.has_pixels) << c.name;
        EXPECT_EQ(cost.printed, "ERROR: File load error: " + c.fault + " (" + path + ")\n");
        EXPECT_LT(cost.seconds, 1.0) << c.name;
        EXPECT_LT(cost.growth.resident_kb, kMostGrowthKb) << c.name;
        EXPECT_LT(cost.growth.reserved_kb, kMostGrowthKb) << c.name;
    }
}
