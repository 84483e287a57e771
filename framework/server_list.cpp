#include "framework/server_list.h"

#include <cstdio>

#include "base/bytes.h"
#include "base/fileops.h"

std::vector<std::string> parse_server_list(const uint8_t* bytes, size_t size)
{
    std::vector<std::string> names;
    ByteReader reader(bytes, size);
    int16_t count = 0;
    if (!reader.i16(count)) return names;
    for (int16_t i = 0; i < count; ++i) {
        int16_t length = 0;
        if (!reader.i16(length) || length < 0) break;
        const uint8_t* name = reader.take(size_t(length));
        if (!name) break;
        names.emplace_back(reinterpret_cast<const char*>(name), size_t(length));
    }
    return names;
}

std::vector<uint8_t> server_list_bytes(const std::vector<std::string>& names)
{
    std::vector<const std::string*> kept;
    for (const std::string& name : names) {
        if (name.size() > kMaxServerListEntry) {
            printf("WARNING: %s%zu\n", "Server name left out of the server list, its length is ", name.size());
            continue;
        }
        if (kept.size() == kMaxServerListEntry) {
            printf("WARNING: %s\n", "Server list full, the last servers are left out");
            break;
        }
        kept.push_back(&name);
    }
    std::vector<uint8_t> bytes;
    ByteWriter writer(bytes);
    writer.u16(uint16_t(kept.size()));
    for (const std::string* name : kept) {
        writer.u16(uint16_t(name->size()));
        writer.bytes(name->data(), name->size());
    }
    return bytes;
}

std::vector<std::string> read_server_list(const std::string& path)
{
    FILE* file = nullptr;
    __mFileOps_open_for_read(&file, path.c_str());
    if (!file) return {};
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    __mFileOps_close(file);
    return parse_server_list(bytes.data(), bytes.size());
}

bool write_server_list(const std::string& path, const std::vector<std::string>& names)
{
    const std::vector<uint8_t> bytes = server_list_bytes(names);
    return __mFileOps_replace_file(path, bytes.data(), bytes.size());
}
