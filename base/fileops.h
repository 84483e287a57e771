// File operations: whole-file reading, opening streams for the engine's active
// file, existence, copying, extension tests, listing and creating folders, and
// splitting path names. Both '/' and '\\' separate folders.
#pragma once

#include <cstdio>
#include <string>

#include "base/keel.h"

class modFileOperations;

// One name of a folder listing; the caller frees name with delete[] and the
// node with delete.
struct FileNameNode {
    char* name;
    FileNameNode* next;
};

KEEL_API modFileOperations* __mFileOps_instance();
// The whole file in a new[] buffer with a terminating NUL; null on failure.
KEEL_API char* __mFileOps_create_string_from_file(const char* path);
// The same, with the count of bytes read in *length, for text that may hold
// 0 bytes of its own.
KEEL_SHARED char* __mFileOps_create_bytes_from_file(const char* path, size_t* length);
KEEL_API void __mFileOps_open_for_read(FILE** out, const char* path);
KEEL_API void __mFileOps_open_for_write(FILE** out, const char* path);
KEEL_API int __mFileOps_close(FILE* file);
// True when anything is at path; the path is never opened, so a file the
// user may not read or a named pipe exists too.
KEEL_API bool __mFileOps_file_exists(const char* path);
// Replaces destination with the bytes of source; a missing source, or a
// destination that is the source itself, leaves the destination untouched.
KEEL_API void __mFileOps_file_copy(const char* destination, const char* source);
KEEL_API bool __mFileOps_check_for_extension(const char* name, const char* extension);
// extensions: entries separated by ';', ".*" for every file, "" for folders only.
KEEL_API FileNameNode* __mFileOps_collect_files(const char* folder, const char* extensions);
KEEL_API bool __mFileOps_create_directory(const char* path);
// The path splitters write at most kMaxNameBytes (extension, file name) or
// kMaxPathBytes (folder) bytes to out, terminator included; longer parts are cut.
KEEL_API void __mFileOps_get_pathname_extention(char* out, const char* path);
KEEL_API void __mFileOps_get_pathname_filename(char* out, const char* path);
KEEL_API void __mFileOps_get_pathname_path(char* out, const char* path);
// A name beside path for writing a file before renaming it over path; it is
// this process's own, so programs writing the same file at once never share one.
KEEL_SHARED std::string __mFileOps_temporary_path(const std::string& path);

constexpr int kMaxNameBytes = 64;
constexpr int kMaxPathBytes = 260;
