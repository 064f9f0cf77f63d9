#pragma once

// What a screen reader is told about the window's fields and view buttons, where Qt's own
// answer does not serve: a combo box is named by its label (Qt names it by its current value
// on this platform), and a view button of the button bar is a button (Qt calls a checkable
// tool button a check box).

class QComboBox;
class QToolButton;

namespace widgets {

// The combo box is named by its accessible name, its value is its current text.
void exposeAsLabelledField(QComboBox *box);
// The tool button is a push button named by its text, checked while its view is shown.
void exposeAsViewButton(QToolButton *button);

} // namespace widgets
