// The program's one active file: a single small binary file open at a time,
// for reading or for writing, with typed one- and two-byte transfers that
// refuse to run in the wrong mode. Its state lives in modFileOperations.
#pragma once

#include <cstdint>
#include <string>

class modFileOperations;

void open_active_for_read(modFileOperations* files, const std::string& path);
void open_active_for_write(modFileOperations* files, const std::string& path);
void close_active(modFileOperations* files);
void write_active_byte(modFileOperations* files, const uint8_t* value);
void write_active_u16(modFileOperations* files, const uint16_t* value);
void read_active_byte(modFileOperations* files, uint8_t* value);
void read_active_u16(modFileOperations* files, uint16_t* value);

// The file name of a path without folder and extension (at most 63 characters).
std::string filename_of(const std::string& path);
// The part of a path before its last '/' or '\\' (at most 259 characters).
std::string folder_of(const std::string& path);
