#include "host/dbus/applicationrouter.h"

#include "applicationadaptor.h"
#include "host/dbus/applicationservice.h"
#include "host/registrationwriter.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QMetaClassInfo>
#include <QMetaProperty>

namespace {

const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

QMetaProperty findProperty(const QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    return index < meta->propertyOffset() ? QMetaProperty() : meta->property(index);
}

QDBusMessage unknownProperty(const QDBusMessage &message, const QString &name)
{
    return message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.UnknownProperty"),
                                    QStringLiteral("No property \"%1\" in %2").arg(name, dbusactivation::InterfaceName));
}

bool isOurInterface(const QString &name)
{
    return name.isEmpty() || name == dbusactivation::InterfaceName;
}

} // namespace

QString ApplicationRouter::introspect(const QString &) const
{
    const QMetaObject &meta = ApplicationAdaptor::staticMetaObject;
    return QString::fromUtf8(meta.classInfo(meta.indexOfClassInfo("D-Bus Introspection")).value());
}

bool ApplicationRouter::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    m_service.beginCall(connection, message);
    QDBusMessage reply = dispatch(message);
    if (const std::optional<TqmError> error = m_service.endCall())
        reply = message.createErrorReply(ApplicationService::errorName(*error), ApplicationService::errorMessage(*error));
    if (message.isReplyRequired())
        connection.send(reply);
    return true;
}

QDBusMessage ApplicationRouter::dispatch(const QDBusMessage &message)
{
    if (message.interface() == PropertiesInterface) {
        if (message.member() == QLatin1String("Get") && message.signature() == QLatin1String("ss"))
            return getProperty(message);
        if (message.member() == QLatin1String("Set") && message.signature() == QLatin1String("ssv"))
            return setProperty(message);
        if (message.member() == QLatin1String("GetAll") && message.signature() == QLatin1String("s"))
            return getAllProperties(message);
    } else if (isOurInterface(message.interface())) {
        return callMethod(message);
    }
    return message.createErrorReply(QDBusError::UnknownMethod,
                                    QStringLiteral("No method %1.%2 (%3)")
                                        .arg(message.interface(), message.member(), message.signature()));
}

QDBusMessage ApplicationRouter::getProperty(const QDBusMessage &message)
{
    const QString interface = message.arguments().value(0).toString();
    const QString name = message.arguments().value(1).toString();
    const QMetaProperty property = findProperty(m_service.adaptor(), name);
    if (!isOurInterface(interface) || !property.isValid())
        return unknownProperty(message, name);
    return message.createReply(QVariant::fromValue(QDBusVariant(property.read(m_service.adaptor()))));
}

QDBusMessage ApplicationRouter::getAllProperties(const QDBusMessage &message)
{
    if (!isOurInterface(message.arguments().value(0).toString()))
        return message.createReply(QVariant::fromValue(QVariantMap()));
    QVariantMap all;
    const QMetaObject *meta = m_service.adaptor()->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        all.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(m_service.adaptor()));
    return message.createReply(QVariant::fromValue(all));
}

QDBusMessage ApplicationRouter::setProperty(const QDBusMessage &message)
{
    const QString interface = message.arguments().value(0).toString();
    const QString name = message.arguments().value(1).toString();
    const QMetaProperty property = findProperty(m_service.adaptor(), name);
    if (!isOurInterface(interface) || !property.isValid())
        return unknownProperty(message, name);
    QVariant value = message.arguments().value(2).value<QDBusVariant>().variant();
    if (value.metaType() != property.metaType() && !value.convert(property.metaType()))
        return message.createErrorReply(QDBusError::InvalidArgs,
                                        QStringLiteral("Property \"%1\" takes the type %2")
                                            .arg(name, QString::fromLatin1(property.typeName())));
    if (!property.write(m_service.adaptor(), value))
        return message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("Property \"%1\" was not set").arg(name));
    return message.createReply();
}

QDBusMessage ApplicationRouter::callMethod(const QDBusMessage &message)
{
    auto *adaptor = static_cast<ApplicationAdaptor *>(m_service.adaptor());
    const QVariantList args = message.arguments();
    if (message.member() == QLatin1String("SendCommand") && message.signature() == QLatin1String("ins")) {
        adaptor->SendCommand(args[0].toInt(), args[1].value<short>(), args[2].toString());
        return message.createReply();
    }
    if (message.member() == QLatin1String("ClosePlugIn") && message.signature().isEmpty()) {
        adaptor->ClosePlugIn();
        return message.createReply();
    }
    return message.createErrorReply(QDBusError::UnknownMethod,
                                    QStringLiteral("No method %1(%2) in %3")
                                        .arg(message.member(), message.signature(), dbusactivation::InterfaceName));
}
