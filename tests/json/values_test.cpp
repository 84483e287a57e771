// Values: result code texts, conversions, reference counts, objects, arrays,
// paths, copies and command-line arguments.
#include "json_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(JsonValues, CodeTexts)
{
    const char* const texts[] = {"OK",
                                 "ArgError",
                                 "RangeError",
                                 "TypeError",
                                 "IOError",
                                 "AllocError",
                                 "NYIError",
                                 "InternalError",
                                 "UnsupportedError",
                                 "NotFoundError",
                                 "UnknownError",
                                 "Parse_INVALID_CHAR",
                                 "Parse_INVALID_KEYWORD",
                                 "Parse_INVALID_ESCAPE_SEQUENCE",
                                 "Parse_INVALID_UNICODE_SEQUENCE",
                                 "Parse_INVALID_NUMBER",
                                 "Parse_NESTING_DEPTH_REACHED",
                                 "Parse_UNBALANCED_COLLECTION",
                                 "Parse_EXPECTED_KEY",
                                 "Parse_EXPECTED_COLON"};
    for (int rc = 0; rc < 20; ++rc) EXPECT_STREQ(cson_rc_string(rc), texts[rc]) << rc;
    EXPECT_STREQ(cson_rc_string(20), "UnknownError");
    EXPECT_STREQ(cson_rc_string(-1), "UnknownError");
}

TEST(JsonValues, ConversionsBetweenKinds)
{
    cson_value* i = cson_value_new_integer(-7);
    cson_value* d = cson_value_new_double(-2.75);
    cson_value* s = cson_value_new_string("x", 1);
    cson_value* a = cson_value_new_array();
    cson_value* o = cson_value_new_object();
    struct Case {
        cson_value* v;
        bool b;
        cson_int_t i;
        int double_rc;
        double d;
    };
    const std::vector<Case> cases = {
        {cson_value_undef(), false, 0, 0, 0.0},
        {cson_value_null(), false, 0, 0, 0.0},
        {cson_value_true(), true, 1, 0, 1.0},
        {cson_value_false(), false, 0, 0, 0.0},
        {cson_value_new_integer(0), false, 0, 0, 0.0},
        {i, true, -7, 0, -7.0},
        {d, true, -2, 0, -2.75},
        {cson_value_new_double(0.0), false, 0, 0, 0.0},
        {s, true, 0, cson_rc_TypeError, 0.0},
        {cson_value_new_string("", 0), false, 0, cson_rc_TypeError, 0.0},
        {a, true, 0, cson_rc_TypeError, 0.0},
        {o, true, 0, cson_rc_TypeError, 0.0},
    };
    for (size_t n = 0; n < cases.size(); ++n) {
        const Case& c = cases[n];
        bool b = !c.b;
        EXPECT_EQ(cson_value_fetch_bool(c.v, &b), 0) << n;
        EXPECT_EQ(b, c.b) << n;
        cson_int_t got = 99;
        EXPECT_EQ(cson_value_fetch_integer(c.v, &got), 0) << n;
        EXPECT_EQ(got, c.i) << n;
        double x = 99.0;
        EXPECT_EQ(cson_value_fetch_double(c.v, &x), c.double_rc) << n;
        if (!c.double_rc) {
            EXPECT_EQ(x, c.d) << n;
        }
    }
    // Doubles beyond the integer range are held to it, not undefined.
    cson_value* huge = cson_value_new_double(1e300);
    EXPECT_EQ(cson_value_get_integer(huge), INT32_MAX);
    for (cson_value* v : {i, d, s, a, o, huge}) cson_value_free(v);
}

TEST(JsonValues, SharedValuesAreNeverCounted)
{
    for (cson_value* v : {cson_value_null(), cson_value_true(), cson_value_new_integer(0), cson_value_new_double(0.0),
                          cson_value_new_string(nullptr, 0)}) {
        EXPECT_EQ(cson_value_add_reference(v), 0);
        EXPECT_EQ(cson_value_refcount(v), 0u);
        cson_value_free(v);
        cson_value_free(v);
    }
    EXPECT_EQ(cson_value_new_integer(0), cson_value_new_integer(0));
    cson_value* negative_zero = cson_value_new_double(-0.0);  // keeps its sign, so not shared
    EXPECT_NE(negative_zero, cson_value_new_double(0.0));
    cson_value_free(negative_zero);
}

