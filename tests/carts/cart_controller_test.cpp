// The user controller through each control scheme of the shipped rules file,
// with fake keys, buttons and axes.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "base/input_names.h"
#include "game/cart.h"
#include "game/control_bindings.h"
#include "tests/game_play/fake_game_tables.h"
#include "tests/support/scratch.h"

namespace {

const uint16_t kUp = 12;
const uint16_t kDown = 13;
const uint16_t kPad1Button1 = kFirstPadInput + kPadFirstButtonInput;
const uint16_t kPad1Axis1 = 2;

class UserControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_fake_game_tables();
        rules = std::make_unique<cArbData>(std::string(ZR_SOURCE_DIR) + "/data/zorblitRally/rules.ini");
        set_controller(&car, new czrCarAiControllerUser(&bindings));
    }
    void TearDown() override { uninstall_fake_game_tables(); }

    void use_scheme(uint16_t index) { build_bindings(&bindings, find_control_scheme(rules.get(), index)); }
    void update()
    {
        car.controller->update(0.01f);
    }

    std::unique_ptr<cArbData> rules;
    cVantorController bindings;
    czrCar car{cVector3D(), cQuaternion(), 0, 0};
};

}  // namespace

TEST_F(UserControllerTest, SetControllerPointsTheControllerAtItsCart)
{
    EXPECT_EQ(car.controller->car, &car);
    set_controller(&car, nullptr);
    EXPECT_EQ(car.controller, nullptr);
}

TEST_F(UserControllerTest, EachSchemeTurnsItsInputsIntoMotion)
{
    const struct {
        const char* what;
        uint16_t scheme;
        std::set<uint16_t> held;
        std::map<uint16_t, float> analog;
        double turn;    // motion_b.y
        double drive;   // motion_a.z (the cart faces -z)
    } cases[] = {
        {"keyboard: nothing", 0, {}, {}, 0, 0},
        {"keyboard: accelerate", 0, {kUp}, {}, 0, -1},
        {"keyboard: brake", 0, {kDown}, {}, 0, 1},
        {"keyboard: both", 0, {kUp, kDown}, {}, 0, 0},
        {"keyboard: right", 0, {kInputRight}, {}, 2, 0},
        {"keyboard: left while accelerating", 0, {kInputLeft, kUp}, {}, -2, -1},
        {"mouse: pointer moved 3", 1, {}, {{0, 3.0f}}, 2 * 0.3 * 0.3, 0},
        {"mouse: left button", 1, {kInputLeftMouse}, {}, 0, -1},
        {"mouse: right button", 1, {kInputRightMouse}, {}, 0, 1},
        {"pad: full right", 2, {}, {{kPad1Axis1, 1.0f}}, 2, 0},
        {"pad: inside the dead zone", 2, {}, {{kPad1Axis1, -0.1f}}, 0, 0},
        {"pad: first button", 2, {kPad1Button1}, {}, 0, -1},
    };
    for (const auto& c : cases) {
        use_scheme(c.scheme);
        fake_game().held = c.held;
        fake_game().analog = c.analog;
        update();
        EXPECT_NEAR(car.motion_b.y, c.turn, 1e-6) << c.what;
        EXPECT_DOUBLE_EQ(car.motion_b.x, 0) << c.what;
        EXPECT_NEAR(car.motion_a.z, c.drive, 1e-12) << c.what;
        EXPECT_NEAR(car.motion_a.x, 0, 1e-12) << c.what;
    }
}
