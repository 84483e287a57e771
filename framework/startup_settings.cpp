// The window settings: five bytes in the cfg file, or the console dialogue
// when there is no complete cfg file yet.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/fileops.h"
#include "base/modules.h"
#include "base/strings.h"
#include "framework/active_file.h"
#include "framework/engine.h"

static const StartupSettings kDefaultSettings = {1024, 768, false};
static const long kLargestSide = 16384;
static const long kCfgBytes = 5;

static bool valid_side(long side)
{
    return side >= 1 && side <= kLargestSide;
}

// One whitespace-delimited word of at most 255 characters; empty at the end of input.
static std::string read_word(FILE* in)
{
    char word[256] = {};
    if (fscanf(in, "%255s", word) != 1) word[0] = 0;
    return word;
}

static long number_of(const std::string& word)
{
    return strtol(word.c_str(), nullptr, 10);
}

static bool is_yes(const std::string& word)
{
    return __mystring_string_equal(word.c_str(), "y") || __mystring_string_equal(word.c_str(), "yes");
}

StartupSettings ask_console_for_settings(FILE* in)
{
    StartupSettings settings = kDefaultSettings;
    printf("Please specify the resolution you wish to run in.\n[i.e. \"800 600\", \"1280 1024\"]\n\ntype 0 to "
           "default to \"1024 768\".\n");
    const long width = number_of(read_word(in));
    if (width != 0) {
        const long height = number_of(read_word(in));
        if (valid_side(width) && valid_side(height)) {
            settings.width = uint16_t(width);
            settings.height = uint16_t(height);
        }
    }
    printf("\nWould you like to run full screen? [y/n]\n");
    settings.fullscreen = is_yes(read_word(in));
    return settings;
}

static long file_size(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return -1;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    fclose(file);
    return size;
}

static bool read_cfg(const std::string& path, StartupSettings* settings)
{
    if (file_size(path) < kCfgBytes) return false;
    modFileOperations* files = __mFileOps_instance();
    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t fullscreen = 0;
    open_active_for_read(files, path);
    if (!files->active_file) return false;
    read_active_u16(files, &width);
    read_active_u16(files, &height);
    read_active_byte(files, &fullscreen);
    close_active(files);
    if (!valid_side(width) || !valid_side(height)) return false;
    *settings = {width, height, fullscreen != 0};
    return true;
}

static void write_cfg(const std::string& path, const StartupSettings& settings)
{
    modFileOperations* files = __mFileOps_instance();
    const uint8_t fullscreen = settings.fullscreen ? 1 : 0;
    open_active_for_write(files, path);
    if (!files->active_file) return;
    write_active_u16(files, &settings.width);
    write_active_u16(files, &settings.height);
    write_active_byte(files, &fullscreen);
    close_active(files);
}

void cEngine::ask_startup_settings(std::string cfg_path, uint16_t* width, uint16_t* height, bool* fullscreen)
{
    StartupSettings settings;
    if (!read_cfg(cfg_path, &settings)) {
        settings = ask_console_for_settings(stdin);
        write_cfg(cfg_path, settings);
    }
    *width = settings.width;
    *height = settings.height;
    *fullscreen = settings.fullscreen;
}
