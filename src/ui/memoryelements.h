#pragma once

// The in-memory control arrays and window elements, as the window design places them. Parts of
// MemoryMainWindowView.

#include "lns/controls/memorycontrols.h"
#include "ui/mainwindowview.h"

#include <QHash>
#include <vector>

namespace ui {

namespace memoryview {
// Every in-memory part refuses an element, tab or tool the window does not have in one way.
[[noreturn]] void noSuch(const QString &what);
} // namespace memoryview

class MemoryControlArrays : public virtual ControlArraysView
{
public:
    // The controls are children of `owner`.
    explicit MemoryControlArrays(QObject *owner);

    controls::MemoryTextBox *textBox(int index) const override;
    controls::MemoryComboBox *comboBox(int index) const override;
    controls::MemoryCheckBox *checkBox(int index) const override;
    controls::MemoryOptionButton *optionButton(int index) const override;

private:
    controls::OptionGroup *m_optionGroup;
    std::vector<controls::MemoryTextBox *> m_textBoxes;
    std::vector<controls::MemoryComboBox *> m_comboBoxes;
    std::vector<controls::MemoryCheckBox *> m_checkBoxes;
    std::vector<controls::MemoryOptionButton *> m_optionButtons;
};

class MemoryElements : public virtual ElementsView
{
public:
    // The array controls keep their own enabled state in `controls`.
    explicit MemoryElements(const MemoryControlArrays &controls);

    Rect geometry(Element element) const override;
    void move(Element element, double left, double top) override;
    void setGeometry(Element element, const Rect &rect) override;
    bool isVisible(Element element) const override;
    void setVisible(Element element, bool visible) override;
    bool isEnabled(Element element) const override;
    void setEnabled(Element element, bool enabled) override;
    void setFocus(Element element) override { m_focus = element; }
    // The element that got the focus last; none: a label with id -1.
    Element focusedElement() const { return m_focus; }
    QString caption(Element element) const override;
    void setCaption(Element element, const QString &caption) override;
    void setToolTip(Element element, const QString &toolTip) override;
    void setForeColour(Element element, controls::Colour colour) override;
    controls::Colour foreColour(Element element) const override;
    QList<ElementTag> captionTags() const override;
    void setProgress(int bar, int value) override;
    int progress(int bar) const override;

private:
    struct ElementState
    {
        Rect rect;
        bool visible = true;
        bool enabled = true;
        QString caption;
        QString toolTip;
        QString tag;
        controls::Colour foreColour = controls::colour::WindowText;
    };
    static quint64 keyOf(Element element);
    ElementState &state(Element element);
    const ElementState &state(Element element) const;
    ElementState &addElement(Element element, const Rect &rect, const QString &tag = {});
    controls::Control *arrayControl(Element element) const;

    const MemoryControlArrays &m_controls;
    Element m_focus{Element::Kind::Label, -1};
    QHash<quint64, ElementState> m_elements;
    QList<Element> m_designOrder;
    QHash<int, int> m_progress;
};

} // namespace ui
