#pragma once

// Delivers the bus messages for /Application to the generated adaptor: property reads and
// writes (org.freedesktop.DBus.Properties), the interface's methods and introspection. Errors
// that the service raised while handling a message go back as D-Bus error replies.

#include <QDBusVirtualObject>

class ApplicationService;

class ApplicationRouter : public QDBusVirtualObject
{
    Q_OBJECT
public:
    explicit ApplicationRouter(ApplicationService &service) : m_service(service) {}

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    QDBusMessage dispatch(const QDBusMessage &message);
    QDBusMessage getProperty(const QDBusMessage &message);
    QDBusMessage getAllProperties(const QDBusMessage &message);
    QDBusMessage setProperty(const QDBusMessage &message);
    QDBusMessage callMethod(const QDBusMessage &message);

    ApplicationService &m_service;
};
