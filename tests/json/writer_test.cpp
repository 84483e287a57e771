// The writer's text for each kind and option, and round trips through it.
#include "json_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

std::string write_string(const std::string& bytes, bool escape_slash = false)
{
    cson_value* v = cson_value_new_string(bytes.data(), uint32_t(bytes.size()));
    const std::string text = write_text(v, cson_output_opt{0, 0, false, false, false, escape_slash});
    cson_value_free(v);
    return text;
}

std::string write_double(double d)
{
    cson_value* v = cson_value_new_double(d);
    const std::string text = write_text(v);
    cson_value_free(v);
    return text;
}

TEST(JsonWriter, Scalars)
{
    cson_value* empty_object = cson_value_new_object();
    EXPECT_EQ(write_text(empty_object), "{}");
    cson_value_free(empty_object);
    cson_value* empty_array = cson_value_new_array();
    EXPECT_EQ(write_text(empty_array), "[]");
    cson_value_free(empty_array);
    EXPECT_EQ(write_string(""), "\"\"");
    EXPECT_EQ(write_string("\t"), "\"\\t\"");
    EXPECT_EQ(write_double(1.5), "1.5");
    EXPECT_EQ(write_double(2.0), "2.0");
    EXPECT_EQ(write_double(-0.0), "-0.0");
    EXPECT_EQ(write_double(0.1), "0.1");
    EXPECT_EQ(write_double(1e-10), "1e-10");
    EXPECT_EQ(write_double(std::nan("")), "null");
    EXPECT_EQ(write_double(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(write_double(-std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(write_text(cson_value_null()), "null");
    EXPECT_EQ(write_text(cson_value_undef()), "null");
    EXPECT_EQ(write_text(cson_value_true()), "true");
    EXPECT_EQ(write_text(cson_value_false()), "false");
    cson_value* i = cson_value_new_integer(INT32_MIN);
    EXPECT_EQ(write_text(i), "-2147483648");
    cson_value_free(i);
}

TEST(JsonWriter, StringEscapes)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"\b\f\n\r\t", "\"\\b\\f\\n\\r\\t\""},
        {"\x01\x1f", "\"\\u0001\\u001f\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"a/b", "\"a/b\""},
        {"\x7f", "\"\x7f\""},
        {"\xc3\xa9", "\"\\u00e9\""},
        {"\xe2\x82\xac", "\"\\u20ac\""},
        {"\xf0\x9f\x98\x80", "\"\\ud83d\\ude00\""},  // beyond four hex digits: a surrogate pair
        {"\xf4\x8f\xbf\xbf", "\"\\udbff\\udfff\""},
        // bad forms become U+FFFD
        {"\x80", "\"\\ufffd\""},
        {"a\xc3", "\"a\\ufffd\""},            // truncated at the end
        {"\xe2\x82", "\"\\ufffd\""},          // truncated at the end
        {"\xe2\x82x", "\"\\ufffdx\""},        // cut short by another character
        {"\xc0\xaf", "\"\\ufffd\""},          // overlong
        {"\xed\xa0\x80", "\"\\ufffd\""},      // a surrogate
        {"\xef\xbf\xbf", "\"\\ufffd\""},      // U+FFFF
        {"\xf4\x90\x80\x80", "\"\\ufffd\""},  // beyond U+10FFFF
        {"\xff\x80", "\"\\ufffd\""},
    };
    for (const auto& c : cases) EXPECT_EQ(write_string(c.first), c.second) << c.first;
    EXPECT_EQ(write_string("a/b", true), "\"a\\/b\"");
}

TEST(JsonWriter, Layout)
{
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text("{\"a\":1,\"b\":[true,{}],\"c\":{\"d\":null}}", &v), 0);
    EXPECT_EQ(write_text(v), "{\"a\":1,\"b\":[true,{}],\"c\":{\"d\":null}}");
    EXPECT_EQ(write_text(v, cson_output_opt{2, 0, true, true, false, false}),
              "{\n  \"a\": 1,\n  \"b\": [\n    true,\n    {}\n  ],\n  \"c\": {\"d\": null}\n}\n");
    EXPECT_EQ(write_text(v, cson_output_opt{1, 0, false, false, true, false}),
              "{\n\t\"a\":1,\n\t\"b\":[\n\t\ttrue,\n\t\t{}\n\t],\n\t\"c\":{\n\t\t\"d\":null\n\t}\n}");
    EXPECT_EQ(write_text(v, cson_output_opt{0, 2, false, false, false, false}), "rc=2");  // {"b":[{}]} is 3 deep
    EXPECT_EQ(write_text(v, cson_output_opt{0, 3, false, false, false, false}).substr(0, 5), "{\"a\":");
    cson_value_free(v);
    EXPECT_EQ(cson_output(nullptr, cson_data_dest_buffer, nullptr, nullptr), cson_rc_ArgError);
}

TEST(JsonWriter, RoundTrips)
{
    const std::vector<std::string> documents = {
        "[]",
        "{}",
        "[0,-1,2147483647,-2147483648,4294967296,0.5,-0.0,1e300,5e-324,2.2250738585072014e-308,0.30000000000000004]",
        "{\"s\":\"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u0001\\u0000\",\"u\":\"\\u00e9\\u20ac\\ud83d\\ude00\\ufffd\"}",
        "{\"a\":{\"b\":{\"c\":[[[[]]],{}]}},\"d\":[true,false,null],\"\":\"\"}",
        "[\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\",\"/a/\",123.456,1.7976931348623157e308,[1,[2,[3]]]]",
        "\"top\"",
        "-12.5e-3",
    };
    const std::vector<cson_output_opt> layouts = {
        {0, 0, false, false, false, false},
        {1, 0, true, true, true, true},
        {4, 0, false, true, false, false},
    };
    for (const std::string& text : documents) {
        cson_value* first = nullptr;
        ASSERT_EQ(parse_text(text, &first), 0) << text;
        for (const cson_output_opt& layout : layouts) {
            const std::string written = write_text(first, layout);
            cson_value* second = nullptr;
            ASSERT_EQ(parse_text(written, &second), 0) << written;
            EXPECT_TRUE(same_value(first, second)) << text << " -> " << written;
            EXPECT_EQ(write_text(second, layout), written);
            cson_value_free(second);
        }
        cson_value_free(first);
    }
}

TEST(JsonWriter, FilesAndStreams)
{
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text("{\"k\":[1,2]}", &v), 0);
    const std::string path = testing::TempDir() + "json_writer_test.json";
    ASSERT_EQ(cson_output_filename(v, path.c_str(), nullptr), 0);
    cson_value* back = nullptr;
    ASSERT_EQ(cson_parse_filename(&back, path.c_str(), nullptr, nullptr), 0);
    EXPECT_TRUE(same_value(v, back));
    FILE* f = fopen(path.c_str(), "rb");
    char text[64] = {};
    fread(text, 1, sizeof(text) - 1, f);
    fclose(f);
    EXPECT_STREQ(text, "{\"k\":[1,2]}");
    remove(path.c_str());
    EXPECT_EQ(cson_output_filename(v, "/nonexistent-folder/x.json", nullptr), cson_rc_IOError);
    cson_value_free(v);
    cson_value_free(back);
}

int failing_dest(void*, const void*, unsigned) { return cson_rc_IOError; }

TEST(JsonWriter, OutputFailureIsReported)
{
    cson_value* v = cson_value_new_string("x", 1);
    const cson_output_opt opt{0, 0, false, false, false, false};
    EXPECT_EQ(cson_output(v, failing_dest, nullptr, &opt), cson_rc_IOError);
    cson_value_free(v);
}

}  // namespace
