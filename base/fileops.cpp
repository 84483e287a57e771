#include "base/fileops.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "base/modules.h"
#include "base/os/os.h"

// '\\' becomes '/' and runs of '/' collapse to one.
static std::string normalise_separators(const char* path)
{
    std::string normal;
    for (const char* p = path; *p; ++p) {
        const char c = *p == '\\' ? '/' : *p;
        if (c == '/' && !normal.empty() && normal.back() == '/') continue;
        normal += c;
    }
    return normal;
}

modFileOperations* __mFileOps_instance()
{
    static modFileOperations instance;
    return &instance;
}

char* __mFileOps_create_string_from_file(const char* path)
{
    size_t ignored = 0;
    return __mFileOps_create_bytes_from_file(path, &ignored);
}

char* __mFileOps_create_bytes_from_file(const char* path, size_t* length)
{
    FILE* file = fopen(normalise_separators(path).c_str(), "r");
    if (!file) {
        fprintf(stderr, "Can't open file '%s' for reading\n", path);
        return nullptr;
    }
    // A folder opens but cannot be read, and its end is no size to allocate.
    long size = -1;
    if (fgetc(file) != EOF || !ferror(file))
        if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    if (size < 0 || fseek(file, 0, SEEK_SET) != 0) {
        fclose(file);
        fprintf(stderr, "Can't open file '%s' for reading\n", path);
        return nullptr;
    }
    char* text = new (std::nothrow) char[size_t(size) + 1];
    if (!text) {
        fclose(file);
        fprintf(stderr, "Can't new space for '%s'\n", path);
        return nullptr;
    }
    const size_t read = fread(text, 1, size_t(size), file);
    text[read] = 0;
    *length = read;
    fclose(file);
    return text;
}

void __mFileOps_open_for_read(FILE** out, const char* path)
{
    *out = fopen(normalise_separators(path).c_str(), "rb");
    if (!*out) printf("ERROR: %s%s\n", "Couldn't open file for read ", path);
}

void __mFileOps_open_for_write(FILE** out, const char* path)
{
    *out = fopen(normalise_separators(path).c_str(), "wb");
    if (!*out) printf("ERROR: %s%s\n", "Couldn't open file for write ", path);
}

int __mFileOps_close(FILE* file)
{
    return file ? fclose(file) : EOF;
}

bool __mFileOps_file_exists(const char* path)
{
    return os_path_exists(normalise_separators(path).c_str());
}

void __mFileOps_file_copy(const char* destination, const char* source)
{
    const std::string to = normalise_separators(destination);
    const std::string from = normalise_separators(source);
    // A copy onto the source itself, by any name, leaves it as it is.
    if (os_same_file(to.c_str(), from.c_str())) return;
    // The replacement is made only once the source has been read from (a
    // folder opens but cannot be read).
    FILE* in = fopen(from.c_str(), "rb");
    if (!in) return;
    char buffer[8192];
    size_t count = fread(buffer, 1, sizeof buffer, in);
    FILE* out = ferror(in) ? nullptr : __mFileOps_open_replacement(to);
    if (!out) {
        fclose(in);
        return;
    }
    bool written = true;
    while (count > 0 && (written = fwrite(buffer, 1, count, out) == count)) count = fread(buffer, 1, sizeof buffer, in);
    written = written && !ferror(in);
    fclose(in);
    __mFileOps_commit_replacement(out, destination, written);
}

bool __mFileOps_check_for_extension(const char* name, const char* extension)
{
    const size_t name_length = strlen(name);
    const size_t extension_length = strlen(extension);
    if (name_length <= extension_length + 1) return false;
    return strcmp(name + name_length - extension_length, extension) == 0;
}

static std::vector<std::string> split_extensions(const char* extensions)
{
    std::vector<std::string> entries;
    std::string entry;
    for (const char* p = extensions;; ++p) {
        if (*p == ';' || *p == 0) {
            if (!entry.empty()) entries.push_back(entry);
            entry.clear();
            if (*p == 0) break;
        } else if (entry.size() < 31) {
            entry += *p;
        }
    }
    return entries;
}

static bool ends_with_folded(const std::string& name, const std::string& ending)
{
    if (name.size() < ending.size()) return false;
    return strcasecmp(name.c_str() + name.size() - ending.size(), ending.c_str()) == 0;
}

