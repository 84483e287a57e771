#include "scene/visible_object.h"

#include "base/modules.h"
#include "scene/renderer.h"

int _ctVisibleObjectBase::RendererInstance::serialize(void* out) const
{
    ByteWriter writer(static_cast<uint8_t*>(out), kSerializedSize);
    write_placement(writer);
    return int(writer.size());
}

int _ctVisibleObjectBase::RendererInstance::deserialize(const void* in)
{
    ByteReader reader(static_cast<const uint8_t*>(in), kSerializedSize);
    if (!read_placement(reader)) return -1;
    return int(reader.position());
}

int _ctVisibleObjectBase::RendererInstance::serialized_size() const
{
    return kSerializedSize;
}

void _ctVisibleObjectBase::draw()
{
    graphics_interface* table = __mGraphics_instance()->interface_table;
    if (!table) return;
    cVector3D position = get_position();
    table->push_translate(&position);
    push_rotation(get_rotation());
    for (uint32_t i = 0; i < instances.count(); ++i) {
        RendererInstance* instance = instances.get(i);
        table->push_translate(&instance->position);
        push_rotation(instance->rotation);
        table->push_scale(&instance->scale);
        if (instance->renderer) draw_renderer(instance->renderer);
        for (int pop = 0; pop < 3; ++pop) table->pop_matrix();
    }
    table->pop_matrix();
    table->pop_matrix();
}
