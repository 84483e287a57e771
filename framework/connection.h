// One peer's side of the byte stream: reads what the transport holds for the
// peer, cuts whole packets out of the stream and queues them, and notices a
// peer that has gone silent. Every byte here comes from the peer, so nothing
// in the stream can make the cutter read past what has arrived, wait forever
// on a forged header, or grow without bound. Sends never wait either: what
// the peer's socket does not take at once waits in a bounded queue, and a
// peer that stops taking bytes is reported, never waited for.
#pragma once

#include <cstdint>
#include <vector>

#include "base/containers.h"
#include "framework/packet.h"

constexpr uint16_t kAllConnections = 0xFFFF;
constexpr int16_t kReadChunk = 512;
// Bytes held back from cutting; past this the socket is left to fill and TCP slows the peer.
constexpr size_t kStreamLimit = 4 * kMaxDynamicPacketSize;
// Bytes sent to the peer that its socket has not taken yet; past this the peer counts as stalled.
constexpr size_t kSendQueueLimit = 4 * kMaxDynamicPacketSize;

class cVantorNetConnection {
public:
    // Takes ownership of the factory.
    cVantorNetConnection(cNetPacketFactoryBase* factory, float timeout);
    ~cVantorNetConnection();
    cVantorNetConnection(const cVantorNetConnection&) = delete;
    cVantorNetConnection& operator=(const cVantorNetConnection&) = delete;

    // Sends what waits in outgoing, reads the peer's waiting bytes and cuts
    // at most one packet into received; returns the bytes read.
    int update(float* dt, uint16_t connection_id);
    // Forgets the previous peer: stream, queued packets, silence, bytes
    // still to send and a stall.
    void reset();
    // Whether a send to id reaches this connection's own peer: on a client
    // every send does (its one server); on a server a send to the peer's id
    // does, and the id 0xFFFF, every client at once, never.
    bool is_peer(uint16_t id) const;
    // Sends the bytes to the own peer; what its socket does not take now
    // waits in outgoing and goes out in later updates, in order. The count
    // accepted, or 0 when this machine is neither server nor client or the
    // peer has stalled.
    int send_bytes(const uint8_t* data, uint32_t size);

    cNetPacketFactoryBase* factory;
    int16_t read_chunk = kReadChunk;
    uint8_t* read_buffer;
    std::vector<uint8_t> stream;
    DSPrefArray<__cNetPacketBase> received;
    uint32_t magic = kPacketMagic;
    float silence = 0;
    float timeout;
    bool timed_out = false;
    uint16_t send_id = kAllConnections;
    uint16_t slot_index = 0;
    uint16_t connection_id = kAllConnections;
    std::vector<uint8_t> outgoing;
    float send_wait = 0;  // seconds outgoing has waited with the socket taking nothing
    // The peer stopped taking bytes: outgoing would have passed its bound,
    // or waited longer than timeout. Nothing more is sent.
    bool send_stalled = false;

private:
    uint16_t peer_id() const;
    int take_now(const uint8_t* data, size_t size);
    void flush_outgoing(float* dt);
    int read_peer(uint16_t id, bool* held_back);
    void note_silence(float* dt);
    void cut_packet();
    void destroy_received();
};

// Sends one packet to id (0xFFFF: the connection's send_id; the connection
// may be null when id names the peer). A send to the connection's own peer
// goes through its send_bytes; the bytes accepted, or the transport's result
// for any other id, 0 when this machine is neither server nor client.
int send_packet(uint16_t id, cVantorNetConnection* connection, __cNetPacketBase* packet);
