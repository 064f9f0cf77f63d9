#pragma once

// Window services that act on controls through the control seam.

namespace controls {
class TextBoxControl;
}

namespace WindowUtility {

// Text colour red when `number` lies outside minimum..maximum, the normal text colour inside.
void MarkRange(controls::TextBoxControl &textBox, double number, double minimum, double maximum);

} // namespace WindowUtility
