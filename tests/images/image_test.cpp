// Reading and writing image files: formats, round trips, fixtures of every
// pixel layout, and what a bad path or file prints.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/images.h"
#include "tests/images/image_fixtures.h"
#include "tests/support/tiff_bytes.h"
#include "tests/support/scratch.h"

namespace {

struct Imported {
    uint16_t width = 77;
    uint16_t height = 77;
    bool has_pixels = false;
    std::vector<uint8_t> rgba;
    std::string output;
};

Imported import(const std::string& path)
{
    Imported result;
    uint8_t sentinel[4] = {};
    uint8_t* pixels = sentinel;
    testing::internal::CaptureStdout();
    trellis::import_image(path.c_str(), &result.width, &result.height, &pixels);
    result.output = testing::internal::GetCapturedStdout();
    EXPECT_NE(pixels, sentinel) << path;
    if (pixels && pixels != sentinel) {
        result.has_pixels = true;
        result.rgba.assign(pixels, pixels + size_t(result.width) * result.height * 4);
        delete[] pixels;
    }
    return result;
}

struct Exported {
    bool written;
    std::string output;
};

Exported export_pixels(const std::string& path, std::vector<uint8_t> rgba, uint16_t width = 2, uint16_t height = 2)
{
    testing::internal::CaptureStdout();
    const bool written = trellis::export_image(path.c_str(), width, height, rgba.data());
    return {written, testing::internal::GetCapturedStdout()};
}

// Opaque red, half-transparent green, invisible blue, opaque dark blue-grey.
const std::vector<uint8_t> kFourPixels = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 10, 20, 30, 255};

std::vector<uint8_t> opaque(std::vector<uint8_t> rgba)
{
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    return rgba;
}

void expect_pixels_near(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected, int tolerance,
                        const std::string& name)
{
    ASSERT_EQ(actual.size(), expected.size()) << name;
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], tolerance) << name << " byte " << i;
}

}  // namespace