static bool keep_entry(const OsDirectoryEntry& entry, const std::vector<std::string>& filter, bool every_file)
{
    if (entry.is_folder) return filter.empty();
    if (filter.empty()) return false;
    if (every_file) return true;
    for (const std::string& ending : filter)
        if (ends_with_folded(entry.name, ending)) return true;
    return false;
}

FileNameNode* __mFileOps_collect_files(const char* folder, const char* extensions)
{
    const std::vector<std::string> filter = split_extensions(extensions);
    const bool every_file = strcmp(extensions, ".*") == 0;
    std::vector<OsDirectoryEntry> entries;
    if (!os_list_directory(normalise_separators(folder).c_str(), entries)) return nullptr;

    FileNameNode* first = nullptr;
    FileNameNode** tail = &first;
    for (const OsDirectoryEntry& entry : entries) {
        if (!keep_entry(entry, filter, every_file)) continue;
        const size_t length = std::min(entry.name.size(), size_t(kMaxPathBytes - 1));
        char* name = new char[length + 1];
        memcpy(name, entry.name.data(), length);
        name[length] = 0;
        *tail = new FileNameNode{name, nullptr};
        tail = &(*tail)->next;
    }
    return first;
}

bool __mFileOps_create_directory(const char* path)
{
    return os_create_directory(normalise_separators(path).c_str());
}

static bool is_separator(char c)
{
    return c == '/' || c == '\\';
}

static void copy_bounded(char* out, const char* begin, size_t length, size_t size)
{
    if (length > size - 1) length = size - 1;
    memcpy(out, begin, length);
    out[length] = 0;
}

static const char* last_separator(const char* path)
{
    const char* found = nullptr;
    for (const char* p = path; *p; ++p)
        if (is_separator(*p)) found = p;
    return found;
}

void __mFileOps_get_pathname_extention(char* out, const char* path)
{
    const char* separator = last_separator(path);
    const char* name = separator ? separator + 1 : path;
    const char* dot = strrchr(name, '.');
    if (!dot) {
        out[0] = 0;
        return;
    }
    copy_bounded(out, dot + 1, strlen(dot + 1), kMaxNameBytes);
}

void __mFileOps_get_pathname_filename(char* out, const char* path)
{
    out[0] = 0;
    const size_t length = strlen(path);
    if (length <= 1 || is_separator(path[length - 1])) return;
    const char* separator = last_separator(path);
    const char* name = separator ? separator + 1 : path;
    const char* dot = strrchr(path, '.');
    if (!dot || dot < name) return;
    copy_bounded(out, name, size_t(dot - name), kMaxNameBytes);
}

void __mFileOps_get_pathname_path(char* out, const char* path)
{
    const char* separator = last_separator(path);
    if (!separator) {
        out[0] = 0;
        return;
    }
    copy_bounded(out, path, size_t(separator - path), kMaxPathBytes);
}

static std::string temporary_path(const std::string& target)
{
    return target + "." + std::to_string(os_process_id()) + ".tmp";
}

FILE* __mFileOps_open_replacement(const std::string& path)
{
    return fopen(temporary_path(normalise_separators(path.c_str())).c_str(), "wb");
}

bool __mFileOps_commit_replacement(FILE* file, const std::string& path, bool written)
{
    const std::string target = normalise_separators(path.c_str());
    const std::string temporary = temporary_path(target);
    int failure = written && !ferror(file) ? 0 : (errno ? errno : EIO);
    if (!failure && !os_flush_to_disk(file)) failure = errno;
    if (fclose(file) != 0 && !failure) failure = errno;
    if (!failure && rename(temporary.c_str(), target.c_str()) != 0) failure = errno;
    if (!failure) return true;
    remove(temporary.c_str());
    printf("ERROR: %s%s (%s)\n", "Couldn't write file ", path.c_str(), strerror(failure));
    return false;
}

bool __mFileOps_replace_file(const std::string& path, const void* bytes, size_t size)
{
    FILE* file = __mFileOps_open_replacement(path);
    if (!file) {
        printf("ERROR: %s%s\n", "Couldn't open file for write ", path.c_str());
        return false;
    }
    return __mFileOps_commit_replacement(file, path, fwrite(bytes, 1, size, file) == size);
}
