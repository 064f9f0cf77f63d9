#include "params/controlrouting.h"

#include "lns/controls/controls.h"
#include "params/cparams.h"

namespace controlrouting {

namespace {
bool dropped(const DropEvents &dropEvents)
{
    return dropEvents && dropEvents();
}
} // namespace

void route(cParams &params, controls::TextBoxControl *control, DropEvents dropEvents)
{
    using TB = controls::TextBoxControl;
    QObject::connect(control, &TB::changed, &params, [&params, control, dropEvents] {
        if (!dropped(dropEvents))
            params.TextBox_Change_Event(control);
    });
    QObject::connect(control, &TB::keyPress, &params, [&params, control, dropEvents](int *key) {
        if (!dropped(dropEvents))
            params.TextBox_KeyPress_Event(control, *key);
    });
    QObject::connect(control, &TB::validate, &params, [&params, control, dropEvents](bool *cancel) {
        if (!dropped(dropEvents))
            params.TextBox_Validate_Event(control, *cancel);
    });
    QObject::connect(control, &TB::lostFocus, &params, [&params, control, dropEvents] {
        if (!dropped(dropEvents))
            params.TextBox_LostFocus_Event(control);
    });
}

void route(cParams &params, controls::ComboBoxControl *control, DropEvents dropEvents)
{
    QObject::connect(control, &controls::ComboBoxControl::changed, &params, [&params, control, dropEvents] {
        if (!dropped(dropEvents))
            params.ComboBox_Change_Event(control);
    });
}

void route(cParams &params, controls::CheckBoxControl *control, DropEvents dropEvents)
{
    QObject::connect(control, &controls::CheckBoxControl::clicked, &params, [&params, control, dropEvents] {
        if (!dropped(dropEvents))
            params.CheckBox_Click_Event(control);
    });
}

void route(cParams &params, controls::OptionButtonControl *control, DropEvents dropEvents)
{
    QObject::connect(control, &controls::OptionButtonControl::clicked, &params, [&params, control, dropEvents] {
        if (!dropped(dropEvents))
            params.OptionButton_Click_Event(control);
    });
}

} // namespace controlrouting
