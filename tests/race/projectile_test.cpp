// Projectiles: their record and state by bytes, homing, flight, expiry,
// trails, and what a spawn or update from the host may not do.
#include "base/quaternion.h"
#include "tests/race/race_fixture.h"

namespace {

std::vector<uint8_t> le(std::initializer_list<uint32_t> words)
{
    std::vector<uint8_t> bytes;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(w >> (8 * i)));
    return bytes;
}

uint32_t bits(float f)
{
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

czrProjectile sample_projectile()
{
    czrProjectile p;
    p.kind = 2;
    p.param_a = 0x01020304u;
    p.param_b = 7;
    p.param_c = 1.5f;
    p.param_d = 2.0f;
    p.position = cVector3D(1, 2, 3);
    p.velocity = cVector3D(4, 5, 6);
    p.mass = 0.5f;
    p.sync_id = 0xAABBCCDDu;
    return p;
}

class ProjectileTest : public RaceFixture {
protected:
    czrProjectileType* add_type(float turn_rate, float thrust = 0, float gain = 0, uint8_t trail = 0)
    {
        czrProjectileType* type = new czrProjectileType;
        type->turn_rate = turn_rate;
        type->thrust = thrust;
        type->velocity_gain = gain;
        type->trail = trail;
        projectileTypes.insert(type);
        return type;
    }
    czrProjectile* launch(uint8_t kind, float life = 5)
    {
        czrProjectile* p = new czrProjectile;
        p->kind = kind;
        p->param_c = life;
        return projectileRegistry.register_object(p);
    }
};

}  // namespace

TEST(ProjectileRecord, IsWrittenAndReadAs105BytesAndTheStateAs84)
{
    const czrProjectile p = sample_projectile();
    uint8_t record[czrProjectile::kRecordSize] = {};
    ASSERT_EQ(p.write_sync_record(record, sizeof record), 105);
    EXPECT_EQ(p.serialized_size(), 121) << "the room a builder reserves";
    EXPECT_EQ(record[0], 2);
    EXPECT_EQ(std::vector<uint8_t>(record + 1, record + 17), le({0x01020304u, 7, bits(1.5f), bits(2.0f)}));
    EXPECT_EQ(std::vector<uint8_t>(record + 17, record + 21), le({bits(1.0f)})) << "the body form starts at 17";
    EXPECT_EQ(std::vector<uint8_t>(record + 101, record + 105), le({0xAABBCCDDu}));

    czrProjectile read;
    ASSERT_EQ(read.read_sync_record(record, 105), 105);
    EXPECT_EQ(read.kind, 2);
    EXPECT_EQ(read.param_a, 0x01020304u);
    EXPECT_EQ(read.param_b, 7u);
    EXPECT_EQ(read.param_c, 1.5f);
    EXPECT_EQ(read.param_d, 2.0f);
    EXPECT_EQ(read.velocity.z, 6);
    EXPECT_EQ(read.mass, 0.5f);
    EXPECT_EQ(read.sync_id, 0xAABBCCDDu);
    EXPECT_EQ(read.snapshot->position.y, 2) << "the body goes into the snapshot too";

    uint8_t state[czrProjectile::kStateSize] = {};
    ASSERT_EQ(p.write_sync_state(state, sizeof state), 84);
    EXPECT_EQ(p.sync_state_size(), 90);
    EXPECT_EQ(std::vector<uint8_t>(state, state + 12), le({7, bits(1.5f), bits(1.0f)}));
    czrProjectile applied;
    ASSERT_EQ(applied.read_sync_state(state, 84, 0.25f), 84);
    EXPECT_EQ(applied.param_b, 7u);
    EXPECT_EQ(applied.position.z, 3);
    EXPECT_EQ(applied.sync_time, 0.25f);
}

