#include "params/cparam.h"

#include "params/cconfigprop.h"
#include "params/cparams.h"
#include "params/cpaccess.h"
#include "lns/rawtext.h"

cParam::cParam(const Binding &binding)
    : m_parent(binding.parent), m_name(binding.name), m_cpIniName(binding.cpIniName),
      m_configProperty(binding.configProperty), m_configPropExt(binding.image)
{
}

cParam::~cParam() = default;

void cParam::ReadFromLns(bool FetchCpIfRequired)
{
    if (CpIsExternal() || !takesPart(Transfer::ReadFromLns))
        return;
    if (FetchCpIfRequired && looksUpCpOnDemand() && !fetchCp(false))
        return;
    if (CpFetched())
        readFromCp();
}

void cParam::WriteToLns()
{
    if (CpIsExternal() || !takesPart(Transfer::WriteToLns))
        return;
    if (CpFetched())
        writeToCp();
    else if (looksUpCpOnDemand())
        return; // still to be written once the CP is there
    setChanged(false);
}

void cParam::ReadFromExtCp()
{
    if (CpIsExternal() && takesPart(Transfer::ReadFromImage))
        readFromImage();
}

void cParam::WriteToExtCp()
{
    if (!CpIsExternal() || !takesPart(Transfer::WriteToImage))
        return;
    writeToImage();
    setChanged(false);
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
    amend([&](ParamDescription &d) {
        d.bytePos = bytePos;
        d.byteLength = byteLength;
    });
}

// ---- the value as bytes ----

bytewindow::Window cParam::numberWindow(const CpShape &shape, int width, int usedBytes, bool isSigned) const
{
    return paramdescription::numberWindow(*m_description, shape, width, usedBytes, isSigned);
}

bytewindow::Window cParam::valueWindow(const CpShape &shape) const
{
    return window(shape);
}

QString cParam::describe() const
{
    QString cpName;
    const lns::ConfigPropertyPtr cp = m_configProperty ? m_configProperty
                                                        : (m_configPropExt ? m_configPropExt->ConfigProperty() : nullptr);
    try {
        cpName = cp ? cp->name() : QString();
    } catch (const TqmError &) {
        // The name is a help for the reader, not a reason to fail.
    }
    QStringList where;
    if (!cpName.isEmpty())
        where.append(QStringLiteral("CP ") + cpName);
    const QString iniName = m_configPropExt ? m_configPropExt->CpIniName() : m_cpIniName;
    if (!iniName.isEmpty())
        where.append(QStringLiteral("INI entry ") + iniName);
    return where.isEmpty() ? m_name : m_name + QStringLiteral(" (") + where.join(QStringLiteral(", ")) + QLatin1Char(')');
}

namespace {

// An error of a window, given the parameter it arose for.
TqmError inContext(const cParam &parameter, const TqmError &error)
{
    return TqmError(error.number(), error.source(), parameter.describe() + QStringLiteral(": ") + error.description(),
                    error.line());
}

} // namespace

void cParam::takeValueFrom(const QByteArray &cpBytes, const CpShape &shape)
{
    try {
        const bytewindow::Window w = window(shape);
        decodeValue(bytewindow::slice(cpBytes, w.start, w.width), w);
    } catch (const TqmError &error) {
        throw inContext(*this, error);
    }
    m_changed = false;
    m_valueKnown = true;
}

void cParam::takeValueFromCp(const QString &rawText, const QByteArray &cpBytes, const CpShape &shape)
{
    takeValueFrom(cpBytes, shape);
    keepRawText(rawText);
}

void cParam::putValueInto(QByteArray &cpBytes, const CpShape &shape) const
{
    try {
        const bytewindow::Window w = window(shape);
        bytewindow::splice(cpBytes, w.start, encodeValue(w));
    } catch (const TqmError &error) {
        throw inContext(*this, error);
    }
}

CpShape cParam::boundShape() const
{
    if (!m_configProperty)
        throw TqmError(TqmError::LnsInvalidOperation, m_name, QStringLiteral("The parameter is not bound to a CP."));
    try {
        const int elementLength = m_configProperty->elementLength();
        return {elementLength, elementLength * m_configProperty->dimension()};
    } catch (const TqmError &error) {
        throw inContext(*this, error);
    }
}

void cParam::readFromCp()
{
    const CpShape shape = boundShape();
    const QString text = cpaccess::readRawText(*m_configProperty);
    takeValueFromCp(text, rawtext::parse(text), shape);
}

void cParam::writeToCp()
{
    m_lastWriteFailure.reset();
    if (!m_valueKnown || !hasValueToWrite())
        return;
    try {
        const CpShape shape = boundShape();
        const bytewindow::Window w = window(shape);
        // The other bytes of the CP are kept: they are read unless the window covers them all.
        QByteArray bytes = w.start == 1 && w.width >= shape.totalLength ? QByteArray(shape.totalLength, '\0')
                                                                         : cpaccess::readBytes(*m_configProperty);
        putValueInto(bytes, shape);
        cpaccess::writeBytes(*m_configProperty, bytes);
    } catch (const TqmError &error) {
        // A single write is not reported; the collection's writes say what failed.
        m_lastWriteFailure = error;
    }
}

void cParam::readFromImage()
{
    const CpShape shape{m_configPropExt->ByteLength(), m_configPropExt->ByteLength()};
    takeValueFrom(m_configPropExt->bytes(), shape);
}

void cParam::writeToImage()
{
    if (!m_valueKnown || !hasValueToWrite())
        return;
    const CpShape shape{m_configPropExt->ByteLength(), m_configPropExt->ByteLength()};
    QByteArray bytes = m_configPropExt->bytes();
    putValueInto(bytes, shape);
    m_configPropExt->storeBytes(bytes);
}
