// The parameter collection's passes through LNS: reading the opened device, writing it back,
// and writing the same set to other LonMark objects or devices of the project.

#include "strings/resstrings.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"
#include "params/cconfigprop.h"
#include "params/cparam.h"
#include "params/cparams.h"
#include "transfer/transferparts.h"

#include <QSet>
#include <functional>

using namespace transfer;

// What one write pass learns about the CP writes that the device did not take.
struct cParams::WritePass
{
    QSet<QString> reported; // CP locations already logged in this pass
    int failures = 0;
};

namespace {

template <class T>
class ScopedValue
{
public:
    ScopedValue(T &target, T value) : m_target(target), m_saved(target) { m_target = value; }
    ~ScopedValue() { m_target = m_saved; }
    ScopedValue(const ScopedValue &) = delete;
    ScopedValue &operator=(const ScopedValue &) = delete;

private:
    T &m_target;
    T m_saved;
};

// Binds a parameter or image to another object's CP for one write, and back afterwards,
// whatever happens.
template <class Bound>
class Rebinding
{
public:
    explicit Rebinding(Bound *bound) : m_bound(bound), m_saved(bound->ConfigProperty()) {}
    ~Rebinding() { m_bound->setConfigProperty(m_saved); }
    Rebinding(const Rebinding &) = delete;
    Rebinding &operator=(const Rebinding &) = delete;
    const lns::ConfigPropertyPtr &saved() const { return m_saved; }

private:
    Bound *m_bound;
    lns::ConfigPropertyPtr m_saved;
};

// Finds a CP by its INI name on the target; *found tells whether it did.
using CpFinder = std::function<lns::ConfigPropertyPtr(const QString &cpIniName, bool *found)>;

QString nameOf(const lns::ConfigPropertyPtr &cp, const QString &fallback)
{
    try {
        return cp ? cp->name() : fallback;
    } catch (const TqmError &) {
        return fallback;
    }
}

// The box the user sees when a write to another object stops on an error nobody expected.
void showWriteError(const cParams &params, const QString &routine, const TqmError &error, const QString &cpName)
{
    const QString text = QStringLiteral("Fehler in ") + routine + QStringLiteral(" !!!\r\n")
                         + QStringLiteral("Nummer : ") + QString::number(error.number()) + QStringLiteral("\r\n")
                         + QStringLiteral("Beschreibung : ") + error.description() + QStringLiteral("\r\n")
                         + QStringLiteral("Zeile : ") + QString::number(error.line()) + QStringLiteral("\r\n")
                         + QStringLiteral("ConfigProperty : ") + cpName;
    if (UserDialogs *dialogs = params.context().dialogs)
        dialogs->message(text, params.context().messageTitle, MsgIcon::Critical);
    else
        logRedLine(params.context().logger, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / ")));
}

void reportMissingCp(cParams &params, const lns::ObjectPtr &target, const QString &cpName, const QString &cpIniName)
{
    emit params.CpNotFoundWhileWriting(target, cpName);
    logRedLine(params.context().logger, objectLocation(target) + QStringLiteral(" / ") + cpName
                                            + QStringLiteral(": INI - File Error : ") + cpIniName);
}

lns::ConfigPropertyPtr findIgnoringErrors(const CpFinder &find, const QString &cpIniName)
{
    bool found = false;
    try {
        lns::ConfigPropertyPtr cp = find(cpIniName, &found);
        return found ? cp : nullptr;
    } catch (const TqmError &) {
        return {};
    }
}

// The directly bound parameters of `params` into the target's CPs of the same INI names.
// `makeFinder` runs inside the error bracket: finding the target's template may fail too.
bool writeParamsToOther(cParams &collection, const QList<cParam *> &params, const lns::ObjectPtr &target,
                        const QString &routine, const std::function<CpFinder()> &makeFinder)
{
    QString cpConcerned;
    try {
        const CpFinder find = makeFinder();
        for (cParam *p : params) {
            if (p->CpIsExternal() || !p->Available() || p->DontWriteToLns())
                continue;
            Rebinding<cParam> rebinding(p);
            cpConcerned = nameOf(rebinding.saved(), p->CpIniName());
            lns::ConfigPropertyPtr cp = findIgnoringErrors(find, p->CpIniName());
            if (!cp) {
                reportMissingCp(collection, target, cpConcerned, p->CpIniName());
                continue;
            }
            p->setConfigProperty(cp);
            p->WriteToLns();
        }
        return true;
    } catch (const TqmError &error) {
        showWriteError(collection, routine, error, cpConcerned);
        return false;
    }
}

bool writeImagesToOther(cParams &collection, const lns::ObjectPtr &target, const QString &routine,
                        const std::function<CpFinder()> &makeFinder)
{
    QString cpConcerned;
    try {
        const CpFinder find = makeFinder();
        // The images carry the image-bound parameters' current values only after this.
        collection.WriteAllParamsToExtCps();
        for (cConfigProp *image : images(collection)) {
            if (!image->Available() || image->DontWriteToLns())
                continue;
            Rebinding<cConfigProp> rebinding(image);
            cpConcerned = nameOf(rebinding.saved(), image->CpIniName());
            lns::ConfigPropertyPtr cp = findIgnoringErrors(find, image->CpIniName());
            if (!cp) {
                reportMissingCp(collection, target, cpConcerned, image->CpIniName());
                continue;
            }
            image->setConfigProperty(cp);
            image->WriteToLns();
        }
        return true;
    } catch (const TqmError &error) {
        showWriteError(collection, routine, error, cpConcerned);
        return false;
    }
}

std::function<CpFinder()> lmoFinder(const cParams &params, const lns::LonMarkObjectPtr &object, const IniFile &ini,
                                     const QString &section)
{
    return [&params, object, &ini, section]() -> CpFinder {
        const QString deviceTemplate = templateOf(object->appDevice());
        return [&params, object, &ini, section, deviceTemplate](const QString &name, bool *found) {
            return params.FetchLmoCp(name, section, ini, deviceTemplate, object, found);
        };
    };
}

std::function<CpFinder()> devFinder(const cParams &params, const lns::AppDevicePtr &device, const IniFile &ini,
                                    const QString &section)
{
    return [&params, device, &ini, section]() -> CpFinder {
        const QString deviceTemplate = templateOf(device);
        return [&params, device, &ini, section, deviceTemplate](const QString &name, bool *found) {
            return params.FetchDevCp(name, section, ini, deviceTemplate, device, found);
        };
    };
}

} // namespace

void cParams::reportCpWriteFailure(const lns::ConfigPropertyPtr &cp, const TqmError &error)
{
    const QString location = cpLocation(cp);
    if (m_writePass) {
        ++m_writePass->failures;
        if (m_writePass->reported.contains(location))
            return;
        m_writePass->reported.insert(location);
    }
    logRedLine(m_context.logger, location + QStringLiteral(": ") + error.description());
}

void cParams::ReadFromLns()
{
    logLabel(m_context.logger, QStringLiteral("[cParams] Public Sub ReadFromLns()"));
    const QList<QList<cParam *>> kinds = kindsInLnsOrder(*this);
    for (const QList<cParam *> &kind : kinds)
        for (cParam *p : kind)
            if (p->CpFetched() && p->Available() && !p->DontReadFromLns())
                p->ReadFromLns(false);
    for (cConfigProp *image : images(*this))
        image->ReadFromLns(false);
    for (const QList<cParam *> &kind : kinds)
        for (cParam *p : kind)
            if (p->Available() && p->CpIsExternal() && p->ConfigPropExt()->CpFetched())
                p->ReadFromExtCp();
}

void cParams::WriteAllParamsToExtCps()
{
    for (const QList<cParam *> &kind : kindsInLnsOrder(*this))
        for (cParam *p : kind)
            if (p->Available() && p->CpIsExternal() && p->ConfigPropExt()->CpFetched())
                p->WriteToExtCp();
}

void cParams::WriteToLns(bool WriteCpNamesToLogger)
{
    Logger *logger = m_context.logger;
    logLabel(logger, QStringLiteral("[cParams] Public Sub WriteToLns()"));
    if (WriteCpNamesToLogger && logger) {
        logger->addLogLine(QStringLiteral("  ") + GetResString(1553), logcolour::Black);
        for (const QString &name : GetAllCpNamesShouldBeWrittenToLns())
            logger->addLogLine(QStringLiteral("    - ") + name, logcolour::Green);
        logger->addLogLine(QString(), logcolour::Black);
    }

    WritePass pass;
    ScopedValue<WritePass *> passScope(m_writePass, &pass);
    Transaction transaction(m_system);
    // Changed is not consulted: every selected parameter is written, each keeping the bytes of
    // the others that share its CP.
    for (cParam *p : GetAllParamsShouldBeWrittenToLns())
        p->WriteToLns();
    WriteAllParamsToExtCps();
    for (cConfigProp *image : images(*this))
        if (image->Available() && !image->DontWriteToLns())
            image->WriteToLns();
    // The own device keeps what it took even when some CPs failed: those are in red lines.
    transaction.commit(logger);
}

bool cParams::WriteParamsToLnsLmo(const QList<cParam *> &Params, const lns::LonMarkObjectPtr &LonmarkObject,
                                  const IniFile &IniFile, const QString &IniFileCpSection)
{
    return writeParamsToOther(*this, Params, LonmarkObject, QStringLiteral("WriteParamsToLnsLmo"),
                              lmoFinder(*this, LonmarkObject, IniFile, IniFileCpSection));
}

bool cParams::WriteParamsToLnsDev(const QList<cParam *> &Params, const lns::AppDevicePtr &AppDevice,
                                  const IniFile &IniFile, const QString &IniFileCpSection)
{
    return writeParamsToOther(*this, Params, AppDevice, QStringLiteral("WriteParamsToLnsDev"),
                              devFinder(*this, AppDevice, IniFile, IniFileCpSection));
}

bool cParams::WriteExtCpsToLnsLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                                  const QString &IniFileCpSection)
{
    return writeImagesToOther(*this, LonmarkObject, QStringLiteral("WriteExtCpsToLnsLmo"),
                              lmoFinder(*this, LonmarkObject, IniFile, IniFileCpSection));
}

