#include "widgets/qtelements.h"

#include "ui/windowdesign.h"
#include "widgets/accessiblefields.h"
#include "widgets/loglistwidget.h"
#include "widgets/qtcontrols.h"
#include "widgets/qtviewsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace widgets {

using ui::Element;
using ui::Rect;
using namespace qtview;
namespace design = ui::design;

namespace {

quint64 keyOf(Element element)
{
    return (quint64(element.kind) << 32) | quint32(element.id);
}

// A heading: bold text and a rule across the rest of its width.
class HeadingLabel : public QLabel
{
public:
    explicit HeadingLabel(QWidget *parent) : QLabel(parent)
    {
        QFont bold = font();
        bold.setBold(true);
        setFont(bold);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QLabel::paintEvent(event);
        const int textEnd = fontMetrics().horizontalAdvance(text()) + 8;
        if (textEnd >= width())
            return;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        const int y = height() / 2;
        painter.drawLine(textEnd, y, width() - 1, y);
    }
};

template<typename T>
T *at(const QList<T *> &list, int index)
{
    return index >= 0 && index < list.size() ? list[index] : nullptr;
}

} // namespace

// ---- control arrays and logger lists ----

QtControlArrays::QtControlArrays()
{
    using Kind = Element::Kind;
    m_textBoxes.resize(design::countOf(Kind::TextBox));
    m_comboBoxes.resize(design::countOf(Kind::ComboBox));
    m_checkBoxes.resize(design::countOf(Kind::CheckBox));
    m_optionButtons.resize(design::countOf(Kind::OptionButton));
}

controls::TextBoxControl *QtControlArrays::textBox(int index) const
{
    return at(m_textBoxes, index);
}

controls::ComboBoxControl *QtControlArrays::comboBox(int index) const
{
    return at(m_comboBoxes, index);
}

controls::CheckBoxControl *QtControlArrays::checkBox(int index) const
{
    return at(m_checkBoxes, index);
}

controls::OptionButtonControl *QtControlArrays::optionButton(int index) const
{
    return at(m_optionButtons, index);
}

LogView *QtControlArrays::loggerList()
{
    return m_logList;
}

LogView *QtControlArrays::timedList()
{
    return m_timedList;
}

QWidget *QtControlArrays::createControl(const design::Item &item, QWidget *parent)
{
    using design::Widget;
    const int index = item.element ? item.element->id : -1;
    switch (item.widget) {
    case Widget::TextBox:
    case Widget::ReadOnlyBox: {
        auto *edit = new QLineEdit(parent);
        edit->setReadOnly(item.widget == Widget::ReadOnlyBox);
        m_textBoxes[index] = new QtTextBox(edit, index);
        return edit;
    }
    case Widget::ComboBox: {
        auto *box = new QComboBox(parent);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
        m_comboBoxes[index] = new QtComboBox(box, index);
        return box;
    }
    case Widget::CheckBox: {
        auto *box = new TqmCheckBoxWidget(parent);
        m_checkBoxes[index] = new QtCheckBox(box, index);
        return box;
    }
    case Widget::OptionButton: {
        auto *button = new QRadioButton(parent);
        m_optionButtons[index] = new QtOptionButton(button, index);
        return button;
    }
    case Widget::LogList:
        return m_logList = new LogListWidget(parent);
    case Widget::TimedList:
        return m_timedList = new LogListWidget(parent);
    default:
        return nullptr;
    }
}

// ---- building the pages ----

QtElements::QtElements(QWidget *parent, QtControlArrays &controls, ui::MainWindowView &view)
    : m_controls(controls), m_view(view)
{
    for (int page = 0; page < ui::PageCount; ++page) {
        auto *widget = new QWidget(parent);
        widget->setGeometry(pixelsOf(design::pageRect()));
        m_pages.append(widget);
        m_elements.insert(keyOf(Element::page(page)), widget);
    }
    for (const design::Item &item : design::items())
        addItem(item);
    // A field with a label of its own is that label's buddy: screen readers tie the two.
    for (const Naming &naming : m_namings) {
        if (naming.labels.size() == 1) {
            if (auto *label = qobject_cast<QLabel *>(m_elements.value(keyOf(naming.labels.first()))))
                label->setBuddy(naming.field);
        }
    }
}

void QtElements::addItem(const design::Item &item)
{
    QWidget *parent = item.in.kind == design::Container::Kind::Page
                          ? m_pages[item.in.id]
                          : m_elements.value(keyOf(Element::frame(ui::Frame(item.in.id))));
    QWidget *widget = createItemWidget(item, parent);
    widget->setGeometry(pixelsOf(item.rect));
    if (!item.visible)
        widget->setVisible(false);
    if (!item.enabled())
        widget->setEnabled(false);
    if (item.element) {
        m_elements.insert(keyOf(*item.element), widget);
        if (!item.tag.isEmpty())
            m_captionTags.append({*item.element, item.tag});
    }
    if (!item.labelledBy.isEmpty()) {
        for (const Element &label : item.labelledBy)
            m_namedBy.insert(keyOf(label), int(m_namings.size()));
        m_namings.append({widget, item.labelledBy});
        if (auto *box = qobject_cast<QComboBox *>(widget))
            exposeAsLabelledField(box);
    }
}

