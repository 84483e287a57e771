#include "base/input_binding.h"

#include <cmath>

#include "base/input_names.h"
#include "base/modules.h"

namespace {

// The mouse axes move in pixels; they are scaled toward the pads' range.
constexpr float kMouseAxisScale = 0.1f;

input_interface* input_table()
{
    return __mInput_instance()->interface_table;
}

bool is_pad(uint16_t device)
{
    return device < kPadCount;
}

// Devices 0x8000 and up count as none, as a negative device did in the
// signed fields the bindings were first stored in.
bool no_device(uint16_t device)
{
    return device >= 0x8000;
}

uint16_t digital_index(uint16_t key, uint16_t device)
{
    if (key == kNoInput) return kNoInput;
    if (no_device(device)) return key < kDigitalInputCount ? key : kNoInput;
    if (is_pad(device) && key < kPadInputCount) return uint16_t(digital_index_of_pad_input(device, key));
    return kNoInput;
}

uint16_t analog_index(const cInputAnalog* binding)
{
    if (binding->axis == kNoInput) return kNoInput;
    if (no_device(binding->device)) return binding->axis < kAnalogAxisCount ? binding->axis : kNoInput;
    if (is_pad(binding->device) && binding->axis < kPadAxisCount)
        return uint16_t(analog_index_of_pad_axis(binding->device, binding->axis));
    return kNoInput;
}

using DigitalSlot = bool (*)(uint16_t);

bool fires(input_interface* input, DigitalSlot input_interface::*slot, uint16_t index)
{
    return index != kNoInput && (input->*slot)(index);
}

// The binding's mode over its two inputs; event is the slot of the query
// (digital_down itself for the held query).
bool query_digital(const cInputDigital* binding, DigitalSlot input_interface::*event)
{
    input_interface* input = input_table();
    if (!binding || !input) return false;
    uint16_t k1 = digital_index(binding->key1, binding->device1);
    uint16_t k2 = digital_index(binding->key2, binding->device2);
    DigitalSlot input_interface::*down = &input_interface::digital_down;
    switch (binding->mode) {
    case kBindingOr: return fires(input, event, k1) || fires(input, event, k2);
    case kBindingAnd:
        return (fires(input, down, k1) && fires(input, event, k2)) || (fires(input, event, k1) && fires(input, down, k2));
    case kBindingNot: return fires(input, event, k1) && !fires(input, down, k2);
    default: return false;
    }
}

const char* digital_name(uint16_t key, uint16_t device)
{
    return digital_input_name(digital_index(key, device)).c_str();
}

// The axis value as the bindings compare it.
float scaled(uint16_t index, float value)
{
    return index < 2 ? value * kMouseAxisScale : value;
}

struct AxisReading {
    float now = 0;
    float before = 0;
};

bool read_axis(const cInputAnalog* binding, AxisReading* reading)
{
    input_interface* input = input_table();
    if (!binding || !input) return false;
    uint16_t index = analog_index(binding);
    if (index == kNoInput) return false;
    float value = input->analog_value(index);
    reading->now = scaled(index, value);
    reading->before = scaled(index, value - input->analog_delta(index));
    return true;
}

// The ramp from the dead zone to the saturation, within 0..1.
float ramp(float magnitude, float dead_zone, float saturation)
{
    float span = 1 - dead_zone;
    float f = span > 0 ? ((magnitude - dead_zone) / span) / (1 - saturation) : 1;
    if (!(f > 0)) return 0;
    return f < 1 ? f : 1;
}

}  // namespace

bool __cInputDigital_query_down(const cInputDigital* binding)
{
    return query_digital(binding, &input_interface::digital_down);
}

bool __cInputDigital_query_press(const cInputDigital* binding)
{
    return query_digital(binding, &input_interface::digital_pressed);
}

bool __cInputDigital_query_release(const cInputDigital* binding)
{
    return query_digital(binding, &input_interface::digital_released);
}

bool __cInputDigital_query_hold_press(const cInputDigital* binding)
{
    return query_digital(binding, &input_interface::digital_hold_press);
}

bool __cInputDigital_query_double_click(const cInputDigital* binding)
{
    return query_digital(binding, &input_interface::digital_double_click);
}

const char* __cInputDigital_display_name1(const cInputDigital* binding)
{
    return binding ? digital_name(binding->key1, binding->device1) : digital_name(kNoInput, kNoInput);
}

const char* __cInputDigital_display_name2(const cInputDigital* binding)
{
    return binding ? digital_name(binding->key2, binding->device2) : digital_name(kNoInput, kNoInput);
}

float __cInputAnalog_query(const cInputAnalog* binding)
{
    AxisReading reading;
    if (!read_axis(binding, &reading)) return 0;
    float v = reading.now;
    float magnitude = std::fabs(v);
    if (!(magnitude > binding->dead_zone)) return 0;
    float sign = v >= 0 ? 1.0f : -1.0f;
    float flip = binding->invert ? -1.0f : 1.0f;
    if (binding->saturation == 1.0f) return sign * flip;
    return ramp(magnitude, binding->dead_zone, binding->saturation) * sign * flip;
}

bool __cInputAnalog_query_up(const cInputAnalog* binding)
{
    AxisReading reading;
    if (!read_axis(binding, &reading)) return false;
    return binding->dead_zone < reading.now && binding->dead_zone >= reading.before;
}

bool __cInputAnalog_query_down(const cInputAnalog* binding)
{
    AxisReading reading;
    if (!read_axis(binding, &reading)) return false;
    return reading.now < -binding->dead_zone && -binding->dead_zone <= reading.before;
}

bool __cInputAnalog_query_center(const cInputAnalog* binding)
{
    AxisReading reading;
    if (!read_axis(binding, &reading)) return false;
    return std::fabs(reading.now) < binding->dead_zone && std::fabs(reading.before) >= binding->dead_zone;
}

const char* __cInputAnalog_display_name(const cInputAnalog* binding)
{
    return analog_axis_name(binding ? analog_index(binding) : kNoInput).c_str();
}
