// Mesh sets and model import through the model-import plug-in.
#include "scene/mesh_set.h"

#include <cstdio>
#include <cstring>

#include "base/fileops.h"
#include "base/plugin.h"
#include "base/strings.h"

static ctMesh* create_empty_mesh()
{
    return new ctMesh;
}

void model_extension(char out[kExtensionBytes], const char* path)
{
    char extension[kMaxNameBytes];
    __mFileOps_get_pathname_extention(extension, path);
    int i = 0;
    for (; i < kExtensionBytes - 1 && extension[i]; ++i) {
        const char c = extension[i];
        out[i] = (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
    }
    out[i] = 0;
}

bool ctMeshSet::import_model(const std::string& path)
{
    if (!__mFileOps_file_exists(path.c_str())) printf("ERROR: %s%s\n", "File does not exist ", path.c_str());
    char extension[kExtensionBytes];
    model_extension(extension, path.c_str());
    // The index points at the meshes about to be deleted.
    by_name.clear();
    meshes.clear();
    bool good = false;
    if (strcmp(extension, "JMF") == 0) {
        FILE* file = nullptr;
        __mFileOps_open_for_read(&file, path.c_str());
        if (file) {
            good = read_jmf(file, meshes, path.c_str());
            __mFileOps_close(file);
        }
    } else {
        const uint16_t id = uint16_t(__mCore_get_first_valid_plugin("ModelImport", extension));
        if (id == 0xFFFF) {
            printf("WARNING: %s%s\n", "could not load model data from the format ", extension);
        } else {
            MeshImportRequest request{&meshes, path.c_str(), create_empty_mesh};
            __mCore_call_plugin_function(int16_t(id), "import_mesh_set", &request);
            good = meshes.count() > 0;
        }
    }
    index_meshes();
    return good;
}

void ctMeshSet::index_meshes()
{
    for (uint32_t i = 0; i < meshes.count(); ++i) {
        ctMesh* mesh = meshes.get(i);
        if (mesh) by_name.insert(mesh, __mystring_hash(mesh->name));
    }
}

bool ctMeshSet::export_model(const std::string& path) const
{
    char extension[kExtensionBytes];
    model_extension(extension, path.c_str());
    if (strcmp(extension, "JMF") != 0) {
        printf("WARNING: %s%s\n", "skipping export - only supports jmf format ", path.c_str());
        return false;
    }
    FILE* file = __mFileOps_open_replacement(path);
    if (!file) {
        printf("ERROR: %s%s\n", "Couldn't open file for write ", path.c_str());
        return false;
    }
    return __mFileOps_commit_replacement(file, path, write_jmf(file, meshes));
}

ctMesh* ctMeshSet::find_mesh(const std::string& name) const
{
    ctMesh* mesh = by_name.find(__mystring_hash(name.c_str()));
    return mesh ? mesh : by_name.find(__mystring_hash(("Model::" + name).c_str()));
}

bool import_cached_model(ctMeshSet& set, const std::string& stem)
{
    const std::string jmf = stem + ".jmf";
    const std::string fbx = stem + ".fbx";
    const bool have_jmf = __mFileOps_file_exists(jmf.c_str());
    if (have_jmf && set.import_model(jmf)) return true;
    if (__mFileOps_file_exists(fbx.c_str())) {
        // An empty import is not cached: it would hide the model file for good.
        if (!set.import_model(fbx)) return false;
        set.export_model(jmf);
        return true;
    }
    if (have_jmf) return set.meshes.count() > 0;
    printf("ERROR: File not found: %s\n", fbx.c_str());
    set.by_name.clear();
    set.meshes.clear();
    return false;
}
