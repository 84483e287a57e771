// trellis as the loader sees it: its exports, the kinds it serves and the
// slots its connect exports fill.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstring>
#include <string>

#include "base/graphics_interface.h"
#include "base/system_interface.h"
#include "tests/support/scratch.h"

namespace {

const std::string kPlugin = std::string(ZR_GAME_DIR) + "/plugin/trellis.so";

class TrellisExports : public ::testing::Test {
protected:
    void SetUp() override
    {
        library = dlopen(kPlugin.c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
    }
    void TearDown() override
    {
        if (library) dlclose(library);
    }
    template <class Function>
    Function get(const char* name)
    {
        return reinterpret_cast<Function>(dlsym(library, name));
    }

    void* library = nullptr;
};

// The slots as plain pointers; a table is nothing but its slots.
template <class Table>
const void* slot(const Table& table, size_t index)
{
    const void* value;
    memcpy(&value, reinterpret_cast<const char*>(&table) + index * sizeof(void*), sizeof value);
    return value;
}

template <class Table>
void fill_with_garbage(Table* table)
{
    memset(static_cast<void*>(table), 0xAB, sizeof(Table));
}

bool is_garbage(const void* pointer)
{
    uintptr_t garbage;
    memset(&garbage, 0xAB, sizeof garbage);
    return reinterpret_cast<uintptr_t>(pointer) == garbage;
}

}  // namespace

TEST_F(TrellisExports, NamePurposeAndTheSixMandatoryExports)
{
    for (const char* name : {"initialize", "shutdown", "get_plugin_name", "get_plugin_purpose",
                             "get_plugin_compatibility", "get_plugin_prereqs", "connect_graphics_interface",
                             "connect_system_interface"})
        EXPECT_NE(dlsym(library, name), nullptr) << name;
    EXPECT_STREQ(get<const char* (*)()>("get_plugin_name")(), "MOD-Trellis");
    EXPECT_STREQ(get<const char* (*)()>("get_plugin_purpose")(), "Module");
}

TEST_F(TrellisExports, ServesGraphicsInputAndSystemInAnyLetterCase)
{
    auto compatible = get<bool (*)(const char*)>("get_plugin_compatibility");
    const struct {
        const char* kind;
        bool served;
    } cases[] = {
        {"GRAPHICS", true}, {"graphics", true}, {"Input", true}, {"SYSTEM", true},
        {"NET", false},     {"AUDIO", false},   {"", false},     {"GRAPHICSX", false},
        // Past the sixteen-byte buffer: refused, never written beyond it.
        {"SYSTEMSYSTEMSYS", false}, {"GRAPHICSGRAPHICS", false},
        {"SYSTEM                                   ", false},
    };
    for (const auto& c : cases) EXPECT_EQ(compatible(c.kind), c.served) << '"' << c.kind << '"';
    EXPECT_FALSE(compatible(nullptr));
}

TEST_F(TrellisExports, GraphicsTableGetsTheWindowTextureAndProjectionSlots)
{
    graphics_interface table;
    fill_with_garbage(&table);
    auto connect = get<graphics_interface* (*)(graphics_interface*)>("connect_graphics_interface");
    EXPECT_EQ(connect(&table), &table);
    const size_t filled[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 20, 64, 65, 66, 67, 68, 86, 87};
    for (size_t index : filled) EXPECT_NE(slot(table, index), nullptr) << "slot " << index;
    for (size_t index = 0; index < 93; ++index) EXPECT_FALSE(is_garbage(slot(table, index))) << "slot " << index;
}

TEST_F(TrellisExports, SystemTableGetsEverySlot)
{
    system_interface table;
    fill_with_garbage(&table);
    auto connect = get<system_interface* (*)(system_interface*)>("connect_system_interface");
    EXPECT_EQ(connect(&table), &table);
    for (size_t index = 0; index < 24; ++index) {
        EXPECT_NE(slot(table, index), nullptr) << "slot " << index;
        EXPECT_FALSE(is_garbage(slot(table, index))) << "slot " << index;
    }
}
