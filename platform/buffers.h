// Retained geometry: vertex buffers built from a model's arrays (GL 1.5, only
// when the window opened with them) and display lists (only when enabled as
// the window opened). A freed vertex buffer leaves an empty slot, so its id
// is never handed out again, not even by a later window.
#pragma once

#include "base/graphics_interface.h"

namespace trellis {

// Fills the vertex buffer and display list slots (82-85, 88-92).
void connect_buffer_slots(graphics_interface* table);

int create_vbo(ModelDataStruct* model, int replace);
int update_vbo(int vbo, ModelDataStruct* model);
int render_vbo(int vbo);
bool unload_vbo(int vbo);
int create_display_list();
void begin_display_list(int list);
void end_display_list();
void delete_display_list(int list);
void call_display_list(uint16_t list);

// Deletes every vertex buffer as the window closes, keeping the empty slots.
void release_vbos();

}  // namespace trellis
