#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/strings.h"

namespace {

// A copy of text in a heap block of exactly its size, so that a read past the
// terminator is caught by the address checker.
std::unique_ptr<char[]> exact_copy(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    return lines;
}

}  // namespace

TEST(StringsHash, PinsTheNameHash)
{
    struct Case {
        const char* text;
        uint32_t hash;
    } cases[] = {
        {"", 0u},
        {"abc", 44819082u},
        {"ABC", 30122250u},  // case-sensitive
        {"CloseGraphics", 4031601713u},
        // Bytes above 127 count as negative: 0xFF is -1, 0xE9 is -23.
        {"\xff", 0xFFFF119Fu},
        {"caf\xe9", 89158959u},
        // Long texts wrap around in 32 bits.
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", 4294658056u},
    };
    for (const Case& c : cases) EXPECT_EQ(__mystring_hash(c.text), c.hash) << '"' << c.text << '"';
}

TEST(StringsCase, FoldsOnlyAsciiLetters)
{
    // '@' '[' '`' '{' sit next to the letters; 0xE9 is not an ASCII letter.
    char upper[] = "Hello, World! @[`{ z\xe9";
    __mystring_upper_case(upper);
    EXPECT_STREQ(upper, "HELLO, WORLD! @[`{ Z\xe9");

    char lower[] = "Hello, World! @[`{ Z\xc9";
    __mystring_lower_case(lower);
    EXPECT_STREQ(lower, "hello, world! @[`{ z\xc9");
}

TEST(StringsCopy, CopiesAtMostSizeMinusOneBytes)
{
    struct Case {
        const char* source;
        uint16_t size;
        const char* expected;
    } cases[] = {
        {"abcdef", 4, "abc"}, {"ab", 4, "ab"},   {"abc", 4, "abc"}, {"abcdef", 1, ""},
        {"", 4, ""},          {"abcdef", 7, "abcdef"},
    };
    for (const Case& c : cases) {
        // The destination is exactly size bytes: nothing may be written past it.
        std::unique_ptr<char[]> destination(new char[c.size]);
        memset(destination.get(), 'x', c.size);
        EXPECT_EQ(__mystring_string_copy(destination.get(), c.source, c.size), destination.get());
        EXPECT_STREQ(destination.get(), c.expected) << c.source << " size " << c.size;
    }
}

TEST(StringsCopy, SizeZeroMeansNoLimit)
{
    char destination[16];
    memset(destination, 'x', sizeof destination);
    EXPECT_EQ(__mystring_string_copy(destination, "abcdef", 0), destination);
    EXPECT_STREQ(destination, "abcdef");
    EXPECT_EQ(destination[7], 'x');  // only the text and its terminator are written
}

