// The race game's program object: the one instance that main drives.
#pragma once

#include "framework/engine.h"

class cGame : public cEngineProc3dMulti {
public:
    void update_program(float*) override {}
    void render_view_scene() override {}
    void render_view_effects(cViewReference*) override {}
    void render_overlay(cViewReference*) override {}
    void render_extra_overlay() override {}
    virtual void game_init() {}
    virtual void game_shutdown() {}
};
