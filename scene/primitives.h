// The primitive registry: tessellated shapes shared by every renderer of the
// same detail, kept from first use until the graphics module closes
// ("CloseGraphics"), when it lets go of them and of their buffers. Only the
// sphere sets are filled; the other shape sets are kept empty.
#pragma once

#include <cstdint>
#include <vector>

#include "base/containers.h"
#include "base/graphics_interface.h"
#include "base/router.h"
#include "base/vector.h"

// A set of owned shape records; null entries are allowed.
template <class T>
class shapeSet {
public:
    shapeSet() = default;
    shapeSet(const shapeSet&) = delete;
    shapeSet& operator=(const shapeSet&) = delete;
    virtual ~shapeSet()
    {
        for (T* element : elements) delete element;
    }
    std::vector<T*> elements;
};

// One unit sphere of (rings, segments): (rings + 1)(segments + 1) vertices,
// 2 rings segments triangles, uploaded to a vertex buffer when there are any.
class ctSphereData {
public:
    ctSphereData(uint32_t rings, uint32_t segments, bool inverted);
    ctSphereData(const ctSphereData&) = delete;
    ctSphereData& operator=(const ctSphereData&) = delete;
    // Unloads its buffer, unless forget_buffer was called.
    virtual ~ctSphereData();

    // Its arrays as a model: the vertices are their own normals.
    ModelDataStruct model_data();
    // Drops the buffer id without a graphics call (no context to call).
    void forget_buffer() { vbo_id = 65535; }

    uint8_t inverted;
    uint32_t vertex_count;
    uint32_t triangle_count;
    cVector3D* vertices;
    cVector2D<double>* uvs;
    int32_t* indices;
    uint16_t vbo_id;
};

// The shapes no part of the game makes; their sets stay empty.
struct ctDiscData {};
struct ctSpineDataContainer {};
struct ctTorusDataContainer {};
struct ctCylinderData {};
struct ctCapsuleDataContainer {};

class ctPrimitiveRegistry : public cMessageObserver {
public:
    ctPrimitiveRegistry();
    ctPrimitiveRegistry(const ctPrimitiveRegistry&) = delete;
    ctPrimitiveRegistry& operator=(const ctPrimitiveRegistry&) = delete;
    // "CloseGraphics" deletes every set, unloading the sphere buffers.
    void receive_message(const RoutedMessage* message) override;
    ~ctPrimitiveRegistry() override;
    // Makes the eight sets, empty, unless they are held: for a graphics
    // module opened again after "CloseGraphics".
    void open_sets();

    // The shared sphere of that detail, made on first use; null after
    // "CloseGraphics" or for a detail of zero.
    ctSphereData* sphere(uint32_t rings, uint32_t segments, bool inverted);
    // How many spheres the two sets hold.
    uint32_t sphere_count() const;
    bool holds_sets() const { return sphere_set != nullptr; }

    shapeSet<ctDiscData>* disc_set;
    DSParray<shapeSet<ctSphereData>>* sphere_set;
    DSParray<shapeSet<ctSphereData>>* inverted_sphere_set;
    DSParray<shapeSet<DSParray<ctSpineDataContainer>>>* spine_set;
    DSParray<shapeSet<DSParray<ctTorusDataContainer>>>* torus_set;
    shapeSet<ctCylinderData>* cylinder_set;
    shapeSet<ctCylinderData>* second_cylinder_set;
    DSParray<shapeSet<DSParray<ctCapsuleDataContainer>>>* capsule_set;

private:
    // With forget_buffers the sphere buffers are dropped without graphics
    // calls: at exit the plug-in and its context may be gone.
    void delete_sets(bool forget_buffers);
};

// The one process-wide registry.
ctPrimitiveRegistry& primitive_registry();
