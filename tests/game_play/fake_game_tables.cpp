#include "tests/game_play/fake_game_tables.h"

#include <cstdio>
#include <cstring>

#include "base/bytes.h"
#include "base/modules.h"

namespace {

FakeGameTables state;
graphics_interface graphics_table;
input_interface input_table;
system_interface system_table;
network_interface network_table;
sound_interface sound_table;

void note(const std::string& call)
{
    state.calls.push_back(call);
}

std::string number(double value)
{
    char text[32];
    snprintf(text, sizeof text, "%g", value);
    return text;
}

FakePeer* peer(uint16_t id)
{
    return id < kFakeIds ? &state.peers[id] : nullptr;
}

int take(std::string& pending, void* buffer, int max)
{
    const size_t count = pending.size() < size_t(max) ? pending.size() : size_t(max);
    memcpy(buffer, pending.data(), count);
    pending.erase(0, count);
    return int(count);
}

// A socket with room left takes at most that much.
int record_send(uint16_t id, long* room, const void* data, int length)
{
    if (*room >= 0 && length > *room) length = int(*room);
    if (*room >= 0) *room -= length;
    if (length > 0) state.sends.push_back({id, std::string(static_cast<const char*>(data), size_t(length))});
    return length;
}

// A send to 0xFFFF, every peer at once, is logged as one and always taken.
int server_send(uint16_t id, const void* data, int length)
{
    long unlimited = -1;
    return record_send(id, peer(id) ? &peer(id)->room : &unlimited, data, length);
}

void fill_network(network_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->net_is_server = [] { return state.server; };
    t->net_is_client = [] { return state.client; };
    t->net_is_client_active = [](uint16_t id) { return state.server && peer(id) && peer(id)->active; };
    t->net_is_client_ready = [](uint16_t id) {
        return state.server && peer(id) && peer(id)->active && (peer(id)->closed || !peer(id)->pending.empty());
    };
    t->net_server_receive = [](uint16_t id, void* buffer, int max) {
        FakePeer* from = peer(id);
        if (!from || from->closed) return 0;
        return take(from->pending, buffer, max);
    };
    t->net_drop_client = [](uint16_t id) {
        state.dropped.push_back(id);
        if (peer(id)) *peer(id) = FakePeer();
        return true;
    };
    t->net_client_host = [](uint16_t) { return uint32_t(0x0100007F); };
    t->net_format_address = [](uint32_t address, char* out) {
        return snprintf(out, 16, "%u.%u.%u.%u", address & 0xFF, (address >> 8) & 0xFF, (address >> 16) & 0xFF,
                        address >> 24);
    };
    t->net_server_send = server_send;
    t->net_is_server_ready = [] { return state.client && !state.from_server.empty(); };
    t->net_client_receive = [](void* buffer, int max) { return take(state.from_server, buffer, max); };
    t->net_client_send = [](const void* data, int length) {
        return record_send(0xFFFF, &state.server_room, data, length);
    };
    t->net_stop_client = [] {
        state.client = false;
        return uint16_t(0);
    };
    t->net_stop_server = [] {
        state.server = false;
        return uint16_t(0);
    };
}

void fill_input(input_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->digital_pressed = [](uint16_t index) { return state.pressed.count(index) > 0; };
    t->digital_down = [](uint16_t index) { return state.held.count(index) > 0; };
    t->analog_value = [](uint16_t axis) {
        const auto found = state.analog.find(axis);
        return found == state.analog.end() ? 0.0f : found->second;
    };
    t->edit_text = [](char*, int, int16_t*) { return 0; };
    t->grab_input = [] { note("grab_input"); return 0; };
    t->release_input = [] { note("release_input"); return 0; };
    t->hide_cursor = [] { note("hide_cursor"); return 0; };
    t->show_cursor = [] { note("show_cursor"); return 0; };
}

void fill_sound(sound_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->load_music = [](const char* path) {
        note(std::string("load_music ") + path);
        return state.next_music_handle++;
    };
    t->play_music = [](uint16_t music, double a, double b, double c) {
        note("play_music " + std::to_string(music) + " " + number(a) + " " + number(b) + " " + number(c));
        state.music_is_playing = true;
    };
    t->stop_music = [](double fade) {
        note("stop_music " + number(fade));
        state.music_is_playing = false;
    };
    t->music_playing = [] { return state.music_is_playing; };
}

void fill_graphics(graphics_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->shaders_available = [] { return false; };
    t->vbos_available = [] { return false; };
    t->display_lists_available = [] { return false; };
    t->set_ambient_light = [](cColor* color) { state.ambient = *color; };
    t->import_image = [](const char*, uint16_t* width, uint16_t* height, uint8_t** rgba) {
        *width = *height = 0;
        *rgba = nullptr;
    };
    t->create_texture = [](uint16_t* width, uint16_t* height, uint8_t* rgba, bool linear, bool mipmaps, bool clamp,
                           int replace, TextureDoneCallback done) {
        note(std::string("create_texture") + (linear ? " linear" : "") + (mipmaps ? " mipmaps" : "") +
             (clamp ? " clamp" : "") + " " + std::to_string(replace) + (done ? " callback" : ""));
        if (state.texture_width == 0) {
            state.texture_width = *width;
            state.texture_height = *height;
            state.texture_pixels.assign(rgba, rgba + size_t(*width) * *height * 4);
        }
        return 9;
    };
}

void fill_system(system_interface* t)
{
    memset(static_cast<void*>(t), 0, sizeof *t);
    t->set_fps_cap = [](const float* fps) {
        state.fps_cap = *fps;
        return int(1000 / *fps);
    };
}

}  // namespace

uint16_t FakeSend::type() const
{
    return bytes.size() >= 10 ? load_u16_le(reinterpret_cast<const uint8_t*>(bytes.data()) + 8) : 0;
}

std::vector<uint16_t> FakeGameTables::types_sent_to(uint16_t id) const
{
    std::vector<uint16_t> types;
    for (const FakeSend& send : sends)
        if (send.id == id) types.push_back(send.type());
    return types;
}

int FakeGameTables::count_sent(uint16_t id, uint16_t type) const
{
    int count = 0;
    for (const FakeSend& send : sends)
        if (send.id == id && send.type() == type) ++count;
    return count;
}

FakeGameTables& fake_game()
{
    return state;
}

void install_fake_game_tables(bool with_sound)
{
    state = FakeGameTables();
    fill_network(&network_table);
    fill_input(&input_table);
    fill_sound(&sound_table);
    fill_graphics(&graphics_table);
    fill_system(&system_table);
    modGraphics* graphics = __mGraphics_instance();
    graphics->interface_table = &graphics_table;
    graphics->window_width = 800;
    graphics->window_height = 600;
    __mInput_instance()->interface_table = &input_table;
    __mSystem_instance()->interface_table = &system_table;
    __mNetwork_instance()->interface_table = &network_table;
    __mNetwork_instance()->poll_failed = false;
    __mAudio_instance()->interface_table = with_sound ? &sound_table : nullptr;
}

// The modules free a table they still hold at exit; these are static.
void uninstall_fake_game_tables()
{
    __mGraphics_instance()->interface_table = nullptr;
    __mInput_instance()->interface_table = nullptr;
    __mSystem_instance()->interface_table = nullptr;
    __mNetwork_instance()->interface_table = nullptr;
    __mAudio_instance()->interface_table = nullptr;
}