QWidget *QtElements::createItemWidget(const design::Item &item, QWidget *parent)
{
    if (QWidget *control = m_controls.createControl(item, parent))
        return control;
    using design::Widget;
    switch (item.widget) {
    case Widget::Label:
    case Widget::Unit: {
        auto *label = new QLabel(item.fixedText, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case Widget::Heading:
        return new HeadingLabel(parent);
    case Widget::Note:
    case Widget::Warning: {
        auto *label = new QLabel(parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (item.widget == Widget::Warning) {
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, toQColor(controls::colour::Red, palette));
            label->setPalette(palette);
            QFont bold = label->font();
            bold.setBold(true);
            label->setFont(bold);
        }
        return label;
    }
    case Widget::CommandButton: {
        const int index = item.element->id;
        auto *button = new QPushButton(parent);
        button->setAutoDefault(true); // Enter on the focused button presses it, not OK
        QObject::connect(button, &QPushButton::clicked, &m_view, [this, index] { emit m_view.commandButtonClicked(index); });
        return button;
    }
    case Widget::ProgressBar: {
        auto *bar = new QProgressBar(parent);
        bar->setRange(0, item.maximum);
        bar->setValue(0);
        bar->setFormat(QString());
        bar->setAlignment(Qt::AlignCenter);
        return bar;
    }
    default:
        return new QWidget(parent); // frames
    }
}

void QtElements::nameFieldsLabelledBy(Element label)
{
    for (int index : m_namedBy.values(keyOf(label))) {
        const Naming &naming = m_namings[index];
        QStringList parts;
        for (const Element &part : naming.labels) {
            const QString text = caption(part).remove(QLatin1Char('&')).trimmed();
            if (!text.isEmpty())
                parts.append(text);
        }
        naming.field->setAccessibleName(parts.join(QStringLiteral(": ")));
    }
}

// ---- lookups ----

QWidget *QtElements::elementWidget(Element element) const
{
    QWidget *widget = m_elements.value(keyOf(element));
    if (!widget)
        noSuch(QStringLiteral("The window has no element %1 of kind %2.").arg(element.id).arg(int(element.kind)));
    return widget;
}

QWidget *QtElements::widgetOf(Element element) const
{
    return m_elements.value(keyOf(element));
}

// ---- elements ----

Rect QtElements::geometry(Element element) const
{
    // The twips the program gave, as long as the element is where they put it: pixels are
    // coarser than twips, and the program compares places it set (-20000 is "out of view").
    const QRect shown = elementWidget(element)->geometry();
    const auto given = m_givenGeometry.constFind(keyOf(element));
    if (given != m_givenGeometry.cend() && pixelsOf(*given) == shown)
        return *given;
    return twipsOf(shown);
}

void QtElements::move(Element element, double left, double top)
{
    Rect rect = geometry(element);
    rect.left = left;
    rect.top = top;
    setGeometry(element, rect);
}

void QtElements::setGeometry(Element element, const Rect &rect)
{
    elementWidget(element)->setGeometry(pixelsOf(rect));
    m_givenGeometry.insert(keyOf(element), rect);
}

bool QtElements::isVisible(Element element) const
{
    // The element's own state, whether or not the window or its page is on the screen.
    return !elementWidget(element)->isHidden();
}

void QtElements::setVisible(Element element, bool visible)
{
    elementWidget(element)->setVisible(visible);
}

bool QtElements::isEnabled(Element element) const
{
    return !elementWidget(element)->testAttribute(Qt::WA_ForceDisabled);
}

void QtElements::setEnabled(Element element, bool enabled)
{
    elementWidget(element)->setEnabled(enabled);
}

void QtElements::setFocus(Element element)
{
    elementWidget(element)->setFocus(Qt::OtherFocusReason);
}

QString QtElements::caption(Element element) const
{
    QWidget *widget = elementWidget(element);
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return button->text();
    if (auto *bar = qobject_cast<QProgressBar *>(widget))
        return bar->format();
    return m_frameCaptions.value(keyOf(element));
}

void QtElements::setCaption(Element element, const QString &caption)
{
    QWidget *widget = elementWidget(element);
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(caption);
    else if (auto *bar = qobject_cast<QProgressBar *>(widget))
        bar->setFormat(caption);
    else
        m_frameCaptions.insert(keyOf(element), caption); // frames draw no caption of their own
    nameFieldsLabelledBy(element);
}

void QtElements::setToolTip(Element element, const QString &toolTip)
{
    elementWidget(element)->setToolTip(toolTip);
}

void QtElements::setForeColour(Element element, controls::Colour colour)
{
    auto *label = qobject_cast<QLabel *>(elementWidget(element));
    if (!label)
        return;
    m_foreColours.insert(keyOf(element), colour);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(colour, QApplication::palette(label)));
    label->setPalette(palette);
}

controls::Colour QtElements::foreColour(Element element) const
{
    return m_foreColours.value(keyOf(element), controls::colour::WindowText);
}

QList<ui::ElementTag> QtElements::captionTags() const
{
    return m_captionTags;
}

void QtElements::setProgress(int bar, int value)
{
    auto *widget = static_cast<QProgressBar *>(elementWidget(Element::progressBar(bar)));
    widget->setValue(qBound(widget->minimum(), value, widget->maximum()));
}

int QtElements::progress(int bar) const
{
    return static_cast<QProgressBar *>(elementWidget(Element::progressBar(bar)))->value();
}

} // namespace widgets
