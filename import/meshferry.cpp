// meshferry: reads models from FBX files in the version 6 text form and turns
// each into meshes appended to the caller's list. It is a word scanner, not a
// parser: it looks for fixed key words in a fixed order.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/containers.h"
#include "base/fileops.h"
#include "base/keel.h"
#include "base/matrix.h"
#include "scene/mesh_set.h"

namespace {

// Groups past this many share the last one.
const int64_t kMaxGroups = 256;
const double kDegreesToRadians = double(0.017453292f);

// Words of the file, split at white space ('\r' included).
class WordScanner {
public:
    explicit WordScanner(std::string text) : text(std::move(text)) {}

    // Moves to the next word; false at the end of the file.
    bool next()
    {
        while (at < text.size() && isspace(static_cast<unsigned char>(text[at]))) ++at;
        if (at >= text.size()) {
            current.clear();
            ended = true;
            return false;
        }
        const size_t start = at;
        while (at < text.size() && !isspace(static_cast<unsigned char>(text[at]))) ++at;
        current.assign(text, start, at - start);
        return true;
    }
    // Moves forward to the word key; false when the file ends first.
    bool find(const char* key)
    {
        while (next())
            if (current == key) return true;
        return false;
    }
    bool at_end() const { return ended; }

    std::string current;

private:
    std::string text;
    size_t at = 0;
    bool ended = false;
};

// The pieces of word between any of the delimiters.
std::vector<std::string> cut(const std::string& word, const char* delimiters)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < word.size()) {
        const size_t end = word.find_first_of(delimiters, start);
        const size_t stop = end == std::string::npos ? word.size() : end;
        if (stop > start) pieces.push_back(word.substr(start, stop - start));
        start = stop + 1;
    }
    return pieces;
}

const char* const kListDelimiters = "\",\n ";

struct Layout {
    bool all_same = false;
    bool index_to_direct = false;
    bool by_polygon_vertex = false;
    int code() const { return (all_same ? 4 : 0) + (index_to_direct ? 2 : 0) + (by_polygon_vertex ? 1 : 0); }
};

struct KeyedList {
    std::vector<std::string> words;
    Layout layout;

    std::vector<double> floats() const
    {
        std::vector<double> values;
        for (const std::string& word : words)
            for (const std::string& piece : cut(word, kListDelimiters)) values.push_back(strtod(piece.c_str(), nullptr));
        return values;
    }
    std::vector<int64_t> longs() const
    {
        std::vector<int64_t> values;
        for (const std::string& word : words)
            for (const std::string& piece : cut(word, kListDelimiters))
                values.push_back(strtoll(piece.c_str(), nullptr, 10));
        return values;
    }
};

bool ends_a_list(const std::string& word)
{
    return word.empty() || word.back() == ':' || (word[0] >= 'A' && word[0] <= 'Z') || word == "}";
}

// The list after key. A model's end ("Model:" or "Takes:") met first gives an
// empty list and stays the current word, so the outer reading sees it.
KeyedList read_list(WordScanner& words, const char* key)
{
    KeyedList list;
    while (words.current != key) {
        if (words.current == "Model:" || words.current == "Takes:") return list;
        if (!words.next()) return list;
        const std::string& word = words.current;
        if (word == "\"AllSame\"") list.layout.all_same = true;
        if (word == "\"ByPolygonVertex\"") list.layout.by_polygon_vertex = true;
        if (word == "\"ByVertex\"") list.layout.by_polygon_vertex = false;
        if (word == "\"IndexToDirect\"") list.layout.index_to_direct = true;
        if (word == "\"Direct\"") list.layout.index_to_direct = false;
    }
    while (words.next() && !ends_a_list(words.current)) list.words.push_back(words.current);
    return list;
}

// The three numbers of the word `skip` words after key, or fallback.
cVector3D read_transform(WordScanner& words, const char* key, int skip, const char* delimiters, cVector3D fallback)
{
    if (!words.find(key)) return fallback;
    for (int i = 0; i < skip; ++i)
        if (!words.next()) return fallback;
    const std::vector<std::string> pieces = cut(words.current, delimiters);
    double v[3] = {0, 0, 0};
    for (size_t i = 0; i < 3 && i < pieces.size(); ++i) v[i] = strtod(pieces[i].c_str(), nullptr);
    return cVector3D(v[0], v[1], v[2]);
}

