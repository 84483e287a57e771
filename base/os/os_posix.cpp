#include "base/os/os.h"

#include <dirent.h>
#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <strings.h>

void* os_library_open(const char* path)
{
    // Plug-in code may still run from static destructors at exit, so a
    // library stays mapped even once its handle is closed.
    return dlopen(path, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}

// Only symbols the library itself defines count: a lookup by handle would
// also search its dependencies, where the C library exports names such as
// "shutdown".
void* os_library_symbol(void* library, const char* name)
{
    if (!library) return nullptr;
    void* symbol = dlsym(library, name);
    if (!symbol) return nullptr;
    link_map* own = nullptr;
    link_map* holder = nullptr;
    Dl_info info;
    if (dlinfo(library, RTLD_DI_LINKMAP, &own) != 0) return nullptr;
    if (!dladdr1(symbol, &info, reinterpret_cast<void**>(&holder), RTLD_DL_LINKMAP)) return nullptr;
    return holder == own ? symbol : nullptr;
}

void os_library_close(void* library)
{
    if (library) dlclose(library);
}

const char* os_library_error()
{
    const char* error = dlerror();
    return error ? error : "";
}

static bool entry_is_folder(const std::string& folder, const dirent* entry)
{
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
    struct stat info;
    const std::string path = folder + "/" + entry->d_name;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool os_list_directory(const char* folder, std::vector<OsDirectoryEntry>& entries)
{
    DIR* directory = opendir(folder);
    if (!directory) return false;
    while (const dirent* entry = readdir(directory))
        entries.push_back({entry->d_name, entry_is_folder(folder, entry)});
    closedir(directory);
    // Listings come in name order, as callers rely on; readdir gives no order.
    std::sort(entries.begin(), entries.end(), [](const OsDirectoryEntry& a, const OsDirectoryEntry& b) {
        const int folded = strcasecmp(a.name.c_str(), b.name.c_str());
        return folded != 0 ? folded < 0 : a.name < b.name;
    });
    return true;
}

bool os_create_directory(const char* path)
{
    return mkdir(path, 0755) == 0;
}

bool os_path_exists(const char* path)
{
    struct stat info;
    return stat(path, &info) == 0;
}

bool os_same_file(const char* a, const char* b)
{
    struct stat first, second;
    if (stat(a, &first) != 0 || stat(b, &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::string os_program_path()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return std::string();
    return std::string(path, size_t(length));
}

std::string os_working_folder()
{
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? std::string(path) : std::string();
}

bool os_flush_to_disk(FILE* file)
{
    return fflush(file) == 0 && fsync(fileno(file)) == 0;
}

unsigned long os_process_id()
{
    return static_cast<unsigned long>(getpid());
}
