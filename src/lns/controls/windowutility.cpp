#include "lns/controls/windowutility.h"

#include "lns/controls/controls.h"

namespace WindowUtility {

void MarkRange(controls::TextBoxControl &textBox, double number, double minimum, double maximum)
{
    const bool outside = number < minimum || number > maximum;
    textBox.setForeColor(outside ? controls::colour::Red : controls::colour::WindowText);
}

} // namespace WindowUtility
