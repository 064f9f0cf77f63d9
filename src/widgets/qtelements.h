#pragma once

// The pages of the Qt main window and every element the window design puts on them: parts of
// QtMainWindowView. QtControlArrays keeps the Qt adapters of the control arrays and the two
// logger lists; QtElements builds the seven pages with their labels, frames, fields, buttons and
// progress bars, and gives each element its place, visibility, enabled state and caption.
//
// A page's widgets are created when the page is first shown or anything asks for one of them
// (widgetOf, the focus): a window opens on one page, and the others may never be
// seen. Until then the page's elements keep what the program set in memory, and the control
// adapters keep their state themselves (qtcontrols.h); creating the widgets hands it over and
// puts them where the keyboard order would have had them.

#include "ui/mainwindowview.h"
#include "ui/windowdesign.h"

#include <QHash>
#include <QList>
#include <QRect>

#include <optional>

class QWidget;

namespace widgets {

class LogListWidget;
class QtCheckBox;
class QtComboBox;
class QtOptionButton;
class QtTextBox;

class QtControlArrays : public virtual ui::ControlArraysView, public virtual ui::LoggerListsView
{
public:
    // The adapters are children of `owner` until their widgets exist.
    explicit QtControlArrays(QObject *owner);

    controls::TextBoxControl *textBox(int index) const override;
    controls::ComboBoxControl *comboBox(int index) const override;
    controls::CheckBoxControl *checkBox(int index) const override;
    controls::OptionButtonControl *optionButton(int index) const override;

    // The widget once its page has been created, until then what keeps the lines for it.
    LogView *loggerList() override;
    LogView *timedList() override;

    // The adapter of an array control element; null for any other element.
    controls::Control *control(ui::Element element) const;
    // The widget of an array control (attached to its adapter) or of a logger list; null for
    // any other item.
    QWidget *createControl(const ui::design::Item &item, QWidget *parent);

private:
    // A logger list's lines until its widget exists; then they go on to the widget.
    class LogBuffer : public LogView
    {
    public:
        void addLine(const LogViewLine &line) override;
        LogListWidget *attach(LogListWidget *list);
        LogView *view();

    private:
        MemoryLogView m_kept;
        LogListWidget *m_list = nullptr;
    };

    QList<QtTextBox *> m_textBoxes;
    QList<QtComboBox *> m_comboBoxes;
    QList<QtCheckBox *> m_checkBoxes;
    QList<QtOptionButton *> m_optionButtons;
    LogBuffer m_logList;
    LogBuffer m_timedList;
};

class QtElements : public virtual ui::ElementsView
{
public:
    // Array controls and logger lists come from `controls`; a click on a command button raises
    // `view`'s commandButtonClicked.
    QtElements(QWidget *parent, QtControlArrays &controls, ui::MainWindowView &view);
    ~QtElements() override;

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

    // The widget of an element (creating its page's widgets); null when the window has none.
    QWidget *widgetOf(ui::Element element) const;

protected:
    const QList<QWidget *> &pages() const { return m_pages; }
    // Creates the widgets of the page, or of every page, unless they exist.
    void realisePage(int page) const;
    void realiseAllPages() const;

private:
    // What the program set on an element whose widget does not exist yet.
    struct Pending
    {
        const ui::design::Item *item = nullptr;
        QRect rect;                // pixels
        std::optional<bool> shown; // none: as its container shows it
        bool enabled = true;
        QString caption;
        QString toolTip;
        int progress = 0;
    };
    struct Naming
    {
        const ui::design::Item *item = nullptr;
        QList<ui::Element> labels;
    };
    class PageWatch;

    // The state the design gives an item.
    static Pending designed(const ui::design::Item &item);
    QWidget *createItemWidget(const ui::design::Item &item, QWidget *parent) const;
    QWidget *realiseItem(const ui::design::Item &item) const;
    void applyPending(QWidget *widget, const Pending &pending) const;
    void keepKeyboardOrder(int page, const QList<QWidget *> &created) const;
    void nameFields(const QList<int> &namings) const;
    QWidget *realised(ui::Element element) const;
    // The state kept for an element whose page has no widgets yet; null once it has.
    Pending *pending(ui::Element element) const;
    QWidget *elementWidget(ui::Element element) const;
    void checkElement(ui::Element element) const;
    static void setLabelColour(QWidget *widget, controls::Colour colour);

    QtControlArrays &m_controls;
    ui::MainWindowView &m_view;
    QList<QWidget *> m_pages;
    QList<QList<const ui::design::Item *>> m_pageItems;
    QList<PageWatch *> m_watches;
    mutable QList<bool> m_realised;
    mutable QHash<quint64, QWidget *> m_elements;
    mutable QHash<quint64, Pending> m_pending;
    QHash<quint64, int> m_pageOf;
    QHash<quint64, QString> m_frameCaptions;
    QHash<quint64, controls::Colour> m_foreColours;
    QHash<quint64, ui::Rect> m_givenGeometry; // twips as the program set them
    QList<ui::ElementTag> m_captionTags;
    QList<Naming> m_namings;
    mutable QHash<const ui::design::Item *, QWidget *> m_fields; // the named fields created
    QMultiHash<quint64, int> m_namedBy; // label -> the namings it takes part in
};

} // namespace widgets