TEST(ProjectileRecord, ShortOrNonFiniteFormsChangeNothing)
{
    const czrProjectile p = sample_projectile();
    uint8_t record[105];
    uint8_t state[84];
    p.write_sync_record(record, sizeof record);
    p.write_sync_state(state, sizeof state);
    uint8_t small[104];
    EXPECT_EQ(p.write_sync_record(small, sizeof small), -1);
    EXPECT_EQ(p.write_sync_state(small, 83), -1);

    czrProjectile target;
    EXPECT_EQ(target.read_sync_record(record, 104), -1);
    EXPECT_EQ(target.read_sync_state(state, 83, 0), -1);
    const float nan = std::nanf("");
    std::memcpy(record + 9, &nan, 4);  // param_c
    EXPECT_EQ(target.read_sync_record(record, 105), -1);
    std::memcpy(state + 4, &nan, 4);
    EXPECT_EQ(target.read_sync_state(state, 84, 0), -1);
    p.write_sync_state(state, sizeof state);
    std::memcpy(state + 8, &nan, 4);  // position x
    EXPECT_EQ(target.read_sync_state(state, 84, 0), -1);
    EXPECT_EQ(target.param_b, 0u);
    EXPECT_EQ(target.param_d, 1.0f);
    EXPECT_EQ(target.position.x, 0);
}

TEST_F(ProjectileTest, AHomingProjectileTurnsAtItsRateAndSnapsWhenTheTurnCoversTheAngle)
{
    seat(1, 4);
    start();
    const czrProjectileType* type = add_type(0.05f);  // 18 degrees a second
    czrProjectile* p = launch(0);
    cart_of(1)->position = cVector3D(10, 150, 0);
    p->position = cVector3D(0, 150, 0);
    p->param_b = cart_of(1)->sync_id;
    p->velocity = cVector3D(0, 0, 3);  // nose along +z, target along +x
    projectile_home(p, *type, 1.0f);
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &p->rotation);
    const cVector3D nose(m.m[2], m.m[5], m.m[8]);
    EXPECT_NEAR(std::acos(nose.z), 0.05 * 6.2831854820251465, 1e-6) << "one step's turn toward the target";
    EXPECT_GT(nose.x, 0);
    EXPECT_NEAR(p->velocity.length(), 3, 1e-7);
    EXPECT_NEAR(dot(p->velocity.normalized(), nose), 1, 1e-7) << "the velocity follows the nose";

    for (int i = 0; i < 5; ++i) projectile_home(p, *type, 1.0f);
    __cMatrix3d_from_quaternion(&m, &p->rotation);
    EXPECT_NEAR(m.m[2], 1, 1e-9) << "the last turn snaps onto the target direction";
    projectile_home(p, *type, 0.0f);  // no angle left and no turn: still no NaN
    EXPECT_TRUE(std::isfinite(p->rotation.w));
    __cMatrix3d_from_quaternion(&m, &p->rotation);
    EXPECT_NEAR(m.m[2], 1, 1e-9);

    p->param_b = 999;  // no such cart: nothing
    const cQuaternion before = p->rotation;
    cart_of(1)->position = cVector3D(0, 150, 10);
    projectile_home(p, *type, 1.0f);
    EXPECT_EQ(p->rotation.x, before.x);
}

TEST_F(ProjectileTest, ThrustGainAndLifeAndExpiryAtExactlyZero)
{
    start();
    const czrProjectileType* type = add_type(0, 10, 0.5f);
    czrProjectile* p = launch(0, 0.02f);
    p->velocity = cVector3D(0, 0, 2);
    projectile_move(p, *type, 0.01f);
    EXPECT_NEAR(p->velocity.z, 2 + (10 + 2 * 0.5) * 0.01, 1e-6);
    EXPECT_NEAR(p->position.z, p->velocity.z * 0.01, 1e-9);

    p->param_c = 0.01f;
    const uint32_t id = p->sync_id;
    world_step(game.get(), kStepSeconds);
    EXPECT_EQ(p->param_c, 0.0f);
    EXPECT_NE(projectileRegistry.find(id), nullptr) << "removal waits for the collection";
    projectileRegistry.collect();
    EXPECT_EQ(projectileRegistry.find(id), nullptr) << "a life of exactly 0 is over";
}

TEST_F(ProjectileTest, AProjectileOfAnUnknownKindIsSkippedAndRemoved)
{
    start();
    czrProjectile* p = launch(3);
    p->velocity = cVector3D(1, 0, 0);
    const uint32_t id = p->sync_id;
    world_step(game.get(), kStepSeconds);
    EXPECT_EQ(p->position.x, 0);
    projectileRegistry.collect();
    EXPECT_EQ(projectileRegistry.find(id), nullptr);
}

