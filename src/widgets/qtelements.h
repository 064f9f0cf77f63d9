#pragma once

// The pages of the Qt main window and every element the window design puts on them: parts of
// QtMainWindowView. QtControlArrays keeps the Qt adapters of the control arrays and the two
// logger lists; QtElements builds the seven pages with their labels, frames, fields, buttons and
// progress bars, and gives each element its place, visibility, enabled state and caption.

#include "ui/mainwindowview.h"

#include <QHash>
#include <QList>

class QWidget;

namespace ui::design {
struct Item;
}

namespace widgets {

class LogListWidget;
class QtCheckBox;
class QtComboBox;
class QtOptionButton;
class QtTextBox;

class QtControlArrays : public virtual ui::ControlArraysView, public virtual ui::LoggerListsView
{
public:
    QtControlArrays();

    controls::TextBoxControl *textBox(int index) const override;
    controls::ComboBoxControl *comboBox(int index) const override;
    controls::CheckBoxControl *checkBox(int index) const override;
    controls::OptionButtonControl *optionButton(int index) const override;

    LogView *loggerList() override;
    LogView *timedList() override;

    // The widget of an array control (with its adapter) or of a logger list; null for any other
    // item.
    QWidget *createControl(const ui::design::Item &item, QWidget *parent);

private:
    QList<QtTextBox *> m_textBoxes;
    QList<QtComboBox *> m_comboBoxes;
    QList<QtCheckBox *> m_checkBoxes;
    QList<QtOptionButton *> m_optionButtons;
    LogListWidget *m_logList = nullptr;
    LogListWidget *m_timedList = nullptr;
};

class QtElements : public virtual ui::ElementsView
{
public:
    // Array controls and logger lists come from `controls`; a click on a command button raises
    // `view`'s commandButtonClicked.
    QtElements(QWidget *parent, QtControlArrays &controls, ui::MainWindowView &view);

    ui::Rect geometry(ui::Element element) const override;
    void move(ui::Element element, double left, double top) override;
    void setGeometry(ui::Element element, const ui::Rect &rect) override;
    bool isVisible(ui::Element element) const override;
    void setVisible(ui::Element element, bool visible) override;
    bool isEnabled(ui::Element element) const override;
    void setEnabled(ui::Element element, bool enabled) override;
    void setFocus(ui::Element element) override;
    QString caption(ui::Element element) const override;
    void setCaption(ui::Element element, const QString &caption) override;
    void setToolTip(ui::Element element, const QString &toolTip) override;
    void setForeColour(ui::Element element, controls::Colour colour) override;
    controls::Colour foreColour(ui::Element element) const override;
    QList<ui::ElementTag> captionTags() const override;
    void setProgress(int bar, int value) override;
    int progress(int bar) const override;

    // The widget of an element; null when the window has none.
    QWidget *widgetOf(ui::Element element) const;

protected:
    const QList<QWidget *> &pages() const { return m_pages; }

private:
    struct Naming
    {
        QWidget *field = nullptr;
        QList<ui::Element> labels;
    };

    QWidget *createItemWidget(const ui::design::Item &item, QWidget *parent);
    void addItem(const ui::design::Item &item);
    QWidget *elementWidget(ui::Element element) const;
    // Gives the fields that `label` names their accessible names again.
    void nameFieldsLabelledBy(ui::Element label);

    QtControlArrays &m_controls;
    ui::MainWindowView &m_view;
    QList<QWidget *> m_pages;
    QHash<quint64, QWidget *> m_elements;
    QHash<quint64, QString> m_frameCaptions;
    QHash<quint64, controls::Colour> m_foreColours;
    QHash<quint64, ui::Rect> m_givenGeometry; // twips as the program set them
    QList<ui::ElementTag> m_captionTags;
    QList<Naming> m_namings;
    QMultiHash<quint64, int> m_namedBy; // label -> the namings it takes part in
};

} // namespace widgets
