// The server list file: its bytes, and damaged or forged files that load
// what they can.
#include <gtest/gtest.h>

#include "framework/server_list.h"
#include "tests/support/scratch.h"

namespace {

std::vector<uint8_t> bytes(std::initializer_list<unsigned char> values)
{
    return std::vector<uint8_t>(values.begin(), values.end());
}

using Names = std::vector<std::string>;

TEST(ServerList, WritesCountAndLengthPrefixedNames)
{
    EXPECT_EQ(server_list_bytes({"a", "bc"}), bytes({0x02, 0x00, 0x01, 0x00, 0x61, 0x02, 0x00, 0x62, 0x63}));
    EXPECT_EQ(server_list_bytes({""}), bytes({0x01, 0x00, 0x00, 0x00}));
}

TEST(ServerList, RoundTrips)
{
    const Names cases[] = {
        {},
        {"a", "bc"},
        {"", "host.example", ""},
        {std::string(300, 'x'), "192.168.0.10"},
        {std::string(kMaxServerListEntry, 'y')},
        {std::string("nul\0inside", 10)},
    };
    for (const Names& names : cases) {
        const std::vector<uint8_t> written = server_list_bytes(names);
        EXPECT_EQ(parse_server_list(written.data(), written.size()), names) << names.size();
    }
}

TEST(ServerList, DamagedOrForgedFilesKeepTheNamesBeforeTheFault)
{
    const struct {
        const char* fault;
        std::vector<uint8_t> file;
        Names names;
    } cases[] = {
        {"empty file", {}, {}},
        {"count cut short", bytes({0x02}), {}},
        {"count zero", bytes({0x00, 0x00, 0x01, 0x00, 0x61}), {}},
        {"negative count", bytes({0xFF, 0xFF, 0x01, 0x00, 0x61}), {}},
        {"negative length", bytes({0x02, 0x00, 0x01, 0x00, 0x61, 0xFF, 0xFF, 0x62}), {"a"}},
        {"most negative length", bytes({0x01, 0x00, 0x00, 0x80}), {}},
        {"length past the end", bytes({0x02, 0x00, 0x01, 0x00, 0x61, 0x0A, 0x00, 0x62, 0x63}), {"a"}},
        {"largest length, no bytes", bytes({0x01, 0x00, 0xFF, 0x7F}), {}},
        {"ends inside a length", bytes({0x02, 0x00, 0x01, 0x00, 0x61, 0x02}), {"a"}},
        {"fewer entries than counted", bytes({0x03, 0x00, 0x01, 0x00, 0x61}), {"a"}},
        {"bytes after the last entry", bytes({0x01, 0x00, 0x01, 0x00, 0x61, 0x99}), {"a"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse_server_list(c.file.data(), c.file.size()), c.names) << c.fault;
}

TEST(ServerList, NamesTooLongForTheFormatAreLeftOut)
{
    testing::internal::CaptureStdout();
    const std::vector<uint8_t> written = server_list_bytes({"a", std::string(kMaxServerListEntry + 1, 'z'), "b"});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "WARNING: Server name left out of the server list, its length is 32768\n");
    EXPECT_EQ(written, bytes({0x02, 0x00, 0x01, 0x00, 0x61, 0x01, 0x00, 0x62}));

    // A count the reader would take as negative is never written either.
    testing::internal::CaptureStdout();
    const std::vector<uint8_t> full = server_list_bytes(Names(kMaxServerListEntry + 1, ""));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "WARNING: Server list full, the last servers are left out\n");
    EXPECT_EQ(parse_server_list(full.data(), full.size()).size(), kMaxServerListEntry);
}

TEST(ServerList, FileRoundTripAndUnreadableFile)
{
    ScratchFolder scratch;
    const std::string path = scratch / "list.servers";
    ASSERT_TRUE(write_server_list(path, {"a", "bc"}));
    EXPECT_EQ(read_file(path), std::string("\x02\x00\x01\x00\x61\x02\x00\x62\x63", 9));
    EXPECT_EQ(read_server_list(path), (Names{"a", "bc"}));

    testing::internal::CaptureStdout();
    EXPECT_TRUE(read_server_list(scratch / "missing").empty());
    EXPECT_FALSE(write_server_list(scratch / "no/folder", {"a"}));
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_NE(printed.find("ERROR: Couldn't open file for read " + (scratch / "missing")), std::string::npos);
    EXPECT_NE(printed.find("ERROR: Couldn't open file for write " + (scratch / "no/folder")), std::string::npos);
}

}  // namespace
