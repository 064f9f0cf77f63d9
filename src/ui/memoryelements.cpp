#include "ui/memoryelements.h"

#include "base/tqmerror.h"
#include "ui/windowdesign.h"

namespace ui {

namespace memoryview {

void noSuch(const QString &what)
{
    throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("MemoryMainWindowView"), what);
}

} // namespace memoryview

namespace {

template <class T>
T *at(const std::vector<T *> &list, int index)
{
    return index >= 0 && index < int(list.size()) ? list[std::size_t(index)] : nullptr;
}

} // namespace

// ---- control arrays ----

MemoryControlArrays::MemoryControlArrays(QObject *owner) : m_optionGroup(new controls::OptionGroup(owner))
{
    using Kind = Element::Kind;
    for (int i = 0; i < design::countOf(Kind::TextBox); ++i)
        m_textBoxes.push_back(new controls::MemoryTextBox(i, owner));
    for (int i = 0; i < design::countOf(Kind::ComboBox); ++i)
        m_comboBoxes.push_back(new controls::MemoryComboBox(i, owner));
    for (int i = 0; i < design::countOf(Kind::CheckBox); ++i)
        m_checkBoxes.push_back(new controls::MemoryCheckBox(i, owner));
    for (int i = 0; i < design::countOf(Kind::OptionButton); ++i)
        m_optionButtons.push_back(new controls::MemoryOptionButton(i, m_optionGroup, owner));
}

controls::MemoryTextBox *MemoryControlArrays::textBox(int index) const
{
    return at(m_textBoxes, index);
}

controls::MemoryComboBox *MemoryControlArrays::comboBox(int index) const
{
    return at(m_comboBoxes, index);
}

controls::MemoryCheckBox *MemoryControlArrays::checkBox(int index) const
{
    return at(m_checkBoxes, index);
}

controls::MemoryOptionButton *MemoryControlArrays::optionButton(int index) const
{
    return at(m_optionButtons, index);
}

// ---- elements ----

// Every element at its place with its caption tag, shown or hidden, as designed.
MemoryElements::MemoryElements(const MemoryControlArrays &controls) : m_controls(controls)
{
    for (int page = 0; page < PageCount; ++page)
        addElement(Element::page(page), design::pageRect());
    for (const design::Item &item : design::items()) {
        if (!item.element)
            continue;
        ElementState &designed = addElement(*item.element, item.rect, item.tag);
        designed.visible = item.visible;
        designed.enabled = item.enabled();
    }
}

quint64 MemoryElements::keyOf(Element element)
{
    return (quint64(element.kind) << 32) | quint32(element.id);
}

MemoryElements::ElementState &MemoryElements::addElement(Element element, const Rect &rect, const QString &tag)
{
    ElementState state;
    state.rect = rect;
    state.tag = tag;
    m_designOrder.append(element);
    return *m_elements.insert(keyOf(element), state);
}

MemoryElements::ElementState &MemoryElements::state(Element element)
{
    const auto it = m_elements.find(keyOf(element));
    if (it == m_elements.end())
        memoryview::noSuch(QStringLiteral("The window has no element %1 of kind %2.").arg(element.id).arg(int(element.kind)));
    return *it;
}

const MemoryElements::ElementState &MemoryElements::state(Element element) const
{
    return const_cast<MemoryElements *>(this)->state(element);
}

// The control of an array element; null for the other kinds.
controls::Control *MemoryElements::arrayControl(Element element) const
{
    switch (element.kind) {
    case Element::Kind::TextBox:
        return m_controls.textBox(element.id);
    case Element::Kind::ComboBox:
        return m_controls.comboBox(element.id);
    case Element::Kind::CheckBox:
        return m_controls.checkBox(element.id);
    case Element::Kind::OptionButton:
        return m_controls.optionButton(element.id);
    default:
        return nullptr;
    }
}

Rect MemoryElements::geometry(Element element) const
{
    return state(element).rect;
}

void MemoryElements::move(Element element, double left, double top)
{
    Rect &rect = state(element).rect;
    rect.left = left;
    rect.top = top;
}

void MemoryElements::setGeometry(Element element, const Rect &rect)
{
    state(element).rect = rect;
}

bool MemoryElements::isVisible(Element element) const
{
    return state(element).visible;
}

void MemoryElements::setVisible(Element element, bool visible)
{
    state(element).visible = visible;
}

bool MemoryElements::isEnabled(Element element) const
{
    const ElementState &s = state(element);
    const controls::Control *control = arrayControl(element);
    return control ? control->enabled() : s.enabled;
}

void MemoryElements::setEnabled(Element element, bool enabled)
{
    state(element).enabled = enabled;
    // Array controls keep one enabled state, whichever way it is set.
    if (controls::Control *control = arrayControl(element))
        control->setEnabled(enabled);
}

QString MemoryElements::caption(Element element) const
{
    return state(element).caption;
}

void MemoryElements::setCaption(Element element, const QString &caption)
{
    state(element).caption = caption;
}

void MemoryElements::setForeColour(Element element, controls::Colour colour)
{
    state(element).foreColour = colour;
}

controls::Colour MemoryElements::foreColour(Element element) const
{
    return state(element).foreColour;
}

void MemoryElements::setToolTip(Element element, const QString &toolTip)
{
    state(element).toolTip = toolTip;
}

QList<ElementTag> MemoryElements::captionTags() const
{
    QList<ElementTag> tags;
    for (const Element &element : m_designOrder) {
        const QString &tag = state(element).tag;
        if (!tag.isEmpty())
            tags.append({element, tag});
    }
    return tags;
}

void MemoryElements::setProgress(int bar, int value)
{
    state(Element::progressBar(bar));
    m_progress[bar] = value;
}

int MemoryElements::progress(int bar) const
{
    state(Element::progressBar(bar));
    return m_progress.value(bar);
}

} // namespace ui
