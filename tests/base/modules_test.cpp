#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "base/modules.h"

namespace {

// Binds a table as the loader does (malloc storage), destroys the module in
// storage of the test's own and reads back what its destructor left in the
// table member. Code in a static destructor that runs after a module's own
// tests that member before it calls a slot.
template <class Module, class Table>
void* table_left_by_destructor(Table* Module::*member)
{
    alignas(Module) unsigned char storage[sizeof(Module)];
    Module* module = new (storage) Module;
    module->*member = static_cast<Table*>(calloc(1, sizeof(Table)));
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&(module->*member));
    module->~Module();
    void* left = nullptr;
    memcpy(&left, bytes, sizeof left);
    return left;
}

}  // namespace

TEST(ModuleSingletons, DestroyedModulesLeaveNoTableToTest)
{
    EXPECT_EQ(table_left_by_destructor(&modGraphics::interface_table), nullptr) << "graphics";
    EXPECT_EQ(table_left_by_destructor(&modInput::interface_table), nullptr) << "input";
    EXPECT_EQ(table_left_by_destructor(&modSystem::interface_table), nullptr) << "system";
    EXPECT_EQ(table_left_by_destructor(&modNetwork::interface_table), nullptr) << "network";
    EXPECT_EQ(table_left_by_destructor(&modAudio::interface_table), nullptr) << "audio";
}
