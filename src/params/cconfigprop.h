#pragma once

// The image of one configuration property: all its bytes, read from and written to the
// network services as a whole (element by element for an array CP). Parameters bound to an
// image move their values in and out of its bytes; only the image talks to the CP. Created by
// cParams::AddConfigProp only.

#include "lns/lns.h"

#include <QByteArray>
#include <QString>

class cParams;

class cConfigProp
{
public:
    qint16 ClassId() const;
    cParams *Parent() const { return m_parent; }
    const QString &Name() const { return m_name; }
    const QString &CpIniName() const { return m_cpIniName; }
    bool Available() const { return m_available; }

    lns::ConfigPropertyPtr ConfigProperty() const { return m_configProperty; }
    void setConfigProperty(lns::ConfigPropertyPtr configProperty) { m_configProperty = std::move(configProperty); }
    bool CpFetched() const { return m_configProperty != nullptr; }

    bool DontReadFromLns() const { return m_dontReadFromLns; }
    void setDontReadFromLns(bool on) { m_dontReadFromLns = on; }
    bool DontWriteToLns() const { return m_dontWriteToLns; }
    void setDontWriteToLns(bool on) { m_dontWriteToLns = on; }

    // The object (device or LonMark object) whose CP the image stands for; FetchCp looks there.
    lns::ObjectPtr SuperiorLnsObject() const { return m_superiorLnsObject; }
    void setSuperiorLnsObject(lns::ObjectPtr object) { m_superiorLnsObject = std::move(object); }
    bool LateFetch() const { return m_lateFetch; }
    void setLateFetch(bool on) { m_lateFetch = on; }

    // -1 while no CP is bound. Once known a length is kept, even when the CP is replaced.
    qint16 Dimension();
    qint16 ElementByteLength();
    qint16 ByteLength();

    // The byte at 1-based `Index`. The first read in the image's life loads the bytes from the
    // CP. Throws TqmError (SubscriptOutOfRange) outside 1..ByteLength or before bytes exist.
    quint8 ByteValue(qint32 Index);
    void setByteValue(qint32 Index, quint8 value);
    // All bytes, under the same first-read rule as ByteValue; storing keeps the array's size.
    QByteArray bytes();
    void storeBytes(const QByteArray &bytes);
    // Whether the bytes hold the CP's value: read completely from it at least once. Bytes that
    // were never read are never written.
    bool BytesKnown() const { return m_bytesKnown; }

    // Loads every element; an element that cannot be read leaves its bytes and the first such
    // error is raised after the others were read and the format was restored.
    void ReadFromLns(bool FetchCpIfRequired = false);
    // Stores every element of bytes that are known; failures are not reported.
    void WriteToLns();
    // Stores every element, each tried; the first failure is raised after the others.
    void writeElements();
    // Binds the CP through the plug-in INI file; true when bound.
    bool FetchCp(bool ForceFetch = false);

private:
    friend class cParams;
    cConfigProp(cParams *parent, QString name, lns::ConfigPropertyPtr configProperty, QString cpIniName);

    void makeRoomForBytes();
    void loadOnFirstRead();
    void checkIndex(qint32 index) const;
    void storeRawText(const QString &text, qint32 start);

    cParams *m_parent;
    QString m_name;
    QString m_cpIniName;
    bool m_available;
    lns::ConfigPropertyPtr m_configProperty;
    bool m_dontReadFromLns = false;
    bool m_dontWriteToLns = false;
    lns::ObjectPtr m_superiorLnsObject;
    bool m_lateFetch = false;
    qint16 m_dimension = 0;
    qint16 m_elementByteLength = 0;
    qint16 m_byteLength = 0;
    QByteArray m_bytes;
    bool m_bytesAllocated = false;
    bool m_bytesInitialised = false;
    bool m_bytesKnown = false;
};
