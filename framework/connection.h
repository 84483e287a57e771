// One peer's side of the byte stream: reads what the transport holds for the
// peer, cuts whole packets out of the stream and queues them, and notices a
// peer that has gone silent. Every byte here comes from the peer, so nothing
// in the stream can make the cutter read past what has arrived, wait forever
// on a forged header, or grow without bound.
#pragma once

#include <cstdint>
#include <vector>

#include "base/containers.h"
#include "framework/packet.h"

constexpr uint16_t kAllConnections = 0xFFFF;
constexpr int16_t kReadChunk = 512;
// Bytes held back from cutting; past this the socket is left to fill and TCP slows the peer.
constexpr size_t kStreamLimit = 4 * kMaxDynamicPacketSize;

class cVantorNetConnection {
public:
    // Takes ownership of the factory.
    cVantorNetConnection(cNetPacketFactoryBase* factory, float timeout);
    ~cVantorNetConnection();
    cVantorNetConnection(const cVantorNetConnection&) = delete;
    cVantorNetConnection& operator=(const cVantorNetConnection&) = delete;

    // Reads the peer's waiting bytes and cuts at most one packet into
    // received; returns the bytes read.
    int update(float* dt, uint16_t connection_id);
    // Forgets the previous peer: stream, queued packets, silence.
    void reset();

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

private:
    int read_peer(uint16_t id, bool* held_back);
    void note_silence(float* dt);
    void cut_packet();
    void destroy_received();
};

// Sends one packet to id (0xFFFF: the connection's send_id; the connection
// may be null when id names the peer); the transport's
// result, or 0 when this machine is neither server nor client.
int send_packet(uint16_t id, cVantorNetConnection* connection, __cNetPacketBase* packet);
