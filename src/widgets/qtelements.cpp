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

#include <functional>

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

// A heading: its text and a rule across the rest of its width. The text keeps the window's one
// face: a bold face would be loaded (font file, shaping tables) for the first page's heading
// alone, a good part of the window's start; the rule sets the heading apart.
class HeadingLabel : public QLabel
{
public:
    explicit HeadingLabel(QWidget *parent) : QLabel(parent) { setAlignment(Qt::AlignLeft | Qt::AlignVCenter); }

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

// Widgets that show the caption the program sets on their element.
bool showsCaption(design::Widget widget)
{
    using design::Widget;
    switch (widget) {
    case Widget::Label:
    case Widget::Unit:
    case Widget::Heading:
    case Widget::Note:
    case Widget::Warning:
    case Widget::CheckBox:
    case Widget::OptionButton:
    case Widget::CommandButton:
    case Widget::ProgressBar:
        return true;
    default:
        return false;
    }
}

bool isLabel(design::Widget widget)
{
    using design::Widget;
    return widget == Widget::Label || widget == Widget::Unit || widget == Widget::Heading || widget == Widget::Note
           || widget == Widget::Warning;
}

template<typename T>
T *at(const QList<T *> &list, int index)
{
    return index >= 0 && index < list.size() ? list[index] : nullptr;
}

} // namespace

// ---- control arrays and logger lists ----

QtControlArrays::QtControlArrays(QObject *owner)
{
    using Kind = Element::Kind;
    for (int i = 0; i < design::countOf(Kind::TextBox); ++i)
        m_textBoxes.append(new QtTextBox(i, owner));
    for (int i = 0; i < design::countOf(Kind::ComboBox); ++i)
        m_comboBoxes.append(new QtComboBox(i, owner));
    for (int i = 0; i < design::countOf(Kind::CheckBox); ++i)
        m_checkBoxes.append(new QtCheckBox(i, owner));
    // Option buttons with one parent widget form a group.
    m_optionButtons.resize(design::countOf(Kind::OptionButton));
    QHash<quint64, controls::OptionGroup *> groups;
    for (const design::Item &item : design::items()) {
        if (item.widget != design::Widget::OptionButton)
            continue;
        const quint64 container = (quint64(item.in.kind) << 32) | quint32(item.in.id);
        controls::OptionGroup *&group = groups[container];
        if (!group)
            group = new controls::OptionGroup(owner);
        m_optionButtons[item.element->id] = new QtOptionButton(item.element->id, group, owner);
    }
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

controls::Control *QtControlArrays::control(Element element) const
{
    switch (element.kind) {
    case Element::Kind::TextBox:
        return textBox(element.id);
    case Element::Kind::ComboBox:
        return comboBox(element.id);
    case Element::Kind::CheckBox:
        return checkBox(element.id);
    case Element::Kind::OptionButton:
        return optionButton(element.id);
    default:
        return nullptr;
    }
}

void QtControlArrays::LogBuffer::addLine(const LogViewLine &line)
{
    if (m_list)
        m_list->addLine(line);
    else
        m_kept.addLine(line);
}

LogListWidget *QtControlArrays::LogBuffer::attach(LogListWidget *list)
{
    for (const LogViewLine &line : std::as_const(m_kept.lines))
        list->addLine(line);
    m_kept.lines.clear();
    return m_list = list;
}

LogView *QtControlArrays::LogBuffer::view()
{
    return m_list ? static_cast<LogView *>(m_list) : this;
}

LogView *QtControlArrays::loggerList()
{
    return m_logList.view();
}

LogView *QtControlArrays::timedList()
{
    return m_timedList.view();
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
        m_textBoxes[index]->attach(edit);
        return edit;
    }
    case Widget::ComboBox: {
        auto *box = new QComboBox(parent);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
        // Before its items arrive, which may make a screen reader ask for its interface.
        if (!item.labelledBy.isEmpty())
            exposeAsLabelledField(box);
        m_comboBoxes[index]->attach(box);
        return box;
    }
    case Widget::CheckBox: {
        auto *box = new TqmCheckBoxWidget(parent);
        m_checkBoxes[index]->attach(box);
        return box;
    }
    case Widget::OptionButton: {
        auto *button = new QRadioButton(parent);
        m_optionButtons[index]->attach(button);
        return button;
    }
    case Widget::LogList:
        return m_logList.attach(new LogListWidget(parent));
    case Widget::TimedList:
        return m_timedList.attach(new LogListWidget(parent));
    default:
        return nullptr;
    }
}

