#include "params/rawparams.h"

#include "params/cparamenums.h"
#include "params/numbers.h"

namespace {
const QString InvalidParameters = QStringLiteral("invalid parameters");
}

// ---- one byte ----

qint16 cParam1Byte::ClassId() const
{
    return cParamEnums::PA_CLASSID_1BYTE_PARAMETER;
}

void cParam1Byte::setValue(qint32 value)
{
    m_value = value;
    setChanged(true);
}

void cParam1Byte::ConsiderPartOfCpOnly(qint16 BytePos)
{
    acceptWindow(BytePos, 1, 1, !CpIsExternal() && !LateFetch(), InvalidParameters);
}

bytewindow::Window cParam1Byte::window(const CpShape &shape) const
{
    return numberWindow(shape, 1, 0, signedRaw());
}

void cParam1Byte::decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window)
{
    m_value = numbers::toInt32(double(bytewindow::decode(windowBytes, window)));
}

QByteArray cParam1Byte::encodeValue(const bytewindow::Window &window) const
{
    return bytewindow::encode(m_value, window);
}

// ---- two bytes ----

qint16 cParam2Byte::ClassId() const
{
    return cParamEnums::PA_CLASSID_2BYTE_PARAMETER;
}

void cParam2Byte::setValue1(qint32 value)
{
    m_value1 = value;
    setChanged(true);
}

void cParam2Byte::setValue2(qint32 value)
{
    m_value2 = value;
    setChanged(true);
}

qint32 cParam2Byte::Value() const
{
    return numbers::toInt32(double(qint64(m_value1) * 256 + m_value2));
}

void cParam2Byte::setValue(qint32 value)
{
    setValue1(value / 256);
    setValue2(value % 256);
}

void cParam2Byte::ConsiderPartOfCpOnly(qint16 BytePos)
{
    acceptWindow(BytePos, 2, 2, !CpIsExternal() && !LateFetch(), InvalidParameters);
}

bytewindow::Window cParam2Byte::window(const CpShape &shape) const
{
    return numberWindow(shape, 2, 0, signedRaw());
}

void cParam2Byte::decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window)
{
    setValue(numbers::toInt32(double(bytewindow::decode(windowBytes, window))));
}

QByteArray cParam2Byte::encodeValue(const bytewindow::Window &window) const
{
    return bytewindow::encode(qint64(m_value1) * 256 + m_value2, window);
}

// ---- text ----

qint16 cParamASCII::ClassId() const
{
    return cParamEnums::PA_CLASSID_ASCII_PARAMETER;
}

void cParamASCII::setValue(const QString &value)
{
    m_value = value;
    setChanged(true);
}

void cParamASCII::ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength)
{
    const bool fits = BytePos >= 1 && BytePos + ByteLength - 1 <= boundElementLength();
    if (!CpIsExternal() && !LateFetch() && !fits)
        throw TqmError(TqmError::InvalidWindow, QStringLiteral("ConsiderPartOfCpOnly"), InvalidParameters);
    acceptWindow(BytePos, ByteLength, ByteLength, false, InvalidParameters);
}

// A text at position 0 spans every byte of the CP, all elements included.
bytewindow::Window cParamASCII::window(const CpShape &shape) const
{
    if (BytePos() == 0)
        return {1, shape.totalLength, 0, false};
    return {BytePos(), ByteLength(), 0, false};
}

void cParamASCII::decodeValue(const QByteArray &windowBytes, const bytewindow::Window &)
{
    m_value = bytewindow::decodeText(windowBytes);
}

QByteArray cParamASCII::encodeValue(const bytewindow::Window &window) const
{
    return bytewindow::encodeText(m_value, window.width);
}
