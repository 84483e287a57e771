#include "scene/transform.h"

#include "base/matrix.h"
#include "base/modules.h"

namespace {

// Null while no graphics module is bound.
graphics_interface* graphics()
{
    return __mGraphics_instance()->interface_table;
}

void pop_matrices(int count)
{
    graphics_interface* table = graphics();
    if (!table) return;
    for (int i = 0; i < count; ++i) table->pop_matrix();
}

}  // namespace

void push_rotation(const cQuaternion& rotation)
{
    graphics_interface* table = graphics();
    if (!table) return;
    cMatrix3D matrix;
    __cMatrix3d_from_quaternion(&matrix, &rotation);
    table->push_transform(&matrix);
}

void ctTransform::begin_transform()
{
    graphics_interface* table = graphics();
    if (!table) return;
    table->push_translate(&position);
    push_rotation(rotation);
}

void ctTransform::end_transform()
{
    pop_matrices(2);
}

void ctScaledTransform::begin_transform()
{
    ctTransform::begin_transform();
    graphics_interface* table = graphics();
    if (table) table->push_scale(&scale);
}

void ctScaledTransform::end_transform()
{
    pop_matrices(3);
}
