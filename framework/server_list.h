// The server list file: an i16 count, then per server an i16 length and that
// many bytes of its name, little-endian, no terminators. The file comes from
// disk and may be damaged or forged, so reading stops at the first entry that
// does not fit and keeps the names before it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The longest name and the most names the i16 fields can carry.
constexpr size_t kMaxServerListEntry = 32767;

std::vector<std::string> parse_server_list(const uint8_t* bytes, size_t size);
// Names longer than the format allows are left out with a warning.
std::vector<uint8_t> server_list_bytes(const std::vector<std::string>& names);

// The names in the file; none when it cannot be opened.
std::vector<std::string> read_server_list(const std::string& path);
// Replaces the file with the list's bytes; on failure the old file stays as
// it was and one ERROR line names it.
bool write_server_list(const std::string& path, const std::vector<std::string>& names);