TEST_F(ProjectileTest, EveryTrailParticleCostsFiveDraws)
{
    start();
    add_type(0, 0, 0, 1);
    launch(0)->velocity = cVector3D(0, 0, 1);
    __mRandom_srand(5);
    int sixth = 0;
    for (int i = 0; i < 6; ++i) sixth = __mRandom_rand();
    __mRandom_srand(5);
    const uint32_t before = game->particles.count();
    world_step(game.get(), kStepSeconds);
    EXPECT_EQ(game->particles.count(), before + 1);
    EXPECT_EQ(__mRandom_rand(), sixth);
    const cVantorParticle* trail = game->particles.get(game->particles.count() - 1);
    EXPECT_EQ(trail->life, 1.0f);
    EXPECT_EQ(trail->colour.r, 0.5f);
    EXPECT_GE(trail->size, 0.5f);
    EXPECT_LE(trail->size, 1.0f);
}

TEST_F(ProjectileTest, ASpawnFromTheHostIsRefusedForAKindWithoutAType)
{
    czrProjectile p = sample_projectile();
    p.kind = 0;
    p.sync_id = 40;
    czrpProjectileSpawn spawn(p);
    __cNetPacketBase* packet = nullptr;
    czrPacketFactory factory;
    const std::string wire = wire_of(spawn);
    PacketHeader header;
    read_packet_header(reinterpret_cast<const uint8_t*>(wire.data()), wire.size(), &header);
    auto build = [&] {
        return factory.build_packet(header, reinterpret_cast<const uint8_t*>(wire.data()) + 16,
                                    uint32_t(wire.size() - 16));
    };
    packet = build();
    testing::internal::CaptureStdout();
    handle_packet(game.get(), kFromHost, packet);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR: Dropped packet of Type 30007: unknown projectile kind\n");
    packet->destroy();
    EXPECT_EQ(projectileRegistry.find(40), nullptr);

    add_type(0);
    packet = build();
    handle_packet(game.get(), kFromHost, packet);
    packet->destroy();
    ASSERT_NE(projectileRegistry.find(40), nullptr);
    EXPECT_EQ(projectileRegistry.find(40)->param_c, 1.5f);

    czrpProjectileDelete remove(40);
    const std::string removal = wire_of(remove);
    read_packet_header(reinterpret_cast<const uint8_t*>(removal.data()), removal.size(), &header);
    packet = factory.build_packet(header, reinterpret_cast<const uint8_t*>(removal.data()) + 16, 4);
    handle_packet(game.get(), kFromHost, packet);
    packet->destroy();
    projectileRegistry.collect();
    EXPECT_EQ(projectileRegistry.find(40), nullptr);
}

TEST_F(ProjectileTest, AnUpdateEntryForAnUnknownProjectileIsSkippedBy84Bytes)
{
    seat(1, 4);
    start();
    czrProjectile stranger = sample_projectile();
    czrpUpdateCars update(1, 1);
    czrCar* cart = cart_of(1);
    cart->position = cVector3D(5, 6, 7);
    update.append_cart(*cart);
    update.append_projectile(stranger);
    const uint8_t ranks[kPlayerSlots] = {3, 1, 2};
    update.append_ranks(ranks);
    EXPECT_EQ(update.length, 16u + 4 + 80 + 88 + 16);
    cart->position = cVector3D();
    const std::string wire = wire_of(update);
    PacketHeader header;
    read_packet_header(reinterpret_cast<const uint8_t*>(wire.data()), wire.size(), &header);
    czrPacketFactory factory;
    __cNetPacketBase* packet =
        factory.build_packet(header, reinterpret_cast<const uint8_t*>(wire.data()) + 16, uint32_t(wire.size() - 16));
    game->own_slot = 5;
    handle_packet(game.get(), kFromHost, packet);
    packet->destroy();
    EXPECT_EQ(cart->position.x, 5);
    EXPECT_EQ(slot(0).rank, 3);
    EXPECT_EQ(slot(1).rank, 1);
    EXPECT_EQ(slot(2).rank, 2);
    EXPECT_EQ(projectileRegistry.objects.count(), 0u);
}
