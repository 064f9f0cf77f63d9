#include "widgets/qtcontrols.h"

#include "base/tqmerror.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QValidator>

namespace widgets {

namespace {

constexpr quint32 SystemColourBit = 0x80000000u;
constexpr int Backspace = 8;

// Only the program's own text may exceed a text box's length limit; what the user types or
// pastes is cut to it. (QLineEdit's own limit would cut the program's texts too.)
class LengthLimit : public QValidator
{
public:
    LengthLimit(const int &maxLength, const bool &programIsSetting, QObject *parent)
        : QValidator(parent), m_maxLength(maxLength), m_programIsSetting(programIsSetting)
    {
    }

    State validate(QString &input, int &position) const override
    {
        if (!m_programIsSetting && m_maxLength > 0 && input.size() > m_maxLength) {
            input.truncate(m_maxLength);
            position = qMin(position, m_maxLength);
        }
        return Acceptable;
    }

private:
    const int &m_maxLength;
    const bool &m_programIsSetting;
};

// While a text box takes the focus back after a refused validation, the focus events this
// causes are no user's doing and must not validate anything.
bool refocusing = false;

// The click that tried to take the focus from a text box whose validation was refused must not
// reach its target either (a button would act on a value the user still has to correct). The
// window system hands out the focus before it delivers the press, so the press and its release
// are still to come when the validation is refused; if they are not, the filter gives up when
// the event loop is reached again.
class RefusedClick : public QObject
{
public:
    static void swallowPendingClick()
    {
        auto *filter = new RefusedClick;
        qApp->installEventFilter(filter);
        QTimer::singleShot(0, filter, [filter] {
            if (!filter->m_pressSwallowed)
                filter->finish();
        });
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            m_pressSwallowed = true;
            return true;
        case QEvent::MouseButtonRelease:
            if (!m_pressSwallowed)
                return false;
            finish();
            return true;
        default:
            return false;
        }
    }

private:
    void finish()
    {
        // At once: a deferred deletion waits for an event loop, and clicks must pass before that.
        qApp->removeEventFilter(this);
        deleteLater();
    }

    bool m_pressSwallowed = false;
};

// The text colour of an enabled control; a disabled one keeps the style's greyed text.
void setTextColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Active, role, colour);
    palette.setColor(QPalette::Inactive, role, colour);
    widget->setPalette(palette);
}

void setBackgroundColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

bool ownEnabled(const QWidget *widget)
{
    // The control's own state; a disabled frame around it does not change it.
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}

void throwOutside(int index, int last, const char *what)
{
    throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("ComboBox"),
                   QStringLiteral("%1 %2 is outside 0 to %3.").arg(QLatin1String(what)).arg(index).arg(last));
}

} // namespace

QColor toQColor(controls::Colour colour, const QPalette &palette)
{
    if (!(colour & SystemColourBit))
        return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    switch (colour & 0xFF) {
    case 0x05: // window background
        return palette.color(QPalette::Base);
    case 0x0F: // button face
        return palette.color(QPalette::Button);
    case 0x12: // button text
        return palette.color(QPalette::ButtonText);
    case 0x11: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 0x0D: // highlight
        return palette.color(QPalette::Highlight);
    case 0x0E: // highlighted text
        return palette.color(QPalette::HighlightedText);
    default: // window text and anything else
        return palette.color(QPalette::Text);
    }
}

// ---- text box ----

QtTextBox::QtTextBox(QLineEdit *edit, int controlIndex)
    : controls::TextBoxControl(edit), m_edit(edit), m_index(controlIndex)
{
    m_edit->setValidator(new LengthLimit(m_maxLength, m_programIsSetting, this));
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textChanged, this, &QtTextBox::changed);
}

bool QtTextBox::enabled() const
{
    return ownEnabled(m_edit);
}

void QtTextBox::setEnabled(bool enabled)
{
    m_edit->setEnabled(enabled);
}

QString QtTextBox::text() const
{
    return m_edit->text();
}

void QtTextBox::setText(const QString &text)
{
    if (text == m_edit->text())
        return;
    // The caret stays where it was, as far as the new text reaches (QLineEdit would move it to
    // the end).
    const int caret = qMin(m_edit->cursorPosition(), int(text.size()));
    m_programIsSetting = true;
    m_edit->setText(text);
    m_programIsSetting = false;
    m_edit->setCursorPosition(caret);
}

