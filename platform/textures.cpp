// The texture table and the texture-loader thread. Each table slot is its own
// cell holding a GL texture name, so an upload can fill a slot in place; the
// loader thread fills cells from its own context, which shares names with the
// window's. The table's shape only changes under the loader mutex, and the
// loader only writes a cell that is still in the table.
#include <GL/glew.h>
#include <GL/glu.h>
#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <deque>
#include <vector>

#include "base/containers.h"
#include "platform/device.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/x11.h"

namespace trellis {

namespace {

using TextureCell = std::atomic<uint32_t>;

struct QueuedTextureLoad {
    int32_t texture_index;
    TextureDoneCallback callback;
    TextureCell* cell;
    uint16_t width;
    uint16_t height;
    const uint8_t* pixels;
    bool linear;
    bool mipmaps;
    bool clamp;
    std::vector<uint8_t> pixel_copy;
};

constexpr uint32_t kLoaderPauseMilliseconds = 10;

DSParray<TextureCell> textures;
std::deque<QueuedTextureLoad*> loaderQueue;
bool loaderBusy = false;

class TableLock {
public:
    TableLock() : mutex(device().loader_mutex)
    {
        if (mutex) lock_mutex(mutex);
    }
    ~TableLock()
    {
        if (mutex) unlock_mutex(mutex);
    }
    TableLock(const TableLock&) = delete;
    TableLock& operator=(const TableLock&) = delete;

private:
    void* mutex;
};

bool is_power_of_two(uint16_t value)
{
    return value != 0 && (value & (value - 1)) == 0;
}

void warn_unless_powers_of_two(uint16_t width, uint16_t height)
{
    if (!is_power_of_two(width)) printf("WARNING: Graphic width not a power of 2\n");
    if (!is_power_of_two(height)) printf("WARNING: Graphic height not a power of 2\n");
}

// Without mipmaps and without pixels GL still sizes the texture; mipmaps
// cannot be built from nothing, so that upload is skipped.
GLuint upload_pixels(uint16_t width, uint16_t height, const uint8_t* pixels, bool linear, bool mipmaps, bool clamp)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const GLint wrap = clamp ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    if (mipmaps) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
        if (pixels) gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    } else {
        const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    }
    return name;
}

// Only ids 1 .. count - 1 are replaced; any other id appends.
int place_cell(TextureCell* cell, int replace)
{
    TableLock lock;
    if (replace >= 1 && replace < int(textures.count())) {
        textures.erase(uint32_t(replace));
        textures.insert(cell, replace);
        return replace;
    }
    textures.insert(cell);
    return int(textures.count()) - 1;
}

bool window_needed_for_textures()
{
    if (device().window_open) return true;
    printf("ERROR: %s%s\n", "Cannot create a texture without an open window", "");
    return false;
}

QueuedTextureLoad* take_next_load()
{
    TableLock lock;
    if (loaderQueue.empty()) return nullptr;
    QueuedTextureLoad* load = loaderQueue.front();
    loaderQueue.pop_front();
    return load;
}

void upload_queued(const QueuedTextureLoad& load)
{
    GLuint name = upload_pixels(load.width, load.height, load.pixels, load.linear, load.mipmaps, load.clamp);
    glFinish();
    bool still_in_table;
    {
        TableLock lock;
        still_in_table = textures.get(uint32_t(load.texture_index)) == load.cell;
        if (still_in_table) load.cell->store(name);
    }
    if (!still_in_table)
        glDeleteTextures(1, &name);
    else if (load.callback)
        load.callback(load.texture_index);
}

void note_queue_drained()
{
    TableLock lock;
    if (loaderQueue.empty()) loaderBusy = false;
}

int texture_loader_thread(void*)
{
    const LoaderGLContext* context = device().loader_context;
    bool current;
    {
        TableLock lock;
        current = x11_make_loader_context_current(context);
    }
    if (!current) {
        printf("ERROR: %s%s\n", "Couldn't make the texture loader's GL context current", "");
        return 1;
    }
    while (device().window_open) {
        if (QueuedTextureLoad* load = take_next_load()) {
            upload_queued(*load);
            delete load;
        }
        note_queue_drained();
        SDL_Delay(kLoaderPauseMilliseconds);
    }
    TableLock lock;
    x11_release_loader_context(context);
    return 0;
}

