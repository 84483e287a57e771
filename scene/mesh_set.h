// Mesh sets: the meshes of one model file, found by name. jmf files are read
// natively; every other format goes to the first model-import plug-in that
// accepts the file's extension.
#pragma once

#include <string>

#include "base/containers.h"
#include "scene/mesh.h"

// What a model-import plug-in's import_mesh_set receives. The plug-in makes
// every mesh through create_mesh, so the meshes' code (and the code that frees
// them) is the caller's and outlives the plug-in.
struct MeshImportRequest {
    DSParray<ctMesh>* meshes;
    const char* path;
    ctMesh* (*create_mesh)();
};

constexpr int kExtensionBytes = 32;

// The extension of path after its last '.', upper-cased ('a'..'z' only), at
// most kExtensionBytes - 1 characters.
void model_extension(char out[kExtensionBytes], const char* path);

class ctMeshSet {
public:
    // Replaces the meshes with those of the file; false when the file was
    // missing, damaged or no importer took it.
    bool import_model(const std::string& path);
    // Writes the set as jmf through a temporary file renamed over path, so an
    // interrupted write leaves no cut file; other formats are refused.
    bool export_model(const std::string& path) const;
    // The mesh named name, else the one named "Model::" + name; null if none.
    ctMesh* find_mesh(const std::string& name) const;

    DSParray<ctMesh> meshes;
    DSPrefHashMap<ctMesh> by_name;

private:
    void index_meshes();
};

// stem + ".jmf" when it exists and reads whole; else stem + ".fbx" through the
// importer, written back as stem + ".jmf"; else "ERROR: File not found: "
// stem + ".fbx". True when the set holds meshes from one of them.
bool import_cached_model(ctMeshSet& set, const std::string& stem);