TEST(ImageFormats, SevenExtensionsInOrder)
{
    const std::vector<std::string> expected = {"bmp", "png", "gif", "jpg", "jpeg", "tif", "tiff"};
    ASSERT_EQ(trellis::get_image_format_count(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(trellis::get_image_format_name(i), expected[size_t(i)]);
    EXPECT_EQ(trellis::get_image_format_name(7), nullptr);
    EXPECT_EQ(trellis::get_image_format_name(-1), nullptr);
}

TEST(ImageExport, RoundTripsThroughEachWriter)
{
    const struct {
        const char* name;
        bool keeps_alpha;
    } cases[] = {{"image.png", true}, {"IMAGE.PNG", true}, {"image.bmp", false}, {"Image.Bmp", false}};
    ScratchFolder scratch;
    for (const auto& c : cases) {
        const Exported exported = export_pixels(scratch / c.name, kFourPixels);
        EXPECT_TRUE(exported.written) << c.name;
        EXPECT_EQ(exported.output, "") << c.name;
        const Imported back = import(scratch / c.name);
        EXPECT_EQ(back.output, "") << c.name;
        EXPECT_EQ(back.width, 2) << c.name;
        EXPECT_EQ(back.height, 2) << c.name;
        // BMP has no alpha: it comes back opaque, the colours untouched by it.
        expect_pixels_near(back.rgba, c.keeps_alpha ? kFourPixels : opaque(kFourPixels), 0, c.name);
    }
}

TEST(ImageExport, PngHeaderIsEightBitRgba)
{
    ScratchFolder scratch;
    ASSERT_TRUE(export_pixels(scratch / "header.png", kFourPixels).written);
    const std::string file = read_file(scratch / "header.png");
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(file.substr(1, 3), "PNG");
    const std::vector<PngChunk> chunks = png_chunks(file);
    const PngChunk* header = find_chunk(chunks, "IHDR");
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->data.size(), 13u);
    EXPECT_EQ(header->data[3], 2);  // width, big-endian
    EXPECT_EQ(header->data[7], 2);
    EXPECT_EQ(header->data[8], 8);  // bit depth
    EXPECT_EQ(header->data[9], PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_NE(find_chunk(chunks, "IEND"), nullptr);
}

TEST(ImageExport, RefusesWhatItCannotWrite)
{
    ScratchFolder scratch;
    ASSERT_EQ(symlink("/dev/full", (scratch / "full.png").c_str()), 0);
    ASSERT_EQ(symlink("/dev/full", (scratch / "full.bmp").c_str()), 0);
    const struct {
        std::string path;
        std::string output;
    } cases[] = {
        {scratch / "image.jpg", "ERROR: Bitmap could not be exported to format: .jpg\n"},
        {scratch / "image.gif", "ERROR: Bitmap could not be exported to format: .gif\n"},
        {"ab", "ERROR: Bitmap could not be exported to format: ab\n"},
        {scratch / "no/such/folder.png", ""},
        {scratch / "no/such/folder.bmp", ""},
        {scratch / "full.png", ""},
        {scratch / "full.bmp", ""},
    };
    for (const auto& c : cases) {
        const Exported exported = export_pixels(c.path, kFourPixels);
        EXPECT_FALSE(exported.written) << c.path;
        EXPECT_EQ(exported.output, c.output) << c.path;
    }
    EXPECT_FALSE(file_exists(scratch / "image.jpg"));
}

TEST(ImageImport, EveryPixelLayoutComesOutRgba)
{
    ScratchFolder scratch;
    const std::vector<uint8_t> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 200, 100, 50};
    const std::vector<uint8_t> palette_pixels = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 200, 100, 50, 255};
    const struct {
        const char* name;
        std::function<bool(const std::string&)> write;
        std::vector<uint8_t> expected;
        int tolerance;
    } cases[] = {
        {"rgb.png", [](const std::string& p) {
             return write_png_fixture(p, {2, 2, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30}, {}, {}});
         }, opaque(kFourPixels), 0},
        {"rgba.png", [](const std::string& p) {
             return write_png_fixture(p, {2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8, kFourPixels, {}, {}});
         }, kFourPixels, 0},
        {"palette.png", [&](const std::string& p) {
             return write_png_fixture(p, {2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2, 3}, palette, {}});
         }, palette_pixels, 0},
        {"palette4.png", [&](const std::string& p) {
             return write_png_fixture(p, {2, 2, PNG_COLOR_TYPE_PALETTE, 4, {0x01, 0x23}, palette, {}});
         }, palette_pixels, 0},
        {"grey.png", [](const std::string& p) {
             return write_png_fixture(p, {2, 2, PNG_COLOR_TYPE_GRAY, 8, {0, 64, 128, 255}, {}, {}});
         }, {0, 0, 0, 255, 64, 64, 64, 255, 128, 128, 128, 255, 255, 255, 255, 255}, 0},
        {"grey16.png", [](const std::string& p) {
             return write_png_fixture(p, {2, 1, PNG_COLOR_TYPE_GRAY, 16, {0x40, 0x00, 0xFF, 0xFF}, {}, {}});
         }, {64, 64, 64, 255, 255, 255, 255, 255}, 0},
        {"grey_alpha.png", [](const std::string& p) {
             return write_png_fixture(p, {2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {100, 255, 200, 50}, {}, {}});
         }, {100, 100, 100, 255, 200, 200, 200, 50}, 0},
        {"indexed.bmp", [&](const std::string& p) {
             return write_bmp8_fixture(p, 2, 2, palette, {0, 1, 2, 3});
         }, palette_pixels, 0},
        // x1r5g5b5: red, green, blue, and half of each; five bits widen to eight.
        {"high.bmp", [](const std::string& p) {
             return write_bmp16_fixture(p, 2, 2, {0x7C00, 0x03E0, 0x001F, 0x4210});
         }, {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 132, 132, 132, 255}, 7},
        {"true.bmp", [](const std::string& p) {
             return export_pixels(p, kFourPixels).written;
         }, opaque(kFourPixels), 0},
    };
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        ASSERT_TRUE(c.write(path)) << c.name;
        const Imported image = import(path);
        EXPECT_EQ(image.output, "") << c.name;
        ASSERT_TRUE(image.has_pixels) << c.name;
        EXPECT_EQ(image.width, 2) << c.name;
        expect_pixels_near(image.rgba, c.expected, c.tolerance, c.name);
    }
}

TEST(ImageImport, PaletteIndexPastThePaletteReadsBlackAndIsReportedOnce)
{
    ScratchFolder scratch;
    const std::string path = scratch / "short_palette.png";
    ASSERT_TRUE(write_png_fixture(path, {2, 2, PNG_COLOR_TYPE_PALETTE, 8, {0, 5, 6, 1}, {9, 9, 9, 7, 7, 7}, {}}));
    const Imported image = import(path);
    ASSERT_TRUE(image.has_pixels) << image.output;
    EXPECT_EQ(image.output, "ERROR: Invalid palette index 5\n");
    expect_pixels_near(image.rgba, {9, 9, 9, 255, 0, 0, 0, 255, 0, 0, 0, 255, 7, 7, 7, 255}, 0, path);
}

// A BMP whose bit count SDL keeps as given: 16385 bits a pixel become a
// surface of 1-bit packed pixels, 65 wide, 3 rows of 12 bytes.
std::string bit_packed_bmp()
{
    std::string info(40, '\0');
    const auto put = [&info](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) info[at + i] = char(value >> (8 * i));
    };
    put(0, 40, 4);
    put(4, 65, 4);
    put(8, uint32_t(-3), 4);  // rows from the top
    put(12, 1, 2);
    put(14, 0x4001, 2);
    std::string file = "BM" + std::string(12, '\0') + info + std::string(48, '\x55');
    file[10] = char(14 + 40);
    return file;
}

