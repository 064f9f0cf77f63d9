#pragma once

// Delivers a control's notifications to the parameter collection's forwarders, the way the
// main window does. `dropEvents` answers true while the window fills its controls itself; the
// notifications are then ignored.

#include <functional>

class cParams;

namespace controls {
class TextBoxControl;
class ComboBoxControl;
class CheckBoxControl;
class OptionButtonControl;
} // namespace controls

namespace controlrouting {

using DropEvents = std::function<bool()>;

void route(cParams &params, controls::TextBoxControl *control, DropEvents dropEvents = {});
void route(cParams &params, controls::ComboBoxControl *control, DropEvents dropEvents = {});
void route(cParams &params, controls::CheckBoxControl *control, DropEvents dropEvents = {});
void route(cParams &params, controls::OptionButtonControl *control, DropEvents dropEvents = {});

} // namespace controlrouting
