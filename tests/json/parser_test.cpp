// The parser against a table of valid and invalid documents (RFC 8259's
// grammar), its error codes, nesting limits and positions.
#include "json_support.h"
#include "json/buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct Refused {
    std::string text;
    int code;
};

TEST(JsonParser, RefusesBadDocumentsWithTheirCodes)
{
    const std::vector<Refused> cases = {
        // the table
        {"[1}", cson_rc_Parse_UNBALANCED_COLLECTION},
        {"{1:1}", cson_rc_Parse_EXPECTED_KEY},
        {"{\"a\" 1}", cson_rc_Parse_EXPECTED_COLON},
        {"[tru]", cson_rc_Parse_INVALID_KEYWORD},
        {"[01]", cson_rc_Parse_INVALID_NUMBER},
        {"[\"\\q\"]", cson_rc_Parse_INVALID_ESCAPE_SEQUENCE},
        {"[\"\\udc00\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {std::string("[\"a\x01\"]"), cson_rc_Parse_INVALID_CHAR},
        // structure
        {"{\"a\":1]", cson_rc_Parse_UNBALANCED_COLLECTION},
        {"[1]]", cson_rc_Parse_UNBALANCED_COLLECTION},
        {"[1,]", cson_rc_Parse_INVALID_CHAR},
        {"[,1]", cson_rc_Parse_INVALID_CHAR},
        {"[1 2]", cson_rc_Parse_INVALID_CHAR},
        {"{\"a\":1,}", cson_rc_Parse_EXPECTED_KEY},
        {"{,}", cson_rc_Parse_EXPECTED_KEY},
        {"{'a':1}", cson_rc_Parse_EXPECTED_KEY},
        {"{\"a\"::1}", cson_rc_Parse_INVALID_CHAR},
        {"{\"a\":1 \"b\":2}", cson_rc_Parse_INVALID_CHAR},
        {"{\"a\"}", cson_rc_Parse_EXPECTED_COLON},
        {"[] []", cson_rc_Parse_INVALID_CHAR},
        {"[]x", cson_rc_Parse_INVALID_CHAR},
        {"1,2", cson_rc_Parse_INVALID_CHAR},
        {"[", cson_rc_Parse_UNBALANCED_COLLECTION},
        {"{\"a\":", cson_rc_Parse_UNBALANCED_COLLECTION},
        {"[\"abc", cson_rc_Parse_UNBALANCED_COLLECTION},
        {"/* c */[]", cson_rc_Parse_INVALID_CHAR},
        {"[1]/", cson_rc_Parse_INVALID_CHAR},
        // keywords
        {"[nul]", cson_rc_Parse_INVALID_KEYWORD},
        {"[fals]", cson_rc_Parse_INVALID_KEYWORD},
        {"[True]", cson_rc_Parse_INVALID_CHAR},
        {"[truex]", cson_rc_Parse_INVALID_CHAR},
        {"[NaN]", cson_rc_Parse_INVALID_CHAR},
        {"[Infinity]", cson_rc_Parse_INVALID_CHAR},
        {"tr", cson_rc_Parse_INVALID_KEYWORD},
        // numbers
        {"[-]", cson_rc_Parse_INVALID_NUMBER},
        {"[-a]", cson_rc_Parse_INVALID_NUMBER},
        {"[1.]", cson_rc_Parse_INVALID_NUMBER},
        {"[1.e3]", cson_rc_Parse_INVALID_NUMBER},
        {"[.5]", cson_rc_Parse_INVALID_CHAR},
        {"[+1]", cson_rc_Parse_INVALID_CHAR},
        {"[1e]", cson_rc_Parse_INVALID_NUMBER},
        {"[1e+]", cson_rc_Parse_INVALID_NUMBER},
        {"[1.5e3.2]", cson_rc_Parse_INVALID_NUMBER},
        {"[00]", cson_rc_Parse_INVALID_NUMBER},
        {"[-01]", cson_rc_Parse_INVALID_NUMBER},
        {"[0x1]", cson_rc_Parse_INVALID_NUMBER},
        {"[1a]", cson_rc_Parse_INVALID_NUMBER},
        {"-", cson_rc_Parse_INVALID_NUMBER},
        {"1.", cson_rc_Parse_INVALID_NUMBER},
        // strings, escapes and surrogates
        {"[\"a\tb\"]", cson_rc_Parse_INVALID_CHAR},
        {"[\"a\nb\"]", cson_rc_Parse_INVALID_CHAR},
        {std::string("[\"a\0b\"]", 7), cson_rc_Parse_INVALID_CHAR},
        {"['a']", cson_rc_Parse_INVALID_CHAR},
        {"[\"\\x41\"]", cson_rc_Parse_INVALID_ESCAPE_SEQUENCE},
        {"[\"\\U0041\"]", cson_rc_Parse_INVALID_ESCAPE_SEQUENCE},
        {"[\"\\u12G4\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {"[\"\\u12\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {"[\"\\ud800\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {"[\"\\ud800x\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {"[\"\\ud800\\n\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {"[\"\\ud800\\ud800\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        {"[\"\\ud800\\u0041\"]", cson_rc_Parse_INVALID_UNICODE_SEQUENCE},
        // characters outside strings
        {"[\xc3\xa9]", cson_rc_Parse_INVALID_CHAR},
        {"\xef\xbb\xbf[]", cson_rc_Parse_INVALID_CHAR},
        {"[\x0c]", cson_rc_Parse_INVALID_CHAR},
    };
    for (const Refused& c : cases) {
        cson_value* v = nullptr;
        // Texts in memory shorter than two characters are refused as too short.
        EXPECT_EQ(parse_text(c.text, &v), c.text.size() < 2 ? cson_rc_RangeError : c.code) << c.text;
        EXPECT_EQ(v, nullptr) << c.text;
        EXPECT_EQ(parse_stream(c.text, &v), c.code) << "stream: " << c.text;
        EXPECT_EQ(v, nullptr) << c.text;
    }
}

TEST(JsonParser, AcceptsValidDocuments)
{
    const std::vector<std::string> cases = {
        "[]", "{}", "[[]]", "[{}]", "{\"\":0}", "[1]", "[-0]", "[0]", "[0.5]", "[-0.0e0]", "[1e5]", "[1E+5]",
        "[1e-5]", "[10E05]", "[-1.25e-3]", "[123456789]", "[2147483647]", "[-2147483648]", "[2147483648]",
        "[12345678901234567890123]", "[1.7976931348623157e308]", "[5e-324]", "[\"\"]", "[\"a\\\"b\"]",
        "[\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"]", "[\"\\u0041\\u00e9\\u20AC\"]", "[\"\\u0000\"]", "[\"\\ud83d\\ude00\"]",
        "[\"\\uDBFF\\uDFFF\"]", "[\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\"]", "[\"\x7f\"]", "[\"/\"]",
        " \t\n\r[ \t\n\r1 \t\n\r, 2 ] \r\n", "{\"a\":{\"b\":[true,false,null]}}", "[true,false,null]",
        "{ \"a\" : 1 , \"b\" : [ ] }", "12", "-1", "\"ab\"", "true", "null", "false", "1.5", " 7 ",
    };
    for (const std::string& text : cases) {
        cson_value* v = nullptr;
        EXPECT_EQ(parse_text(text, &v), 0) << text;
        EXPECT_NE(v, nullptr) << text;
        cson_value* w = nullptr;
        EXPECT_EQ(parse_stream(text, &w), 0) << "stream: " << text;
        EXPECT_TRUE(same_value(v, w)) << text;
        cson_value_free(v);
        cson_value_free(w);
    }
}

TEST(JsonParser, BuildsTheValuesItReads)
{
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text("{\"i\":-42,\"big\":3000000000,\"d\":0.25,\"e\":1E2,\"s\":\"a\\u00e9\\ud83d\\ude00\","
                         "\"n\":null,\"t\":true,\"f\":false,\"a\":[1,[2]],\"dup\":1,\"dup\":2,\"z\":\"\\u0000x\"}",
                         &v),
              0);
    const cson_object* o = cson_value_get_object(v);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(cson_value_get_integer(cson_object_get(o, "i")), -42);
    EXPECT_TRUE(cson_value_is_double(cson_object_get(o, "big")));
    EXPECT_EQ(cson_value_get_double(cson_object_get(o, "big")), 3000000000.0);
    EXPECT_EQ(cson_value_get_double(cson_object_get(o, "d")), 0.25);
    EXPECT_EQ(cson_value_get_double(cson_object_get(o, "e")), 100.0);
    EXPECT_STREQ(cson_value_get_cstr(cson_object_get(o, "s")), "a\xc3\xa9\xf0\x9f\x98\x80");
    EXPECT_TRUE(cson_value_is_null(cson_object_get(o, "n")));
    EXPECT_TRUE(cson_value_get_bool(cson_object_get(o, "t")));
    EXPECT_TRUE(cson_value_is_bool(cson_object_get(o, "f")));
    EXPECT_FALSE(cson_value_get_bool(cson_object_get(o, "f")));
    EXPECT_EQ(cson_value_get_integer(cson_object_get_sub(o, "/dup", '/')), 2);  // the later one wins
    EXPECT_EQ(cson_object_length_get(o), 11u);
    const cson_string* z = cson_value_get_string(cson_object_get(o, "z"));
    EXPECT_EQ(cson_string_length_bytes(z), 2u);
    EXPECT_EQ(cson_value_refcount(v), 0u);
    cson_value_free(v);
}

TEST(JsonParser, NumbersConvertExactly)
{
    const std::vector<std::pair<std::string, double>> cases = {
        {"0.1", 0.1}, {"1.7976931348623157e308", 1.7976931348623157e308}, {"2.2250738585072014e-308", 2.2250738585072014e-308},
        {"123456789012345678", 123456789012345678.0}, {"0.000001", 1e-6}, {"-3.25E-2", -3.25e-2},
        {"9007199254740993", 9007199254740993.0}, {"1e22", 1e22}, {"1e23", 1e23}, {"4.9e-324", 4.9e-324},
    };
    for (const auto& c : cases) {
        cson_value* v = nullptr;
        ASSERT_EQ(parse_text("[" + c.first + "]", &v), 0) << c.first;
        EXPECT_EQ(cson_value_get_double(cson_array_get(cson_value_get_array(v), 0)), c.second) << c.first;
        cson_value_free(v);
    }
}

std::string nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(JsonParser, NestingDepth)
{
    cson_value* v = nullptr;
    EXPECT_EQ(parse_text(nested(25), &v), 0);
    cson_value_free(v);
    EXPECT_EQ(parse_text(nested(26), &v), cson_rc_Parse_NESTING_DEPTH_REACHED);
    EXPECT_EQ(parse_text("{\"a\":" + nested(25) + "}", &v), cson_rc_Parse_NESTING_DEPTH_REACHED);
    // Deeper than the parser's inline stack of 128.
    EXPECT_EQ(parse_text(nested(1000), &v, 1000), 0);
    cson_value_free(v);
    EXPECT_EQ(parse_text(nested(1001), &v, 1000), cson_rc_Parse_NESTING_DEPTH_REACHED);
    // A very deep tree is built, and released, without recursion.
    EXPECT_EQ(parse_stream(nested(65535), &v, 65535), 0);
    cson_value_free(v);
}

TEST(JsonParser, HundredThousandOpenBracketsGiveAnError)
{
    const std::string text(100000, '[');
    cson_value* v = nullptr;
    EXPECT_EQ(parse_text(text, &v), cson_rc_Parse_NESTING_DEPTH_REACHED);
    EXPECT_EQ(parse_text(text, &v, 65535), cson_rc_Parse_NESTING_DEPTH_REACHED);
    EXPECT_EQ(v, nullptr);

    // The push parser with unlimited depth takes them all and reports the
    // unclosed collections at the end.
    cson_parser_config config;
    cson_parser_config_init(&config);
    config.depth = 0;
    cson_parser* p = cson_parser_new(&config);
    ASSERT_NE(p, nullptr);
    size_t consumed = 0;
    EXPECT_TRUE(cson_parser_chars(p, text.data(), text.size(), &consumed));
    EXPECT_EQ(consumed, text.size());
    EXPECT_FALSE(cson_parser_done(p));
    EXPECT_EQ(cson_parser_error(p), cson_rc_Parse_UNBALANCED_COLLECTION);
    cson_parser_delete(p);
}

TEST(JsonParser, ObjectsWithVeryManyKeysStayQuick)
{
    std::string text = "{";
    for (int n = 0; n < 200000; ++n) text += "\"key" + std::to_string(n) + "\":" + std::to_string(n) + ",";
    text += "\"last\":0}";
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text(text, &v), 0);
    EXPECT_EQ(cson_object_length_get(cson_value_get_object(v)), 200001u);
    cson_value_free(v);
}

TEST(JsonParser, ShortOrEmptyInputs)
{
    cson_value* v = nullptr;
    EXPECT_EQ(parse_text("1", &v), cson_rc_RangeError);
    EXPECT_EQ(parse_text("", &v), cson_rc_RangeError);
    EXPECT_EQ(parse_stream("", &v), cson_rc_UnknownError);
    EXPECT_EQ(parse_stream("  \n ", &v), cson_rc_UnknownError);
    EXPECT_EQ(parse_stream("7", &v), 0);
    EXPECT_EQ(cson_value_get_integer(v), 7);
    cson_value_free(v);
    EXPECT_EQ(cson_parse_string(nullptr, "[]", 2, nullptr, nullptr), cson_rc_ArgError);
    EXPECT_EQ(cson_parse(&v, nullptr, nullptr, nullptr, nullptr), cson_rc_ArgError);
}

TEST(JsonParser, CommentsWhenAllowed)
{
    const std::string text = "/* a */ [1 /* b **/, /**/ 2] /* c */";
    const cson_parse_opt opt{0, true};
    cson_value* v = nullptr;
    ASSERT_EQ(cson_parse_string(&v, text.data(), unsigned(text.size()), &opt, nullptr), 0);
    EXPECT_EQ(cson_array_length_get(cson_value_get_array(v)), 2u);
    cson_value_free(v);
    const std::string open = "[1] /* never closed";
    EXPECT_NE(cson_parse_string(&v, open.data(), unsigned(open.size()), &opt, nullptr), 0);
}

TEST(JsonParser, ReportsWhereItStopped)
{
    const std::string text = "{\n  \"a\": [1,\n   2,, 3]}";
    cson_parse_info info{1, 0, 0, 0, 0, 0};
    cson_value* v = nullptr;
    EXPECT_EQ(cson_parse_string(&v, text.data(), unsigned(text.size()), nullptr, &info), cson_rc_Parse_INVALID_CHAR);
    EXPECT_EQ(info.line, 3u);
    EXPECT_EQ(info.col, 5u);  // "   2," read on the third line
    EXPECT_EQ(info.length, uint32_t(text.find(",,") + 1));
    EXPECT_EQ(info.errorCode, cson_rc_Parse_INVALID_CHAR);
}

// Events as the push parser gives them, one character at a time.
int record(void* context, int event, const cson_parser_value* v)
{
    auto* log = static_cast<std::string*>(context);
    *log += std::to_string(event);
    if (event == CSON_EVENT_STRING || event == CSON_EVENT_KEY || event == CSON_EVENT_FLOAT)
        *log += "(" + std::string(v->text, v->length) + ")";
    if (event == CSON_EVENT_INTEGER) *log += "(" + std::to_string(v->integer) + ")";
    *log += " ";
    return event == CSON_EVENT_NULL ? cson_rc_NotFoundError : 0;
}

TEST(JsonParser, PushParserEvents)
{
    std::string log;
    cson_parser_config config;
    cson_parser_config_init(&config);
    config.callback = record;
    config.callback_context = &log;
    config.handle_floats_manually = true;
    cson_parser* p = cson_parser_new(&config);
    for (const char c : std::string("{\"k\":[1,2.50,\"s\",true,false]}")) ASSERT_TRUE(cson_parser_char(p, c));
    EXPECT_TRUE(cson_parser_done(p));
    EXPECT_EQ(log, "3 11(k) 1 5(1) 6(2.50) 10(s) 8 9 2 4 ");
    cson_parser_delete(p);

    // A callback's refusal stops the parse with its code.
    p = cson_parser_new(&config);
    for (const char c : std::string("[null")) cson_parser_char(p, c);
    EXPECT_EQ(cson_parser_error(p), cson_rc_NotFoundError);
    EXPECT_FALSE(cson_parser_char(p, ']'));
    cson_parser_delete(p);
}

TEST(JsonParser, ReadsFiles)
{
    const std::string path = testing::TempDir() + "json_parser_test.json";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("{\"a\": [1, 2, 3]}", f);
    fclose(f);
    cson_value* v = nullptr;
    ASSERT_EQ(cson_parse_filename(&v, path.c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(cson_value_get_integer(cson_object_get_sub(cson_value_get_object(v), "/a", '/')), 0);
    EXPECT_EQ(cson_array_length_get(cson_value_get_array(cson_object_get(cson_value_get_object(v), "a"))), 3u);
    cson_value_free(v);
    remove(path.c_str());
    EXPECT_EQ(cson_parse_filename(&v, path.c_str(), nullptr, nullptr), cson_rc_IOError);

    char byte;
    unsigned zero = 0;
    EXPECT_EQ(cson_data_source_FILE(stdin, &byte, &zero), cson_rc_RangeError);
    EXPECT_EQ(cson_data_source_FILE(nullptr, &byte, &zero), cson_rc_ArgError);
}

}  // namespace

namespace {

TEST(JsonParser, ReadsAWholeInputIntoABuffer)
{
    const std::string path = testing::TempDir() + "json_buffer_test.json";
    std::string text;
    for (int n = 0; n < 3000; ++n) text += "[" + std::to_string(n) + "],";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    f = fopen(path.c_str(), "rb");
    cson_buffer buffer{nullptr, 0, 0};
    ASSERT_EQ(cson_buffer_fill_from(&buffer, cson_data_source_FILE, f), 0);
    fclose(f);
    remove(path.c_str());
    ASSERT_EQ(buffer.used, text.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.mem)), text);  // NUL-terminated
    cson_buffer_clear(&buffer);
    EXPECT_EQ(cson_buffer_fill_from(&buffer, nullptr, nullptr), cson_rc_ArgError);
}

}  // namespace