TEST(JsonValues, ReleasingCountsDown)
{
    cson_value* v = cson_value_new_string("abc", 3);
    EXPECT_EQ(cson_value_refcount(v), 0u);
    EXPECT_EQ(cson_value_add_reference(v), 0);
    EXPECT_EQ(cson_value_refcount(v), 1u);
    cson_value_free(v);  // alive with count 0
    EXPECT_EQ(cson_value_refcount(v), 0u);
    EXPECT_STREQ(cson_value_get_cstr(v), "abc");
    cson_value_free(v);  // freed (the sanitizer build sees any use after this)
    EXPECT_EQ(cson_value_add_reference(nullptr), cson_rc_ArgError);
}

TEST(JsonValues, StringsCompareByteWiseThenByLength)
{
    cson_value* v = cson_value_new_string("abc", 3);
    const cson_string* s = cson_value_get_string(v);
    EXPECT_EQ(cson_string_cmp_cstr(s, "abc"), 0);
    EXPECT_LT(cson_string_cmp_cstr(s, "abd"), 0);
    EXPECT_GT(cson_string_cmp_cstr(s, "abb"), 0);
    EXPECT_LT(cson_string_cmp_cstr(s, "abcd"), 0);
    EXPECT_GT(cson_string_cmp_cstr(s, "ab"), 0);
    EXPECT_GT(cson_string_cmp_cstr(s, ""), 0);
    EXPECT_LT(cson_string_cmp_cstr(nullptr, "a"), 0);
    EXPECT_EQ(cson_string_cmp_cstr_n(s, "abcXYZ", 3), 0);
    cson_value_free(v);
    cson_value* u = cson_value_new_string("a\xc3\xa9\xe2\x82\xac", 6);
    EXPECT_EQ(cson_string_length_bytes(cson_value_get_string(u)), 6u);
    EXPECT_EQ(cson_string_length_utf8(cson_value_get_string(u)), 3u);
    cson_value_free(u);
}

TEST(JsonValues, ObjectEntries)
{
    cson_value* ov = cson_value_new_object();
    cson_object* o = cson_value_get_object(ov);
    cson_value* one = cson_value_new_integer(1);
    EXPECT_EQ(cson_object_set(o, "a", one), 0);
    EXPECT_EQ(cson_value_refcount(one), 1u);  // the object holds its own reference
    cson_value_free(one);
    EXPECT_EQ(cson_object_set(o, "b", cson_value_true()), 0);
    EXPECT_EQ(cson_object_set(o, "c", cson_value_null()), 0);
    EXPECT_EQ(cson_object_length_get(o), 3u);
    EXPECT_EQ(cson_object_get(o, "A"), nullptr);  // case-sensitive
    EXPECT_EQ(cson_object_get(o, "a"), one);

    cson_value* two = cson_value_new_integer(2);
    EXPECT_EQ(cson_object_set(o, "a", two), 0);  // replaces, keeps its place
    cson_value_free(two);
    EXPECT_EQ(cson_value_get_integer(cson_object_get(o, "a")), 2);
    EXPECT_STREQ(cson_string_cstr(cson_kvp_key(cson_object_entry_at(o, 0))), "a");

    EXPECT_EQ(cson_object_unset(o, "b"), 0);
    EXPECT_EQ(cson_object_unset(o, "b"), cson_rc_NotFoundError);
    EXPECT_STREQ(cson_string_cstr(cson_kvp_key(cson_object_entry_at(o, 1))), "c");
    EXPECT_EQ(cson_object_set(o, "", cson_value_null()), cson_rc_ArgError);
    EXPECT_EQ(cson_object_set(nullptr, "x", cson_value_null()), cson_rc_ArgError);

    cson_value* taken = cson_object_take(o, "a");
    EXPECT_EQ(cson_value_get_integer(taken), 2);
    EXPECT_EQ(cson_object_length_get(o), 1u);
    cson_value_free(taken);
    for (int n = 0; n < 100; ++n) EXPECT_EQ(cson_object_set(o, ("k" + std::to_string(n)).c_str(), cson_value_true()), 0);
    EXPECT_EQ(cson_object_length_get(o), 101u);
    cson_value_free(ov);
}