void discard_queued_loads()
{
    for (QueuedTextureLoad* load : loaderQueue) delete load;
    loaderQueue.clear();
    loaderBusy = false;
}

}  // namespace

uint32_t texture_gl_name(int texture)
{
    TextureCell* cell = texture >= 0 ? textures.get(uint32_t(texture)) : nullptr;
    if (!cell) cell = textures.get(0);
    return cell ? cell->load() : 0;
}

int create_texture(uint16_t* width, uint16_t* height, uint8_t* rgba, bool linear, bool mipmaps, bool clamp,
                   int replace, TextureDoneCallback done)
{
    if (!window_needed_for_textures()) return -1;
    const uint16_t w = width ? *width : 0;
    const uint16_t h = height ? *height : 0;
    warn_unless_powers_of_two(w, h);
    if (replace >= 1) delete_texture(replace);
    auto* cell = new TextureCell(texture_gl_name(0));
    const int id = place_cell(cell, replace);
    cell->store(upload_pixels(w, h, rgba, linear, mipmaps, clamp));
    if (done) done(id);
    return id;
}

int queue_texture_load(uint16_t width, uint16_t height, const uint8_t* rgba, bool linear, bool mipmaps,
                       bool clamp, TextureDoneCallback done)
{
    if (!window_needed_for_textures()) return -1;
    warn_unless_powers_of_two(width, height);
    auto* cell = new TextureCell(texture_gl_name(0));
    const int id = place_cell(cell, -1);
    auto* load = new QueuedTextureLoad{id, done, cell, width, height, nullptr, linear, mipmaps, clamp, {}};
    if (rgba) {
        load->pixel_copy.assign(rgba, rgba + size_t(width) * height * 4);
        load->pixels = load->pixel_copy.data();
    }
    TableLock lock;
    loaderQueue.push_back(load);
    loaderBusy = true;
    return id;
}

bool texture_loads_pending()
{
    TableLock lock;
    return loaderBusy;
}

bool delete_texture(int texture)
{
    if (texture <= 0) {
        printf("ERROR: %s%s\n", "Cannot delete texture 0 or lower", "");
        return false;
    }
    TextureCell* cell = textures.get(uint32_t(texture));
    if (!cell) return false;
    const GLuint white = texture_gl_name(0);
    GLuint name = cell->load();
    if (name == white) return false;
    glDeleteTextures(1, &name);
    cell->store(white);
    return true;
}

int make_white_texture()
{
    uint16_t width = 4, height = 4;
    std::vector<uint8_t> white(size_t(width) * height * 4, 255);
    return create_texture(&width, &height, white.data(), false, false, false, -1, nullptr);
}

bool start_texture_loader()
{
    Device& d = device();
    d.loader_context = x11_create_loader_context();
    if (!d.loader_context) {
        printf("WARNING: Could not create the texture loader's GL context\n");
        return false;
    }
    d.loader_mutex = create_mutex();
    if (!d.loader_mutex) {
        printf("WARNING: Could not create the texture loader's mutex\n");
        stop_texture_loader();
        return false;
    }
    {
        TableLock lock;
        x11_make_window_context_current(d.loader_context);
    }
    d.window_open = true;
    d.loader_thread = create_thread(texture_loader_thread, nullptr);
    if (!d.loader_thread) {
        printf("WARNING: Could not start the texture loader thread\n");
        stop_texture_loader();
        return false;
    }
    return true;
}

void stop_texture_loader()
{
    Device& d = device();
    d.window_open = false;
    wait_thread(d.loader_thread, nullptr);
    d.loader_thread = nullptr;
    discard_queued_loads();
    destroy_mutex(d.loader_mutex);
    d.loader_mutex = nullptr;
    x11_destroy_loader_context(d.loader_context);
    d.loader_context = nullptr;
}

void release_textures()
{
    const GLuint white = texture_gl_name(0);
    for (uint32_t id = 1; id < textures.count(); ++id) {
        GLuint name = textures.get(id)->load();
        if (name != white && name != 0) glDeleteTextures(1, &name);
    }
    if (white != 0) glDeleteTextures(1, &white);
    textures.clear();
}

}  // namespace trellis