struct Transforms {
    cVector3D pre_rotation, geometric_translation, geometric_rotation, geometric_scaling{1, 1, 1};
    cVector3D translation, rotation, scaling{1, 1, 1};
};

// A zero angle leaves the matrix as it is (and needs no trigonometry table).
void turn(cMatrix3D& m, void (*operation)(cMatrix3D*, double), double degrees)
{
    if (degrees != 0) operation(&m, degrees * kDegreesToRadians);
}

cMatrix3D yaw_pitch_roll(const cVector3D& degrees)
{
    cMatrix3D m;
    turn(m, __cMatrix3d_yaw, degrees.y);
    turn(m, __cMatrix3d_pitch, degrees.x);
    turn(m, __cMatrix3d_roll, degrees.z);
    return m;
}

cMatrix3D pitch_yaw_roll(const cVector3D& degrees)
{
    cMatrix3D m;
    turn(m, __cMatrix3d_pitch, degrees.x);
    turn(m, __cMatrix3d_yaw, degrees.y);
    turn(m, __cMatrix3d_roll, degrees.z);
    return m;
}

cVector3D scaled(const cVector3D& v, const cVector3D& s)
{
    return cVector3D(v.x * s.x, v.y * s.y, v.z * s.z);
}

struct Corner {
    int64_t vertex, normal, uv;
};

struct Model {
    std::string name;
    Transforms transforms;
    std::vector<double> vertices, normals, uvs;
    std::vector<int64_t> polygon_indices, uv_indices, materials;
    int normal_layout = 0, uv_layout = 0;
};

void copy_name(ctMesh* mesh, const std::string& name)
{
    memset(mesh->name, 0, sizeof mesh->name);
    strncpy(mesh->name, name.c_str(), kMeshNameBytes - 1);
}

int64_t material_of(const Model& model, size_t polygon)
{
    // One entry stands for every polygon (the "AllSame" mapping).
    const size_t index = model.materials.size() == 1 ? 0 : polygon;
    if (index >= model.materials.size() || model.materials[index] < 0) return 0;
    return std::min(model.materials[index], kMaxGroups - 1);
}

// The triangles of the polygons of one group; an unterminated last polygon
// and every triangle with an index out of range are dropped.
std::vector<Corner> group_triangles(const Model& model, int64_t group, int64_t vertex_count, int64_t normal_count,
                                    int64_t uv_count)
{
    std::vector<Corner> triangles, polygon;
    size_t polygon_number = 0;
    for (size_t i = 0; i < model.polygon_indices.size(); ++i) {
        const int64_t value = model.polygon_indices[i];
        const int64_t uv = i < model.uv_indices.size() ? model.uv_indices[i] : -1;
        polygon.push_back(Corner{value < 0 ? ~value : value, int64_t(i), uv});
        if (value >= 0) continue;
        if (material_of(model, polygon_number++) == group) {
            for (size_t k = 2; k < polygon.size(); ++k) {
                const Corner corners[3] = {polygon[0], polygon[k - 1], polygon[k]};
                bool inside = true;
                for (const Corner& c : corners)
                    inside = inside && c.vertex >= 0 && c.vertex < vertex_count && c.normal < normal_count &&
                             c.uv >= 0 && c.uv < uv_count;
                if (inside) triangles.insert(triangles.end(), corners, corners + 3);
            }
        }
        polygon.clear();
    }
    return triangles;
}

// Triangles sharing a vertex, directly or through others, share a group;
// ids count from 0 in the order of each group's first triangle.
uint32_t find_root(std::vector<uint32_t>& parent, uint32_t i)
{
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
}