void QtTextBox::setForeColor(controls::Colour colour)
{
    m_foreColor = colour;
    applyColours();
}

QString QtTextBox::description() const
{
    return m_edit->accessibleDescription();
}

void QtTextBox::setDescription(const QString &text)
{
    m_edit->setAccessibleDescription(text);
}

void QtTextBox::setBackColor(controls::Colour colour)
{
    m_backColor = colour;
    applyColours();
}

void QtTextBox::applyColours()
{
    const QPalette defaults = QApplication::palette(m_edit);
    setTextColour(m_edit, QPalette::Text, toQColor(m_foreColor, defaults));
    setBackgroundColour(m_edit, QPalette::Base, toQColor(m_backColor, defaults));
}

void QtTextBox::setMaxLength(int length)
{
    m_maxLength = qMax(0, length);
}

int QtTextBox::selStart() const
{
    return m_edit->hasSelectedText() ? m_edit->selectionStart() : m_edit->cursorPosition();
}

void QtTextBox::setSelStart(int position)
{
    m_edit->setCursorPosition(qBound(0, position, int(m_edit->text().size())));
}

bool QtTextBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_edit)
        return false;
    if (event->type() == QEvent::KeyPress)
        return filterKey(static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusOut && !refocusing) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window taking over (a message box, a menu) is no leaving of the box, and
        // neither is the program disabling the box or its window for a long operation.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason
            && reason != Qt::MenuBarFocusReason && m_edit->isEnabled())
            focusLeaving(reason);
    }
    return false;
}

bool QtTextBox::filterKey(QKeyEvent *event)
{
    int key = 0;
    if (event->key() == Qt::Key_Backspace) {
        key = Backspace;
    } else {
        const QString typed = event->text();
        const bool chord = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (chord || typed.size() != 1 || typed.at(0).unicode() < 32)
            return false; // editing and navigation keys are not characters
        key = typed.at(0).unicode();
    }
    const int typed = key;
    emit keyPress(&key);
    if (key == 0)
        return true;
    const bool full = m_maxLength > 0 && m_edit->text().size() >= m_maxLength && !m_edit->hasSelectedText();
    if (key != Backspace && full)
        return true;
    if (key == typed)
        return false;
    // The receiver put another key in its place.
    if (key == Backspace)
        m_edit->backspace();
    else if (key >= 32)
        m_edit->insert(QString(QChar(key)));
    return true;
}

void QtTextBox::focusLeaving(Qt::FocusReason reason)
{
    bool cancel = false;
    emit validate(&cancel);
    if (!cancel) {
        emit lostFocus();
        return;
    }
    if (!m_edit->isVisible() || !m_edit->isEnabled())
        return; // a box that went away cannot keep the focus
    refocusing = true;
    m_edit->setFocus(Qt::OtherFocusReason);
    refocusing = false;
    if (reason == Qt::MouseFocusReason)
        RefusedClick::swallowPendingClick();
}

// ---- combo box ----

QtComboBox::QtComboBox(QComboBox *box, int controlIndex)
    : controls::ComboBoxControl(box), m_box(box), m_index(controlIndex)
{
    m_notifiedIndex = m_box->currentIndex();
    connect(m_box, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index == m_notifiedIndex)
            return;
        m_notifiedIndex = index;
        emit changed();
    });
}

bool QtComboBox::enabled() const
{
    return ownEnabled(m_box);
}

void QtComboBox::setEnabled(bool enabled)
{
    m_box->setEnabled(enabled);
}

int QtComboBox::count() const
{
    return m_box->count();
}

void QtComboBox::checkIndex(int index) const
{
    if (index < 0 || index >= m_box->count())
        throwOutside(index, m_box->count() - 1, "Item index");
}

void QtComboBox::settle(int index)
{
    {
        const QSignalBlocker quiet(m_box);
        m_box->setCurrentIndex(index);
    }
    if (index == m_notifiedIndex)
        return;
    m_notifiedIndex = index;
    emit changed();
}

int QtComboBox::addItem(const QString &text)
{
    const int selected = m_notifiedIndex;
    {
        const QSignalBlocker quiet(m_box);
        m_box->addItem(text);
    }
    // The widget selects the first item of an empty list by itself; a list box does not.
    settle(selected);
    return m_box->count() - 1;
}

void QtComboBox::insertItem(int index, const QString &text)
{
    if (index < 0 || index > m_box->count())
        throwOutside(index, m_box->count(), "Insert position");
    const int selected = m_notifiedIndex;
    {
        const QSignalBlocker quiet(m_box);
        m_box->insertItem(index, text);
    }
    settle(selected >= index ? selected + 1 : selected);
}

