// The dynamics step of sixteen carts, driven and turning, against the 0.01 s
// of game time that one step stands for.
#include <vector>

#include "bench/support/timing.h"
#include "game/cart.h"

int main()
{
    std::vector<czrCar*> carts;
    for (int i = 0; i < 16; ++i) {
        czrCar* car = new czrCar(cVector3D(96 + 2 * (i % 5), 0.5, 2 * (i / 5)), cQuaternion(), int8_t(i), uint8_t(i % 2));
        car->motion_a = cVector3D(0, 0, -1);
        car->motion_b = cVector3D(0, 0.5 + 0.1 * i, 0);
        carts.push_back(car);
    }
    const float dt = 0.01f;
    const int steps = 1000;
    const double seconds = median_seconds([&] {
        for (int s = 0; s < steps; ++s)
            for (czrCar* car : carts) cart_dynamics_step(car, &dt, true);
    });
    print_ratio("16 carts, one dynamics step", seconds / steps, "s per step", double(dt), "s of game time per step");
    for (czrCar* car : carts) delete car;
    return 0;
}
