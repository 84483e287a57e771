// wirelink: the TCP transport over SDL_net. It fills the network table and
// has no framing of its own; callers send and receive byte runs.
#include <string>

#include "base/containers.h"
#include "base/keel.h"
#include "base/network_interface.h"
#include "base/strings.h"
#include "net/os/local_host.h"
#include "net/slots.h"

KEEL_API bool initialize(DSPrefHashMap<void>*)
{
    return true;
}

KEEL_API void shutdown()
{
}

KEEL_API const char* get_plugin_name()
{
    return "MOD-Wirelink";
}

KEEL_API const char* get_plugin_purpose()
{
    return "Module";
}

KEEL_API bool get_plugin_compatibility(const char* kind)
{
    return kind && __mystring_string_equal(kind, "NET");
}

KEEL_API void get_plugin_prereqs(DSParray<std::string>& names)
{
    names.insert(new std::string("MOD-Trellis"));
}

KEEL_API network_interface* connect_network_interface(network_interface* table)
{
    using namespace wirelink;
    table->net_local_host_info = local_host_info;
    table->net_init = net_init;
    table->net_quit = net_quit;
    table->net_poll = net_poll;
    table->net_format_address = net_format_address;
    table->net_parse_address = net_parse_address;
    table->net_is_server = net_is_server;
    table->net_start_server = net_start_server;
    table->net_stop_server = net_stop_server;
    table->net_drop_client = net_drop_client;
    table->net_server_send = net_server_send;
    table->net_client_count = net_client_count;
    table->net_free_client_id = net_free_client_id;
    table->net_nth_client_id = net_nth_client_id;
    table->net_is_client_active = net_is_client_active;
    table->net_client_host = net_client_host;
    table->net_is_client_ready = net_is_client_ready;
    table->net_server_receive = net_server_receive;
    table->net_is_client = net_is_client;
    table->net_start_client = net_start_client;
    table->net_stop_client = net_stop_client;
    table->net_client_send = net_client_send;
    table->net_server_host = net_server_host;
    table->net_is_server_ready = net_is_server_ready;
    table->net_client_receive = net_client_receive;
    table->net_last_error = net_last_error;
    return table;
}
