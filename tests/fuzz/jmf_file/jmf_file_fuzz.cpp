// A jmf mesh-set file, read from bytes and through the mesh set from a file.
// Both readers agree; every mesh read indexes inside its arrays; a good set
// writes, reads back and writes again to the same bytes.
#include <vector>

#include "scene/mesh_set.h"
#include "tests/fuzz/support/fuzz_support.h"
#include "tests/fuzz/support/mesh_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DSParray<ctMesh> meshes;
    const bool good = read_jmf_bytes(data, size, meshes, "fuzz input");
    for (uint32_t i = 0; i < meshes.count(); ++i) check_mesh_indices(*meshes.get(i));

    ctMeshSet set;
    const bool set_good = set.import_model(scratch_file("model.jmf", data, size));
    mesh_check(set_good == good);
    mesh_check(set.meshes.count() == meshes.count());
    mesh_check(jmf_bytes(set.meshes) == jmf_bytes(meshes));
    for (uint32_t i = 0; i < meshes.count(); ++i) mesh_check(set.find_mesh(meshes.get(i)->name) != nullptr);

    if (good) {
        const std::vector<uint8_t> first = jmf_bytes(meshes);
        DSParray<ctMesh> again;
        mesh_check(read_jmf_bytes(first.data(), first.size(), again, "written"));
        mesh_check(jmf_bytes(again) == first);
        DSParray<ctMesh> copies;
        for (uint32_t i = 0; i < meshes.count(); ++i) copies.insert(meshes.get(i)->clone());
        mesh_check(jmf_bytes(copies) == first);
    }
    return 0;
}
