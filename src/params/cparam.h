#pragma once

// What every parameter shares: identity, the binding to a configuration property (directly to
// an LNS CP, or to a CP image), the change and transfer flags, its description (window,
// scaling, range, list items; see paramdescription) and the four transfers of its value, which
// each kind only guards. The byte-window arithmetic itself is bytewindow's; this class only
// decides where the bytes come from. Parameters are created and owned by cParams.

#include "base/tqmerror.h"
#include "lns/lns.h"
#include "params/bytewindow.h"
#include "params/paramdescription.h"

#include <QByteArray>
#include <QString>
#include <optional>

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
    // A value set (true) is a value of the program's, the file's or the user's from then on.
    void setChanged(bool on)
    {
        m_changed = on;
        if (on)
            m_valueKnown = true;
    }
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

    // What the parameter is apart from its value; shared, never changed in place.
    const ParamDescription &description() const { return *m_description; }
    const ParamDescriptionPtr &sharedDescription() const { return m_description; }
    // First byte of the window (1-based; 0 = the whole CP) and its length where the kind has one.
    qint16 BytePos() const { return m_description->bytePos; }
    quint8 ByteLength() const { return m_description->byteLength; }

    // The value moved between the parameter and its directly bound CP (Lns) or its CP image
    // (ExtCp); a parameter of the other binding is left alone, and so is one its kind's guard
    // keeps out. Reading raises errors. Writing clears Changed, discards errors (a failed
    // single write is not reported, see lastWriteFailure) and writes nothing for a value that
    // is not known. A kind that looks its CP up on demand does so when a read asks for it, and
    // a write that finds no CP yet leaves the parameter as it was.
    void ReadFromLns(bool FetchCpIfRequired = false);
    void WriteToLns();
    void ReadFromExtCp();
    void WriteToExtCp();

    // ---- the value as bytes: the transfer moves whole CPs, each kind only encodes and decodes ----
    // Whether the parameter holds a value of the device's: read from it, or set since by the
    // program, a parameter set file or the user. A value that is not known is never written, so
    // that a read that stopped part-way cannot put zeros on the device.
    bool valueKnown() const { return m_valueKnown; }
    // Why the last direct write of this parameter did not reach its CP; empty after one that
    // did. `WriteToLns` itself reports nothing: callers that must know whether the device took
    // the value (calibration) ask here.
    const std::optional<TqmError> &lastWriteFailure() const { return m_lastWriteFailure; }
    // Whether the kind has something to write now (a text box can hold a value not to be set).
    virtual bool hasValueToWrite() const { return true; }
    // The window of the value in the bytes of its CP (all elements of an LNS CP; all bytes of an
    // image).
    bytewindow::Window valueWindow(const CpShape &shape) const;
    // Takes the value from the CP's bytes as a read does (Changed false, the control refreshed)
    // and puts it into them, keeping every byte outside the window. Throw TqmError naming the
    // parameter, its CP and INI entry when the window does not fit the bytes.
    void takeValueFrom(const QByteArray &cpBytes, const CpShape &shape);
    // The same for a read from LNS, which also hands over the RAW text as the CP gave it.
    void takeValueFromCp(const QString &rawText, const QByteArray &cpBytes, const CpShape &shape);
    void putValueInto(QByteArray &cpBytes, const CpShape &shape) const;
    // The shape of the bound LNS CP, and "parameter (CP, INI entry)" for messages.
    CpShape boundShape() const;
    QString describe() const;

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

    // ---- what each kind adds ----
    enum class Transfer { ReadFromLns, WriteToLns, ReadFromImage, WriteToImage };
    // The kind's guard of a transfer, checked after the binding's. By default a parameter that
    // is not available stays out of the transfers with LNS.
    virtual bool takesPart(Transfer direction) const
    {
        return Available() || direction == Transfer::ReadFromImage || direction == Transfer::WriteToImage;
    }
    // Whether the CP is looked up when first needed rather than only when the parameter is made.
    virtual bool looksUpCpOnDemand() const { return false; }
    // Its window for the CP's shape (numbers: `width` bytes from BytePos, the whole element at 0).
    virtual bytewindow::Window window(const CpShape &shape) const = 0;
    // Stores the value read from the window's bytes and refreshes the control.
    virtual void decodeValue(const QByteArray &windowBytes, const bytewindow::Window &window) = 0;
    // The window's bytes for the value.
    virtual QByteArray encodeValue(const bytewindow::Window &window) const = 0;
    // Kinds whose value is the CP's text keep it as read; the others have it from the bytes.
    virtual void keepRawText(const QString &rawText) { Q_UNUSED(rawText) }
    bytewindow::Window numberWindow(const CpShape &shape, int width, int usedBytes, bool isSigned) const;

    // Replaces the description by a copy that `change` amends.
    template <class Change>
    void amend(Change &&change)
    {
        ParamDescription amended = *m_description;
        change(amended);
        m_description = std::make_shared<const ParamDescription>(std::move(amended));
    }
    bool signedRaw() const { return m_description->signedRaw; }
    void setSignedRaw(bool on)
    {
        if (on != signedRaw())
            amend([on](ParamDescription &d) { d.signedRaw = on; });
    }

    // Looks the CP up through the plug-in INI file (image-bound and unavailable: false).
    bool fetchCp(bool forceFetch);

    // Accepts the window when `checked` is false or when it fits the bound CP's element;
    // otherwise raises the refused-window error with `description`.
    void acceptWindow(qint16 bytePos, quint8 byteLength, int width, bool checked, const QString &description);
    int boundElementLength() const;

private:
    void readFromCp();
    void writeToCp();
    void readFromImage();
    void writeToImage();

    cParams *m_parent;
    QString m_name;
    QString m_cpIniName;
    lns::ConfigPropertyPtr m_configProperty;
    cConfigProp *m_configPropExt;
    bool m_available = false;
    bool m_changed = false;
    bool m_valueKnown = false;
    std::optional<TqmError> m_lastWriteFailure;
    bool m_dontReadFromLns = false;
    bool m_dontWriteToLns = false;
    bool m_dontWriteToFile = false;
    bool m_forceWriteToFile = false;
    lns::ObjectPtr m_superiorLnsObject;
    bool m_lateFetch = false;
    ParamDescriptionPtr m_description = paramdescription::initial();
};
