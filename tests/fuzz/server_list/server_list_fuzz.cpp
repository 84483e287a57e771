// The server list file: whatever names it yields are written back and read
// again unchanged.
#include "framework/server_list.h"
#include "tests/fuzz/support/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> names = read_server_list(scratch_file("zorblitRally.servers", data, size));
    if (names != parse_server_list(data, size)) __builtin_trap();
    const std::string saved = scratch_file("saved.servers", nullptr, 0);
    if (!write_server_list(saved, names) || read_server_list(saved) != names) __builtin_trap();
    return 0;
}
