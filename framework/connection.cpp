#include "framework/connection.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "base/modules.h"

cVantorNetConnection::cVantorNetConnection(cNetPacketFactoryBase* factory, float timeout)
    : factory(factory), read_buffer(new uint8_t[kReadChunk]()), received(), timeout(timeout)
{
}

cVantorNetConnection::~cVantorNetConnection()
{
    delete[] read_buffer;
    delete factory;
    destroy_received();
}

void cVantorNetConnection::reset()
{
    stream.clear();
    destroy_received();
    silence = 0;
    timed_out = false;
    outgoing.clear();
    send_wait = 0;
    send_stalled = false;
}

void cVantorNetConnection::destroy_received()
{
    for (uint32_t i = 0; i < received.count(); ++i) received.get(i)->destroy();
    received.clear();
}

uint16_t cVantorNetConnection::peer_id() const
{
    return connection_id != kAllConnections ? connection_id : send_id;
}

bool cVantorNetConnection::is_peer(uint16_t id) const
{
    network_interface* net = __mNetwork_instance()->interface_table;
    if (!net) return false;
    if (net->net_is_client()) return true;
    return net->net_is_server() && id != kAllConnections && id == peer_id();
}

// What the socket takes of the bytes right now, 0 to size; -1 when this
// machine is neither server nor client.
int cVantorNetConnection::take_now(const uint8_t* data, size_t size)
{
    network_interface* net = __mNetwork_instance()->interface_table;
    if (!net) return -1;
    int taken;
    if (net->net_is_client())
        taken = net->net_client_send(data, int(size));
    else if (net->net_is_server() && peer_id() != kAllConnections)
        taken = net->net_server_send(peer_id(), data, int(size));
    else
        return -1;
    if (taken < 0) return 0;
    return size_t(taken) < size ? taken : int(size);
}

int cVantorNetConnection::send_bytes(const uint8_t* data, uint32_t size)
{
    if (send_stalled || !data) return 0;
    int taken = 0;
    if (outgoing.empty()) {
        taken = take_now(data, size);
        if (taken < 0) return 0;
    }
    const size_t rest = size - uint32_t(taken);
    if (outgoing.size() + rest > kSendQueueLimit) {
        send_stalled = true;
        return taken;
    }
    outgoing.insert(outgoing.end(), data + taken, data + size);
    return int(size);
}

void cVantorNetConnection::flush_outgoing(float* dt)
{
    if (outgoing.empty()) {
        send_wait = 0;
        return;
    }
    const int taken = take_now(outgoing.data(), outgoing.size());
    if (taken < 0) return;
    if (taken > 0) {
        outgoing.erase(outgoing.begin(), outgoing.begin() + taken);
        send_wait = 0;
        return;
    }
    if (dt && std::isfinite(*dt) && *dt > 0) send_wait += *dt;
    if (send_wait > timeout) send_stalled = true;
}

int cVantorNetConnection::update(float* dt, uint16_t id)
{
    network_interface* net = __mNetwork_instance()->interface_table;
    if (net && !net->net_is_client() && id == kAllConnections)
        printf("ERROR: %s\n", "Cannot use \"ALL\" socket on this server command");
    flush_outgoing(dt);
    bool held_back = false;
    int total = read_peer(id, &held_back);
    if (total > 0) {
        silence = 0;
        timed_out = false;
    } else if (!held_back) {
        note_silence(dt);
    }
    cut_packet();
    return total;
}

// Drains the socket in chunks, asking the transport before every read whether
// bytes are still waiting, so no read ever waits for the peer.
int cVantorNetConnection::read_peer(uint16_t id, bool* held_back)
{
    modNetwork* module = __mNetwork_instance();
    network_interface* net = module->interface_table;
    if (!net || module->poll_failed) return 0;
    bool client = net->net_is_client();
    bool server = !client && net->net_is_server();
    auto ready = [&] {
        if (client) return net->net_is_server_ready();
        return server && net->net_is_client_active(id) && net->net_is_client_ready(id);
    };
    int total = 0;
    while (ready()) {
        if (stream.size() >= kStreamLimit) {
            *held_back = true;
            break;
        }
        // The buffer holds kReadChunk bytes whatever read_chunk is set to, and
        // the last read before the limit takes only the room left under it.
        int chunk = read_chunk > 0 && read_chunk < kReadChunk ? read_chunk : kReadChunk;
        if (size_t(chunk) > kStreamLimit - stream.size()) chunk = int(kStreamLimit - stream.size());
        int count = client ? net->net_client_receive(read_buffer, chunk)
                           : net->net_server_receive(id, read_buffer, chunk);
        if (count <= 0) break;
        if (count > chunk) count = chunk;
        stream.insert(stream.end(), read_buffer, read_buffer + count);
        total += count;
        if (count < chunk) break;
    }
    return total;
}

