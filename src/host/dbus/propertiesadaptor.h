#pragma once

// org.freedesktop.DBus.Properties of the automation object. Qt hands a call to an object's
// adaptors before its built-in property handler, and only calls reach their slot with the
// caller's message at hand (QDBusContext); the built-in handler cannot answer a write with an
// error of the plug-in's own and converts a value of another type ('no' becomes true). So the
// properties interface is served here, reading and writing the properties of the generated
// adaptor:
// - writing a read-only property answers the plug-in's read-only error (E80044E22);
// - a value must have the property's own D-Bus type, else InvalidArgs;
// - an unknown property answers UnknownProperty, an interface other than the plug-in's
//   UnknownInterface.
// Its introspection is Qt's standard text for the interface, so it adds none of its own.

#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QVariantMap>

class ApplicationService;

class PropertiesAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.Properties")
    Q_CLASSINFO("D-Bus Introspection", "")
public:
    explicit PropertiesAdaptor(ApplicationService *service);

public Q_SLOTS:
    QDBusVariant Get(const QString &interfaceName, const QString &propertyName);
    QVariantMap GetAll(const QString &interfaceName);
    void Set(const QString &interfaceName, const QString &propertyName, const QDBusVariant &value);

private:
    // False (after answering the error) when the call names another interface.
    bool checkInterface(const QString &interfaceName);
    ApplicationService &service() const;
};