bool cParams::WriteExtCpsToLnsDev(const lns::AppDevicePtr &AppDevice, const IniFile &IniFile,
                                  const QString &IniFileCpSection)
{
    return writeImagesToOther(*this, AppDevice, QStringLiteral("WriteExtCpsToLnsDev"),
                              devFinder(*this, AppDevice, IniFile, IniFileCpSection));
}

namespace {

// The write of the whole set to another object: every kind, then the images, in one
// transaction that is kept only when everything reached the object.
template <class WriteKind, class WriteImages>
bool writeSetInTransaction(cParams &params, const lns::SystemPtr &system, const int &failures,
                           WriteKind writeKind, WriteImages writeImages)
{
    Transaction transaction(system);
    bool succeeded = true;
    for (const QList<cParam *> &kind : kindsInLnsOrder(params)) {
        succeeded = writeKind(kind);
        if (!succeeded)
            break;
    }
    if (succeeded)
        succeeded = writeImages();
    // A CP the device did not take makes the object's set incomplete: nothing of it stays, so
    // that nothing counts as written that was not.
    if (succeeded && failures == 0) {
        transaction.commit(params.context().logger);
        return true;
    }
    transaction.cancel();
    return false;
}

} // namespace

bool cParams::WriteToLnsLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                            const QString &IniFileCpSection)
{
    logLabel(m_context.logger, QStringLiteral("[cParams] Public Function WriteToLnsLmo()"));
    WritePass pass;
    ScopedValue<WritePass *> passScope(m_writePass, &pass);
    return writeSetInTransaction(
        *this, m_system, pass.failures,
        [&](const QList<cParam *> &kind) { return WriteParamsToLnsLmo(kind, LonmarkObject, IniFile, IniFileCpSection); },
        [&] { return WriteExtCpsToLnsLmo(LonmarkObject, IniFile, IniFileCpSection); });
}

bool cParams::WriteToLnsDev(const lns::AppDevicePtr &AppDevice, const IniFile &IniFile,
                            const QString &IniFileCpSection)
{
    logLabel(m_context.logger, QStringLiteral("[cParams] Public Function WriteToLnsDev()"));
    WritePass pass;
    ScopedValue<WritePass *> passScope(m_writePass, &pass);
    return writeSetInTransaction(
        *this, m_system, pass.failures,
        [&](const QList<cParam *> &kind) { return WriteParamsToLnsDev(kind, AppDevice, IniFile, IniFileCpSection); },
        [&] { return WriteExtCpsToLnsDev(AppDevice, IniFile, IniFileCpSection); });
}