// ---- the pages and when their widgets are created ----

// Creates a page's widgets when the page is shown without the program asking (with the window).
class QtElements::PageWatch : public QObject
{
public:
    PageWatch(QWidget *page, std::function<void()> shown) : QObject(page), m_shown(std::move(shown))
    {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            m_shown();
        return false;
    }

private:
    std::function<void()> m_shown;
};

QtElements::QtElements(QWidget *parent, QtControlArrays &controls, ui::MainWindowView &view)
    : m_controls(controls), m_view(view), m_pageItems(ui::PageCount), m_realised(ui::PageCount, false)
{
    for (int page = 0; page < ui::PageCount; ++page) {
        auto *widget = new QWidget(parent);
        widget->setGeometry(pixelsOf(design::pageRect()));
        m_pages.append(widget);
        m_elements.insert(keyOf(Element::page(page)), widget);
        m_pageOf.insert(keyOf(Element::page(page)), page);
        m_watches.append(new PageWatch(widget, [this, page] { realisePage(page); }));
    }
    QHash<int, int> pageOfFrame;
    for (const design::Item &item : design::items()) {
        const int page = item.in.kind == design::Container::Kind::Page ? item.in.id : pageOfFrame.value(item.in.id);
        m_pageItems[page].append(&item);
        if (item.widget == design::Widget::Frame)
            pageOfFrame.insert(item.element->id, page);
        if (item.element) {
            const quint64 key = keyOf(*item.element);
            m_pageOf.insert(key, page);
            m_pending.insert(key, designed(item));
            if (!item.tag.isEmpty())
                m_captionTags.append({*item.element, item.tag});
        }
        if (!item.labelledBy.isEmpty()) {
            for (const Element &label : item.labelledBy)
                m_namedBy.insert(keyOf(label), int(m_namings.size()));
            m_namings.append({&item, item.labelledBy});
        }
    }
}

QtElements::Pending QtElements::designed(const design::Item &item)
{
    return {&item, pixelsOf(item.rect), item.visible ? std::nullopt : std::optional(false), item.enabled(),
            item.fixedText, {}, 0};
}

QtElements::~QtElements()
{
    qDeleteAll(m_watches);
}

void QtElements::realiseAllPages() const
{
    for (int page = 0; page < ui::PageCount; ++page)
        realisePage(page);
}

void QtElements::realisePage(int page) const
{
    if (m_realised[page])
        return;
    m_realised[page] = true;
    QList<QWidget *> created;
    QList<std::optional<bool>> shown;
    for (const design::Item *item : m_pageItems[page]) {
        const Pending state = item->element ? m_pending.take(keyOf(*item->element)) : designed(*item);
        created.append(realiseItem(*item));
        applyPending(created.last(), state);
        shown.append(state.shown);
    }
    // Visibility last, so that a frame shown shows what it holds. Widgets made on a page that is
    // on the screen already are hidden until shown; those that follow their page are shown.
    for (int i = 0; i < created.size(); ++i) {
        if (shown[i])
            created[i]->setVisible(*shown[i]);
    }
    if (m_pages[page]->isVisible()) {
        for (int i = 0; i < created.size(); ++i) {
            if (!shown[i] && created[i]->parentWidget() == m_pages[page])
                created[i]->show();
        }
    }
    keepKeyboardOrder(page, created);
    QList<int> namings;
    for (int i = 0; i < m_namings.size(); ++i) {
        if (m_fields.contains(m_namings[i].item))
            namings.append(i);
    }
    nameFields(namings);
    // A field with a label of its own is that label's buddy: screen readers tie the two.
    for (const Naming &naming : m_namings) {
        QWidget *field = m_fields.value(naming.item);
        if (field && naming.labels.size() == 1) {
            if (auto *label = qobject_cast<QLabel *>(realised(naming.labels.first())))
                label->setBuddy(field);
        }
    }
}

