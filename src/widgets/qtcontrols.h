#pragma once

// The control seam over Qt widgets. Each adapter wraps one widget of the main window (it is the
// widget's child and dies with it) and raises exactly the notifications that the in-memory
// controls of lns/controls raise for the same action, whether the program or the user acted:
// the parameters and the window's logic cannot tell the two kinds of control apart.
//
// An adapter may come before its widget: the window creates a page's widgets only when the page
// is first needed. Until attach() it keeps its state in an in-memory control (and raises what
// that raises); attach() hands the state to the widget without a notification.

#include "lns/controls/memorycontrols.h"

#include <memory>

#include <QCheckBox>
#include <QColor>
#include <QPointer>

class QComboBox;
class QKeyEvent;
class QLineEdit;
class QPalette;
class QRadioButton;
class QWidget;

namespace widgets {

// A colour value of the control seam on the desktop: plain RGB values as they are, system
// colours as the matching role of `palette` (unknown ones as the window text colour).
QColor toQColor(controls::Colour colour, const QPalette &palette);

class QtTextBox : public controls::TextBoxControl
{
    Q_OBJECT
public:
    QtTextBox(QLineEdit *edit, int controlIndex);
    // Without a widget yet; a child of `owner` until attached.
    QtTextBox(int controlIndex, QObject *owner);
    void attach(QLineEdit *edit);

    QLineEdit *widget() const { return m_edit; }

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    QString text() const override;
    void setText(const QString &text) override;
    controls::Colour foreColor() const override { return m_foreColor; }
    void setForeColor(controls::Colour colour) override;
    controls::Colour backColor() const override { return m_backColor; }
    void setBackColor(controls::Colour colour) override;
    int maxLength() const override { return m_maxLength; }
    void setMaxLength(int length) override;
    int selStart() const override;
    void setSelStart(int position) override;
    QString description() const override;
    void setDescription(const QString &text) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filterKey(QKeyEvent *event);
    // Asks whether the focus may leave; takes it back when the answer is no.
    void focusLeaving(Qt::FocusReason reason);
    void applyColours();

    QLineEdit *m_edit = nullptr;
    std::unique_ptr<controls::MemoryTextBox> m_detached;
    int m_index;
    QString m_tag;
    controls::Colour m_foreColor = controls::colour::WindowText;
    controls::Colour m_backColor = controls::colour::WindowBackground;
    bool m_coloured = false;
    int m_maxLength = 0;
    bool m_programIsSetting = false;
};

class QtComboBox : public controls::ComboBoxControl
{
    Q_OBJECT
public:
    QtComboBox(QComboBox *box, int controlIndex);
    QtComboBox(int controlIndex, QObject *owner);
    void attach(QComboBox *box);

    QComboBox *widget() const { return m_box; }

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    int count() const override;
    int addItem(const QString &text) override;
    void insertItem(int index, const QString &text) override;
    void removeItem(int index) override;
    void clear() override;
    QString itemText(int index) const override;
    qint32 itemData(int index) const override;
    void setItemData(int index, qint32 data) override;
    int listIndex() const override;
    void setListIndex(int index) override;
    controls::Colour foreColor() const override { return m_foreColor; }
    void setForeColor(controls::Colour colour) override;
    controls::Colour backColor() const override { return m_backColor; }
    void setBackColor(controls::Colour colour) override;

private:
    void checkIndex(int index) const;
    // Makes the widget show `index` without its own signals, then notifies once when the
    // selection differs from the one last notified.
    void settle(int index);
    void applyColours();

    QComboBox *m_box = nullptr;
    std::unique_ptr<controls::MemoryComboBox> m_detached;
    int m_index;
    QString m_tag;
    int m_notifiedIndex = -1;
    controls::Colour m_foreColor = controls::colour::WindowText;
    controls::Colour m_backColor = controls::colour::WindowBackground;
    bool m_coloured = false;
};

// A check box whose click cycles like the window system's: a greyed or cleared box becomes
// ticked, a ticked one cleared (Qt's own tristate box would pass through greyed).
class TqmCheckBoxWidget : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override;
};

// Over a TqmCheckBoxWidget, so that a user's click cycles as the seam's check box does.
class QtCheckBox : public controls::CheckBoxControl
{
    Q_OBJECT
public:
    QtCheckBox(TqmCheckBoxWidget *box, int controlIndex);
    QtCheckBox(int controlIndex, QObject *owner);
    void attach(TqmCheckBoxWidget *box);

    QCheckBox *widget() const { return m_box; }

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    int value() const override;
    void setValue(int value) override;
    controls::Colour foreColor() const override { return m_foreColor; }
    void setForeColor(controls::Colour colour) override;

private:
    void stateChanged();
    void setCheckState(int value);
    void applyColour();

    QCheckBox *m_box = nullptr;
    std::unique_ptr<controls::MemoryCheckBox> m_detached;
    int m_index;
    QString m_tag;
    int m_value = controls::Unchecked;
    controls::Colour m_foreColor = controls::colour::WindowText;
    bool m_coloured = false;
};

// Option buttons form a group with the other radio buttons of their parent widget.
class QtOptionButton : public controls::OptionButtonControl
{
    Q_OBJECT
public:
    QtOptionButton(QRadioButton *button, int controlIndex);
    // Until attached, the button is one of `group` (the buttons that will share a parent widget).
    QtOptionButton(int controlIndex, controls::OptionGroup *group, QObject *owner);
    void attach(QRadioButton *button);

    QRadioButton *widget() const { return m_button; }

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    bool value() const override;
    void setValue(bool selected) override;

private:
    QRadioButton *m_button = nullptr;
    std::unique_ptr<controls::MemoryOptionButton> m_detached;
    int m_index;
    QString m_tag;
};

} // namespace widgets
