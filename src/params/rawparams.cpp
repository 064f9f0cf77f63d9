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

void cParam1Byte::ReadFromLns(bool FetchCpIfRequired)
{
    if (!readyToReadFromLns(FetchCpIfRequired))
        return;
    m_value = numbers::toInt32(double(readNumberFromLns(1, 0, m_signedValue)));
    setChanged(false);
}

void cParam1Byte::WriteToLns()
{
    if (CpIsExternal() || !CpFetched())
        return;
    writeNumberToLns(1, 0, m_signedValue, m_value);
    setChanged(false);
}

void cParam1Byte::ReadFromExtCp()
{
    if (!CpIsExternal())
        return;
    m_value = numbers::toInt32(double(readNumberFromImage(1, 0, m_signedValue)));
    setChanged(false);
}

void cParam1Byte::WriteToExtCp()
{
    if (!CpIsExternal())
        return;
    writeNumberToImage(1, 0, m_signedValue, m_value);
    setChanged(false);
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

void cParam2Byte::ReadFromLns(bool FetchCpIfRequired)
{
    if (!readyToReadFromLns(FetchCpIfRequired))
        return;
    setValue(numbers::toInt32(double(readNumberFromLns(2, 0, m_signedValue))));
    setChanged(false);
}

void cParam2Byte::WriteToLns()
{
    if (CpIsExternal() || !CpFetched())
        return;
    writeNumberToLns(2, 0, m_signedValue, qint64(m_value1) * 256 + m_value2);
    setChanged(false);
}

void cParam2Byte::ReadFromExtCp()
{
    if (!CpIsExternal())
        return;
    setValue(numbers::toInt32(double(readNumberFromImage(2, 0, m_signedValue))));
    setChanged(false);
}

void cParam2Byte::WriteToExtCp()
{
    if (!CpIsExternal())
        return;
    writeNumberToImage(2, 0, m_signedValue, qint64(m_value1) * 256 + m_value2);
    setChanged(false);
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

void cParamASCII::ReadFromLns(bool FetchCpIfRequired)
{
    if (!readyToReadFromLns(FetchCpIfRequired))
        return;
    m_value = readTextFromLns(ByteLength());
    setChanged(false);
}

void cParamASCII::WriteToLns()
{
    if (CpIsExternal() || !CpFetched())
        return;
    writeTextToLns(ByteLength(), m_value);
    setChanged(false);
}

void cParamASCII::ReadFromExtCp()
{
    if (!CpIsExternal())
        return;
    m_value = readTextFromImage(ByteLength());
    setChanged(false);
}

void cParamASCII::WriteToExtCp()
{
    if (!CpIsExternal())
        return;
    writeTextToImage(ByteLength(), m_value);
    setChanged(false);
}
