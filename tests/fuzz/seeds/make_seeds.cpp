// Writes the seed corpora of the fuzz targets into <fuzz folder>/<target>/corpus/
// from the game's own packet builders and file writers: a few honest inputs
// and a few damaged ones per target. Deterministic to the byte, so a change
// in a format shows as a change in the seeds.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/server_list.h"
#include "game/packets.h"
#include "game/player_record.h"
#include "game/settings.h"
#include "platform/images.h"
#include "tests/fuzz/support/fuzz_support.h"
#include "tests/support/tiff_bytes.h"

#ifdef ZR_SEEDS_JPEG
#include "tests/support/jpeg_bytes.h"
#endif

namespace {

std::string fuzz_folder;
int written = 0;

void seed(const std::string& target, const std::string& name, const std::string& bytes)
{
    const std::string folder = fuzz_folder + "/" + target + "/corpus";
    mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/" + name;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0) {
        perror(path.c_str());
        exit(1);
    }
    ++written;
}

std::string wire(__cNetPacketBase& packet)
{
    const uint32_t size = packet.get_wire_size();
    return std::string(reinterpret_cast<const char*>(packet.get_wire_data()), size);
}

// A header as a peer may forge it, then the payload.
std::string forged(uint16_t type, uint32_t length, const std::string& payload)
{
    uint8_t header[kPacketHeaderSize];
    write_packet_header(header, kPacketMagic, type, length);
    return std::string(reinterpret_cast<const char*>(header), sizeof header) + payload;
}