void post_process(ctMesh* mesh)
{
    const uint32_t t = mesh->triangle_count;
    mesh->face_normals = new cVector3D[t];
    mesh->face_centres = new cVector3D[t];
    mesh->triangle_groups = new int32_t[t];
    std::vector<uint32_t> parent(mesh->vertex_count);
    for (uint32_t i = 0; i < mesh->vertex_count; ++i) parent[i] = i;
    for (uint32_t i = 0; i < t; ++i) {
        const uint32_t* v = mesh->vertex_indices + 3 * size_t(i);
        const cVector3D &a = mesh->vertices[v[0]], &b = mesh->vertices[v[1]], &c = mesh->vertices[v[2]];
        cVector3D normal = cross(b - a, c - a);
        const double length = normal.length();
        // A degenerate triangle has no direction: its normal stays zero.
        mesh->face_normals[i] = length > 0 && std::isfinite(length) ? normal / length : cVector3D();
        mesh->face_centres[i] = (a + b + c) / 3.0;
        parent[find_root(parent, v[1])] = find_root(parent, v[0]);
        parent[find_root(parent, v[2])] = find_root(parent, v[0]);
    }
    std::vector<int32_t> group_of_root(mesh->vertex_count, -1);
    int32_t groups = 0;
    for (uint32_t i = 0; i < t; ++i) {
        const uint32_t root = find_root(parent, mesh->vertex_indices[3 * size_t(i)]);
        if (group_of_root[root] < 0) group_of_root[root] = groups++;
        mesh->triangle_groups[i] = group_of_root[root];
    }
    mesh->group_count = uint32_t(groups);
}

ctMesh* build_mesh(const Model& model, int64_t group, const std::string& name, const MeshImportRequest& request)
{
    if ((model.normal_layout | (model.uv_layout << 2)) != 13)
        printf("ERROR: %s%s\n", "Unsupported Geometry format in ", name.c_str());
    const int64_t vertex_count = int64_t(model.vertices.size() / 3);
    const int64_t normal_count = int64_t(model.normals.size() / 3);
    const int64_t uv_count = int64_t(model.uvs.size() / 2);
    if (size_t(normal_count) != model.polygon_indices.size()) printf("ERROR: %s%s\n", "NORM count mismatch", "");
    const std::vector<Corner> corners = group_triangles(model, group, vertex_count, normal_count, uv_count);

    ctMesh* mesh = request.create_mesh();
    copy_name(mesh, name);
    mesh->allocate(uint32_t(vertex_count), uint32_t(normal_count), uint32_t(uv_count), uint32_t(corners.size() / 3));
    const Transforms& t = model.transforms;
    const cMatrix3D pre = yaw_pitch_roll(t.pre_rotation);
    const cMatrix3D geometric = pitch_yaw_roll(t.geometric_rotation);
    const cMatrix3D local = yaw_pitch_roll(t.rotation);
    for (int64_t i = 0; i < vertex_count; ++i) {
        cVector3D v(model.vertices[3 * i], model.vertices[3 * i + 1], model.vertices[3 * i + 2]);
        __cVector3d_rotate_by_matrix(&v, &pre);
        v = scaled(v, t.geometric_scaling);
        __cVector3d_rotate_by_matrix(&v, &geometric);
        v = v + t.geometric_translation;
        v = scaled(v, t.scaling);
        __cVector3d_rotate_by_matrix(&v, &local);
        mesh->vertices[i] = v + t.translation;
    }
    for (int64_t i = 0; i < normal_count; ++i) {
        cVector3D n(model.normals[3 * i], model.normals[3 * i + 1], model.normals[3 * i + 2]);
        n.normalize();
        __cVector3d_rotate_by_matrix(&n, &pre);
        __cVector3d_rotate_by_matrix(&n, &geometric);
        __cVector3d_rotate_by_matrix(&n, &local);
        mesh->normals[i] = n;
    }
    for (int64_t i = 0; i < uv_count; ++i) mesh->uvs[i] = cVector2D<double>(model.uvs[2 * i], -model.uvs[2 * i + 1]);
    for (size_t i = 0; i < corners.size(); ++i) {
        mesh->vertex_indices[i] = uint32_t(corners[i].vertex);
        mesh->normal_indices[i] = uint32_t(corners[i].normal);
        mesh->uv_indices[i] = uint32_t(corners[i].uv);
    }
    post_process(mesh);
    return mesh;
}

// The name word is "Model::name", with its quotes and comma; the name keeps the prefix.
std::string model_name(const std::string& word)
{
    if (word.size() < 3) return std::string();
    return word.substr(1, std::min<size_t>(word.size() - 3, kMeshNameBytes - 1));
}

