#include "base/physics.h"

bool __mPhysics_open()
{
    return true;
}

void __mPhysics_close()
{
}