TEST(JsonValues, PathLookup)
{
    cson_value* root = nullptr;
    ASSERT_EQ(parse_text("{\"a\":{\"b\":{\"c\":3}},\"n\":1}", &root), 0);
    const cson_object* o = cson_value_get_object(root);
    cson_value* found = nullptr;
    EXPECT_EQ(cson_object_fetch_sub(o, &found, "/a/b/c", '/'), 0);
    EXPECT_EQ(cson_value_get_integer(found), 3);
    EXPECT_EQ(cson_value_get_integer(cson_object_get_sub(o, ".a.b.c", '.')), 3);
    EXPECT_TRUE(cson_value_is_object(cson_object_get_sub(o, "/a/b", '/')));
    EXPECT_EQ(cson_object_fetch_sub(o, &found, "/a/x", '/'), cson_rc_NotFoundError);
    EXPECT_EQ(cson_object_fetch_sub(o, &found, "/n/x", '/'), cson_rc_NotFoundError);
    EXPECT_EQ(cson_object_fetch_sub(o, &found, "", '/'), cson_rc_RangeError);
    const std::string too_long = "/" + std::string(128, 'k');
    EXPECT_EQ(cson_object_fetch_sub(o, &found, too_long.c_str(), '/'), cson_rc_RangeError);
    EXPECT_EQ(cson_object_fetch_sub(o, &found, ("/" + std::string(127, 'k')).c_str(), '/'), cson_rc_NotFoundError);
    cson_value_free(root);
}

TEST(JsonValues, ArraySetGrowsAndReplaces)
{
    cson_value* av = cson_value_new_array();
    cson_array* a = cson_value_get_array(av);
    EXPECT_EQ(cson_array_set(a, 3, cson_value_true()), 0);
    EXPECT_EQ(cson_array_length_get(a), 4u);
    EXPECT_EQ(cson_array_get(a, 0), nullptr);
    EXPECT_EQ(cson_array_get(a, 4), nullptr);
    cson_value* s = cson_value_new_string("x", 1);
    EXPECT_EQ(cson_array_set(a, 3, s), 0);
    cson_value_free(s);
    EXPECT_STREQ(cson_value_get_cstr(cson_array_get(a, 3)), "x");
    EXPECT_EQ(cson_array_set(a, 0xFFFFFFFFu, cson_value_true()), cson_rc_RangeError);
    for (int n = 0; n < 1000; ++n) EXPECT_EQ(cson_array_append(a, cson_value_null()), 0);
    EXPECT_EQ(cson_array_length_get(a), 1004u);
    cson_value_free(av);
}

TEST(JsonValues, DeepCopy)
{
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text("{\"a\":[1,2.5,\"s\",null,true,{\"b\":[]}],\"c\":{}}", &v), 0);
    cson_value* copy = cson_value_clone(v);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, v);
    EXPECT_TRUE(same_value(v, copy));
    EXPECT_NE(cson_object_get(cson_value_get_object(copy), "a"), cson_object_get(cson_value_get_object(v), "a"));
    cson_value_free(v);
    EXPECT_EQ(write_text(copy), "{\"a\":[1,2.5,\"s\",null,true,{\"b\":[]}],\"c\":{}}");
    cson_value_free(copy);
    EXPECT_EQ(cson_value_clone(cson_value_null()), cson_value_null());
}

