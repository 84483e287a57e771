// A track ribbon's renderer.
#pragma once

#include <cstdint>

#include "base/graphics_interface.h"
#include "game/track.h"
#include "scene/renderer.h"

// The ribbon's arrays as the graphics module draws them, uploaded once: to a
// vertex buffer when there are any, else a display list, else drawn from the
// track's arrays each time. The arrays belong to the track.
class czrRibbonRenderer : public ctRenderer {
public:
    czrRibbonRenderer(const ctRendererSetup* setup, const czrTrackMesh& ribbon);
    ~czrRibbonRenderer() override;
    void draw_geometry() override;

private:
    ModelDataStruct model_data() const;

    const czrTrackMesh& ribbon;
    uint16_t vbo_id = kNoId;
    uint16_t display_list_id = kNoId;
    static constexpr uint16_t kNoId = 65535;
};
