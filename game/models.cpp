#include "game/models.h"

const std::string cartPartNames[4] = {"head", "body", "car", "pipes"};
ctMeshSet speciesMeshSets[kSpeciesCount];
ctMeshSet speedboostMeshSet;
ctMeshSet finishLineMeshSet;

void load_species_meshes()
{
    for (int s = 0; s < kSpeciesCount; ++s)
        import_cached_model(speciesMeshSets[s], "data/zorblitRally/carts/" + speciesNames[s] + "cart");
}

void load_extra_models()
{
    import_cached_model(speedboostMeshSet, "data/zorblitRally/extraModel/speedboost");
    import_cached_model(finishLineMeshSet, "data/zorblitRally/extraModel/finishLine");
}