QWidget *QtElements::realiseItem(const design::Item &item) const
{
    QWidget *parent = item.in.kind == design::Container::Kind::Page
                          ? m_pages[item.in.id]
                          : m_elements.value(keyOf(Element::frame(ui::Frame(item.in.id))));
    QWidget *widget = createItemWidget(item, parent);
    if (item.element)
        m_elements.insert(keyOf(*item.element), widget);
    if (!item.labelledBy.isEmpty())
        m_fields.insert(&item, widget);
    return widget;
}

void QtElements::applyPending(QWidget *widget, const Pending &pending) const
{
    widget->setGeometry(pending.rect);
    if (!pending.enabled)
        widget->setEnabled(false);
    if (!pending.caption.isEmpty()) {
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(pending.caption);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setText(pending.caption);
        else if (auto *bar = qobject_cast<QProgressBar *>(widget))
            bar->setFormat(pending.caption);
    }
    if (!pending.toolTip.isEmpty())
        widget->setToolTip(pending.toolTip);
    if (pending.item->element) {
        const auto colour = m_foreColours.constFind(keyOf(*pending.item->element));
        if (colour != m_foreColours.cend())
            setLabelColour(widget, *colour);
    }
    if (pending.progress)
        static_cast<QProgressBar *>(widget)->setValue(pending.progress);
}

