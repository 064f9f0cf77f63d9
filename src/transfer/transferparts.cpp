#include "transfer/transferparts.h"

#include "lns/logger.h"
#include "params/cconfigprop.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/rawparams.h"

namespace transfer {

namespace {

template <class T>
QList<cParam *> kindList(int count, T *(cParams::*at)(int) const, const cParams &params)
{
    QList<cParam *> list;
    for (int i = 1; i <= count; ++i)
        list.append((params.*at)(i));
    return list;
}

QString safeName(const lns::ObjectPtr &object)
{
    if (!object)
        return {};
    try {
        return object->name();
    } catch (const TqmError &) {
        return {};
    }
}

} // namespace

QList<QList<cParam *>> kindsInLnsOrder(const cParams &p)
{
    return {kindList(p.Parameter1ByteCount(), &cParams::Parameter1Byte, p),
            kindList(p.Parameter2ByteCount(), &cParams::Parameter2Byte, p),
            kindList(p.CheckBoxParameterCount(), &cParams::CheckBoxParameter, p),
            kindList(p.ComboBoxParameterCount(), &cParams::ComboBoxParameter, p),
            kindList(p.OptionButtonParameterCount(), &cParams::OptionButtonParameter, p),
            kindList(p.TextBoxParameterCount(), &cParams::TextBoxParameter, p),
            kindList(p.ParameterAsciiCount(), &cParams::ParameterAscii, p)};
}

QList<cConfigProp *> images(const cParams &params)
{
    QList<cConfigProp *> list;
    for (int i = 1; i <= params.ConfigPropsCount(); ++i)
        list.append(params.ConfigProps(i));
    return list;
}

Transaction::Transaction(lns::SystemPtr system) : m_system(std::move(system))
{
    if (!m_system)
        return;
    try {
        m_system->startTransaction();
        m_open = true;
    } catch (const TqmError &) {
        // The writes go ahead without the bracket.
    }
}

Transaction::~Transaction()
{
    cancel();
}

void Transaction::commit(Logger *logger)
{
    if (!m_open)
        return;
    m_open = false;
    try {
        m_system->commitTransaction();
    } catch (const TqmError &error) {
        // Nothing to retry, but the user must learn that the values may not have been kept.
        logRedLine(logger, error.description());
    }
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

QString objectLocation(const lns::ObjectPtr &deviceOrLonMarkObject)
{
    QStringList parts;
    if (const QString device = safeName(lns::ancestorByClassId(deviceOrLonMarkObject, lns::AppDeviceClass));
        !device.isEmpty())
        parts.append(device);
    if (const QString object = safeName(lns::ancestorByClassId(deviceOrLonMarkObject, lns::LonMarkObjectClass));
        !object.isEmpty())
        parts.append(object);
    return parts.join(QStringLiteral(" / "));
}

QString cpLocation(const lns::ConfigPropertyPtr &cp)
{
    const QString owner = objectLocation(cp);
    const QString name = safeName(cp);
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
