// Meshes and the jmf mesh-set file.
#include "scene/mesh.h"

#include <cstring>

#include "base/modules.h"

template <class T>
static T* new_array(size_t count)
{
    return new T[count]();
}

template <class T>
static T* copy_array(const T* source, size_t count)
{
    if (!source) return nullptr;
    T* copy = new T[count];
    for (size_t i = 0; i < count; ++i) copy[i] = source[i];
    return copy;
}

ctMesh::ctMesh()
    : name{}, vertices(nullptr), normals(nullptr), uvs(nullptr), vertex_indices(nullptr), normal_indices(nullptr),
      uv_indices(nullptr), vertex_count(0), normal_count(0), uv_count(0), triangle_count(0), face_normals(nullptr),
      face_centres(nullptr), triangle_groups(nullptr), group_count(0)
{
}

ctMesh::~ctMesh()
{
    free_arrays();
}

void ctMesh::build_model_data(ModelDataStruct* out)
{
    *out = __mGraphics_build_model_data_struct(
        vertices, int32_t(vertex_count), normals, int32_t(normal_count), uvs, int32_t(uv_count), nullptr, 0,
        reinterpret_cast<int32_t*>(vertex_indices), reinterpret_cast<int32_t*>(normal_indices),
        reinterpret_cast<int32_t*>(uv_indices), nullptr, int32_t(triangle_count));
}

void ctMesh::allocate(uint32_t vertices_wanted, uint32_t normals_wanted, uint32_t uvs_wanted, uint32_t triangles_wanted)
{
    free_arrays();
    vertex_count = vertices_wanted;
    normal_count = normals_wanted;
    uv_count = uvs_wanted;
    triangle_count = triangles_wanted;
    vertices = new_array<cVector3D>(vertex_count);
    normals = new_array<cVector3D>(normal_count);
    uvs = new_array<cVector2D<double>>(uv_count);
    vertex_indices = new_array<uint32_t>(size_t(3) * triangle_count);
    normal_indices = new_array<uint32_t>(size_t(3) * triangle_count);
    uv_indices = new_array<uint32_t>(size_t(3) * triangle_count);
}

void ctMesh::allocate_triangle_block()
{
    delete[] face_normals;
    delete[] face_centres;
    delete[] triangle_groups;
    face_normals = new_array<cVector3D>(triangle_count);
    face_centres = new_array<cVector3D>(triangle_count);
    triangle_groups = new_array<int32_t>(triangle_count);
}

void ctMesh::free_arrays()
{
    delete[] vertices;
    delete[] normals;
    delete[] uvs;
    delete[] vertex_indices;
    delete[] normal_indices;
    delete[] uv_indices;
    delete[] face_normals;
    delete[] face_centres;
    delete[] triangle_groups;
    vertices = normals = face_normals = face_centres = nullptr;
    uvs = nullptr;
    vertex_indices = normal_indices = uv_indices = nullptr;
    triangle_groups = nullptr;
    group_count = 0;
}

void ctMesh::set_name(const char* text)
{
    memset(name, 0, sizeof name);
    if (text) strncpy(name, text, kMeshNameBytes - 1);
}

ctMesh* ctMesh::clone() const
{
    ctMesh* copy = new ctMesh;
    memcpy(copy->name, name, sizeof name);
    copy->vertex_count = vertex_count;
    copy->normal_count = normal_count;
    copy->uv_count = uv_count;
    copy->triangle_count = triangle_count;
    const size_t corners = size_t(3) * triangle_count;
    copy->vertices = copy_array(vertices, vertex_count);
    copy->normals = copy_array(normals, normal_count);
    copy->uvs = copy_array(uvs, uv_count);
    copy->vertex_indices = copy_array(vertex_indices, corners);
    copy->normal_indices = copy_array(normal_indices, corners);
    copy->uv_indices = copy_array(uv_indices, corners);
    copy->face_normals = copy_array(face_normals, triangle_count);
    copy->face_centres = copy_array(face_centres, triangle_count);
    copy->triangle_groups = copy_array(triangle_groups, triangle_count);
    copy->group_count = group_count;
    return copy;
}

size_t mesh_block_size(uint32_t vertex_count, uint32_t normal_count, uint32_t uv_count, uint32_t triangle_count,
                       bool with_block)
{
    size_t size = 64 + 16 + 12 * size_t(vertex_count) + 12 * size_t(normal_count) + 8 * size_t(uv_count) +
                  36 * size_t(triangle_count) + 1;
    if (with_block) size += 4 + 28 * size_t(triangle_count);
    return size;
}

static void read_vectors(ByteReader& in, cVector3D* out, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        float x, y, z;
        in.f32(x);
        in.f32(y);
        in.f32(z);
        out[i] = cVector3D(x, y, z);
    }
}

// Indices must point into an array of limit elements.
static bool read_indices(ByteReader& in, uint32_t* out, size_t count, uint32_t limit)
{
    for (size_t i = 0; i < count; ++i) {
        in.u32(out[i]);
        if (out[i] >= limit) return false;
    }
    return in.ok();
}