void QtElements::keepKeyboardOrder(int page, const QList<QWidget *> &created) const
{
    // New widgets join the end of the window's focus chain; the keyboard reaches them right
    // after their page, where they would be had they been created with it. (setTabOrder ignores
    // a widget that takes no focus, so the page takes it for the moment.)
    QWidget *previous = m_pages[page];
    previous->setFocusPolicy(Qt::TabFocus);
    for (QWidget *widget : created) {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    m_pages[page]->setFocusPolicy(Qt::NoFocus);
}

QWidget *QtElements::createItemWidget(const design::Item &item, QWidget *parent) const
{
    if (QWidget *control = m_controls.createControl(item, parent))
        return control;
    using design::Widget;
    switch (item.widget) {
    case Widget::Label:
    case Widget::Unit: {
        auto *label = new QLabel(parent);
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

void QtElements::nameFields(const QList<int> &namings) const
{
    for (int index : namings) {
        const Naming &naming = m_namings[index];
        QWidget *field = m_fields.value(naming.item);
        if (!field)
            continue; // named when it is created
        QStringList parts;
        for (const Element &part : naming.labels) {
            const QString text = caption(part).remove(QLatin1Char('&')).trimmed();
            if (!text.isEmpty())
                parts.append(text);
        }
        if (!parts.isEmpty() || !field->accessibleName().isEmpty())
            field->setAccessibleName(parts.join(QStringLiteral(": ")));
    }
}

// ---- lookups ----

void QtElements::checkElement(Element element) const
{
    if (!m_pageOf.contains(keyOf(element)))
        noSuch(QStringLiteral("The window has no element %1 of kind %2.").arg(element.id).arg(int(element.kind)));
}

QWidget *QtElements::realised(Element element) const
{
    return m_elements.value(keyOf(element));
}

QtElements::Pending *QtElements::pending(Element element) const
{
    const auto found = m_pending.find(keyOf(element));
    return found == m_pending.end() ? nullptr : &*found;
}

QWidget *QtElements::elementWidget(Element element) const
{
    checkElement(element);
    realisePage(m_pageOf.value(keyOf(element)));
    return m_elements.value(keyOf(element));
}

QWidget *QtElements::widgetOf(Element element) const
{
    const auto page = m_pageOf.constFind(keyOf(element));
    if (page == m_pageOf.cend())
        return nullptr;
    realisePage(*page);
    return m_elements.value(keyOf(element));
}

// ---- elements ----

Rect QtElements::geometry(Element element) const
{
    checkElement(element);
    // The twips the program gave, as long as the element is where they put it: pixels are
    // coarser than twips, and the program compares places it set (-20000 is "out of view").
    const QWidget *widget = realised(element);
    const QRect shown = widget ? widget->geometry() : pending(element)->rect;
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
    checkElement(element);
    if (QWidget *widget = realised(element))
        widget->setGeometry(pixelsOf(rect));
    else
        pending(element)->rect = pixelsOf(rect);
    m_givenGeometry.insert(keyOf(element), rect);
}

bool QtElements::isVisible(Element element) const
{
    checkElement(element);
    // The element's own state, whether or not the window or its page is on the screen.
    if (const QWidget *widget = realised(element))
        return !widget->isHidden();
    return pending(element)->shown.value_or(true);
}

void QtElements::setVisible(Element element, bool visible)
{
    checkElement(element);
    if (element.kind == Element::Kind::Page && visible)
        realisePage(element.id);
    if (QWidget *widget = realised(element))
        widget->setVisible(visible);
    else
        pending(element)->shown = visible;
}

bool QtElements::isEnabled(Element element) const
{
    checkElement(element);
    if (const controls::Control *control = m_controls.control(element))
        return control->enabled();
    if (const QWidget *widget = realised(element))
        return !widget->testAttribute(Qt::WA_ForceDisabled);
    return pending(element)->enabled;
}

void QtElements::setEnabled(Element element, bool enabled)
{
    checkElement(element);
    if (controls::Control *control = m_controls.control(element))
        control->setEnabled(enabled);
    else if (QWidget *widget = realised(element))
        widget->setEnabled(enabled);
    else
        pending(element)->enabled = enabled;
}

void QtElements::setFocus(Element element)
{
    elementWidget(element)->setFocus(Qt::OtherFocusReason);
}

QString QtElements::caption(Element element) const
{
    checkElement(element);
    if (const QWidget *widget = realised(element)) {
        if (auto *label = qobject_cast<const QLabel *>(widget))
            return label->text();
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            return button->text();
        if (auto *bar = qobject_cast<const QProgressBar *>(widget))
            return bar->format();
    } else if (showsCaption(pending(element)->item->widget)) {
        return pending(element)->caption;
    }
    return m_frameCaptions.value(keyOf(element));
}

void QtElements::setCaption(Element element, const QString &caption)
{
    checkElement(element);
    QWidget *widget = realised(element);
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(caption);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(caption);
    else if (auto *bar = qobject_cast<QProgressBar *>(widget))
        bar->setFormat(caption);
    else if (!widget && showsCaption(pending(element)->item->widget))
        pending(element)->caption = caption;
    else
        m_frameCaptions.insert(keyOf(element), caption); // frames draw no caption of their own
    nameFields(m_namedBy.values(keyOf(element)));
}

void QtElements::setToolTip(Element element, const QString &toolTip)
{
    checkElement(element);
    if (QWidget *widget = realised(element))
        widget->setToolTip(toolTip);
    else
        pending(element)->toolTip = toolTip;
}

void QtElements::setLabelColour(QWidget *widget, controls::Colour colour)
{
    auto *label = qobject_cast<QLabel *>(widget);
    if (!label)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, toQColor(colour, QApplication::palette(label)));
    label->setPalette(palette);
}

void QtElements::setForeColour(Element element, controls::Colour colour)
{
    checkElement(element);
    QWidget *widget = realised(element);
    if (widget ? !qobject_cast<QLabel *>(widget) : !isLabel(pending(element)->item->widget))
        return;
    m_foreColours.insert(keyOf(element), colour);
    if (widget)
        setLabelColour(widget, colour);
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
    const Element element = Element::progressBar(bar);
    checkElement(element);
    if (auto *widget = static_cast<QProgressBar *>(realised(element)))
        widget->setValue(qBound(widget->minimum(), value, widget->maximum()));
    else
        pending(element)->progress = qBound(0, value, pending(element)->item->maximum);
}

int QtElements::progress(int bar) const
{
    const Element element = Element::progressBar(bar);
    checkElement(element);
    if (auto *widget = static_cast<const QProgressBar *>(realised(element)))
        return widget->value();
    return pending(element)->progress;
}

} // namespace widgets
