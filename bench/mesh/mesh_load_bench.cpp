// Loading the two cart models: from their fbx files through meshferry against
// from the jmf files the game caches them in.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/plugin.h"
#include "bench/support/timing.h"
#include "scene/mesh_set.h"

int main()
{
    const std::string data = std::string(ZR_GAME_DIR) + "/data/zorblitRally/carts/";
    const char* const carts[2] = {"Foxcart", "Erminecart"};
    __mCore_parse_folder_for_plugins(ZR_GAME_DIR "/plugin");
    char folder[] = "/tmp/zr-mesh-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    const std::string cache = std::string(folder) + "/";
    for (const char* cart : carts) {
        ctMeshSet set;
        if (!set.import_model(data + cart + ".fbx") || !set.export_model(cache + cart + ".jmf")) {
            printf("ERROR: cannot import and cache %s\n", cart);
            return 1;
        }
    }
    auto load = [&](const std::string& folder, const char* extension) {
        for (const char* cart : carts) {
            ctMeshSet set;
            set.import_model(folder + cart + extension);
        }
    };
    const double fbx = median_seconds([&] { load(data, ".fbx"); });
    const double jmf = median_seconds([&] { load(cache, ".jmf"); });
    print_ratio("cart models from fbx (meshferry)", fbx, "s", jmf, "s from jmf");
    for (const char* cart : carts) remove((cache + cart + ".jmf").c_str());
    rmdir(folder);
    return 0;
}
