// A game object over the fake tables, with the packets a peer could send
// built as wire bytes, honest or forged.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/race_start.h"
#include "game/settings.h"
#include "tests/game_play/fake_game_tables.h"

inline std::string wire_of(__cNetPacketBase& packet)
{
    const uint32_t size = packet.get_wire_size();
    return std::string(reinterpret_cast<const char*>(packet.get_wire_data()), size);
}

inline std::string bare_bytes(uint16_t type)
{
    czrpBare packet(type);
    return wire_of(packet);
}

inline std::string join_bytes(const char* name, uint16_t species = 0)
{
    czrpRequestJoin join(name, species);
    return wire_of(join);
}

inline std::string chat_bytes(const std::string& text)
{
    cVantorChatPacket<kPacketMagic> chat(text);
    return wire_of(chat);
}

// A header and a payload as a peer may put them on the wire; a dynamic
// type's length field covers the whole image.
inline std::string forged(uint16_t type, const std::string& payload, bool dynamic)
{
    std::string bytes(16, '\0');
    const uint32_t length = uint32_t(dynamic ? 16 + payload.size() : payload.size());
    write_packet_header(reinterpret_cast<uint8_t*>(&bytes[0]), kPacketMagic, type, length);
    return bytes + payload;
}

inline std::string welcome_bytes(uint16_t slot, uint16_t host_slot)
{
    czrpWelcome welcome({0, slot, host_slot});
    return wire_of(welcome);
}

inline std::string payload_of(const FakeSend& send)
{
    return send.bytes.substr(16);
}

class GameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_fake_game_tables();
        settings_record = SettingsRecord();
        copy_player_name(settings_record.player_name, "Host");
        settings_record.roster_interval = 23;
        settings_record.update_interval = 4;
        game = std::make_unique<cGame>();
    }
    void TearDown() override
    {
        game.reset();
        clear_carts();
        uninstall_fake_game_tables();
    }

    player_record& slot(int index) { return game->players[index]; }

    std::unique_ptr<cGame> game;
};

// This machine hosting, in its lobby, with our own record in slot 0.
class HostFixture : public GameFixture {
protected:
    void SetUp() override
    {
        GameFixture::SetUp();
        fake_game().server = true;
        game->program_state = kStateHostLobby;
        game->on_host_started();
    }
};
