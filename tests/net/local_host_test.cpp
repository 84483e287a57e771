// The local host look-up keeps its presets unless the name resolves, and every
// text it writes stays inside its field.
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

#include "net/os/local_host.h"

namespace {

struct HostTexts {
    char name[64];
    char addresses[8][16];
};

HostTexts filled_with_junk()
{
    HostTexts texts;
    std::memset(&texts, 'x', sizeof texts);
    return texts;
}

TEST(LocalHost, UnresolvableNameKeepsThePresets)
{
    for (const char* host : {"no-such-host.invalid", "", static_cast<const char*>(nullptr)}) {
        HostTexts texts = filled_with_junk();
        describe_host(host, texts.name, texts.addresses);
        EXPECT_STREQ(texts.name, "Unknown-Host");
        EXPECT_STREQ(texts.addresses[0], "127.0.0.1");
        for (int i = 1; i < 8; ++i) EXPECT_STREQ(texts.addresses[i], "0.0.0.0");
    }
}

TEST(LocalHost, ResolvedNameAndAddressesReplaceThePresets)
{
    HostTexts texts = filled_with_junk();
    describe_host("127.0.0.2", texts.name, texts.addresses);
    EXPECT_STREQ(texts.name, "127.0.0.2");
    EXPECT_STREQ(texts.addresses[0], "127.0.0.2");
    EXPECT_STREQ(texts.addresses[1], "0.0.0.0");
}

TEST(LocalHost, ThisMachineAnswersWithTerminatedTexts)
{
    HostTexts texts = filled_with_junk();
    EXPECT_EQ(local_host_info(texts.name, texts.addresses), 0);
    EXPECT_LT(strnlen(texts.name, sizeof texts.name), sizeof texts.name);
    for (auto& address : texts.addresses) EXPECT_LT(strnlen(address, sizeof address), sizeof address);
}

TEST(LocalHost, BrokenPipeNoLongerEndsTheProcess)
{
    signal(SIGPIPE, SIG_DFL);
    ignore_broken_pipe_signal();
    struct sigaction current = {};
    sigaction(SIGPIPE, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_IGN);
    raise(SIGPIPE);
}

}  // namespace
