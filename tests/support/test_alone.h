// Tests that need a process of their own (state a library keeps for good)
// run themselves again in one.
#pragma once

#include <string>

#include "tests/support/scratch.h"

// Runs the current test again, alone, in a new process of this test program,
// its environment changed as env(1) takes it ("NAME=value", "-u NAME").
ProcessResult run_current_test_alone(const std::string& environment);