void read_model(WordScanner& words, const MeshImportRequest& request)
{
    Model model;
    words.next();
    model.name = model_name(words.current);
    const char* const numbers = "\"\n, ";
    const char* const signed_numbers = "\"\n, A+";
    Transforms& t = model.transforms;
    cVector3D v = read_transform(words, "\"PreRotation\",", 2, numbers, cVector3D());
    t.pre_rotation = v;
    v = read_transform(words, "\"GeometricTranslation\",", 2, numbers, cVector3D());
    t.geometric_translation = cVector3D(v.x, v.z, -v.y);
    v = read_transform(words, "\"GeometricRotation\",", 2, numbers, cVector3D());
    t.geometric_rotation = cVector3D(v.x, -v.y, -v.z);
    t.geometric_scaling = read_transform(words, "\"GeometricScaling\",", 2, numbers, cVector3D(1, 1, 1));
    t.translation = read_transform(words, "Translation\",", 3, signed_numbers, cVector3D());
    v = read_transform(words, "Rotation\",", 3, signed_numbers, cVector3D());
    t.rotation = cVector3D(v.x, -v.z, -v.y);
    t.scaling = read_transform(words, "Scaling\",", 3, signed_numbers, cVector3D(1, 1, 1));

    const KeyedList vertices = read_list(words, "Vertices:");
    const KeyedList polygons = read_list(words, "PolygonVertexIndex:");
    const KeyedList normals = read_list(words, "Normals:");
    const KeyedList uvs = read_list(words, "UV:");
    const KeyedList uv_indices = read_list(words, "UVIndex:");
    const KeyedList materials = read_list(words, "Materials:");
    if (vertices.words.empty() || uvs.words.empty() || normals.words.empty() || polygons.words.empty() ||
        uv_indices.words.empty())
        return;
    model.vertices = vertices.floats();
    model.polygon_indices = polygons.longs();
    model.normals = normals.floats();
    model.uvs = uvs.floats();
    model.uv_indices = uv_indices.longs();
    model.materials = materials.longs();
    model.normal_layout = normals.layout.code();
    model.uv_layout = uvs.layout.code();

    int64_t groups = 1;
    for (size_t p = 0; p < model.materials.size(); ++p) groups = std::max(groups, material_of(model, p) + 1);
    if (model.uv_indices.size() != model.polygon_indices.size())
        printf("ERROR: %s%s\n", "texture and model tris count mismatch", "");
    for (int64_t g = 0; g < groups; ++g) {
        const std::string name = g == 0 ? model.name : model.name + std::to_string(g + 1);
        request.meshes->insert(build_mesh(model, g, name, request));
    }
}

void read_file(const char* path, const MeshImportRequest& request)
{
    char* text = __mFileOps_create_string_from_file(path);
    if (!text) return;
    WordScanner words{std::string(text)};
    delete[] text;
    words.next();
    while (!words.at_end()) {
        if (words.current == "Takes:") return;
        if (words.current == "Model:") {
            read_model(words, request);
            continue;  // the word that ended the model may start the next
        }
        words.next();
    }
}

}  // namespace

KEEL_API bool initialize(DSPrefHashMap<void>*)
{
    return true;
}

KEEL_API void shutdown()
{
}

KEEL_API const char* get_plugin_name()
{
    return "Mesh-Ferry";
}

KEEL_API const char* get_plugin_purpose()
{
    return "ModelImport";
}

KEEL_API bool get_plugin_compatibility(const char* kind)
{
    char upper[16] = {};
    for (int i = 0; kind && i < 15 && kind[i]; ++i) upper[i] = char(toupper(static_cast<unsigned char>(kind[i])));
    return strcmp(upper, "FBX") == 0;
}

KEEL_API void get_plugin_prereqs(DSParray<std::string>&)
{
}

KEEL_API uint8_t import_mesh_set(MeshImportRequest* request)
{
    if (!request || !request->meshes || !request->path || !request->create_mesh) return 0;
    char extension[kExtensionBytes] = {};
    char raw[kMaxNameBytes];
    __mFileOps_get_pathname_extention(raw, request->path);
    for (int i = 0; i < kExtensionBytes - 1 && raw[i]; ++i)
        extension[i] = char(toupper(static_cast<unsigned char>(raw[i])));
    if (strcmp(extension, "FBX") != 0) return 0;
    read_file(request->path, *request);
    return 1;
}
