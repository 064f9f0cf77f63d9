#include "widgets/accessiblefields.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QToolButton>

namespace widgets {

namespace {

const char *const ExposedAs = "tqmExposedAs";
constexpr int LabelledField = 1;
constexpr int ViewButton = 2;

QString withoutMnemonic(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(QLatin1Char('&')).replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

class LabelledComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit LabelledComboBoxAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *box = static_cast<const QComboBox *>(widget());
        if (t == QAccessible::Name)
            return box->accessibleName();
        if (t == QAccessible::Value)
            return box->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == showMenuAction())
            static_cast<QComboBox *>(widget())->showPopup();
        else
            QAccessibleWidget::doAction(name);
    }
};

class ViewButtonAccessible : public QAccessibleWidget
{
public:
    explicit ViewButtonAccessible(QToolButton *button) : QAccessibleWidget(button, QAccessible::PushButton) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return withoutMnemonic(static_cast<const QToolButton *>(widget())->text());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checked = static_cast<const QToolButton *>(widget())->isChecked();
        return state;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<QToolButton *>(widget())->click();
        else
            QAccessibleWidget::doAction(name);
    }
};

// Asked for every widget class whose object announces a change, screen reader or not: the
// class name is compared before the (much dearer) dynamic property is read.
QAccessibleInterface *exposedInterface(const QString &className, QObject *object)
{
    const auto kindOf = [object] { return object ? object->property(ExposedAs).toInt() : 0; };
    if (className == QLatin1String("QComboBox") && kindOf() == LabelledField)
        return new LabelledComboBoxAccessible(static_cast<QComboBox *>(object));
    if (className == QLatin1String("QToolButton") && kindOf() == ViewButton)
        return new ViewButtonAccessible(static_cast<QToolButton *>(object));
    return nullptr;
}

void installFactory()
{
    // Factories installed later are asked first: ours comes after the application's own.
    static const bool installed = [] {
        QAccessible::installFactory(exposedInterface);
        return true;
    }();
    Q_UNUSED(installed)
}

} // namespace

void exposeAsLabelledField(QComboBox *box)
{
    installFactory();
    box->setProperty(ExposedAs, LabelledField);
}

void exposeAsViewButton(QToolButton *button)
{
    installFactory();
    button->setProperty(ExposedAs, ViewButton);
}

} // namespace widgets