// Builds [[[...]]] through the interface, depth levels.
cson_value* deep_array(int depth)
{
    cson_value* root = cson_value_new_array();
    cson_value* at = root;
    for (int n = 1; n < depth; ++n) {
        cson_value* inner = cson_value_new_array();
        cson_array_append(cson_value_get_array(at), inner);
        cson_value_free(inner);  // the outer array holds it
        at = inner;
    }
    return root;
}

TEST(JsonValues, DeepTreesCopyWriteAndReleaseWithoutRecursion)
{
    const int depth = 200000;
    cson_value* root = deep_array(depth);
    cson_value* copy = cson_value_clone(root);
    ASSERT_NE(copy, nullptr);
    const std::string text = write_text(copy);
    EXPECT_EQ(text, std::string(depth, '[') + std::string(depth, ']'));
    EXPECT_GT(cson_value_msize(copy), uint32_t(depth));
    EXPECT_EQ(write_text(copy, cson_output_opt{0, 25, false, false, false, false}), "rc=2");
    cson_value_free(root);
    cson_value_free(copy);
}

TEST(JsonValues, MemoryEstimateGrowsWithContent)
{
    cson_value* small = nullptr;
    cson_value* large = nullptr;
    ASSERT_EQ(parse_text("[\"ab\"]", &small), 0);
    ASSERT_EQ(parse_text("[\"abcdefgh\",{\"k\":1}]", &large), 0);
    EXPECT_GT(cson_value_msize(large), cson_value_msize(small));
    EXPECT_EQ(cson_value_msize(cson_value_null()), sizeof(cson_value));
    cson_value_free(small);
    cson_value_free(large);
}

TEST(JsonValues, ArgumentsToObject)
{
    const char* argv[] = {"prog", "--name=kart", "-v", "--n=12", "--neg=-1.5", "--f=1.5", "--empty=", "--", "plain",
                          "--=7", "-x=abc"};
    cson_object* o = nullptr;
    unsigned count = 0;
    ASSERT_EQ(cson_parse_argv_flags(11, argv, &o, &count), 0);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(count, 7u);
    EXPECT_STREQ(cson_value_get_cstr(cson_object_get(o, "name")), "kart");
    EXPECT_TRUE(cson_value_get_bool(cson_object_get(o, "v")));
    EXPECT_EQ(cson_value_get_integer(cson_object_get(o, "n")), 12);
    EXPECT_EQ(cson_value_get_double(cson_object_get(o, "neg")), -1.5);
    EXPECT_STREQ(cson_value_get_cstr(cson_object_get(o, "f")), "1.5");  // starts with a digit: kept as text
    EXPECT_TRUE(cson_value_is_null(cson_object_get(o, "empty")));
    EXPECT_STREQ(cson_value_get_cstr(cson_object_get(o, "x")), "abc");
    cson_value_free(cson_object_value(o));
    EXPECT_EQ(cson_parse_argv_flags(0, argv, &o, nullptr), cson_rc_ArgError);
    EXPECT_EQ(cson_parse_argv_flags(1, argv, nullptr, nullptr), cson_rc_ArgError);
}

}  // namespace

namespace {

TEST(JsonValues, ParsedContainersGrowAndShrinkLikeAnyOther)
{
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text("{\"list\":[1,2],\"a\":\"x\",\"b\":2.5}", &v), 0);
    cson_object* o = cson_value_get_object(v);
    cson_array* list = cson_value_get_array(cson_object_get(o, "list"));
    for (int n = 0; n < 100; ++n) {
        cson_value* item = cson_value_new_integer(n + 10);
        ASSERT_EQ(cson_array_append(list, item), 0);
        cson_value_free(item);
    }
    EXPECT_EQ(cson_array_length_get(list), 102u);
    EXPECT_EQ(cson_value_get_integer(cson_array_get(list, 1)), 2);
    EXPECT_EQ(cson_value_get_integer(cson_array_get(list, 101)), 109);
    EXPECT_EQ(cson_object_unset(o, "a"), 0);
    for (int n = 0; n < 50; ++n) ASSERT_EQ(cson_object_set(o, ("k" + std::to_string(n)).c_str(), cson_value_true()), 0);
    EXPECT_EQ(cson_object_length_get(o), 52u);
    EXPECT_EQ(cson_value_get_double(cson_object_get(o, "b")), 2.5);

