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

QtTextBox::QtTextBox(QLineEdit *edit, int controlIndex) : QtTextBox(controlIndex, edit)
{
    attach(edit);
}

QtTextBox::QtTextBox(int controlIndex, QObject *owner)
    : controls::TextBoxControl(owner), m_detached(std::make_unique<controls::MemoryTextBox>(controlIndex)),
      m_index(controlIndex)
{
    connect(m_detached.get(), &controls::TextBoxControl::changed, this, &QtTextBox::changed);
}

void QtTextBox::attach(QLineEdit *edit)
{
    const std::unique_ptr<controls::MemoryTextBox> state = std::move(m_detached);
    m_edit = edit;
    setParent(edit);
    edit->setText(state->text());
    edit->setCursorPosition(state->selStart());
    if (!state->description().isEmpty())
        edit->setAccessibleDescription(state->description());
    if (!state->enabled())
        edit->setEnabled(false);
    if (m_coloured)
        applyColours();
    m_edit->setValidator(new LengthLimit(m_maxLength, m_programIsSetting, this));
    m_edit->installEventFilter(this);
    connect(m_edit, &QLineEdit::textChanged, this, &QtTextBox::changed);
}

bool QtTextBox::enabled() const
{
    return m_edit ? ownEnabled(m_edit) : m_detached->enabled();
}

void QtTextBox::setEnabled(bool enabled)
{
    if (m_edit)
        m_edit->setEnabled(enabled);
    else
        m_detached->setEnabled(enabled);
}

QString QtTextBox::text() const
{
    return m_edit ? m_edit->text() : m_detached->text();
}

void QtTextBox::setText(const QString &text)
{
    if (!m_edit) {
        m_detached->setText(text);
        return;
    }
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
    return m_edit ? m_edit->accessibleDescription() : m_detached->description();
}

void QtTextBox::setDescription(const QString &text)
{
    if (m_edit)
        m_edit->setAccessibleDescription(text);
    else
        m_detached->setDescription(text);
}

void QtTextBox::setBackColor(controls::Colour colour)
{
    m_backColor = colour;
    applyColours();
}

void QtTextBox::applyColours()
{
    m_coloured = true;
    if (!m_edit)
        return;
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
    if (!m_edit)
        return m_detached->selStart();
    return m_edit->hasSelectedText() ? m_edit->selectionStart() : m_edit->cursorPosition();
}

