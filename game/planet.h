// The small planet the track circles: a sphere of radius 55 with a colour
// map and a normal map made from a bump image, turning with the race clock.
#pragma once

#include "base/containers.h"
#include "base/light.h"
#include "base/quaternion.h"
#include "scene/visible_object.h"

class ctShaderSet;

// The world object standing for the planet; the planet itself is drawn by
// draw_planet, so it has no renderer instances of its own.
class czrOrbling : public _ctVisibleObjectBase {
public:
    cVector3D get_position() override;
    cQuaternion get_rotation() override;
    virtual void idle() {}
};

extern DSParray<ctShaderSet> planetShaderSets;
extern int planetColorTexture;
extern int planetNormalTexture;

// The planet's shader set and, unless told not to, its two textures.
void load_planet(bool dont_load_textures);
// The planet at the race clock's spin, lit by lights; shader_light is the
// game's own light for the single-light mode.
void draw_planet(DSParray<cLight>* lights, cLight* shader_light, float race_time);

// The rotation of the planet at a race clock: the spin about y, then a
// quarter turn about x.
cQuaternion planet_rotation(float race_time);
cQuaternion quaternion_product(const cQuaternion& a, const cQuaternion& b);
cQuaternion quaternion_about_x(const double* angle);
cQuaternion quaternion_about_y(const double* angle);