    // A parsed value can outlive the tree it came from.
    cson_value* b = cson_object_get(o, "b");
    cson_value_add_reference(b);
    cson_value_free(v);
    EXPECT_EQ(cson_value_get_double(b), 2.5);
    cson_value_free(b);
}

// Releasing a parsed tree skips reading members it knows were not touched:
// every way of touching one must still be seen (the sanitizers check the rest).
TEST(JsonValues, ParsedMembersHeldReplacedOrMovedAreReleasedRight)
{
    const std::string text = "{\"n\":[1,2.5,\"s\",null,[3]],\"o\":{\"i\":7,\"t\":\"x\"}}";
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text(text, &v), 0);
    cson_object* o = cson_value_get_object(v);
    cson_array* n = cson_value_get_array(cson_object_get(o, "n"));
    cson_object* inner = cson_value_get_object(cson_object_get(o, "o"));

    // Held by the caller: outlives the tree, in every member kind.
    std::vector<cson_value*> held;
    for (uint32_t i = 0; i < cson_array_length_get(n); ++i) held.push_back(cson_array_get(n, i));
    held.push_back(cson_object_get(inner, "i"));
    for (cson_value* h : held) ASSERT_EQ(cson_value_add_reference(h), 0);
    // Replaced through the interface, and swapped by hand in a list.
    cson_value* replacement = cson_value_new_integer(99);
    ASSERT_EQ(cson_object_set(inner, "t", replacement), 0);
    cson_value_free(replacement);
    std::swap(n->list.list[0], n->list.list[2]);

    cson_value_free(v);
    EXPECT_EQ(cson_value_get_integer(held[0]), 1);
    EXPECT_EQ(cson_value_get_double(held[1]), 2.5);
    EXPECT_STREQ(cson_value_get_cstr(held[2]), "s");
    EXPECT_EQ(cson_value_get_integer(cson_array_get(cson_value_get_array(held[4]), 0)), 3);
    EXPECT_EQ(cson_value_get_integer(held[5]), 7);
    for (cson_value* h : held) {
        EXPECT_EQ(cson_value_refcount(h), 0u);
        cson_value_free(h);
    }

    // Moved by hand with nothing held: a container now sits where a number was.
    ASSERT_EQ(parse_text(text, &v), 0);
    n = cson_value_get_array(cson_object_get(cson_value_get_object(v), "n"));
    std::swap(n->list.list[0], n->list.list[4]);
    EXPECT_EQ(cson_value_get_integer(cson_array_get(n, 4)), 1);
    cson_value_free(v);

    // A reference taken and given back leaves the tree releasing as before.
    ASSERT_EQ(parse_text(text, &v), 0);
    cson_value* i = cson_object_get(cson_value_get_object(cson_object_get(cson_value_get_object(v), "o")), "i");
    cson_value_add_reference(i);
    cson_value_free(i);
    cson_value_free(v);
}

TEST(JsonValues, LargeObjectsKeepTheLastOfEachDuplicateKey)
{
    std::string text = "{";
    for (int n = 0; n < 5000; ++n) text += "\"k" + std::to_string(n % 1000) + "\":" + std::to_string(n) + ",";
    text += "\"end\":true}";
    cson_value* v = nullptr;
    ASSERT_EQ(parse_text(text, &v), 0);
    const cson_object* o = cson_value_get_object(v);
    EXPECT_EQ(cson_object_length_get(o), 1001u);
    EXPECT_EQ(cson_value_get_integer(cson_object_get(o, "k0")), 4000);
    EXPECT_EQ(cson_value_get_integer(cson_object_get(o, "k999")), 4999);
    EXPECT_STREQ(cson_string_cstr(cson_kvp_key(cson_object_entry_at(o, 1))), "k1");  // first place kept
    cson_value_free(v);
}

}  // namespace
