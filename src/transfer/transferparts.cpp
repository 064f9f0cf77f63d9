#include "transfer/transferparts.h"

#include "lns/logger.h"

#include <QStringList>

namespace transfer {

Transaction::Transaction(lns::SystemPtr system) : m_system(std::move(system))
{
    if (!m_system) {
        m_startFailure = QStringLiteral("no network system to bracket the write");
        return;
    }
    try {
        m_system->startTransaction();
        m_open = true;
    } catch (const TqmError &error) {
        m_startFailure = error.description();
    }
}

Transaction::~Transaction()
{
    cancel();
}

void Transaction::commit()
{
    if (!m_open)
        return;
    m_open = false;
    m_system->commitTransaction();
}

void Transaction::cancel()
{
    if (!m_open)
        return;
    m_open = false;
    try {
        m_system->cancelTransaction();
    } catch (const TqmError &) {
        // Nothing more can be undone.
    }
}

QString nameOf(const lns::ObjectPtr &object, const QString &fallback)
{
    if (!object)
        return fallback;
    try {
        return object->name();
    } catch (const TqmError &) {
        return fallback;
    }
}

QString objectLocation(const lns::ObjectPtr &deviceOrLonMarkObject)
{
    QStringList parts;
    if (const QString device = nameOf(lns::ancestorByClassId(deviceOrLonMarkObject, lns::AppDeviceClass));
        !device.isEmpty())
        parts.append(device);
    if (const QString object = nameOf(lns::ancestorByClassId(deviceOrLonMarkObject, lns::LonMarkObjectClass));
        !object.isEmpty())
        parts.append(object);
    return parts.join(QStringLiteral(" / "));
}

QString cpLocation(const lns::ConfigPropertyPtr &cp)
{
    const QString owner = objectLocation(cp);
    const QString name = nameOf(cp);
    if (owner.isEmpty())
        return name;
    return owner + QStringLiteral(" / ") + name;
}

void logLabel(Logger *logger, const QString &label)
{
    if (logger)
        logger->logLine(label);
}

void logRedLine(Logger *logger, const QString &text)
{
    if (logger)
        logger->addLogLine(text, logcolour::Red);
}

QString templateOf(const lns::AppDevicePtr &device)
{
    if (!device)
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("cParams"),
                       QStringLiteral("The LonMark object belongs to no device."));
    return device->deviceTemplate()->name();
}

} // namespace transfer