void QtComboBox::removeItem(int index)
{
    checkIndex(index);
    const int selected = m_notifiedIndex;
    {
        const QSignalBlocker quiet(m_box);
        m_box->removeItem(index);
    }
    // Removing the selected item leaves no selection (the widget would pick a neighbour).
    settle(selected == index ? -1 : selected > index ? selected - 1 : selected);
}

void QtComboBox::clear()
{
    {
        const QSignalBlocker quiet(m_box);
        m_box->clear();
    }
    settle(-1);
}

QString QtComboBox::itemText(int index) const
{
    checkIndex(index);
    return m_box->itemText(index);
}

qint32 QtComboBox::itemData(int index) const
{
    checkIndex(index);
    return m_box->itemData(index).toInt();
}

void QtComboBox::setItemData(int index, qint32 data)
{
    checkIndex(index);
    m_box->setItemData(index, data);
}

int QtComboBox::listIndex() const
{
    return m_box->currentIndex();
}

void QtComboBox::setListIndex(int index)
{
    if (index != -1)
        checkIndex(index);
    settle(index);
}

void QtComboBox::setForeColor(controls::Colour colour)
{
    m_foreColor = colour;
    applyColours();
}

void QtComboBox::setBackColor(controls::Colour colour)
{
    m_backColor = colour;
    applyColours();
}

void QtComboBox::applyColours()
{
    const QPalette defaults = QApplication::palette(m_box);
    const QColor text = toQColor(m_foreColor, defaults);
    setTextColour(m_box, QPalette::Text, text);
    setTextColour(m_box, QPalette::ButtonText, text);
    setBackgroundColour(m_box, QPalette::Base, toQColor(m_backColor, defaults));
}

// ---- check box ----

void TqmCheckBoxWidget::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

QtCheckBox::QtCheckBox(TqmCheckBoxWidget *box, int controlIndex)
    : controls::CheckBoxControl(box), m_box(box), m_index(controlIndex)
{
    stateChanged();
    connect(m_box, &QCheckBox::stateChanged, this, &QtCheckBox::stateChanged);
}

void QtCheckBox::stateChanged()
{
    int value = controls::Unchecked;
    if (m_box->checkState() == Qt::Checked)
        value = controls::Checked;
    else if (m_box->checkState() == Qt::PartiallyChecked)
        value = controls::Greyed;
    if (value == m_value)
        return;
    m_value = value;
    emit clicked();
}

bool QtCheckBox::enabled() const
{
    return ownEnabled(m_box);
}

void QtCheckBox::setEnabled(bool enabled)
{
    m_box->setEnabled(enabled);
}

void QtCheckBox::setValue(int value)
{
    if (value < controls::Unchecked || value > controls::Greyed)
        throw TqmError(TqmError::LnsInvalidValue, QStringLiteral("CheckBox"),
                       QStringLiteral("Check box value %1 is not 0, 1 or 2.").arg(value));
    static constexpr Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    m_box->setCheckState(states[value]);
}

void QtCheckBox::setForeColor(controls::Colour colour)
{
    m_foreColor = colour;
    setTextColour(m_box, QPalette::WindowText, toQColor(colour, QApplication::palette(m_box)));
}

// ---- option button ----

QtOptionButton::QtOptionButton(QRadioButton *button, int controlIndex)
    : controls::OptionButtonControl(button), m_button(button), m_index(controlIndex)
{
    // A user's click, also on the button already selected, and the arrow keys that move the
    // selection within the group (they click the button they move to).
    connect(m_button, &QAbstractButton::clicked, this, &QtOptionButton::clicked);
}

bool QtOptionButton::enabled() const
{
    return ownEnabled(m_button);
}

void QtOptionButton::setEnabled(bool enabled)
{
    m_button->setEnabled(enabled);
}

bool QtOptionButton::value() const
{
    return m_button->isChecked();
}

void QtOptionButton::setValue(bool selected)
{
    if (selected == m_button->isChecked())
        return;
    if (selected) {
        m_button->setChecked(true); // deselects the others of the group
        emit clicked();
        return;
    }
    // The selected button of a group cannot be deselected while it belongs to the group.
    m_button->setAutoExclusive(false);
    m_button->setChecked(false);
    m_button->setAutoExclusive(true);
}

} // namespace widgets
