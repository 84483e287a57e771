// Controllers: named bindings, and the game's "action" event that becomes a
// request packet to the host.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../packets/fake_network.h"
#include "base/bytes.h"
#include "game/game_controller.h"
#include "game/packets.h"

namespace {

TEST(Controller, BindingsAreFoundByNameAndTheFirstOneStays)
{
    cVantorController controller;
    EXPECT_EQ(controller.find_axis("TURN"), nullptr);
    EXPECT_EQ(controller.find_button("RESPAWN"), nullptr);

    cVantorController::_Axis turn;
    turn.sign = -1;
    turn.axis = 0;
    turn.key_minus = 14;
    turn.key_plus = 15;
    turn.scale = 2.0f;
    controller.bind_axis("TURN", turn);
    cVantorController::_Axis later;
    later.axis = 5;
    controller.bind_axis("TURN", later);
    controller.bind_button("RESPAWN", 33);
    controller.bind_button("RESPAWN", 34);
    controller.bind_button("BRAKE", -1);

    const cVantorController::_Axis* found = controller.find_axis("TURN");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->sign, -1);
    EXPECT_EQ(found->axis, 0);
    EXPECT_EQ(found->key_plus, 15);
    EXPECT_EQ(found->scale, 2.0f);
    ASSERT_NE(controller.find_button("RESPAWN"), nullptr);
    EXPECT_EQ(*controller.find_button("RESPAWN"), 33);
    EXPECT_EQ(*controller.find_button("BRAKE"), -1);
    EXPECT_EQ(controller.find_button("respawn"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(controller.find_axis("RESPAWN"), nullptr) << "axes and buttons are apart";

    controller.clear_bindings();
    EXPECT_EQ(controller.axes.count(), 0u);
    EXPECT_EQ(controller.buttons.count(), 0u);
    controller.bind_button("RESPAWN", 34);
    EXPECT_EQ(*controller.find_button("RESPAWN"), 34) << "a rebuilt scheme replaces the old bindings";
}

class GameControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        install_fake_network();
        fake_network().client = true;
    }
    void TearDown() override { uninstall_fake_network(); }

    uint16_t host_slot = 0;
    cVantorNetConnection host_link{new czrPacketFactory, 5.0f};
    cGameController controller{&host_slot, &host_link};
};

TEST_F(GameControllerTest, AnActionEventSendsARequestToTheHost)
{
    uint16_t record[4] = {0x0102, 0xFFFF, 0, 0};
    uint32_t value = 0xA1B2C3D4u;
    std::memcpy(&record[2], &value, sizeof value);
    controller.on_controller_event("action", 99, record);

    ASSERT_EQ(fake_network().sends.size(), 1u);
    const std::string& sent = fake_network().sends[0].bytes;
    ASSERT_EQ(sent.size(), 24u);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(sent.data());
    EXPECT_EQ(load_u32_le(bytes + 4), kPacketMagic);
    EXPECT_EQ(load_u16_le(bytes + 8), kPacketRequestAction);
    EXPECT_EQ(load_u32_le(bytes + 12), 6u);
    EXPECT_EQ(load_u16_le(bytes + 16), 0x0102) << "the u16 at byte 0 of the record";
    EXPECT_EQ(load_u32_le(bytes + 18), 0xA1B2C3D4u) << "the u32 at byte 4, not the value argument";
}

TEST_F(GameControllerTest, OtherEventsAndTheHostItselfSendNothing)
{
    uint16_t record[4] = {};
    controller.on_controller_event("Action", 0, record);
    controller.on_controller_event("action2", 0, record);
    controller.on_controller_event(nullptr, 0, record);
    host_slot = 0xFFFF;
    controller.on_controller_event("action", 0, record);
    EXPECT_TRUE(fake_network().sends.empty());

    cVantorController framework_controller;
    host_slot = 0;
    framework_controller.on_controller_event("action", 0, record);
    EXPECT_TRUE(fake_network().sends.empty()) << "the framework's controller ignores events";
}

}  // namespace
