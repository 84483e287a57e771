#include "tests/support/test_alone.h"

#include <gtest/gtest.h>

#include <filesystem>

ProcessResult run_current_test_alone(const std::string& environment)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(test->test_suite_name()) + "." + test->name();
    const std::string program = std::filesystem::read_symlink("/proc/self/exe").string();
    return run_process("env " + environment + " '" + program + "' --gtest_filter='" + name + "'");
}
