#pragma once

// What every parameter shares: identity, the binding to a configuration property (directly to
// an LNS CP, or to a CP image), the change and transfer flags, and the byte window of the CP
// that holds the value. The byte-window arithmetic itself is bytewindow's; this class only
// decides where the bytes come from. Parameters are created and owned by cParams.

#include "lns/lns.h"

#include <QString>

class cParams;
class cConfigProp;

class cParam
{
public:
    virtual ~cParam();
    cParam(const cParam &) = delete;
    cParam &operator=(const cParam &) = delete;

    virtual qint16 ClassId() const = 0;
    cParams *Parent() const { return m_parent; }
    const QString &Name() const { return m_name; }
    const QString &CpIniName() const { return m_cpIniName; }

    lns::ConfigPropertyPtr ConfigProperty() const { return m_configProperty; }
    void setConfigProperty(lns::ConfigPropertyPtr configProperty) { m_configProperty = std::move(configProperty); }
    cConfigProp *ConfigPropExt() const { return m_configPropExt; }
    bool CpIsExternal() const { return m_configPropExt != nullptr; }
    bool CpFetched() const { return m_configProperty != nullptr; }
    bool Available() const { return m_available; }

    bool Changed() const { return m_changed; }
    void setChanged(bool on) { m_changed = on; }
    bool DontReadFromLns() const { return m_dontReadFromLns; }
    void setDontReadFromLns(bool on) { m_dontReadFromLns = on; }
    bool DontWriteToLns() const { return m_dontWriteToLns; }
    void setDontWriteToLns(bool on) { m_dontWriteToLns = on; }
    bool DontWriteToFile() const { return m_dontWriteToFile; }
    void setDontWriteToFile(bool on) { m_dontWriteToFile = on; }
    bool ForceWriteToFile() const { return m_forceWriteToFile; }
    void setForceWriteToFile(bool on) { m_forceWriteToFile = on; }

    // The object whose CP a late-fetched parameter belongs to, and whether the CP is looked up
    // only when first needed (any window is accepted until then).
    lns::ObjectPtr SuperiorLnsObject() const { return m_superiorLnsObject; }
    void setSuperiorLnsObject(lns::ObjectPtr object) { m_superiorLnsObject = std::move(object); }
    bool LateFetch() const { return m_lateFetch; }
    void setLateFetch(bool on) { m_lateFetch = on; }

    // First byte of the window (1-based; 0 = the whole CP) and its length where the kind has one.
    qint16 BytePos() const { return m_bytePos; }
    quint8 ByteLength() const { return m_byteLength; }

    virtual void ReadFromLns(bool FetchCpIfRequired = false) = 0;
    virtual void WriteToLns() = 0;
    virtual void ReadFromExtCp() = 0;
    virtual void WriteToExtCp() = 0;

protected:
    // What the collection hands to a new parameter.
    struct Binding
    {
        cParams *parent = nullptr;
        QString name;
        lns::ConfigPropertyPtr configProperty; // direct binding, or none
        QString cpIniName;
        cConfigProp *image = nullptr; // image binding instead
    };
    explicit cParam(const Binding &binding);
    friend class cParams;

    // Called once by the collection after creation; kinds with a control lock it first.
    virtual void initAvailable(bool available) { m_available = available; }
    void storeAvailable(bool available) { m_available = available; }

    // Looks the CP up through the plug-in INI file (image-bound and unavailable: false).
    bool fetchCp(bool forceFetch);
    // The raw kinds' read condition: directly bound and fetched, looking the CP up first when
    // asked to.
    bool readyToReadFromLns(bool fetchCpIfRequired);

    // Accepts the window when `checked` is false or when it fits the bound CP's element;
    // otherwise raises the refused-window error with `description`.
    void acceptWindow(qint16 bytePos, quint8 byteLength, int width, bool checked, const QString &description);
    int boundElementLength() const;

    // The number in the window: `width` bytes from BytePos, or the whole CP (the element for
    // an LNS CP, all bytes for an image) when BytePos is 0.
    qint64 readNumberFromLns(int width, int usedBytes, bool isSigned) const;
    qint64 readNumberFromImage(int width, int usedBytes, bool isSigned) const;
    // Errors of an LNS write are discarded: a failed write is not reported.
    void writeNumberToLns(int width, int usedBytes, bool isSigned, qint64 value);
    void writeNumberToImage(int width, int usedBytes, bool isSigned, qint64 value);

    QString readTextFromLns(int width) const;
    QString readTextFromImage(int width) const;
    void writeTextToLns(int width, const QString &text);
    void writeTextToImage(int width, const QString &text);

    bool m_signedValue = false;

private:
    cParams *m_parent;
    QString m_name;
    QString m_cpIniName;
    lns::ConfigPropertyPtr m_configProperty;
    cConfigProp *m_configPropExt;
    bool m_available = false;
    bool m_changed = false;
    bool m_dontReadFromLns = false;
    bool m_dontWriteToLns = false;
    bool m_dontWriteToFile = false;
    bool m_forceWriteToFile = false;
    lns::ObjectPtr m_superiorLnsObject;
    bool m_lateFetch = false;
    qint16 m_bytePos = 0;
    quint8 m_byteLength = 0;
};
