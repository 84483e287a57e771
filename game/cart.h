// A player's cart: a synced rigid body the host replicates, with its own
// dynamics step, impulses and an optional controller that drives it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <string>
#include <vector>

#include "base/light.h"
#include "framework/controller.h"
#include "scene/synced_physics_object.h"
#include "scene/visible_object.h"

class ctRenderer;
class ctShaderSet;

class czrCar;

// Drives one cart each step.
class czrCarAiController {
public:
    virtual ~czrCarAiController() = default;
    virtual void update(float dt) = 0;

    czrCar* car = nullptr;
};

// The local player's cart, steered by the game controller's bindings.
class czrCarAiControllerUser : public czrCarAiController {
public:
    explicit czrCarAiControllerUser(const cVantorController* input) : input(input) {}
    void update(float dt) override;

    const cVantorController* input;
};

constexpr int8_t kNoCartOwner = -1;
constexpr int kCartPartCount = 4;

// The parts every cart is drawn in, each its own mesh and texture.
extern const std::string cartPartNames[kCartPartCount];
// Texture id per species and part; 0 (white) when not loaded.
extern uint32_t cartTextures[2][kCartPartCount];
// One material per part.
extern DSParray<cMaterial> cartMaterials;
extern DSParray<ctShaderSet> cartShaderSets;

// Materials, the shader set, the textures (unless told not to) and the
// species' models, once at start-up.
void load_carts(bool dont_load_textures);

class czrCar : public cVantorSyncedPhysicsObject, public _ctVisibleObjectBase {
public:
    // owner, species, the 84-byte body form and the sync id
    static constexpr int kRecordSize = 90;
    // The room a packet builder reserves for one record.
    static constexpr int kRecordRoom = 94;

    czrCar(const cVector3D& position, const cQuaternion& rotation, int8_t owner_slot, uint8_t species);
    ~czrCar() override;
    czrCar(const czrCar&) = delete;
    czrCar& operator=(const czrCar&) = delete;

    // Radius 0.65 and mass 6, at rest, drawn in its species' parts.
    virtual void build_renderable();

    cVector3D get_position() override { return position; }
    cQuaternion get_rotation() override { return rotation; }

    // The packed form is the cart record.
    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;
    int write_sync_record(uint8_t* buffer, size_t capacity) const override;
    // Refuses (-1, nothing changed) a short or non-finite record; a species
    // out of range reads as the first, an owner outside 0..15 as none.
    int read_sync_record(const uint8_t* buffer, size_t size) override;
    int sync_record_size() const override;

    int8_t owner_slot = kNoCartOwner;
    uint8_t species = 0;
    cVector3D surface_point;
    cVector3D last_on_track;
    double track_fraction = 0;
    std::unique_ptr<czrCarAiController> controller;
    // The renderers of the instances; the instances do not own them.
    std::vector<std::unique_ptr<ctRenderer>> part_renderers;
};

// The cart's four part renderers and their instances, scaled by 0.15, in
// place of any it had.
void build_cart_renderers(czrCar* car);

// Replaces the cart's controller (null removes it) and points it at the cart.
void set_controller(czrCar* car, czrCarAiController* controller);
// velocity += impulse / mass; a body without mass is left as it is.
void apply_impulse(czrCar* car, const cVector3D& impulse);
// Turns by motion_b; on the track the velocity keeps only its forward part,
// takes the drive and drag, and a push that grows with speed up to 35; then
// the cart moves.
void cart_dynamics_step(czrCar* car, const float* dt, bool on_track);
