// Glyph text on a coded sheet: each cell's green channel is its character,
// so a pixel tells which cell was drawn there and in what colour.
#include "base/vector.h"
#include "tests/support/trellis_window.h"

namespace {

constexpr int kCell = 16;

}  // namespace

class GlyphText : public TrellisWindow {
protected:
    void SetUp() override
    {
        TrellisWindow::SetUp();
        sheet = coded_glyph_sheet();
        graphics->bind_texture(sheet, 0);
    }

    // Draws at (8, 8) with 16-pixel cells and advance.
    FrameStatistics draw(const char* text, cColor color, int cursor = -1, bool underscores_as_spaces = false,
                         bool grey = false, bool masked = false)
    {
        end_frame();
        cVector2D<int32_t> size(kCell, kCell), advance(kCell, kCell);
        graphics->draw_glyph_text(8, 8, &size, &advance, text, &color, cursor, false, underscores_as_spaces, grey,
                                  masked);
        FrameStatistics counted = end_frame();
        graphics->draw_glyph_text(8, 8, &size, &advance, text, &color, cursor, false, underscores_as_spaces, grey,
                                  masked);
        return counted;
    }

    // The middle of the cell at column, line.
    Pixel cell(int column, int line) const { return pixel(8 + column * kCell + 8, 8 + line * kCell + 8); }

    int sheet = -1;
};

TEST_F(GlyphText, CharactersLandInTheirCellsAndCount)
{
    const FrameStatistics stats = draw("AB\nC\xC9", white);
    EXPECT_EQ(stats.draw_calls, 1);
    EXPECT_EQ(stats.vertices, 16);
    EXPECT_EQ(stats.triangles, 8);
    expect_pixel(cell(0, 0), {255, 'A', 255, 255}, 0, "A");
    expect_pixel(cell(1, 0), {255, 'B', 255, 255}, 0, "B");
    expect_pixel(cell(0, 1), {255, 'C', 255, 255}, 0, "C on the next line");
    expect_pixel(cell(1, 1), {255, 0xC9, 255, 255}, 0, "a character above 127");
    expect_pixel(cell(2, 0), {0, 0, 0, 255}, 0, "nothing after B");
    // Each glyph fills exactly its 16 x 16 cell.
    expect_pixel(pixel(8, 8), {255, 'A', 255, 255}, 0, "A's first pixel");
    expect_pixel(pixel(7, 8), {0, 0, 0, 255}, 0, "left of A");
    expect_pixel(pixel(8, 7), {0, 0, 0, 255}, 0, "above A");
}

TEST_F(GlyphText, EscapesSetColoursColumnsAndHashSigns)
{
    const struct {
        const char* text;
        int column, line;
        Pixel expected;
    } cases[] = {
        {"A#C8008B", 1, 0, {255, 0, 0, 255}},        // red alone: B's green is gone
        {"A#C0808B", 1, 0, {0, 'B', 0, 255}},        // green alone
        {"A#C8881B", 1, 0, {32, 'B' / 8, 32, 255}},  // an eighth of white
        {"A#C8888B", 1, 0, {255, 'B', 255, 255}},    // full intensity
        {"A##B", 1, 0, {255, '#', 255, 255}},        // "##" is one '#'
        {"A##B", 2, 0, {255, 'B', 255, 255}},
        {"ab#Pc", 4, 0, {255, 'c', 255, 255}},       // on the first line: column 4, same line
        {"a\nb#Pc", 4, 2, {255, 'c', 255, 255}},     // past column 0 of line 1: the next line
        {"a\n#Pc", 4, 1, {255, 'c', 255, 255}},      // at column 0: the same line
        {"A#Q", 1, 0, {255, '#', 255, 255}},         // any other '#' is drawn
    };
    for (const auto& c : cases) {
        draw(c.text, white);
        expect_pixel(cell(c.column, c.line), c.expected, 1, c.text);
    }
}

TEST_F(GlyphText, ColourAlphaGreyAndMasks)
{
    draw("A", cColor(1, 0.5f, 0, 0.5f));
    expect_pixel(cell(0, 0), {128, 'A' / 4, 0, 255}, 1, "colour times its alpha");
    draw("A", cColor(1, 0, 0, 0.5f), -1, false, true);
    expect_pixel(cell(0, 0), {128, 'A' / 2, 128, 255}, 1, "grey is the alpha alone");
    draw("A#C8008B", cColor(1, 1, 1, 0.5f), -1, false, true);
    expect_pixel(cell(1, 0), {128, 'B' / 2, 128, 255}, 1, "a grey escape is its intensity times the alpha");
    const FrameStatistics masked = draw("abcde", white, -1, false, false, true);
    EXPECT_EQ(masked.vertices, 20);
    for (int column = 0; column < 5; ++column)
        expect_pixel(cell(column, 0), {255, '*', 255, 255}, 0, "masked column " + std::to_string(column));
    draw("a_b", white, -1, true);
    expect_pixel(cell(1, 0), {0, 0, 0, 255}, 0, "underscore drawn as the blank");
    draw("a_b", white);
    expect_pixel(cell(1, 0), {255, '_', 255, 255}, 0, "underscore kept");
}

TEST_F(GlyphText, CursorIsOneMoreGlyph)
{
    EXPECT_EQ(draw("ab", white, 2).vertices, 12);
    expect_pixel(cell(2, 0), {255, '_', 255, 255}, 0, "cursor after the text");
    EXPECT_EQ(draw("ab", white, 1).vertices, 12);
    EXPECT_EQ(draw("ab", white, 5).vertices, 8);
    EXPECT_EQ(draw("", white, 0).vertices, 4);
    expect_pixel(cell(0, 0), {255, '_', 255, 255}, 0, "cursor alone");
}

TEST_F(GlyphText, ShortColourEscapeStopsAtTheEnd)
{
    const char* const texts[] = {"A#C", "A#C1", "A#C12", "A#C123"};
    for (const char* text : texts) {
        EXPECT_EQ(draw(text, white).vertices, 4) << text;
        expect_pixel(cell(0, 0), {255, 'A', 255, 255}, 0, text);
        expect_pixel(cell(1, 0), {0, 0, 0, 255}, 0, text);
    }
}

// "ABC" centred on (160, 120): across by advance (3 - 1) / 2 + half a glyph,
// up by half a glyph.
TEST_F(GlyphText, CentredTextSitsOnThePoint)
{
    cVector2D<int32_t> size(kCell, kCell), advance(kCell, kCell);
    graphics->draw_glyph_text(160, 120, &size, &advance, "ABC", &white, -1, true, false, false, false);
    expect_pixel(pixel(136, 112), {255, 'A', 255, 255}, 0, "first pixel of A");
    expect_pixel(pixel(135, 112), {0, 0, 0, 255}, 0, "left of A");
    expect_pixel(pixel(183, 127), {255, 'C', 255, 255}, 0, "last pixel of C");
    expect_pixel(pixel(184, 127), {0, 0, 0, 255}, 0, "right of C");
    expect_pixel(pixel(160, 111), {0, 0, 0, 255}, 0, "above");
    clear_to(0);
    graphics->draw_glyph_text(160, 120, &size, &advance, "A\nB", &white, -1, true, false, false, false);
    expect_pixel(pixel(152, 104), {255, 'A', 255, 255}, 0, "two lines: A's first pixel");
    expect_pixel(pixel(167, 135), {255, 'B', 255, 255}, 0, "two lines: B's last pixel");
}