TEST(ImageImport, BitPackedPixelsAreRefusedNotOverrun)
{
    ScratchFolder scratch;
    const std::string path = scratch / "packed.bmp";
    write_file(path, bit_packed_bmp());
    const Imported image = import(path);
    EXPECT_FALSE(image.has_pixels);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_EQ(image.output, "ERROR: Unsupported pixel layout: " + path + "\n");
}

TEST(ImageImport, FailuresLeaveNothingAndSayWhy)
{
    ScratchFolder scratch;
    write_file(scratch / "broken.png", "not a picture at all");
    write_file(scratch / "broken.bmp", "BM but nothing else");
    make_folder(scratch / "folder.png");
    const std::string missing_png = scratch / "missing.png";
    const std::string missing_bmp = scratch / "missing.bmp";
    const struct {
        std::string path;
        std::string starts;  // the whole output, or its start when ends is set
        std::string ends;
    } cases[] = {
        {missing_png, "ERROR: File not found: " + missing_png + "\nERROR: Unable to open file: " + missing_png + "\n", ""},
        {missing_bmp, "ERROR: File not found: " + missing_bmp + "\nERROR: File load error\n", ""},
        {scratch / "missing.jpeg", "ERROR: File not found: " + scratch / "missing.jpeg" + "\nERROR: File load error: ",
         " (" + scratch / "missing.jpeg" + ")\n"},
        {scratch / "broken.png", "ERROR: File load error: ", " (" + scratch / "broken.png" + ")\n"},
        {scratch / "broken.bmp", "ERROR: File load error\n", ""},
        {scratch / "folder.png", "ERROR: File load error: ", " (" + scratch / "folder.png" + ")\n"},
        {"a.b", "ERROR: Bitmap could not be imported from format: a.b\n", ""},
        {"pn", "ERROR: Bitmap could not be imported from format: pn\n", ""},
        {"", "ERROR: Bitmap could not be imported from format: \n", ""},
        {scratch / "picture.xcf", "ERROR: Bitmap could not be imported from format: .xcf\n", ""},
    };
    for (const auto& c : cases) {
        const Imported image = import(c.path);
        EXPECT_FALSE(image.has_pixels) << c.path;
        EXPECT_EQ(image.width, 0) << c.path;
        EXPECT_EQ(image.height, 0) << c.path;
        if (c.ends.empty()) {
            EXPECT_EQ(image.output, c.starts) << c.path;
        } else {
            EXPECT_EQ(image.output.rfind(c.starts, 0), 0u) << c.path << ": " << image.output;
            ASSERT_GE(image.output.size(), c.ends.size()) << c.path;
            EXPECT_EQ(image.output.substr(image.output.size() - c.ends.size()), c.ends) << c.path;
        }
    }
}

// 1 x 1 with a two-colour palette, then a graphic control extension.
std::string gif_to_extension()
{
    return std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + std::string("\xFF\xFF\xFF\x00\x00\x00", 6) + "!\xF9";
}

// An image descriptor of the given size at 0, 0, and its data.
std::string gif_image(uint16_t width, uint16_t height = 1, uint8_t code_size = 2)
{
    return std::string("\x2C\x00\x00\x00\x00", 5) + char(width & 0xFF) + char(width >> 8) + char(height & 0xFF) +
           char(height >> 8) + '\0' + char(code_size) + std::string("\x02\x44\x01\x00\x3B", 5);
}

