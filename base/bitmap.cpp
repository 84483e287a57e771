#include "base/bitmap.h"

#include "base/modules.h"

void __cBitmap_load(std::string path, uint16_t* width, uint16_t* height, uint8_t** pixels)
{
    *width = 0;
    *height = 0;
    *pixels = nullptr;
    modGraphics* graphics = __mGraphics_instance();
    if (!graphics->interface_table) return;
    graphics->load_image_file(path.c_str(), width, height, pixels);
    if (!*pixels) *width = *height = 0;
}

bool __cBitmap_save(std::string path, uint16_t width, uint16_t height, uint8_t* pixels)
{
    modGraphics* graphics = __mGraphics_instance();
    return graphics->interface_table && graphics->save_image_file(path.c_str(), width, height, pixels);
}
