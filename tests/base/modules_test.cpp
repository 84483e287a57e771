#include <gtest/gtest.h>

#include <cstdlib>

#include "base/modules.h"

namespace {

// Runs at exit after every singleton made later is gone, as code in other
// files' static destructors does: a table still set there is freed memory.
void fail_when_a_table_outlives_its_module()
{
    const bool any_left = __mGraphics_instance()->interface_table || __mInput_instance()->interface_table ||
                          __mSystem_instance()->interface_table || __mNetwork_instance()->interface_table ||
                          __mAudio_instance()->interface_table;
    if (any_left) _exit(1);
}

// Tables as the loader binds them, allocated with malloc.
void bind_every_table()
{
    __mGraphics_instance()->interface_table = static_cast<graphics_interface*>(calloc(1, sizeof(graphics_interface)));
    __mInput_instance()->interface_table = static_cast<input_interface*>(calloc(1, sizeof(input_interface)));
    __mSystem_instance()->interface_table = static_cast<system_interface*>(calloc(1, sizeof(system_interface)));
    __mNetwork_instance()->interface_table = static_cast<network_interface*>(calloc(1, sizeof(network_interface)));
    __mAudio_instance()->interface_table = static_cast<sound_interface*>(calloc(1, sizeof(sound_interface)));
}

}  // namespace

// The exit handler is registered before the singletons exist, so it runs
// after their destructors; the test runs in a fresh process of its own.
TEST(ModuleSingletons, DestroyedModulesLeaveNoTableToTest)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            atexit(fail_when_a_table_outlives_its_module);
            bind_every_table();
            exit(0);
        },
        testing::ExitedWithCode(0), "");
}
