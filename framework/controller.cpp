#include "framework/controller.h"

#include "base/strings.h"

void cVantorController::on_controller_event(const char*, uint32_t, uint16_t*) {}

const cVantorController::_Axis* cVantorController::find_axis(const char* name) const
{
    return name ? axes.find(__mystring_hash(name)) : nullptr;
}

const int16_t* cVantorController::find_button(const char* name) const
{
    return name ? buttons.find(__mystring_hash(name)) : nullptr;
}

void cVantorController::bind_axis(const char* name, const _Axis& axis)
{
    uint32_t key = __mystring_hash(name ? name : "");
    if (!axes.find(key)) axes.insert(new _Axis(axis), key);
}

void cVantorController::bind_button(const char* name, int16_t input)
{
    uint32_t key = __mystring_hash(name ? name : "");
    if (!buttons.find(key)) buttons.insert(new int16_t(input), key);
}

void cVantorController::clear_bindings()
{
    axes.clear();
    buttons.clear();
}
