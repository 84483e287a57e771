// The game's models, loaded once at start-up: each species' cart meshes and
// the track's extra models (speed boost, finish line). Each loads from its
// jmf file, or from its fbx file through the model importer, then cached as jmf.
#pragma once

#include <string>

#include "game/game.h"
#include "scene/mesh_set.h"

extern const std::string cartPartNames[4];
extern ctMeshSet speciesMeshSets[kSpeciesCount];
extern ctMeshSet speedboostMeshSet;
extern ctMeshSet finishLineMeshSet;

// "data/zorblitRally/carts/" + species name + "cart", for species 0 and 1.
void load_species_meshes();
// "data/zorblitRally/extraModel/speedboost" and ".../finishLine".
void load_extra_models();