void cVantorNetConnection::note_silence(float* dt)
{
    if (dt && std::isfinite(*dt) && *dt > 0) silence += *dt;
    if (silence > timeout) timed_out = true;
}

// Bytes a packet with this header occupies on the wire; 0 rejects the header.
static uint32_t wire_size_of(const PacketHeader& header, const PacketLayout& layout)
{
    switch (layout.shape) {
    case PacketShape::bare: return kPacketHeaderSize;
    case PacketShape::fixed: return layout.payload <= kMaxDynamicPacketSize ? fixed_wire_size(layout.payload) : 0;
    case PacketShape::dynamic:
        return header.length >= kPacketHeaderSize && header.length <= kMaxDynamicPacketSize ? header.length : 0;
    }
    return 0;
}

constexpr size_t kNoHeader = SIZE_MAX;

// Offset of the first whole header at or after from whose magic matches.
static size_t find_header(const std::vector<uint8_t>& stream, size_t from, uint32_t magic)
{
    if (stream.size() < kPacketHeaderSize) return kNoHeader;
    for (size_t k = from; k + kPacketHeaderSize <= stream.size(); ++k)
        if (load_u32_le(stream.data() + k + 4) == magic) return k;
    return kNoHeader;
}

// Cuts at most one whole packet. Junk before a header, headers of unknown
// types and headers with impossible lengths are dropped; a packet is built
// only once all of its wire bytes are here. The consumed bytes go in one erase.
void cVantorNetConnection::cut_packet()
{
    size_t at = 0;
    while (stream.size() - at >= kPacketHeaderSize) {
        size_t found = find_header(stream, at, magic);
        if (found == kNoHeader) {
            at = stream.size() - (kPacketHeaderSize - 1);
            break;
        }
        at = found;
        PacketHeader header;
        read_packet_header(stream.data() + at, stream.size() - at, &header);
        PacketLayout layout;
        if (!factory || !factory->packet_layout(header.type, &layout)) {
            at += kPacketHeaderSize;
            continue;
        }
        uint32_t wire = wire_size_of(header, layout);
        if (!wire) {
            printf("ERROR: Rejected packet length %u on Type %u\n", unsigned(header.length), unsigned(header.type));
            at += kPacketHeaderSize;
            continue;
        }
        if (stream.size() - at < wire) break;
        __cNetPacketBase* packet =
            factory->build_packet(header, stream.data() + at + kPacketHeaderSize, wire - kPacketHeaderSize);
        if (!packet) {
            at += kPacketHeaderSize;
            continue;
        }
        if (packet->length != header.length)
            printf("ERROR: Packet size mismatch on Type %u: %u != %u\n", unsigned(header.type), unsigned(packet->length),
                   unsigned(header.length));
        received.insert(packet);
        at += wire;
        break;
    }
    stream.erase(stream.begin(), stream.begin() + long(at));
}

int send_packet(uint16_t id, cVantorNetConnection* connection, __cNetPacketBase* packet)
{
    network_interface* net = __mNetwork_instance()->interface_table;
    if (!net || !packet) return 0;
    if (id == kAllConnections) {
        if (!connection) return 0;
        id = connection->send_id;
    }
    const uint32_t size = packet->get_wire_size();
    const uint8_t* data = packet->get_wire_data();
    if (connection && connection->is_peer(id)) return connection->send_bytes(data, size);
    if (net->net_is_server()) return net->net_server_send(id, data, int(size));
    if (net->net_is_client()) return net->net_client_send(data, int(size));
    return 0;
}
