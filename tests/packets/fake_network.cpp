#include "fake_network.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/modules.h"

PendingBytes& PendingBytes::operator=(std::string taken_over)
{
    bytes = std::move(taken_over);
    front = 0;
    return *this;
}

PendingBytes& PendingBytes::operator+=(const std::string& more)
{
    bytes += more;
    return *this;
}

void PendingBytes::clear()
{
    bytes.clear();
    front = 0;
}

size_t PendingBytes::take(void* out, size_t max)
{
    const size_t count = std::min(max, bytes.size() - front);
    std::memcpy(out, bytes.data() + front, count);
    front += count;
    // What was taken goes once it is half of what is held.
    if (front == bytes.size())
        clear();
    else if (front > bytes.size() / 2) {
        bytes.erase(0, front);
        front = 0;
    }
    return count;
}

FakeNetwork& fake_network()
{
    static FakeNetwork state;
    return state;
}

namespace {

bool has_bytes()
{
    return !fake_network().pending.empty() || fake_network().forced_result;
}

int take(void* buffer, int max)
{
    FakeNetwork& net = fake_network();
    if (max > net.largest_request) net.largest_request = max;
    if (!has_bytes()) {
        ++net.receives_while_idle;
        return 0;
    }
    if (net.forced_result) return net.forced_result;
    return int(net.pending.take(buffer, max > 0 ? size_t(max) : 0));
}

int record_send(uint16_t id, const void* data, int length)
{
    FakeNetwork& net = fake_network();
    if (net.room >= 0 && length > net.room) length = int(net.room);
    if (net.room >= 0) net.room -= length;
    if (length > 0) net.sends.push_back({id, std::string(static_cast<const char*>(data), size_t(length))});
    return length;
}

network_interface make_table()
{
    network_interface table = {};
    table.net_is_server = [] { return fake_network().server; };
    table.net_is_client = [] { return fake_network().client; };
    table.net_is_server_ready = [] { return fake_network().client && has_bytes(); };
    table.net_is_client_active = [](uint16_t id) { return fake_network().server && id < 64; };
    table.net_is_client_ready = [](uint16_t id) { return fake_network().server && id < 64 && has_bytes(); };
    table.net_client_receive = [](void* buffer, int max) { return take(buffer, max); };
    table.net_server_receive = [](uint16_t, void* buffer, int max) { return take(buffer, max); };
    table.net_server_send = record_send;
    table.net_client_send = [](const void* data, int length) { return record_send(0xFFFF, data, length); };
    return table;
}

}  // namespace

void install_fake_network()
{
    static network_interface table = make_table();
    fake_network() = FakeNetwork();
    __mNetwork_instance()->interface_table = &table;
    __mNetwork_instance()->poll_failed = false;
}

// The module frees a table it still holds at exit; this one is static.
void uninstall_fake_network()
{
    __mNetwork_instance()->interface_table = nullptr;
    __mNetwork_instance()->poll_failed = false;
}
