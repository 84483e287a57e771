// The few operating-system services keelcore needs: shared libraries,
// directory listing and creation, and the running program's own path.
// Everything platform-specific stays behind these functions.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct OsDirectoryEntry {
    std::string name;
    bool is_folder;
};

void* os_library_open(const char* path);
void* os_library_symbol(void* library, const char* name);
void os_library_close(void* library);
const char* os_library_error();

// Entries of a folder in name order (case folded first); false when the
// folder cannot be listed.
bool os_list_directory(const char* folder, std::vector<OsDirectoryEntry>& entries);
// Creates one folder; true only when it was created.
bool os_create_directory(const char* path);
// Whether anything is at path (file, folder, pipe...); nothing is opened.
bool os_path_exists(const char* path);
// Whether both paths name one and the same existing file, by any names.
bool os_same_file(const char* a, const char* b);
// The full path of the running program, or empty when unknown.
std::string os_program_path();
// The full path of the working folder, or empty when unknown.
std::string os_working_folder();
// Flushes what the stream holds and has the system put the file on the disk;
// false when either fails.
bool os_flush_to_disk(FILE* file);
// A number no other running process has.
unsigned long os_process_id();
