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
// Replaces destination with the bytes of source, as a replacement (below): a
// copy cut short never stands at destination. A missing source, a destination
// that is the source itself or one that cannot be created leaves it untouched
// and prints nothing; a failed write prints one ERROR line.
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

// Saving a whole file: the new bytes go to a temporary file beside path
// (path + "." + the process number + ".tmp", so programs saving the same file
// at once never share one), which is put on the disk and only then renamed
// over path. A failed write or a kill at any moment leaves the old file or
// the new one at path, never a mix; a temporary file a kill leaves behind is
// never read.
// The temporary file for path, opened for writing; null, silently, when it
// cannot be created.
KEEL_SHARED FILE* __mFileOps_open_replacement(const std::string& path);
// Closes file, opened by __mFileOps_open_replacement(path), and renames it over
// path when written is true and the writes, the flush to the disk and the
// close all succeeded. Otherwise the temporary file is removed, path is left
// as it was and one line "ERROR: Couldn't write file <path> (<reason>)" is
// printed; false.
KEEL_SHARED bool __mFileOps_commit_replacement(FILE* file, const std::string& path, bool written);
// Replaces path with size bytes in that way; a temporary file that cannot be
// created prints "ERROR: Couldn't open file for write <path>". False on failure.
KEEL_SHARED bool __mFileOps_replace_file(const std::string& path, const void* bytes, size_t size);

constexpr int kMaxNameBytes = 64;
constexpr int kMaxPathBytes = 260;
