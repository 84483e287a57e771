// A drawable object: a placement of its own (from the derived class) and a
// list of renderer instances, each placed and scaled relative to it.
#pragma once

#include "base/containers.h"
#include "scene/object.h"

class ctRenderer;

class _ctVisibleObjectBase {
public:
    // One renderer (not owned) placed within the object.
    class RendererInstance : public ctObject {
    public:
        static constexpr int kSerializedSize = 32;

        RendererInstance(ctRenderer* renderer, const cVector3D& scale) : renderer(renderer), scale(scale) {}

        // Position, rotation and radius as float32: 32 bytes.
        int serialize(void* out) const override;
        // The rotation comes back normalised; -1, changing nothing, on a
        // damaged record.
        int deserialize(const void* in) override;
        int serialized_size() const override;

        ctRenderer* renderer;
        cVector3D scale;
    };

    _ctVisibleObjectBase() = default;
    _ctVisibleObjectBase(const _ctVisibleObjectBase&) = delete;
    _ctVisibleObjectBase& operator=(const _ctVisibleObjectBase&) = delete;

    virtual cVector3D get_position() = 0;
    virtual cQuaternion get_rotation() = 0;
    // Deletes the instances; the renderers live on.
    virtual ~_ctVisibleObjectBase() = default;
    // Draws every instance's renderer at its place within the object.
    virtual void draw();

    DSParray<RendererInstance> instances;
};