// Files the GIF loader would hang on or crash with are refused before it sees them.
TEST(ImageImport, GifFaultsOfTheLoaderAreRefusedBeforeIt)
{
    ScratchFolder scratch;
    const std::string extension = gif_to_extension() + std::string("\x04\x01\x00\x00\x00\x00", 6);
    const std::string cut_off = "GIF extension cut off by the end of the file";
    const struct {
        const char* name;
        std::string bytes;
        std::string fault;  // empty: the image loads
    } cases[] = {
        {"whole.gif", extension + gif_image(1), ""},
        {"no_block.gif", gif_to_extension(), cut_off},
        {"short_block.gif", gif_to_extension() + "\x04\x01\x00", cut_off},
        {"empty_first_block.gif", gif_to_extension() + std::string(1, '\0'), cut_off},
        {"no_end_block.gif", gif_to_extension() + std::string("\x04\x01\x00\x00\x00", 5), cut_off},
        {"wide.gif", extension + gif_image(16384), "GIF image size out of range"},
        {"widest.gif", extension + gif_image(0xFFFF), "GIF image size out of range"},
        {"too_many_pixels.gif", extension + gif_image(8192, 8193), "GIF image size out of range"},
        {"no_width.gif", extension + gif_image(0, 514), "GIF image size out of range"},
        {"no_height.gif", extension + gif_image(3, 0), "GIF image size out of range"},
        {"code_size.gif", extension + gif_image(1, 1, 13), "GIF code size past 12 bits"},
    };
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        write_file(path, c.bytes);
        // The loader would never return from these; the import runs aside so a hang fails here.
        auto pixels = std::make_shared<std::promise<uint8_t*>>();
        std::future<uint8_t*> imported = pixels->get_future();
        testing::internal::CaptureStdout();
        std::thread([pixels, path] {
            uint16_t width = 0;
            uint16_t height = 0;
            uint8_t* rgba = nullptr;
            trellis::import_image(path.c_str(), &width, &height, &rgba);
            pixels->set_value(rgba);
        }).detach();
        const bool returned = imported.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        const std::string output = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(returned) << c.name << " still loading after 10 s";
        uint8_t* rgba = imported.get();
        EXPECT_EQ(rgba != nullptr, c.fault.empty()) << c.name << ": " << output;
        delete[] rgba;
        if (!c.fault.empty()) {
            EXPECT_EQ(output, "ERROR: File load error: " + c.fault + " (" + path + ")\n");
        }
    }
}

// A TIFF whose pixels cannot be read fails cleanly and keeps nothing of the
// decoder (the sanitizer build sees what a failed read leaves behind).
TEST(ImageImport, TiffReadsGreyAndRefusesACutStrip)
{
    ScratchFolder scratch;
    write_file(scratch / "grey.tif", tiff_grey_2x2());
    const Imported grey = import(scratch / "grey.tif");
    ASSERT_TRUE(grey.has_pixels) << grey.output;
    EXPECT_EQ(grey.width, 2);
    EXPECT_EQ(grey.height, 2);
    EXPECT_EQ(grey.rgba, (std::vector<uint8_t>{0, 0, 0, 255, 85, 85, 85, 255, 170, 170, 170, 255, 255, 255, 255, 255}));

    for (const uint32_t strip_at : {124u, 4000u}) {
        const std::string path = scratch / "cut.tiff";
        write_file(path, tiff_grey_2x2(strip_at));
        const Imported cut = import(path);
        EXPECT_FALSE(cut.has_pixels) << strip_at;
        EXPECT_EQ(cut.width, 0);
        EXPECT_EQ(cut.height, 0);
        EXPECT_EQ(cut.output.rfind("ERROR: File load error: ", 0), 0u) << cut.output;
    }
}

// The same 8 x 8 RGB pixels in one strip, in one 32 x 32 tile and packed
// row by row: the checks that refuse forged directories pass all three. (The
// tile is a multiple of 1024 bytes: libtiff 4.5 refuses an uncompressed tile
// of any other size from a file it reads without mapping it.)
TEST(ImageImport, TiffStripsTilesAndPackedRowsReadTheSamePixels)
{
    std::string pixels(8 * 8 * 3, '\0');
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = char(i * 7 + 3);
    const size_t tile_side = 32;
    std::string tile(tile_side * tile_side * 3, '\0');
    std::string packed;
    for (size_t row = 0; row < 8; ++row) {
        tile.replace(row * tile_side * 3, 8 * 3, pixels, row * 8 * 3, 8 * 3);
        packed += char(8 * 3 - 1) + pixels.substr(row * 8 * 3, 8 * 3);  // one literal run a row
    }
    const uint16_t packbits = 32773;
    std::vector<uint8_t> expected;
    for (size_t i = 0; i < pixels.size(); i += 3)
        expected.insert(expected.end(), {uint8_t(pixels[i]), uint8_t(pixels[i + 1]), uint8_t(pixels[i + 2]), 255});

    ScratchFolder scratch;
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"strip.tif", tiff_one_strip(tiff_rgb_fields(8, 8), uint32_t(pixels.size()), pixels)},
        {"tile.tif", tiff_one_tile(tiff_rgb_fields(8, 8), uint32_t(tile_side), uint32_t(tile.size()), tile)},
        {"packed.tif", tiff_one_strip(tiff_rgb_fields(8, 8, packbits), uint32_t(packed.size()), packed)},
    };
    for (const auto& c : cases) {
        write_file(scratch / c.name, c.bytes);
        const Imported image = import(scratch / c.name);
        ASSERT_TRUE(image.has_pixels) << c.name << ": " << image.output;
        EXPECT_EQ(image.output, "") << c.name;
        EXPECT_EQ(image.width, 8) << c.name;
        EXPECT_EQ(image.height, 8) << c.name;
        EXPECT_EQ(image.rgba, expected) << c.name;
    }
}
