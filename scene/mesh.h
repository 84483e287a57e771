// The one triangle mesh of the engine: named, indexed triangles with separate
// vertex, normal and uv index triples and an optional per-triangle block, and
// its binary form, the jmf mesh-set file.
#pragma once

#include <cstdint>
#include <cstdio>

#include "base/bytes.h"
#include "base/containers.h"
#include "base/graphics_interface.h"
#include "base/vector.h"

constexpr int kMeshNameBytes = 64;

class ctMesh {
public:
    ctMesh();
    ctMesh(const ctMesh&) = delete;
    ctMesh& operator=(const ctMesh&) = delete;
    // 0: frees the arrays.
    virtual ~ctMesh();
    // 1: the arrays and counts as the graphics module uploads them (no colours).
    virtual void build_model_data(ModelDataStruct* out);
    // 2: frees every array, stores the counts, creates zeroed vertex, normal and
    // uv arrays and the three index arrays; the per-triangle block stays null.
    virtual void allocate(uint32_t vertex_count, uint32_t normal_count, uint32_t uv_count, uint32_t triangle_count);
    // 3: one mesh block. Every count is checked against the bytes left before
    // anything is allocated; a short block, an index past its array or a flag
    // other than 0 and 1 fails the read and leaves the mesh empty.
    virtual bool read(ByteReader& in);
    // 4: one mesh block of what the mesh holds: a freed array is written with
    // count 0, triangles only with all three index arrays; the flag is 1 only
    // when all three block arrays exist for the triangles written.
    virtual void write(ByteWriter& out) const;
    // 5: deletes all nine arrays and zeroes group_count; the counts stay.
    virtual void free_arrays();
    // 6: a new mesh with copies of the name, counts and every array present.
    virtual ctMesh* clone() const;

    // Creates the per-triangle block (face normals, face centres, groups) for
    // triangle_count triangles, zeroed; replaces one that exists.
    void allocate_triangle_block();
    bool has_triangle_block() const { return face_normals && face_centres && triangle_groups; }
    // Copies text into name, cut at 63 characters, the rest zero.
    void set_name(const char* text);

    char name[kMeshNameBytes];
    cVector3D* vertices;
    cVector3D* normals;
    cVector2D<double>* uvs;
    uint32_t* vertex_indices;
    uint32_t* normal_indices;
    uint32_t* uv_indices;
    uint32_t vertex_count;
    uint32_t normal_count;
    uint32_t uv_count;
    uint32_t triangle_count;
    cVector3D* face_normals;
    cVector3D* face_centres;
    int32_t* triangle_groups;
    uint32_t group_count;
};

// Bytes of one mesh block: 64 + 16 + 12V + 12N + 8U + 36T + 1, and 4 + 28T
// more with the per-triangle block.
size_t mesh_block_size(uint32_t vertex_count, uint32_t normal_count, uint32_t uv_count, uint32_t triangle_count,
                       bool with_block);

// A jmf file: the u32 mesh count, then each mesh block in list order.
// read_jmf empties meshes first; on damage (no mesh at all, a mesh cut
// short or bytes after the last one) it prints one ERROR line naming source
// and keeps the meshes read before the damage. Both report whether every
// byte was read or written.
bool read_jmf(FILE* file, DSParray<ctMesh>& meshes, const char* source);
bool write_jmf(FILE* file, const DSParray<ctMesh>& meshes);
// The same over bytes in memory.
bool read_jmf_bytes(const uint8_t* data, size_t size, DSParray<ctMesh>& meshes, const char* source);
void write_jmf_bytes(std::vector<uint8_t>& out, const DSParray<ctMesh>& meshes);
