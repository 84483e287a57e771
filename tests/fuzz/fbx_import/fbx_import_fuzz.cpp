// An FBX text file imported through the meshferry plug-in, loaded from its
// own plug-in folder as the program loads it. Every mesh it makes indexes
// inside its arrays and writes to jmf and reads back the same.
#include <cstdio>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "base/plugin.h"
#include "scene/mesh_set.h"
#include "tests/fuzz/support/fuzz_support.h"
#include "tests/fuzz/support/mesh_check.h"

namespace {

std::vector<uint8_t> file_bytes(const std::string& path)
{
    std::vector<uint8_t> bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        perror(path.c_str());
        abort();
    }
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    // Only meshferry, from a folder of its own: the other plug-ins want a display.
    const std::string probe = scratch_file("probe", nullptr, 0);
    const std::string folder = probe.substr(0, probe.rfind('/')) + "/plugin";
    mkdir(folder.c_str(), 0755);
    const std::vector<uint8_t> plugin = file_bytes(std::string(ZR_PLUGIN_DIR) + "/meshferry.so");
    scratch_file("plugin/meshferry.so", plugin.data(), plugin.size());
    __mCore_parse_folder_for_plugins(folder.c_str());
    if (__mCore_get_first_valid_plugin("ModelImport", "FBX") < 0) {
        fflush(stdout);
        fprintf(stderr, "meshferry did not load from %s (%d plug-ins)\n", folder.c_str(), __mCore_get_plugin_count());
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ctMeshSet set;
    const bool good = set.import_model(scratch_file("model.fbx", data, size));
    mesh_check(good == (set.meshes.count() > 0));
    for (uint32_t i = 0; i < set.meshes.count(); ++i) {
        const ctMesh& mesh = *set.meshes.get(i);
        check_mesh_indices(mesh);
        mesh_check(set.find_mesh(mesh.name) != nullptr);
    }
    const std::vector<uint8_t> written = jmf_bytes(set.meshes);
    DSParray<ctMesh> again;
    // An empty set is never cached: read back, it is a damaged cache.
    mesh_check(read_jmf_bytes(written.data(), written.size(), again, "written") == good);
    mesh_check(jmf_bytes(again) == written);
    return 0;
}
