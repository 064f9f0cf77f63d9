#include "params/cconfigprop.h"

#include "lns/rawtext.h"
#include "params/cparamenums.h"
#include "params/cparams.h"
#include "params/cpaccess.h"

#include <optional>

namespace {

qint16 checkedInt16(qint32 value)
{
    if (value < -32768 || value > 32767)
        throw TqmError(TqmError::Overflow, QStringLiteral("cConfigProp"),
                       QStringLiteral("%1 bytes do not fit a 16-bit length.").arg(value));
    return qint16(value);
}

} // namespace

cConfigProp::cConfigProp(cParams *parent, QString name, lns::ConfigPropertyPtr configProperty, QString cpIniName)
    : m_parent(parent), m_name(std::move(name)), m_cpIniName(std::move(cpIniName)),
      m_available(configProperty != nullptr), m_configProperty(std::move(configProperty))
{
}

qint16 cConfigProp::ClassId() const
{
    return cParamEnums::PA_CLASSID_CONFIG_PROPERTY;
}

qint16 cConfigProp::Dimension()
{
    if (!CpFetched())
        return -1;
    if (m_dimension == 0)
        m_dimension = checkedInt16(m_configProperty->dimension());
    return m_dimension;
}

qint16 cConfigProp::ElementByteLength()
{
    if (!CpFetched())
        return -1;
    if (m_elementByteLength == 0)
        m_elementByteLength = checkedInt16(m_configProperty->elementLength());
    return m_elementByteLength;
}

qint16 cConfigProp::ByteLength()
{
    if (!CpFetched())
        return -1;
    if (m_byteLength == 0)
        m_byteLength = checkedInt16(qint32(ElementByteLength()) * Dimension());
    return m_byteLength;
}

void cConfigProp::makeRoomForBytes()
{
    if (m_bytesAllocated)
        return;
    m_bytes = QByteArray(qMax<qint16>(ByteLength(), 0), '\0');
    m_bytesAllocated = true;
}

void cConfigProp::checkIndex(qint32 index) const
{
    if (index < 1 || index > m_bytes.size())
        throw TqmError(TqmError::SubscriptOutOfRange, QStringLiteral("cConfigProp"),
                       QStringLiteral("Byte %1 of \"%2\" is outside 1 to %3.").arg(index).arg(m_name).arg(m_bytes.size()));
}

// Only the first read in the image's life loads the device's bytes: after any load, what the
// parameters wrote into the image is what it holds.
void cConfigProp::loadOnFirstRead()
{
    if (!m_bytesInitialised && !m_bytesKnown) {
        ReadFromLns(false);
        m_bytesInitialised = true;
    }
}

quint8 cConfigProp::ByteValue(qint32 Index)
{
    loadOnFirstRead();
    checkIndex(Index);
    return quint8(m_bytes[Index - 1]);
}

void cConfigProp::setByteValue(qint32 Index, quint8 value)
{
    checkIndex(Index);
    m_bytes[Index - 1] = char(value);
}

QByteArray cConfigProp::bytes()
{
    loadOnFirstRead();
    return m_bytes;
}

void cConfigProp::storeBytes(const QByteArray &bytes)
{
    for (qsizetype k = 0; k < bytes.size() && k < m_bytes.size(); ++k)
        m_bytes[k] = bytes[k];
}

void cConfigProp::storeRawText(const QString &text, qint32 start)
{
    const QByteArray fields = rawtext::parse(text);
    for (qsizetype k = 0; k < fields.size(); ++k)
        setByteValue(start + qint32(k), quint8(fields[k]));
}

void cConfigProp::ReadFromLns(bool FetchCpIfRequired)
{
    if (FetchCpIfRequired && !FetchCp(false))
        return;
    if (!CpFetched())
        return;
    makeRoomForBytes();
    lns::ConfigProperty &cp = *m_configProperty;
    cpaccess::RawFormatScope raw(cp);
    if (Dimension() == 1) {
        storeRawText(cp.value(), 1);
        m_bytesKnown = true;
        return;
    }
    std::optional<TqmError> firstError;
    for (qint32 i = 1; i <= Dimension(); ++i) {
        try {
            storeRawText(cp.elementValue(i - 1), (i - 1) * ElementByteLength() + 1);
        } catch (const TqmError &error) {
            if (!firstError)
                firstError = error;
        }
    }
    if (firstError)
        throw *firstError;
    m_bytesKnown = true;
}

void cConfigProp::writeElements()
{
    if (!CpFetched())
        return;
    makeRoomForBytes();
    lns::ConfigProperty &cp = *m_configProperty;
    cpaccess::RawFormatScope raw(cp);
    const qint32 length = ElementByteLength();
    if (Dimension() == 1) {
        cp.setValue(rawtext::format(m_bytes.left(length)));
        return;
    }
    std::optional<TqmError> firstError;
    for (qint32 i = 1; i <= Dimension(); ++i) {
        try {
            cp.setElementValue(i - 1, rawtext::format(m_bytes.mid((i - 1) * length, length)));
        } catch (const TqmError &error) {
            // Keep going: every element that can be stored is stored.
            if (!firstError)
                firstError = error;
        }
    }
    if (firstError)
        throw *firstError;
}

void cConfigProp::WriteToLns()
{
    if (!m_bytesKnown)
        return;
    try {
        writeElements();
    } catch (const TqmError &) {
        // Not reported: the collection's writes say what failed.
    }
}

bool cConfigProp::FetchCp(bool ForceFetch)
{
    if (!m_available)
        return false;
    if (CpFetched() && !ForceFetch)
        return true;
    lns::ConfigPropertyPtr found = m_parent->lookUpCp(m_superiorLnsObject, m_cpIniName);
    if (!found)
        return false;
    m_configProperty = std::move(found);
    makeRoomForBytes();
    return true;
}
