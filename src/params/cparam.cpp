#include "params/cparam.h"

#include "params/bytewindow.h"
#include "params/cconfigprop.h"
#include "params/cparams.h"
#include "params/cpaccess.h"

cParam::cParam(const Binding &binding)
    : m_parent(binding.parent), m_name(binding.name), m_cpIniName(binding.cpIniName),
      m_configProperty(binding.configProperty), m_configPropExt(binding.image)
{
}

cParam::~cParam() = default;

bool cParam::readyToReadFromLns(bool fetchCpIfRequired)
{
    if (CpIsExternal())
        return false;
    if (fetchCpIfRequired && !fetchCp(false))
        return false;
    return CpFetched();
}

bool cParam::fetchCp(bool forceFetch)
{
    if (CpIsExternal() || !m_available)
        return false;
    if (CpFetched() && !forceFetch)
        return true;
    lns::ConfigPropertyPtr found = m_parent->lookUpCp(m_superiorLnsObject, m_cpIniName);
    if (!found)
        return false;
    m_configProperty = std::move(found);
    return true;
}

int cParam::boundElementLength() const
{
    return m_configProperty ? m_configProperty->elementLength() : 0;
}

void cParam::acceptWindow(qint16 bytePos, quint8 byteLength, int width, bool checked, const QString &description)
{
    if (checked && !bytewindow::fits(bytePos, width, boundElementLength()))
        throw TqmError(TqmError::InvalidWindow, QStringLiteral("ConsiderPartOfCpOnly"), description);
    m_bytePos = bytePos;
    m_byteLength = byteLength;
}

namespace {

bytewindow::Window windowOf(qint16 bytePos, int width, int wholeLength, int usedBytes, bool isSigned)
{
    if (bytePos == 0)
        return {1, wholeLength, usedBytes, isSigned};
    return {bytePos, width, usedBytes, isSigned};
}

lns::ConfigProperty &boundCp(const lns::ConfigPropertyPtr &cp, const QString &name)
{
    if (!cp)
        throw TqmError(TqmError::LnsInvalidOperation, name, QStringLiteral("The parameter is not bound to a CP."));
    return *cp;
}

QByteArray imageWindowBytes(cConfigProp &image, const bytewindow::Window &window)
{
    QByteArray bytes;
    for (int position = window.start; position < window.start + window.width; ++position)
        bytes.append(char(image.ByteValue(position)));
    return bytes;
}

void storeImageWindowBytes(cConfigProp &image, int start, const QByteArray &bytes)
{
    for (qsizetype k = 0; k < bytes.size(); ++k)
        image.setByteValue(start + qint32(k), quint8(bytes[k]));
}

} // namespace

qint64 cParam::readNumberFromLns(int width, int usedBytes, bool isSigned) const
{
    lns::ConfigProperty &cp = boundCp(m_configProperty, m_name);
    const QByteArray bytes = cpaccess::readBytes(cp);
    return bytewindow::readNumber(bytes, windowOf(m_bytePos, width, cp.elementLength(), usedBytes, isSigned));
}

void cParam::writeNumberToLns(int width, int usedBytes, bool isSigned, qint64 value)
{
    try {
        lns::ConfigProperty &cp = boundCp(m_configProperty, m_name);
        QByteArray bytes = cpaccess::readBytes(cp);
        bytewindow::writeNumber(bytes, windowOf(m_bytePos, width, cp.elementLength(), usedBytes, isSigned), value);
        cpaccess::writeBytes(cp, bytes);
    } catch (const TqmError &error) {
        // The parameter goes on; the collection tells the user.
        m_parent->reportCpWriteFailure(m_configProperty, error);
    }
}

qint64 cParam::readNumberFromImage(int width, int usedBytes, bool isSigned) const
{
    const auto window = windowOf(m_bytePos, width, m_configPropExt->ByteLength(), usedBytes, isSigned);
    return bytewindow::decode(imageWindowBytes(*m_configPropExt, window), window);
}

void cParam::writeNumberToImage(int width, int usedBytes, bool isSigned, qint64 value)
{
    const auto window = windowOf(m_bytePos, width, m_configPropExt->ByteLength(), usedBytes, isSigned);
    storeImageWindowBytes(*m_configPropExt, window.start, bytewindow::encode(value, window));
}

QString cParam::readTextFromLns(int width) const
{
    lns::ConfigProperty &cp = boundCp(m_configProperty, m_name);
    const QByteArray bytes = cpaccess::readBytes(cp);
    const auto window = windowOf(m_bytePos, width, int(bytes.size()), 0, false);
    return bytewindow::decodeText(bytewindow::slice(bytes, window.start, window.width));
}

void cParam::writeTextToLns(int width, const QString &text)
{
    try {
        lns::ConfigProperty &cp = boundCp(m_configProperty, m_name);
        QByteArray bytes = cpaccess::readBytes(cp);
        const auto window = windowOf(m_bytePos, width, int(bytes.size()), 0, false);
        bytewindow::splice(bytes, window.start, bytewindow::encodeText(text, window.width));
        cpaccess::writeBytes(cp, bytes);
    } catch (const TqmError &error) {
        m_parent->reportCpWriteFailure(m_configProperty, error);
    }
}

QString cParam::readTextFromImage(int width) const
{
    const auto window = windowOf(m_bytePos, width, m_configPropExt->ByteLength(), 0, false);
    return bytewindow::decodeText(imageWindowBytes(*m_configPropExt, window));
}

void cParam::writeTextToImage(int width, const QString &text)
{
    const auto window = windowOf(m_bytePos, width, m_configPropExt->ByteLength(), 0, false);
    storeImageWindowBytes(*m_configPropExt, window.start, bytewindow::encodeText(text, window.width));
}
