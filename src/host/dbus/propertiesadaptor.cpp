#include "host/dbus/propertiesadaptor.h"

#include "host/dbus/applicationservice.h"
#include "host/dbus/busnames.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QMetaProperty>

namespace {

QString signatureOf(QMetaType type)
{
    const char *signature = QDBusMetaType::typeToSignature(type);
    return signature ? QString::fromLatin1(signature) : QString::fromLatin1(type.name());
}

} // namespace

PropertiesAdaptor::PropertiesAdaptor(ApplicationService *service) : QDBusAbstractAdaptor(service)
{
    setAutoRelaySignals(false);
}

ApplicationService &PropertiesAdaptor::service() const
{
    return *static_cast<ApplicationService *>(parent());
}

bool PropertiesAdaptor::checkInterface(const QString &interfaceName)
{
    if (interfaceName.isEmpty() || interfaceName == dbusactivation::InterfaceName)
        return true;
    service().sendErrorReply(QDBusError::UnknownInterface,
                             QStringLiteral("No interface %1 at %2").arg(interfaceName, dbusactivation::ObjectPath));
    return false;
}

namespace {

QMetaProperty findProperty(const QObject *adaptor, const QString &name)
{
    const QMetaObject *meta = adaptor->metaObject();
    const int index = meta->indexOfProperty(name.toUtf8().constData());
    return index < QDBusAbstractAdaptor::staticMetaObject.propertyCount() ? QMetaProperty() : meta->property(index);
}

QString unknownPropertyText(const QString &name)
{
    return QStringLiteral("No property %1 in %2").arg(name, dbusactivation::InterfaceName);
}

} // namespace

QDBusVariant PropertiesAdaptor::Get(const QString &interfaceName, const QString &propertyName)
{
    ApplicationService &s = service();
    s.noteCaller(s.message().service());
    if (!checkInterface(interfaceName))
        return {};
    const QMetaProperty property = findProperty(s.interfaceAdaptor(), propertyName);
    if (!property.isValid()) {
        s.sendErrorReply(QDBusError::UnknownProperty, unknownPropertyText(propertyName));
        return {};
    }
    return QDBusVariant(property.read(s.interfaceAdaptor()));
}

QVariantMap PropertiesAdaptor::GetAll(const QString &interfaceName)
{
    ApplicationService &s = service();
    s.noteCaller(s.message().service());
    if (!checkInterface(interfaceName))
        return {};
    QVariantMap all;
    const QMetaObject *meta = s.interfaceAdaptor()->metaObject();
    for (int i = QDBusAbstractAdaptor::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        all.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(s.interfaceAdaptor()));
    return all;
}

void PropertiesAdaptor::Set(const QString &interfaceName, const QString &propertyName, const QDBusVariant &value)
{
    ApplicationService &s = service();
    s.noteCaller(s.message().service());
    if (!checkInterface(interfaceName))
        return;
    const QMetaProperty property = findProperty(s.interfaceAdaptor(), propertyName);
    if (!property.isValid()) {
        s.sendErrorReply(QDBusError::UnknownProperty, unknownPropertyText(propertyName));
        return;
    }
    try {
        if (!property.isWritable()) {
            s.rejectWrite(propertyName);
            return;
        }
        const QVariant variant = value.variant();
        if (variant.metaType() != property.metaType()) {
            s.sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("Property %1 takes the type %2, not %3")
                                                          .arg(propertyName, signatureOf(property.metaType()),
                                                               signatureOf(variant.metaType())));
            return;
        }
        property.write(s.interfaceAdaptor(), variant);
    } catch (const TqmError &error) {
        s.sendErrorReply(ApplicationService::errorName(error), ApplicationService::errorMessage(error));
    }
}