bool ctMesh::read(ByteReader& in)
{
    free_arrays();
    vertex_count = normal_count = uv_count = triangle_count = 0;
    char raw_name[kMeshNameBytes];
    uint32_t counts[4];
    in.bytes(raw_name, sizeof raw_name);
    for (uint32_t& count : counts) in.u32(count);
    if (!in.ok() || mesh_block_size(counts[0], counts[1], counts[2], counts[3], false) - 80 > in.remaining())
        return false;
    raw_name[kMeshNameBytes - 1] = 0;
    set_name(raw_name);
    allocate(counts[0], counts[1], counts[2], counts[3]);
    const size_t corners = size_t(3) * triangle_count;
    read_vectors(in, vertices, vertex_count);
    read_vectors(in, normals, normal_count);
    for (uint32_t i = 0; i < uv_count; ++i) {
        float u, v;
        in.f32(u);
        in.f32(v);
        uvs[i] = cVector2D<double>(u, v);
    }
    bool good = read_indices(in, vertex_indices, corners, vertex_count) &&
                read_indices(in, normal_indices, corners, normal_count) &&
                read_indices(in, uv_indices, corners, uv_count);
    uint8_t flag = 0;
    good = good && in.u8(flag) && flag <= 1;
    if (good && flag == 1) {
        good = mesh_block_size(0, 0, 0, triangle_count, true) - mesh_block_size(0, 0, 0, triangle_count, false) <=
               in.remaining();
        if (good) {
            allocate_triangle_block();
            in.u32(group_count);
            read_vectors(in, face_normals, triangle_count);
            read_vectors(in, face_centres, triangle_count);
            for (uint32_t i = 0; i < triangle_count; ++i) in.i32(triangle_groups[i]);
            good = in.ok();
        }
    }
    if (!good) {
        free_arrays();
        vertex_count = normal_count = uv_count = triangle_count = 0;
    }
    return good;
}

static void write_vectors(ByteWriter& out, const cVector3D* vectors, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        out.f32(float(vectors[i].x));
        out.f32(float(vectors[i].y));
        out.f32(float(vectors[i].z));
    }
}

static void write_indices(ByteWriter& out, const uint32_t* indices, size_t count)
{
    for (size_t i = 0; i < count; ++i) out.u32(indices[i]);
}

// The counts a mesh's arrays hold: a freed array holds nothing, whatever its
// count says, and triangles need all three index arrays.
struct HeldCounts {
    uint32_t vertices, normals, uvs, triangles;
};

static HeldCounts held_counts(const ctMesh& mesh)
{
    const bool indexed = mesh.vertex_indices && mesh.normal_indices && mesh.uv_indices;
    return {mesh.vertices ? mesh.vertex_count : 0, mesh.normals ? mesh.normal_count : 0,
            mesh.uvs ? mesh.uv_count : 0, indexed ? mesh.triangle_count : 0};
}

void ctMesh::write(ByteWriter& out) const
{
    const HeldCounts held = held_counts(*this);
    const size_t name_length = strnlen(name, kMeshNameBytes - 1);
    out.bytes(name, name_length);
    out.zeros(kMeshNameBytes - name_length);
    out.u32(held.vertices);
    out.u32(held.normals);
    out.u32(held.uvs);
    out.u32(held.triangles);
    const size_t corners = size_t(3) * held.triangles;
    write_vectors(out, vertices, held.vertices);
    write_vectors(out, normals, held.normals);
    for (uint32_t i = 0; i < held.uvs; ++i) {
        out.f32(float(uvs[i].x));
        out.f32(float(uvs[i].y));
    }
    write_indices(out, vertex_indices, corners);
    write_indices(out, normal_indices, corners);
    write_indices(out, uv_indices, corners);
    const bool block = has_triangle_block() && held.triangles == triangle_count;
    out.u8(block ? 1 : 0);
    if (!block) return;
    out.u32(group_count);
    write_vectors(out, face_normals, triangle_count);
    write_vectors(out, face_centres, triangle_count);
    for (uint32_t i = 0; i < triangle_count; ++i) out.i32(triangle_groups[i]);
}

bool read_jmf_bytes(const uint8_t* data, size_t size, DSParray<ctMesh>& meshes, const char* source)
{
    meshes.clear();
    ByteReader in(data, size);
    uint32_t count = 0;
    if (!in.u32(count)) {
        printf("ERROR: %s%s (no mesh count)\n", "Damaged mesh file ", source);
        return false;
    }
    // What a crash leaves of a file never flushed is zeros: no set is empty.
    if (count == 0) {
        printf("ERROR: %s%s (no mesh)\n", "Damaged mesh file ", source);
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        ctMesh* mesh = new ctMesh;
        if (!mesh->read(in)) {
            delete mesh;
            printf("ERROR: %s%s (mesh %u of %u unreadable)\n", "Damaged mesh file ", source, i + 1, count);
            return false;
        }
        meshes.insert(mesh);
    }
    if (in.remaining() > 0) {
        printf("ERROR: %s%s (bytes after the last mesh)\n", "Damaged mesh file ", source);
        return false;
    }
    return true;
}

void write_jmf_bytes(std::vector<uint8_t>& out, const DSParray<ctMesh>& meshes)
{
    ByteWriter writer(out);
    writer.u32(meshes.count());
    for (uint32_t i = 0; i < meshes.count(); ++i) meshes.get(i)->write(writer);
}

bool read_jmf(FILE* file, DSParray<ctMesh>& meshes, const char* source)
{
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    if (ferror(file)) {
        meshes.clear();
        printf("ERROR: %s%s\n", "Could not read mesh file ", source);
        return false;
    }
    return read_jmf_bytes(bytes.data(), bytes.size(), meshes, source);
}

bool write_jmf(FILE* file, const DSParray<ctMesh>& meshes)
{
    std::vector<uint8_t> bytes;
    write_jmf_bytes(bytes, meshes);
    return fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && fflush(file) == 0;
}