TEST(StringsEqual, FoldsAsciiCaseAndComparesLengths)
{
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    } cases[] = {
        {"Module", "MODULE", true}, {"abc", "abcd", false}, {"abcd", "abc", false}, {"", "", true},
        {"", "a", false},           {"[", "{", false},      {"@", "`", false},      {"\xc9", "\xe9", false},
        {"a-b", "A-B", true},       {"abc", "abd", false},
    };
    for (const Case& c : cases) EXPECT_EQ(__mystring_string_equal(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(StringsTextSize, CountsVisibleCharactersAndLines)
{
    struct Case {
        std::string text;
        int width;
        int lines;
    } cases[] = {
        {"", 0, 1},
        {"ab\ncde", 3, 2},
        {"abcd\nx", 4, 2},
        {"abc\n", 3, 2},
        {"#C5558abc", 3, 1},
        {"a##b", 3, 1},
        {"###C5558a", 2, 1},  // one visible '#', then an escape
        {"ab#C5558\n#C1234xyzw", 4, 2},
        // An escape cut short by the end of the text stops at the terminator.
        {"ab#C5", 2, 1},
        {"ab#", 2, 1},
        {"a##", 2, 1},
        {"#", 0, 1},
    };
    for (const Case& c : cases) {
        auto text = exact_copy(c.text);
        int width = -1, lines = -1;
        __mystring_extract_width_and_height_from_string(text.get(), &width, &lines);
        EXPECT_EQ(width, c.width) << '"' << c.text << '"';
        EXPECT_EQ(lines, c.lines) << '"' << c.text << '"';
    }
}

TEST(StringsTextSize, PositionsDoNotWrapAtSixteenBits)
{
    const std::string text = std::string(70000, 'x') + "\nab\n" + std::string(66000, 'y');
    int width = 0, lines = 0;
    __mystring_extract_width_and_height_from_string(text.c_str(), &width, &lines);
    EXPECT_EQ(width, 70000);
    EXPECT_EQ(lines, 3);
}

TEST(StringsRoman, WritesGreedyNumeralsWithSubtractivePairs)
{
    struct Case {
        uint16_t number;
        std::string text;
    } cases[] = {
        {0, ""},     {1, "I"},      {4, "IV"},         {9, "IX"},
        {14, "XIV"}, {40, "XL"},    {90, "XC"},        {400, "CD"},
        {1994, "MCMXCIV"}, {3999, "MMMCMXCIX"}, {65535, std::string(65, 'M') + "DXXXV"},
    };
    for (const Case& c : cases) {
        char out[256];
        memset(out, 'x', sizeof out);
        EXPECT_EQ(__mystring_convert_to_roman_numeral(out, c.number), int16_t(c.text.size())) << c.number;
        EXPECT_EQ(std::string(out), c.text) << c.number;
    }
}

TEST(StringsAutoNewline, BreaksAfterTheLastNonLetter)
{
    struct Case {
        std::string text;
        uint32_t width;
        std::string expected;
    } cases[] = {
        {"", 5, ""},
        {"short", 10, "short"},
        {"the quick brown fox", 10, "the quick \nbrown fox"},
        {"one, two, three", 6, "one, \ntwo, \nthree"},
        // A word longer than the line is cut where the line is full, never
        // with a second break at the place of the first.
        {"ab cdefghij", 4, "ab \ncdef\nghij"},
        // A cut at the very end of the text adds no break there.
        {"go team", 4, "go \nteam"},
        {"ab, ", 4, "ab, "},
        // With no break position at all the first break goes to the start
        // of the text, and the word is still cut to the width.
        {"abcdefgh", 3, "\nabc\ndef\ngh"},
        // Width 0 would never be reached: the text stays as it is.
        {"hello", 0, "hello"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(__mystring_auto_newline(text, c.width), uint32_t(c.expected.size())) << c.text;
        EXPECT_EQ(text, c.expected) << c.text << " width " << c.width;
    }
}

TEST(StringsAutoNewline, EndsWithShortLinesAndSingleBreaks)
{
    const std::string texts[] = {
        "abcdefghijklmnopqrstuvwxyz",
        "a bb ccc dddd eeeee ffffff ggggggg",
        "Lorem ipsum dolor sit amet, consectetur adipiscing elit.",
        "x,y;z  wide   gaps",
        "a",
    };
    for (const std::string& original : texts) {
        for (uint32_t width = 1; width <= 8; ++width) {
            std::string text = original;
            const uint32_t length = __mystring_auto_newline(text, width);
            EXPECT_EQ(length, text.size());

            std::string without_breaks;
            for (char c : text)
                if (c != '\n') without_breaks += c;
            EXPECT_EQ(without_breaks, original) << "only breaks are inserted";
            EXPECT_EQ(text.find("\n\n"), std::string::npos) << '"' << text << "\" width " << width;
            EXPECT_NE(text.back(), '\n') << '"' << text << "\" width " << width;
            // Breaks fall after spaces and punctuation, so a line may run
            // one past the width only with the non-letter it breaks after.
            for (const std::string& line : lines_of(text)) {
                if (line.size() <= width) continue;
                EXPECT_EQ(line.size(), width + 1) << '"' << text << "\" width " << width;
                EXPECT_FALSE(isalpha(static_cast<unsigned char>(line.back()))) << '"' << text << "\" width " << width;
            }
        }
    }
}
