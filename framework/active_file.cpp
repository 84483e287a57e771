#include "framework/active_file.h"

#include <cstdio>
#include <string>

#include "base/fileops.h"
#include "base/modules.h"

static void active_error(const char* message)
{
    printf("ERROR: %s\n", message);
}

// A file open for writing is written beside its path and put in place only
// when it closes whole, so a failed write never costs the file it replaces.
static std::string replaced_path;

static void open_for_replacing(modFileOperations* files, const std::string& path)
{
    files->active_file = __mFileOps_open_replacement(path);
    if (files->active_file)
        replaced_path = path;
    else
        printf("ERROR: %s%s\n", "Couldn't open file for write ", path.c_str());
}

static void finish_active(modFileOperations* files)
{
    if (replaced_path.empty())
        __mFileOps_close(files->active_file);
    else
        __mFileOps_commit_replacement(files->active_file, replaced_path, true);
    files->active_file = nullptr;
    replaced_path.clear();
}

static void open_active(modFileOperations* files, const std::string& path, bool writing)
{
    if (files->active_file) {
        // The earlier file would be unreachable from here on, so close it.
        active_error("Active File is already open");
        finish_active(files);
    }
    if (writing)
        open_for_replacing(files, path);
    else
        __mFileOps_open_for_read(&files->active_file, path.c_str());
    files->active_writing = writing;
}

void open_active_for_read(modFileOperations* files, const std::string& path)
{
    open_active(files, path, false);
}

void open_active_for_write(modFileOperations* files, const std::string& path)
{
    open_active(files, path, true);
}

void close_active(modFileOperations* files)
{
    if (!files->active_file) {
        active_error("Cannot close active file: it isn't open");
        return;
    }
    finish_active(files);
}

static bool ready_for(modFileOperations* files, bool writing)
{
    bool ready = true;
    if (!files->active_file) {
        active_error("No active file is open");
        ready = false;
    }
    if (files->active_writing != writing) {
        active_error(writing ? "Active file is not set up for writing" : "Active file is not set up for reading");
        ready = false;
    }
    return ready;
}

static void write_active(modFileOperations* files, const uint8_t* bytes, size_t count)
{
    if (ready_for(files, true)) fwrite(bytes, 1, count, files->active_file);
}

// Near the end of the file only the bytes present are stored.
static void read_active(modFileOperations* files, uint8_t* bytes, size_t count)
{
    if (!ready_for(files, false)) return;
    for (size_t i = 0; i < count; ++i) {
        const int c = fgetc(files->active_file);
        if (c == EOF) return;
        bytes[i] = uint8_t(c);
    }
}

void write_active_byte(modFileOperations* files, const uint8_t* value)
{
    write_active(files, value, 1);
}

void write_active_u16(modFileOperations* files, const uint16_t* value)
{
    const uint8_t bytes[2] = {uint8_t(*value & 0xFF), uint8_t(*value >> 8)};
    write_active(files, bytes, 2);
}

void read_active_byte(modFileOperations* files, uint8_t* value)
{
    read_active(files, value, 1);
}

void read_active_u16(modFileOperations* files, uint16_t* value)
{
    uint8_t bytes[2] = {uint8_t(*value & 0xFF), uint8_t(*value >> 8)};
    read_active(files, bytes, 2);
    *value = uint16_t(bytes[0] | (bytes[1] << 8));
}

std::string filename_of(const std::string& path)
{
    char name[kMaxNameBytes];
    __mFileOps_get_pathname_filename(name, path.c_str());
    return name;
}

std::string folder_of(const std::string& path)
{
    char folder[kMaxPathBytes];
    __mFileOps_get_pathname_path(folder, path.c_str());
    return folder;
}