void QtTextBox::setSelStart(int position)
{
    if (m_edit)
        m_edit->setCursorPosition(qBound(0, position, int(m_edit->text().size())));
    else
        m_detached->setSelStart(position);
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

QtComboBox::QtComboBox(QComboBox *box, int controlIndex) : QtComboBox(controlIndex, box)
{
    attach(box);
}

QtComboBox::QtComboBox(int controlIndex, QObject *owner)
    : controls::ComboBoxControl(owner), m_detached(std::make_unique<controls::MemoryComboBox>(controlIndex)),
      m_index(controlIndex)
{
    connect(m_detached.get(), &controls::ComboBoxControl::changed, this, &QtComboBox::changed);
}

void QtComboBox::attach(QComboBox *box)
{
    const std::unique_ptr<controls::MemoryComboBox> state = std::move(m_detached);
    m_box = box;
    setParent(box);
    for (int i = 0; i < state->count(); ++i) {
        box->addItem(state->itemText(i));
        if (const qint32 data = state->itemData(i))
            box->setItemData(i, data);
    }
    if (state->count() > 0)
        box->setCurrentIndex(state->listIndex()); // the widget selected its first item by itself
    if (!state->enabled())
        box->setEnabled(false);
    if (m_coloured)
        applyColours();
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
    return m_box ? ownEnabled(m_box) : m_detached->enabled();
}

void QtComboBox::setEnabled(bool enabled)
{
    if (m_box)
        m_box->setEnabled(enabled);
    else
        m_detached->setEnabled(enabled);
}

int QtComboBox::count() const
{
    return m_box ? m_box->count() : m_detached->count();
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
    if (!m_box)
        return m_detached->addItem(text);
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
    if (!m_box)
        return m_detached->insertItem(index, text);
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
    if (!m_box)
        return m_detached->removeItem(index);
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
    if (!m_box)
        return m_detached->clear();
    {
        const QSignalBlocker quiet(m_box);
        m_box->clear();
    }
    settle(-1);
}

QString QtComboBox::itemText(int index) const
{
    if (!m_box)
        return m_detached->itemText(index);
    checkIndex(index);
    return m_box->itemText(index);
}

qint32 QtComboBox::itemData(int index) const
{
    if (!m_box)
        return m_detached->itemData(index);
    checkIndex(index);
    return m_box->itemData(index).toInt();
}

void QtComboBox::setItemData(int index, qint32 data)
{
    if (!m_box)
        return m_detached->setItemData(index, data);
    checkIndex(index);
    m_box->setItemData(index, data);
}

int QtComboBox::listIndex() const
{
    return m_box ? m_box->currentIndex() : m_detached->listIndex();
}

void QtComboBox::setListIndex(int index)
{
    if (!m_box)
        return m_detached->setListIndex(index);
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
    m_coloured = true;
    if (!m_box)
        return;
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

QtCheckBox::QtCheckBox(TqmCheckBoxWidget *box, int controlIndex) : QtCheckBox(controlIndex, box)
{
    attach(box);
}

QtCheckBox::QtCheckBox(int controlIndex, QObject *owner)
    : controls::CheckBoxControl(owner), m_detached(std::make_unique<controls::MemoryCheckBox>(controlIndex)),
      m_index(controlIndex)
{
    connect(m_detached.get(), &controls::CheckBoxControl::clicked, this, &QtCheckBox::clicked);
}

void QtCheckBox::attach(TqmCheckBoxWidget *box)
{
    const std::unique_ptr<controls::MemoryCheckBox> state = std::move(m_detached);
    m_box = box;
    setParent(box);
    m_value = state->value();
    setCheckState(m_value);
    if (!state->enabled())
        box->setEnabled(false);
    if (m_coloured)
        applyColour();
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
    return m_box ? ownEnabled(m_box) : m_detached->enabled();
}

void QtCheckBox::setEnabled(bool enabled)
{
    if (m_box)
        m_box->setEnabled(enabled);
    else
        m_detached->setEnabled(enabled);
}

int QtCheckBox::value() const
{
    return m_box ? m_value : m_detached->value();
}

void QtCheckBox::setValue(int value)
{
    if (!m_box)
        return m_detached->setValue(value);
    if (value < controls::Unchecked || value > controls::Greyed)
        throw TqmError(TqmError::LnsInvalidValue, QStringLiteral("CheckBox"),
                       QStringLiteral("Check box value %1 is not 0, 1 or 2.").arg(value));
    setCheckState(value);
}

void QtCheckBox::setCheckState(int value)
{
    static constexpr Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    m_box->setCheckState(states[value]);
}

void QtCheckBox::setForeColor(controls::Colour colour)
{
    m_foreColor = colour;
    applyColour();
}

void QtCheckBox::applyColour()
{
    m_coloured = true;
    if (m_box)
        setTextColour(m_box, QPalette::WindowText, toQColor(m_foreColor, QApplication::palette(m_box)));
}

// ---- option button ----

QtOptionButton::QtOptionButton(QRadioButton *button, int controlIndex) : QtOptionButton(controlIndex, nullptr, button)
{
    attach(button);
}

QtOptionButton::QtOptionButton(int controlIndex, controls::OptionGroup *group, QObject *owner)
    : controls::OptionButtonControl(owner),
      m_detached(std::make_unique<controls::MemoryOptionButton>(controlIndex, group)), m_index(controlIndex)
{
    connect(m_detached.get(), &controls::OptionButtonControl::clicked, this, &QtOptionButton::clicked);
}

void QtOptionButton::attach(QRadioButton *button)
{
    const std::unique_ptr<controls::MemoryOptionButton> state = std::move(m_detached);
    m_button = button;
    setParent(button);
    if (state->value())
        button->setChecked(true); // the others of its group are not selected
    if (!state->enabled())
        button->setEnabled(false);
    // A user's click, also on the button already selected, and the arrow keys that move the
    // selection within the group (they click the button they move to).
    connect(m_button, &QAbstractButton::clicked, this, &QtOptionButton::clicked);
}

bool QtOptionButton::enabled() const
{
    return m_button ? ownEnabled(m_button) : m_detached->enabled();
}

void QtOptionButton::setEnabled(bool enabled)
{
    if (m_button)
        m_button->setEnabled(enabled);
    else
        m_detached->setEnabled(enabled);
}

bool QtOptionButton::value() const
{
    return m_button ? m_button->isChecked() : m_detached->value();
}

void QtOptionButton::setValue(bool selected)
{
    if (!m_button)
        return m_detached->setValue(selected);
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
