#pragma once

// Parameters without a window control: a one-byte number, a two-byte number kept as its high
// and low part, and a text.

#include "params/cparam.h"

// What the three kinds share: no control, so availability is asked only when the CP is looked
// up, which a read may ask for at any time (late-fetched parameters).
class cRawParam : public cParam
{
public:
    bool FetchCp(bool ForceFetch = false) { return fetchCp(ForceFetch); }

protected:
    using cParam::cParam;
    bool takesPart(Transfer) const override { return true; }
    bool looksUpCpOnDemand() const override { return true; }
};

class cParam1Byte : public cRawParam
{
public:
    qint16 ClassId() const override;

    qint32 Value() const { return m_value; }
    void setValue(qint32 value);
    bool SignedValue() const { return signedRaw(); }
    void setSignedValue(bool on) { setSignedRaw(on); }

    // Binds the parameter to byte `BytePos` of its CP. Throws TqmError (InvalidWindow,
    // "ConsiderPartOfCpOnly", "invalid parameters") when the byte lies outside the CP.
    void ConsiderPartOfCpOnly(qint16 BytePos);

private:
    friend class cParams;
    using cRawParam::cRawParam;
    bytewindow::Window window(const CpShape &shape) const override;
    void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) override;
    QByteArray encodeValue(const bytewindow::Window &window) const override;
    qint32 m_value = 0;
};

class cParam2Byte : public cRawParam
{
public:
    qint16 ClassId() const override;

    qint32 Value1() const { return m_value1; }
    void setValue1(qint32 value);
    qint32 Value2() const { return m_value2; }
    void setValue2(qint32 value);
    // Value1 * 256 + Value2; TqmError (Overflow) beyond 32 bits. Setting splits the number:
    // Value1 the quotient by 256 truncated toward zero, Value2 the remainder with the sign of
    // the number (-300 gives -1 and -44).
    qint32 Value() const;
    void setValue(qint32 value);
    bool SignedValue() const { return signedRaw(); }
    void setSignedValue(bool on) { setSignedRaw(on); }

    // Bytes BytePos and BytePos + 1 of the CP; refused like cParam1Byte's.
    void ConsiderPartOfCpOnly(qint16 BytePos);

private:
    friend class cParams;
    using cRawParam::cRawParam;
    bytewindow::Window window(const CpShape &shape) const override;
    void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) override;
    QByteArray encodeValue(const bytewindow::Window &window) const override;
    qint32 m_value1 = 0;
    qint32 m_value2 = 0;
};

class cParamASCII : public cRawParam
{
public:
    qint16 ClassId() const override;

    const QString &Value() const { return m_value; }
    void setValue(const QString &value);

    // `ByteLength` bytes from `BytePos` of the CP (0 = the whole CP); refused like
    // cParam1Byte's. A zero byte ends the text read; a written text is cut or filled with
    // zero bytes to the window.
    void ConsiderPartOfCpOnly(qint16 BytePos, quint8 ByteLength);

private:
    friend class cParams;
    using cRawParam::cRawParam;
    bytewindow::Window window(const CpShape &shape) const override;
    void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) override;
    QByteArray encodeValue(const bytewindow::Window &window) const override;
    QString m_value;
};
