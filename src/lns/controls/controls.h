#pragma once

// The window-control seam: what parameters and workflows need of a text box, a combo box, a
// check box and an option button. The Qt adapters in src/widgets and the in-memory controls below both
// raise the same notifications, synchronously, whenever the value changes, so that the program
// behaves the same in the window and in tests.

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace controls {

// Colour values as the window system numbers them: plain RGB values (red in the low byte), or
// system colours with the high bit set.
using Colour = quint32;
namespace colour {
constexpr Colour Red = 255;
constexpr Colour ButtonFace = 0x8000000Fu;
constexpr Colour WindowBackground = 0x80000005u;
constexpr Colour WindowText = 0x80000008u;
} // namespace colour

// Check box states.
enum CheckState : int { Unchecked = 0, Checked = 1, Greyed = 2 };

// Identity shared by every control: the tag text (a caption reference, or the name of the
// parameter bound to it) and the index within its control array (-1 when not in an array).
class Control : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual QString tag() const = 0;
    virtual void setTag(const QString &tag) = 0;
    virtual int controlIndex() const = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

class TextBoxControl : public Control
{
    Q_OBJECT
public:
    using Control::Control;
    virtual QString text() const = 0;
    // Raises changed() when the text differs from the current one.
    virtual void setText(const QString &text) = 0;
    virtual Colour foreColor() const = 0;
    virtual void setForeColor(Colour colour) = 0;
    virtual Colour backColor() const = 0;
    virtual void setBackColor(Colour colour) = 0;
    // 0 = no limit.
    virtual int maxLength() const = 0;
    virtual void setMaxLength(int length) = 0;
    // Caret position, 0 = before the first character.
    virtual int selStart() const = 0;
    virtual void setSelStart(int position) = 0;
    // What is wrong with the value, for a screen reader (the range an invalid value misses);
    // empty while the value is valid.
    virtual QString description() const = 0;
    virtual void setDescription(const QString &text) = 0;

signals:
    // The text changed, typed or set by the program.
    void changed();
    // A key is about to be entered; the receiver may replace the key code, 0 swallows it.
    void keyPress(int *keyAscii);
    // The control is about to lose the focus; setting *cancel keeps the focus in it.
    void validate(bool *cancel);
    void lostFocus();
};

class ComboBoxControl : public Control
{
    Q_OBJECT
public:
    using Control::Control;
    virtual int count() const = 0;
    // Appends an item; answers its index.
    virtual int addItem(const QString &text) = 0;
    // Inserts before `index` (0 .. count). A selection at or after it moves with its item.
    virtual void insertItem(int index, const QString &text) = 0;
    // Removing the selected item leaves no selection.
    virtual void removeItem(int index) = 0;
    virtual void clear() = 0;
    virtual QString itemText(int index) const = 0;
    virtual qint32 itemData(int index) const = 0;
    virtual void setItemData(int index, qint32 data) = 0;
    // -1 = no selection. Raises changed() when the index differs from the current one.
    virtual int listIndex() const = 0;
    virtual void setListIndex(int index) = 0;
    virtual Colour foreColor() const = 0;
    virtual void setForeColor(Colour colour) = 0;
    virtual Colour backColor() const = 0;
    virtual void setBackColor(Colour colour) = 0;

signals:
    // The list index changed (also to -1), chosen by the user or set by the program.
    void changed();
};

class CheckBoxControl : public Control
{
    Q_OBJECT
public:
    using Control::Control;
    // Unchecked, Checked or Greyed.
    virtual int value() const = 0;
    // Raises clicked() when the value differs from the current one.
    virtual void setValue(int value) = 0;
    virtual Colour foreColor() const = 0;
    virtual void setForeColor(Colour colour) = 0;

signals:
    void clicked();
};

class OptionButtonControl : public Control
{
    Q_OBJECT
public:
    using Control::Control;
    virtual bool value() const = 0;
    // Selecting a button deselects the other buttons of its group and raises clicked() on it;
    // deselecting raises nothing.
    virtual void setValue(bool selected) = 0;

signals:
    void clicked();
};

} // namespace controls