std::string file_bytes(const std::string& path)
{
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

ctPhysicsObject body_at(double x)
{
    return ctPhysicsObject(cVector3D(x, 2, 3), cQuaternion(0, 0, 0, 1), 1, 5);
}

// The game's packets, honest.
std::string chat(const std::string& text)
{
    cVantorChatPacket<kPacketMagic> packet(text);
    return wire(packet);
}

std::string bare(uint16_t type)
{
    czrpBare packet(type);
    return wire(packet);
}

std::string join(const char* name, uint16_t species)
{
    czrpRequestJoin packet(name, species);
    return wire(packet);
}

std::string welcome(uint16_t slot, uint16_t host)
{
    czrpWelcome packet({3, slot, host});
    return wire(packet);
}

std::string roster(int players)
{
    czrRosterEntry entries[kPlayerSlots];
    const char* const names[] = {"Host", "Ann", "Bob", "Cy"};
    for (int slot = 0; slot < players && slot < 4; ++slot) {
        entries[slot].state = kSlotInUse;
        copy_player_name(entries[slot].name, names[slot]);
        entries[slot].species = uint8_t(slot % 2);
        entries[slot].car_sync_id = uint32_t(slot + 1);
    }
    czrpRoster packet(entries);
    return wire(packet);
}

std::string racetrack(uint32_t carts)
{
    TrackLoadRecord track;
    track.node_count = 40;
    track.seed = 1234;
    czrpRacetrackLoad packet(track, carts);
    for (uint32_t i = 0; i < carts; ++i) {
        czrCar cart(cVector3D(i, 2, 3), cQuaternion(0, 0, 0, 1), int8_t(i), uint8_t(i % 2));
        cart.sync_id = i + 1;
        packet.append_cart(cart);
    }
    return wire(packet);
}

std::string update_cars()
{
    czrpUpdateCars packet(2, 1);
    for (uint32_t id : {1u, 2u}) {
        czrCar cart(cVector3D(1, 2, 3), cQuaternion(0, 0, 0, 1), 0, 0);
        cart.sync_id = id;
        packet.append_cart(cart);
    }
    czrProjectile projectile;
    projectile.sync_id = 9;
    packet.append_projectile(projectile);
    const uint8_t ranks[kPlayerSlots] = {1, 2};
    packet.append_ranks(ranks);
    return wire(packet);
}

std::string post_movement()
{
    czrpPostMovement packet(body_at(4));
    return wire(packet);
}

std::string projectile_spawn()
{
    czrProjectile projectile;
    projectile.kind = 1;
    ctPhysicsObject::copy_physics_state(projectile, body_at(7));
    projectile.sync_id = 9;
    czrpProjectileSpawn packet(projectile);
    return wire(packet);
}

std::string teleport()
{
    czrpCarTeleport packet({2, cVector3D(5, 6, 7), cQuaternion(0, 0, 0, 1)});
    return wire(packet);
}

std::string impulse()
{
    czrpImpulse packet(cVector3D(0, 1, 0));
    return wire(packet);
}

std::string action()
{
    czrpRequestAction packet(2, 77);
    return wire(packet);
}

std::string next_lap()
{
    czrpNextLap packet(1);
    return wire(packet);
}

std::string projectile_delete()
{
    czrpProjectileDelete packet(9);
    return wire(packet);
}

std::string blast()
{
    czrpBlastSpawn packet;
    return wire(packet);
}

std::string burst()
{
    ParticleBurst burst;
    burst.count = 12;
    burst.life_min = 1;
    burst.size_min = 0.5f;
    burst.colour = cColor(1, 0.5f, 0, 1);
    cVantorParticleBurstPacket<kPacketMagic> packet(burst);
    return wire(packet);
}

void packet_stream_seeds()
{
    const std::string t = "packet_stream";
    const char server = 0;  // setup byte: this side is the host, reads of 512 bytes
    const char client = 1;
    seed(t, "client-packets", std::string(1, server) + join("Ann", 1) + chat("hello") + bare(kPacketKeepAlive) +
                                  post_movement() + action() + bare(kPacketRequestReset) + bare(kPacketClientQuit));
    seed(t, "host-packets", std::string(1, client) + welcome(1, 0) + roster(3) + racetrack(3) + update_cars() +
                                teleport() + impulse() + next_lap() + projectile_spawn() + projectile_delete() +
                                blast() + burst() + bare(kPacketBackToLobby) + bare(kPacketBooted));
    seed(t, "one-byte-reads", std::string(1, client | (1 << 1)) + roster(2) + update_cars());
    seed(t, "junk-between", std::string(1, server) + "junk" + chat("a") + std::string(7, '\x55') + post_movement());
    seed(t, "cut-short", std::string(1, client) + racetrack(2).substr(0, 100));
    seed(t, "forged-lengths", std::string(1, server) + forged(kPacketPostMovement, 0xFFFFFFF0u, "") +
                                  forged(kPacketUpdateCars, 20, std::string(4, '\xFF')) +
                                  forged(kPacketRacetrackLoad, 32, std::string(16, '\x7F')) +
                                  forged(kPacketWelcome, 17, "x") + chat("after"));
    seed(t, "unknown-types", std::string(1, client) + forged(9999, 0, "") + forged(30004, 0, "") + bare(kPacketKeepAlive));
}

// One step of a play script: a control byte (peer, close, frame length, stop
// reading) and at most 255 bytes; longer bytes go out over several steps and
// frames.
std::string steps(uint16_t peer, const std::string& bytes, int frame = 0, bool close = false,
                  bool stop_reading = false)
{
    std::string script;
    size_t at = 0;
    do {
        const size_t count = bytes.size() - at < 255 ? bytes.size() - at : 255;
        script += char((peer & 0x0F) | (close ? 0x10 : 0) | (frame << 5) | (stop_reading ? 0x80 : 0));
        script += char(count);
        script += bytes.substr(at, count);
        at += count;
    } while (at < bytes.size());
    return script;
}

void host_play_seeds()
{
    const std::string t = "host_play";
    const char lobby = 0;
    const char seated = 1;  // Ann, Bob and Cy on transport ids 1 to 3
    const char race = 2;
    seed(t, "join-and-chat", lobby + steps(4, join("Dee", 0)) + steps(4, chat("hi all")) + steps(4, "", 1));
    seed(t, "join-twice-same-name", lobby + steps(4, join("Dee", 0)) + steps(5, join("Dee", 1)) +
                                        steps(4, bare(kPacketClientQuit)) + steps(6, join("Dee", 1)));
    seed(t, "seated-talk", std::string(1, seated) + steps(1, chat("from Ann")) + steps(2, bare(kPacketKeepAlive)) +
                               steps(3, action()) + steps(2, bare(kPacketRequestReset)) + steps(1, "", 3));
    seed(t, "seated-forbidden", std::string(1, seated) + steps(1, welcome(0, 0)) + steps(2, next_lap()) +
                                    steps(3, bare(kPacketBooted)) + steps(1, roster(4)));
    seed(t, "race-movement", std::string(1, seated | race) + steps(1, post_movement()) + steps(2, post_movement()) +
                                 steps(4, join("Late", 0)) + steps(3, "", 2) + steps(3, "", 3));
    seed(t, "closed-and-junk", lobby + steps(7, "", 0, true) + steps(8, "not a packet at all") +
                                   steps(9, forged(kPacketRequestJoin, 33, "short")));
    seed(t, "seated-quit", std::string(1, seated) + steps(2, bare(kPacketClientQuit)) + steps(2, join("Bob", 0)));
    std::string flood;
    for (int second = 0; second < 7; ++second) flood += steps(1, chat("no one reads me"), 2);
    seed(t, "seated-stops-reading", std::string(1, seated) + steps(1, bare(kPacketKeepAlive), 0, false, true) + flood +
                                        steps(2, bare(kPacketKeepAlive)));
}

void client_play_seeds()
{
    const std::string t = "client_play";
    const char lobby = 0;
    const char welcomed = 1;
    const char race = 2;
    seed(t, "welcome-and-roster", lobby + steps(0, welcome(1, 0)) + steps(0, roster(2)) + steps(0, chat("hello")) +
                                      steps(0, bare(kPacketKeepAlive), 1));
    seed(t, "race-round", std::string(1, welcomed) + steps(0, roster(3)) + steps(0, racetrack(3)) +
                              steps(0, update_cars()) + steps(0, teleport()) + steps(0, impulse()) +
                              steps(0, next_lap()) + steps(0, projectile_spawn()) + steps(0, projectile_delete()) +
                              steps(0, blast()) + steps(0, bare(kPacketBackToLobby)));
    seed(t, "in-race", std::string(1, welcomed | race) + steps(0, update_cars()) + steps(0, burst()) +
                           steps(0, bare(kPacketBooted)));
    seed(t, "silent-host", lobby + steps(0, "", 3) + steps(0, "", 3) + steps(0, "", 3));
    std::string talking;
    for (int second = 0; second < 9; ++second) talking += steps(0, bare(kPacketKeepAlive), 2);
    seed(t, "host-stops-reading", std::string(1, welcomed) + steps(0, roster(2), 0, false, true) + talking);
    seed(t, "forged", std::string(1, welcomed) + steps(0, forged(kPacketWelcome, 16, "")) +
                          steps(0, forged(kPacketRacetrackLoad, 32, std::string(16, '\x7F'))) +
                          steps(0, forged(kPacketUpdateCars, 20, std::string(4, '\xFF'))) +
                          steps(0, welcome(40, 99)) + steps(0, bare(kPacketRequestReset)) +
                          steps(0, bare(kPacketClientQuit)));
}

void rules_text_seeds()
{
    const std::string t = "rules_text";
    seed(t, "rules.ini", file_bytes(std::string(ZR_SOURCE_DIR) + "/data/zorblitRally/rules.ini"));
    seed(t, "small", "DontLoadTextures YES\nServers < a b c >\nKeys { TURN < + NULL Left Right 1.0 > }\n");
    seed(t, "comments", "# hidden Name value # { Block { Inner 1 } }\n");
    seed(t, "unclosed", "Block { Inner { List < 1 2 3\n");
    seed(t, "stray-brackets", "} > < { a { > } b < > c\n");
    seed(t, "duplicates", "A 1 A 2 B { } B { C 3 }\n");
    std::string deep;
    for (int i = 0; i < 70; ++i) deep += "n { ";
    seed(t, "deep", deep + "leaf 1");
}

void server_list_seeds()
{
    const std::string t = "server_list";
    const std::vector<uint8_t> two = server_list_bytes({"127.0.0.1", "zorblit.example"});
    const std::string honest(two.begin(), two.end());
    seed(t, "two-servers", honest);
    seed(t, "empty-list", std::string("\0\0", 2));
    seed(t, "cut-short", honest.substr(0, honest.size() - 3));
    seed(t, "negative-count", std::string("\xFF\xFF\x01\x00x", 5));
    seed(t, "negative-length", std::string("\x02\x00\x03\x00" "abc" "\xFE\xFF", 9));
}

std::string settings_bytes(uint32_t version, const char* name, uint16_t species)
{
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    out.u32(version);
    char field[kPlayerNameSize] = {};
    copy_player_name(field, name);
    out.bytes(field, sizeof field);
    out.u16(1);
    out.u16(species);
    out.u8(23);
    out.u8(4);
    out.u8(1);
    out.u8(0);
    return std::string(bytes.begin(), bytes.end());
}

void settings_file_seeds()
{
    const std::string t = "settings_file";
    seed(t, "honest", settings_bytes(kSettingsVersion, "Ann", 1));
    seed(t, "old-version", settings_bytes(295, "Ann", 1));
    seed(t, "cut-short", settings_bytes(kSettingsVersion, "Ann", 1).substr(0, 30));
    std::string unterminated = settings_bytes(kSettingsVersion, "", 7);
    for (size_t i = 4; i < 4 + kPlayerNameSize; ++i) unterminated[i] = 'N';
    seed(t, "unterminated-name", unterminated);
}

void cfg_file_seeds()
{
    const std::string t = "cfg_file";
    seed(t, "800x600-window", std::string("\x20\x03\x58\x02\x00", 5));
    seed(t, "1280x1024-full", std::string("\x00\x05\x00\x04\x01", 5));
    seed(t, "zero-size", std::string("\x00\x00\x00\x00\x01", 5));
    seed(t, "cut-short", std::string("\x20\x03\x58", 3));
    seed(t, "answers", "800 600\ny\n");
    seed(t, "default-answer", "0\nn\n");
}

std::string exported(const char* ending, uint16_t width, uint16_t height)
{
    std::vector<uint8_t> rgba(size_t(width) * height * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 37);
    const std::string path = scratch_file(std::string("seed.") + ending, nullptr, 0);
    if (!trellis::export_image(path.c_str(), width, height, rgba.data())) {
        fprintf(stderr, "could not write %s\n", path.c_str());
        exit(1);
    }
    return file_bytes(path);
}

#ifdef ZR_SEEDS_JPEG
std::string jpeg_rgb(int width, int height)
{
    return jpeg_bytes(width, height, 50, [](int y, std::vector<uint8_t>& row) {
        for (size_t i = 0; i < row.size(); ++i) row[i] = uint8_t(i * 40 + y * 90);
    });
}
#endif

// The target's first byte picks the ending by its index in the format list.
char format_byte(const char* ending)
{
    for (int i = 0; i < trellis::get_image_format_count(); ++i)
        if (strcmp(trellis::get_image_format_name(i), ending) == 0) return char(i);
    fprintf(stderr, "no image format %s\n", ending);
    exit(1);
}

void image_import_seeds()
{
    const std::string t = "image_import";
    const std::string png = exported("png", 3, 2);
    seed(t, "rgba-3x2.png", format_byte("png") + png);
    seed(t, "cut-short.png", format_byte("png") + png.substr(0, png.size() / 2));
    const std::string bmp = exported("bmp", 2, 2);
    seed(t, "rgb-2x2.bmp", format_byte("bmp") + bmp);
    seed(t, "cut-short.bmp", format_byte("bmp") + bmp.substr(0, 40));
    // 1 x 1, two palette colours, LZW-coded.
    const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF, 0xFF,
                                 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
                                 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    seed(t, "palette-1x1.gif", format_byte("gif") + std::string(reinterpret_cast<const char*>(gif), sizeof gif));
    seed(t, "grey-2x2.tif", format_byte("tif") + tiff_grey_2x2());
    seed(t, "grey-273-samples.tif", format_byte("tif") + tiff_grey_273_samples());
#ifdef ZR_SEEDS_JPEG
    const std::string jpg = jpeg_rgb(8, 8);
    seed(t, "rgb-8x8.jpg", format_byte("jpg") + jpg);
    seed(t, "cut-short.jpeg", format_byte("jpeg") + jpg.substr(0, jpg.size() * 2 / 3));
#endif
    seed(t, "png-as-bmp", format_byte("bmp") + png);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s <tests/fuzz folder>\n", argv[0]);
        return 2;
    }
    fuzz_folder = argv[1];
    packet_stream_seeds();
    host_play_seeds();
    client_play_seeds();
    rules_text_seeds();
    server_list_seeds();
    settings_file_seeds();
    cfg_file_seeds();
    image_import_seeds();
    printf("%d seeds written\n", written);
    return 0;
}
