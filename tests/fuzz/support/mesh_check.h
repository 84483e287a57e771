// What the mesh targets check of every mesh a reader hands back: the counts
// match the arrays that exist and every index lies inside its array.
#pragma once

#include "scene/mesh.h"

inline void mesh_check(bool condition)
{
    if (!condition) __builtin_trap();
}

inline void check_mesh_indices(const ctMesh& mesh)
{
    mesh_check(mesh.name[kMeshNameBytes - 1] == 0);
    if (mesh.triangle_count == 0) return;
    mesh_check(mesh.vertex_indices && mesh.normal_indices && mesh.uv_indices);
    for (uint32_t i = 0; i < 3 * mesh.triangle_count; ++i) {
        mesh_check(mesh.vertex_indices[i] < mesh.vertex_count);
        mesh_check(mesh.normal_indices[i] < mesh.normal_count);
        mesh_check(mesh.uv_indices[i] < mesh.uv_count);
    }
}

// The meshes as jmf bytes.
inline std::vector<uint8_t> jmf_bytes(const DSParray<ctMesh>& meshes)
{
    std::vector<uint8_t> out;
    write_jmf_bytes(out, meshes);
    return out;
}
