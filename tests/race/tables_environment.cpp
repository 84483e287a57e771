// Every test in this program may read the trigonometry tables.
#include <gtest/gtest.h>

#include "base/physics.h"

namespace {

class TrigTablesEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(__mPhysics_open()); }
    void TearDown() override { __mPhysics_close(); }
};

::testing::Environment* const trigTables = ::testing::AddGlobalTestEnvironment(new TrigTablesEnvironment);

}  // namespace
