// Control schemes from the rules file become the controller's named axes and
// buttons; the cart and the race ask for "TURN", "ACCELERATE", "BRAKE" and
// "RESPAWN" by name.
#pragma once

#include <cstdint>
#include <string>

#include "framework/arb.h"
#include "framework/controller.h"

// A copy of text with every '_' replaced by a blank ("Left_Mouse" names "Left Mouse").
std::string binding_word_to_name(const std::string& text);
// The index of the key or axis named exactly name; -1 for any other name.
int16_t find_key_name(const std::string& name);
int16_t find_axis_name(const std::string& name);

// The rules' control scheme at position index among the root's children that
// have a "TURN" value; null past the last.
const cArbData* find_control_scheme(const cArbData* rules, uint16_t index);
// Replaces the controller's bindings with the scheme's fields: one value is a
// button, four or more an axis (sign, axis, minus key, plus key, scale).
void build_bindings(cVantorController* controller, const cArbData* scheme);

// The analog input times factor through a dead zone of 0.15 and a ramp that
// is full 0.1 short of the end; the mouse axes are scaled by 0.1 instead.
float shape_axis(uint16_t axis, float factor);
// The "TURN" axis with its keys, as a signed square; 0 when unbound.
float turn_value(const cVantorController* controller);
bool respawn_pressed(const cVantorController* controller);
// Held now: the named button's input; false when the name is unbound.
bool button_down(const cVantorController* controller, const char* name);
// Whether any binding names the input called name (an axis or key name).
bool binding_uses_input(const cVantorController* controller, const char* name);
