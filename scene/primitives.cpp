#include "scene/primitives.h"

#include "base/modules.h"
#include "base/strings.h"
#include "base/trigonometry.h"

namespace {

ctPrimitiveRegistry theRegistry;

uint32_t closeGraphicsCode()
{
    return __mystring_hash("CloseGraphics");
}

graphics_interface* graphics()
{
    return __mGraphics_instance()->interface_table;
}

void forget_sphere_buffers(DSParray<shapeSet<ctSphereData>>* spheres)
{
    if (!spheres) return;
    for (uint32_t i = 0; i < spheres->count(); ++i)
        for (ctSphereData* sphere : spheres->get(i)->elements)
            if (sphere) sphere->forget_buffer();
}

uint32_t spheres_in(const DSParray<shapeSet<ctSphereData>>* spheres)
{
    uint32_t count = 0;
    for (uint32_t i = 0; spheres && i < spheres->count(); ++i)
        for (const ctSphereData* sphere : spheres->get(i)->elements) count += sphere ? 1 : 0;
    return count;
}

}  // namespace

ctPrimitiveRegistry& primitive_registry()
{
    return theRegistry;
}

// Each ring starts half a column further round than the ring two above it,
// so the triangles of neighbouring rings interleave. Angles in degrees,
// worked in double.
ctSphereData::ctSphereData(uint32_t rings, uint32_t segments, bool inverted)
    : inverted(inverted), vertex_count((rings + 1) * (segments + 1)), triangle_count(2 * rings * segments),
      vertices(new cVector3D[vertex_count]), uvs(new cVector2D<double>[vertex_count]),
      indices(new int32_t[3 * size_t(triangle_count)]), vbo_id(65535)
{
    const double a = rings, b = segments;
    for (uint32_t i = 0; i <= rings; ++i)
        for (uint32_t k = 0; k <= segments; ++k) {
            const uint32_t j = k + i / 2;
            const double theta = 180.0 * i / a, phi = 360.0 * j / b;
            const size_t v = size_t(i) * (segments + 1) + k;
            vertices[v] = cVector3D(cosTD(phi) * sinTD(theta), sinTD(phi) * sinTD(theta), cosTD(theta));
            uvs[v] = cVector2D<double>(j / b, i / a);
        }
    int32_t* out = indices;
    for (uint32_t i = 0; i < rings; ++i)
        for (uint32_t k = 0; k < segments; ++k) {
            const int32_t p = int32_t(i * (segments + 1) + k), q = p + int32_t(segments) + 1;
            const int32_t outward[6] = {p, q, p + 1, p + 1, q, q + 1};
            const int32_t inward[6] = {p, p + 1, q, p + 1, q + 1, q};
            for (int32_t index : inverted ? inward : outward) *out++ = index;
        }
    graphics_interface* table = graphics();
    if (table && table->vbos_available()) {
        ModelDataStruct model = model_data();
        const int id = table->create_vbo(&model, -1);
        vbo_id = id < 0 || id >= 65535 ? uint16_t(65535) : uint16_t(id);
    }
}

ctSphereData::~ctSphereData()
{
    graphics_interface* table = graphics();
    if (vbo_id != 65535 && table) table->unload_vbo(vbo_id);
    delete[] vertices;
    delete[] uvs;
    delete[] indices;
}

ModelDataStruct ctSphereData::model_data()
{
    const int32_t count = int32_t(vertex_count);
    return __mGraphics_build_model_data_struct(vertices, count, vertices, count, uvs, count, nullptr, 0, indices,
                                               indices, indices, nullptr, int32_t(triangle_count));
}

ctPrimitiveRegistry::ctPrimitiveRegistry()
    : disc_set(nullptr), sphere_set(nullptr), inverted_sphere_set(nullptr), spine_set(nullptr), torus_set(nullptr),
      cylinder_set(nullptr), second_cylinder_set(nullptr), capsule_set(nullptr)
{
    open_sets();
    __messageRouter_register_for_message(&__mGraphics_instance()->mailboxes, this, closeGraphicsCode());
}

void ctPrimitiveRegistry::open_sets()
{
    if (holds_sets()) return;
    disc_set = new shapeSet<ctDiscData>();
    sphere_set = new DSParray<shapeSet<ctSphereData>>();
    inverted_sphere_set = new DSParray<shapeSet<ctSphereData>>();
    spine_set = new DSParray<shapeSet<DSParray<ctSpineDataContainer>>>();
    torus_set = new DSParray<shapeSet<DSParray<ctTorusDataContainer>>>();
    cylinder_set = new shapeSet<ctCylinderData>();
    second_cylinder_set = new shapeSet<ctCylinderData>();
    capsule_set = new DSParray<shapeSet<DSParray<ctCapsuleDataContainer>>>();
}

ctPrimitiveRegistry::~ctPrimitiveRegistry()
{
    __messageRouter_unregister_all(&__mGraphics_instance()->mailboxes, this);
    delete_sets(true);
}

void ctPrimitiveRegistry::receive_message(const RoutedMessage* message)
{
    if (message && message->code == closeGraphicsCode()) delete_sets(false);
}

void ctPrimitiveRegistry::delete_sets(bool forget_buffers)
{
    if (forget_buffers) {
        forget_sphere_buffers(sphere_set);
        forget_sphere_buffers(inverted_sphere_set);
    }
    delete disc_set;
    delete sphere_set;
    delete inverted_sphere_set;
    delete spine_set;
    delete torus_set;
    delete cylinder_set;
    delete second_cylinder_set;
    delete capsule_set;
    disc_set = nullptr;
    sphere_set = inverted_sphere_set = nullptr;
    spine_set = nullptr;
    torus_set = nullptr;
    cylinder_set = second_cylinder_set = nullptr;
    capsule_set = nullptr;
}

// After "CloseGraphics" the sets are gone and a sphere request does not
// make them again: the graphics module is closed, so there is nothing to draw
// into until whoever opens it again calls open_sets.
ctSphereData* ctPrimitiveRegistry::sphere(uint32_t rings, uint32_t segments, bool inverted)
{
    DSParray<shapeSet<ctSphereData>>* spheres = inverted ? inverted_sphere_set : sphere_set;
    if (!spheres || rings == 0 || segments == 0) return nullptr;
    while (spheres->count() <= rings) spheres->insert(new shapeSet<ctSphereData>());
    std::vector<ctSphereData*>& row = spheres->get(rings)->elements;
    if (row.size() <= segments) row.resize(size_t(segments) + 1, nullptr);
    if (!row[segments]) row[segments] = new ctSphereData(rings, segments, inverted);
    return row[segments];
}

uint32_t ctPrimitiveRegistry::sphere_count() const
{
    return spheres_in(sphere_set) + spheres_in(inverted_sphere_set);
}
