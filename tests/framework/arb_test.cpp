#include <gtest/gtest.h>

#include <memory>

#include "framework/arb.h"
#include "tests/support/scratch.h"

namespace {

struct Parsed {
    std::unique_ptr<cArbData> root;
    std::string output;
};

Parsed parse(const std::string& text)
{
    ScratchFolder scratch;
    write_file(scratch / "rules.ini", text);
    testing::internal::CaptureStdout();
    Parsed parsed;
    parsed.root = std::make_unique<cArbData>(scratch / "rules.ini");
    parsed.output = testing::internal::GetCapturedStdout();
    return parsed;
}

std::string text_of(const cArbData* node, const char* field)
{
    const cArbElement* element = node ? node->field(field) : nullptr;
    return element ? element->join() : "(none)";
}

}  // namespace

TEST(Arb, ParsesFieldsListsAndChildren)
{
    const Parsed parsed = parse("  \n\ta 1 b < x y z > c { d 2 e{ f 3 } } g 12abc h 2.5 i abc");
    EXPECT_EQ(parsed.output, "");
    const cArbData* root = parsed.root.get();
    EXPECT_EQ(root->name, "ROOT");
    EXPECT_EQ(text_of(root, "a"), "1");
    ASSERT_NE(root->field("b"), nullptr);
    EXPECT_EQ(root->field("b")->count(), 3);
    EXPECT_EQ(text_of(root, "b"), "x y z");
    EXPECT_EQ(*root->field("b")->next->name, "b");
    EXPECT_EQ(text_of(root->child("c"), "d"), "2");
    EXPECT_EQ(text_of(root->child("c")->child("e"), "f"), "3");
    EXPECT_EQ(root->field("g")->int_value, 12);
    EXPECT_EQ(root->field("i")->int_value, 0);
    EXPECT_FLOAT_EQ(root->field("h")->float_value, 2.5f);
    EXPECT_EQ(root->children.count(), 1u);
    EXPECT_EQ(root->field("d"), nullptr);
}

TEST(Arb, MessagesAndRecovery)
{
    const struct {
        const char* text;
        const char* output;
        const char* field;  // looked up in the root afterwards
        const char* value;
    } cases[] = {
        {"# skip keep 5", "", "keep", "5"},
        {"# skip keep 5", "", "skip", "(none)"},
        {"Servers < a > Servers < b >", "ERROR: ARB - Entry already exists for field Servers\n", "Servers", "a"},
        {"c { } c { x 1 }", "ERROR: ARB - Entry already exists for child c\n", "c", "(none)"},
        {"a } b 2", "ERROR: ARB - unexpected close brace in data start inside: ROOT\n", "b", "2"},
        {"a 1 } b 2", "", "b", "(none)"},
        {"< 1 x 2", "ERROR: ARB - unexpected open brace in name area inside: ROOT\n", "x", "2"},
        {"> 1", "ERROR: ARB - unexpected close brace in name area inside: ROOT\n", ">", "1"},
        {"list < a b c", "", "list", "a b c"},
        {"empty < > after 1", "", "after", "1"},
        {"", "", "a", "(none)"},
        {"   ", "", "a", "(none)"},
        {"lonely", "", "lonely", "(none)"},
        {"open { x 1", "", "open", "(none)"},
    };
    for (const auto& c : cases) {
        const Parsed parsed = parse(c.text);
        EXPECT_EQ(parsed.output, c.output) << c.text;
        EXPECT_EQ(text_of(parsed.root.get(), c.field), c.value) << c.text;
    }
}

TEST(Arb, UnterminatedChildEndsAtTheEndOfTheText)
{
    const Parsed parsed = parse("open { x 1");
    EXPECT_EQ(text_of(parsed.root->child("open"), "x"), "1");
}

TEST(Arb, LongTokensAreCut)
{
    const Parsed parsed = parse(std::string(600, 'n') + " 1 long " + std::string(600, 'v'));
    EXPECT_EQ(text_of(parsed.root.get(), std::string(511, 'n').c_str()), "1");
    EXPECT_EQ(text_of(parsed.root.get(), "long"), std::string(511, 'v'));
}

TEST(Arb, DeepNestingIsDroppedNotFollowed)
{
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "n { ";
    text += "x 1 ";
    for (int i = 0; i < 5000; ++i) text += "} ";
    text += "after 2";
    const Parsed parsed = parse(text);
    EXPECT_NE(parsed.output.find("ERROR: ARB - nesting too deep"), std::string::npos);
    EXPECT_EQ(text_of(parsed.root.get(), "after"), "2");
}

// The text is read by its length: a 0 byte is dropped from the token it
// stands in and ends nothing.
TEST(Arb, ZeroBytesInsideATokenAreSkipped)
{
    const Parsed parsed = parse(std::string("a 1\0x b 2 c\0\0 3 d { e\0 4 } f 5", 30));
    EXPECT_EQ(parsed.output, "");
    const cArbData* root = parsed.root.get();
    EXPECT_EQ(text_of(root, "a"), "1x");
    EXPECT_EQ(text_of(root, "b"), "2");
    EXPECT_EQ(text_of(root, "c"), "3");
    EXPECT_EQ(text_of(root->child("d"), "e"), "4");
    EXPECT_EQ(text_of(root, "f"), "5");
}

TEST(Arb, MissingFileGivesAnEmptyRoot)
{
    testing::internal::CaptureStderr();
    cArbData root("/nonexistent/rules.ini");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(root.fields.count(), 0u);
    EXPECT_EQ(get_dont_load_textures(&root), "");
}
