// What a call printed on standard output, flushed on both sides so lines
// from C stdio and from the test land in order.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

inline std::string printed(const std::function<void()>& action)
{
    fflush(stdout);
    testing::internal::CaptureStdout();
    action();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}
