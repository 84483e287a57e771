#include "game/control_bindings.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "base/input_names.h"
#include "base/modules.h"

static const uint16_t kUnbound = 0xFFFF;
static const uint16_t kMouseX = 0;
static const uint16_t kMouseY = 1;

std::string binding_word_to_name(const std::string& text)
{
    std::string name = text;
    for (char& c : name)
        if (c == '_') c = ' ';
    return name;
}

int16_t find_key_name(const std::string& name)
{
    for (int i = 0; i < kDigitalInputCount; ++i)
        if (keyNames[i] == name) return int16_t(i);
    return -1;
}

int16_t find_axis_name(const std::string& name)
{
    for (int i = 0; i < kAnalogAxisCount; ++i)
        if (analogAxisNames[i] == name) return int16_t(i);
    return -1;
}

const cArbData* find_control_scheme(const cArbData* rules, uint16_t index)
{
    uint16_t position = 0;
    for (uint32_t i = 0; rules && i < rules->children.count(); ++i) {
        const cArbData* scheme = rules->children.get(i);
        const cArbElement* turn = scheme->field("TURN");
        if (!turn || turn->text.empty()) continue;
        if (position++ == index) return scheme;
    }
    return nullptr;
}

// The text of value k of a chain; a value the field does not have is "NULL".
static const cArbElement* value_at(const cArbElement* first, int k)
{
    const cArbElement* value = first;
    for (int i = 0; value && i < k; ++i) value = value->next;
    return value;
}

static std::string value_name(const cArbElement* first, int k)
{
    const cArbElement* value = value_at(first, k);
    return binding_word_to_name(value ? value->text : "NULL");
}

static cVantorController::_Axis axis_binding(const cArbElement* values, int count)
{
    cVantorController::_Axis axis;
    axis.sign = values->text == "-" ? -1 : 1;
    axis.axis = uint16_t(find_axis_name(value_name(values, 1)));
    axis.key_minus = uint16_t(find_key_name(value_name(values, 2)));
    axis.key_plus = uint16_t(find_key_name(value_name(values, 3)));
    axis.scale = count >= 5 ? value_at(values, 4)->float_value : 1.0f;
    return axis;
}

void build_bindings(cVantorController* controller, const cArbData* scheme)
{
    controller->clear_bindings();
    if (!scheme) return;
    for (uint32_t i = 0; i < scheme->fields.count(); ++i) {
        const cArbElement* values = scheme->fields.get(i);
        const char* name = values->name ? values->name->c_str() : "";
        const int count = values->count();
        if (count == 1) {
            controller->bind_button(name, find_key_name(binding_word_to_name(values->text)));
        } else if (count >= 4) {
            controller->bind_axis(name, axis_binding(values, count));
        } else {
            printf("WARNING: Control binding %s has %d values; a button takes 1 and an axis 4 or 5\n", name,
                   count);
        }
    }
}

// A scale from the rules file or a reading may be anything: NaN reads as 0
// and a value past the float range stops at its end.
static float to_float(double value)
{
    if (!(value == value)) return 0.0f;
    const double limit = std::numeric_limits<float>::max();
    return float(value < -limit ? -limit : (value > limit ? limit : value));
}

static input_interface* input_table()
{
    return __mInput_instance()->interface_table;
}

float shape_axis(uint16_t axis, float factor)
{
    input_interface* input = input_table();
    const double reading = input ? input->analog_value(axis) : 0.0;
    if (axis == kMouseX || axis == kMouseY) return to_float(reading * factor * double(0.1f));
    const double v = reading * factor;
    const double dead_zone = double(0.15f);
    const double ramp_end = double(0.1f);
    double t = (std::fabs(v) - dead_zone) * (1.0 / (1.0 - dead_zone)) / (1.0 - ramp_end);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return float(v >= 0 ? t : -t);
}

static bool held(uint16_t index)
{
    input_interface* input = input_table();
    return input && input->digital_down(index);
}

float turn_value(const cVantorController* controller)
{
    const cVantorController::_Axis* axis = controller->find_axis("TURN");
    if (!axis) return 0.0f;
    double v = shape_axis(axis->axis, float(axis->sign) * axis->scale);
    if (held(axis->key_minus)) v -= 1.0;
    if (held(axis->key_plus)) v += 1.0;
    const double clamped = v < -1 ? -1 : (v > 1 ? 1 : v);
    return to_float(clamped * std::fabs(v));
}

bool respawn_pressed(const cVantorController* controller)
{
    const int16_t* button = controller->find_button("RESPAWN");
    input_interface* input = input_table();
    return button && input && input->digital_pressed(uint16_t(*button));
}

bool button_down(const cVantorController* controller, const char* name)
{
    const int16_t* button = controller->find_button(name);
    return button && held(uint16_t(*button));
}

static bool names_key(uint16_t index, const char* name)
{
    return index != kUnbound && index < kDigitalInputCount && keyNames[index] == name;
}

bool binding_uses_input(const cVantorController* controller, const char* name)
{
    for (const auto& entry : controller->axes.walk()) {
        const cVantorController::_Axis* axis = entry.second;
        if (axis->axis != kUnbound && axis->axis < kAnalogAxisCount && analogAxisNames[axis->axis] == name)
            return true;
        if (names_key(axis->key_minus, name) || names_key(axis->key_plus, name)) return true;
    }
    for (const auto& entry : controller->buttons.walk())
        if (names_key(uint16_t(*entry.second), name)) return true;
    return false;
}
