#pragma once

// Controls without a window: the program's own controls when it runs unattended, and the
// controls of tests. They behave as the widgets do (see controls.h) and offer what a user does
// with them (typing, choosing, clicking, leaving).

#include "lns/controls/controls.h"

#include <QList>
#include <QPointer>

namespace controls {

class MemoryTextBox : public TextBoxControl
{
    Q_OBJECT
public:
    explicit MemoryTextBox(int controlIndex = -1, QObject *parent = nullptr);

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    QString text() const override { return m_text; }
    void setText(const QString &text) override;
    Colour foreColor() const override { return m_foreColor; }
    void setForeColor(Colour colour) override { m_foreColor = colour; }
    Colour backColor() const override { return m_backColor; }
    void setBackColor(Colour colour) override { m_backColor = colour; }
    int maxLength() const override { return m_maxLength; }
    void setMaxLength(int length) override { m_maxLength = length; }
    int selStart() const override { return m_selStart; }
    void setSelStart(int position) override;
    QString description() const override { return m_description; }
    void setDescription(const QString &text) override { m_description = text; }

    // The user replaces the whole text (one change notification, like a paste).
    void typeText(const QString &text);
    // The user presses a key at the end of the text: raises keyPress, then appends the key that
    // survived (backspace removes the last character). Answers the key code that was entered.
    int pressKey(int keyAscii);
    // The user moves the focus away: raises validate and, unless cancelled, lostFocus.
    // Answers whether the focus may leave.
    bool leave();

private:
    QString m_description;
    QString m_tag;
    int m_index;
    bool m_enabled = true;
    QString m_text;
    Colour m_foreColor = colour::WindowText;
    Colour m_backColor = colour::WindowBackground;
    int m_maxLength = 0;
    int m_selStart = 0;
};

class MemoryComboBox : public ComboBoxControl
{
    Q_OBJECT
public:
    explicit MemoryComboBox(int controlIndex = -1, QObject *parent = nullptr);

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    int count() const override { return int(m_items.size()); }
    int addItem(const QString &text) override;
    void insertItem(int index, const QString &text) override;
    void removeItem(int index) override;
    void clear() override;
    QString itemText(int index) const override;
    qint32 itemData(int index) const override;
    void setItemData(int index, qint32 data) override;
    int listIndex() const override { return m_listIndex; }
    void setListIndex(int index) override;
    Colour foreColor() const override { return m_foreColor; }
    void setForeColor(Colour colour) override { m_foreColor = colour; }
    Colour backColor() const override { return m_backColor; }
    void setBackColor(Colour colour) override { m_backColor = colour; }

    // The user picks the item with this text; false when there is none.
    bool chooseItem(const QString &text);
    // The text of the selected item, empty without a selection.
    QString currentText() const;

private:
    struct Item
    {
        QString text;
        qint32 data = 0;
    };
    void checkIndex(int index) const;
    void changeListIndex(int index);

    QString m_tag;
    int m_index;
    bool m_enabled = true;
    QList<Item> m_items;
    int m_listIndex = -1;
    Colour m_foreColor = colour::WindowText;
    Colour m_backColor = colour::WindowBackground;
};

class MemoryCheckBox : public CheckBoxControl
{
    Q_OBJECT
public:
    explicit MemoryCheckBox(int controlIndex = -1, QObject *parent = nullptr);

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    int value() const override { return m_value; }
    void setValue(int value) override;
    Colour foreColor() const override { return m_foreColor; }
    void setForeColor(Colour colour) override { m_foreColor = colour; }

    // The user clicks: a greyed or unchecked box becomes checked, a checked one unchecked.
    void click();

private:
    QString m_tag;
    int m_index;
    bool m_enabled = true;
    int m_value = Unchecked;
    Colour m_foreColor = colour::WindowText;
};

// The buttons of one frame: at most one of them is selected.
class OptionGroup : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    void add(OptionButtonControl *button);
    QList<OptionButtonControl *> buttons() const;
    void deselectOthers(const OptionButtonControl *selected);

private:
    QList<QPointer<OptionButtonControl>> m_buttons;
};

class MemoryOptionButton : public OptionButtonControl
{
    Q_OBJECT
public:
    // Joins `group` when given; a button without a group stands alone.
    explicit MemoryOptionButton(int controlIndex = -1, OptionGroup *group = nullptr, QObject *parent = nullptr);

    QString tag() const override { return m_tag; }
    void setTag(const QString &tag) override { m_tag = tag; }
    int controlIndex() const override { return m_index; }
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override { m_enabled = enabled; }
    bool value() const override { return m_value; }
    void setValue(bool selected) override;

    // The user clicks the button: it becomes selected; clicked() is raised even when it
    // already was, as the widget does.
    void click();

private:
    QString m_tag;
    int m_index;
    bool m_enabled = true;
    bool m_value = false;
    QPointer<OptionGroup> m_group;
};

} // namespace controls
