#include "transfer/lnstransfer.h"

#include "lns/inilocator.h"
#include "lns/logger.h"
#include "lns/userdialogs.h"
#include "params/cconfigprop.h"
#include "params/cparam.h"
#include "params/cparams.h"
#include "params/cpaccess.h"
#include "lns/rawtext.h"
#include "strings/resstrings.h"
#include "transfer/transferparts.h"

#include <QHash>
#include <algorithm>
#include <optional>
#include <vector>

namespace transfer {

namespace {

// Messages of the string table.
constexpr int MsgNoTransaction = 1560;
constexpr int MsgValueNeverRead = 1561;

// Parameters that share a CP share its INI entry; the entry names the CP on every device. A
// parameter bound without an entry is known by its CP handle alone.
QString groupKey(const cParam *p)
{
    if (!p->CpIniName().isEmpty())
        return QStringLiteral("ini:") + p->CpIniName().toCaseFolded();
    return QStringLiteral("cp:") + QString::number(quintptr(p->ConfigProperty().get()));
}

bool selectedToWrite(const cParam *p)
{
    return p->Available() && !p->DontWriteToLns() && p->hasValueToWrite();
}

bool imageSelectedToWrite(const cConfigProp *image)
{
    return image->Available() && !image->DontWriteToLns();
}

// Binds an image to another object's CP for one write, and back afterwards, whatever happens.
class Rebinding
{
public:
    Rebinding(cConfigProp *image, lns::ConfigPropertyPtr cp) : m_image(image), m_saved(image->ConfigProperty())
    {
        m_image->setConfigProperty(std::move(cp));
    }
    ~Rebinding() { m_image->setConfigProperty(m_saved); }
    Rebinding(const Rebinding &) = delete;
    Rebinding &operator=(const Rebinding &) = delete;

private:
    cConfigProp *m_image;
    lns::ConfigPropertyPtr m_saved;
};

TqmError atCp(const lns::ConfigPropertyPtr &cp, const QString &iniName, const TqmError &error)
{
    QString where = cpLocation(cp);
    if (!iniName.isEmpty())
        where += QStringLiteral(" (INI entry ") + iniName + QLatin1Char(')');
    return TqmError(error.number(), error.source(), where + QStringLiteral(": ") + error.description(), error.line());
}

} // namespace

LnsTransfer::LnsTransfer(cParams &params) : m_params(params) {}

// ---- reading ----

QList<LnsTransfer::CpGroup> LnsTransfer::groupsOf(const QList<cParam *> &params) const
{
    QList<CpGroup> groups;
    QHash<QString, qsizetype> byKey;
    for (cParam *p : params) {
        const QString key = groupKey(p);
        const auto found = byKey.constFind(key);
        if (found != byKey.constEnd()) {
            groups[*found].members.append(p);
            continue;
        }
        byKey.insert(key, groups.size());
        groups.append({p->ConfigProperty(), {p}});
    }
    return groups;
}

void LnsTransfer::ReadFromLns()
{
    logLabel(m_params.context().logger, QStringLiteral("[cParams] Public Sub ReadFromLns()"));
    QList<cParam *> toRead;
    for (cParam *p : m_params.parametersInKindOrder())
        if (!p->CpIsExternal() && p->CpFetched() && p->Available() && !p->DontReadFromLns())
            toRead.append(p);

    std::optional<TqmError> firstError;
    for (const CpGroup &group : groupsOf(toRead)) {
        try {
            QString text;
            QByteArray bytes;
            try {
                text = cpaccess::readRawText(*group.cp);
                bytes = rawtext::parse(text);
            } catch (const TqmError &error) {
                throw atCp(group.cp, group.members.first()->CpIniName(), error);
            }
            const CpShape shape = group.members.first()->boundShape();
            for (cParam *p : group.members) {
                try {
                    p->takeValueFromCp(text, bytes, shape);
                } catch (const TqmError &error) {
                    // One window that does not fit keeps no other parameter of the CP from its value.
                    if (!firstError)
                        firstError = error;
                }
            }
        } catch (const TqmError &error) {
            if (!firstError)
                firstError = error;
            // A device that stops answering would keep every further read waiting.
            if (error.number() == TqmError::LnsDeviceNotResponding)
                throw *firstError;
        }
    }

    for (cConfigProp *image : m_params.images()) {
        try {
            image->ReadFromLns(false);
        } catch (const TqmError &error) {
            if (!firstError)
                firstError = atCp(image->ConfigProperty(), image->CpIniName(), error);
        }
    }
    for (cParam *p : m_params.parametersInKindOrder()) {
        if (!p->Available() || !p->CpIsExternal() || !p->ConfigPropExt()->CpFetched())
            continue;
        try {
            p->ReadFromExtCp();
        } catch (const TqmError &error) {
            if (!firstError)
                firstError = error;
        }
    }
    if (firstError)
        throw *firstError;
}

// ---- writing ----

void LnsTransfer::writeGroup(const lns::ConfigPropertyPtr &cp, const QList<cParam *> &members) const
{
    QList<cParam *> known;
    for (cParam *p : members)
        if (p->valueKnown())
            known.append(p);
    if (known.isEmpty())
        return;
    const QString iniName = known.first()->CpIniName();
    const auto onDevice = [&](const std::function<void()> &access) {
        try {
            access();
        } catch (const TqmError &error) {
            throw atCp(cp, iniName, error);
        }
    };

    CpShape shape;
    onDevice([&] {
        shape.elementLength = cp->elementLength();
        shape.totalLength = shape.elementLength * cp->dimension();
    });
    std::vector<bool> covered(size_t(qMax(shape.totalLength, 0)), false);
    for (const cParam *p : known) {
        const bytewindow::Window w = p->valueWindow(shape);
        for (int position = qMax(w.start, 1); position < w.start + w.width && position <= shape.totalLength; ++position)
            covered[size_t(position - 1)] = true;
    }
    QByteArray bytes(shape.totalLength, '\0');
    if (!std::all_of(covered.cbegin(), covered.cend(), [](bool c) { return c; }))
        onDevice([&] { bytes = cpaccess::readBytes(*cp); });
    for (const cParam *p : known) {
        try {
            p->putValueInto(bytes, shape);
        } catch (const TqmError &error) {
            throw TqmError(error.number(), error.source(),
                           objectLocation(cp) + QStringLiteral(": ") + error.description(), error.line());
        }
    }
    onDevice([&] { cpaccess::writeBytes(*cp, bytes); });
}

void LnsTransfer::WriteAllParamsToExtCps()
{
    for (cParam *p : m_params.parametersInKindOrder())
        if (p->Available() && p->CpIsExternal() && p->ConfigPropExt()->CpFetched())
            p->WriteToExtCp();
}

void LnsTransfer::logCpNames() const
{
    Logger *logger = m_params.context().logger;
    if (!logger)
        return;
    logger->addLogLine(QStringLiteral("  ") + GetResString(1553), logcolour::Black);
    for (const QString &name : m_params.GetAllCpNamesShouldBeWrittenToLns())
        logger->addLogLine(QStringLiteral("    - ") + name, logcolour::Green);
    logger->addLogLine(QString(), logcolour::Black);
}

bool LnsTransfer::WriteToLns(bool WriteCpNamesToLogger, const InSameCommit &inSameCommit)
{
    Logger *logger = m_params.context().logger;
    logLabel(logger, QStringLiteral("[cParams] Public Sub WriteToLns()"));
    if (WriteCpNamesToLogger)
        logCpNames();

    QList<cParam *> toWrite;
    for (cParam *p : m_params.GetAllParamsShouldBeWrittenToLns()) {
        if (p->CpIsExternal() || !p->CpFetched() || !p->hasValueToWrite())
            continue;
        if (!p->valueKnown()) {
            logRedLine(logger, GetResString(MsgValueNeverRead, 1, {p->describe()}));
            continue;
        }
        toWrite.append(p);
    }
    const QList<CpGroup> groups = groupsOf(toWrite);
    const QString device = groups.isEmpty() ? QString() : objectLocation(groups.first().cp);

    Transaction transaction(m_params.System());
    if (!transaction.started()) {
        logRedLine(logger, GetResString(MsgNoTransaction, 1, {device, transaction.startFailure()}));
        return false;
    }
    try {
        for (const CpGroup &group : groups)
            writeGroup(group.cp, group.members);
        WriteAllParamsToExtCps();
        for (cConfigProp *image : m_params.images()) {
            if (!imageSelectedToWrite(image) || !image->CpFetched() || !image->BytesKnown())
                continue;
            try {
                image->writeElements();
            } catch (const TqmError &error) {
                throw atCp(image->ConfigProperty(), image->CpIniName(), error);
            }
        }
        if (inSameCommit)
            inSameCommit();
        transaction.commit();
    } catch (const TqmError &error) {
        // Nothing of the device's write stays: the device holds its earlier set completely.
        transaction.cancel();
        logRedLine(logger, error.description());
        return false;
    }
    for (cParam *p : toWrite)
        p->setChanged(false);
    return true;
}

// ---- writing to other objects ----

QStringList LnsTransfer::ParametersWithoutValue() const
{
    QStringList missing;
    for (cParam *p : m_params.GetAllParamsShouldBeWrittenToLns())
        if (!p->CpIsExternal() && p->hasValueToWrite() && !p->valueKnown())
            missing.append(p->Name());
    for (cConfigProp *image : m_params.images())
        if (imageSelectedToWrite(image) && !image->BytesKnown())
            missing.append(image->Name());
    return missing;
}

void LnsTransfer::showWriteError(const QString &routine, const TqmError &error, const QString &cpName) const
{
    const QString text = QStringLiteral("Fehler in ") + routine + QStringLiteral(" !!!\r\n")
                         + QStringLiteral("Nummer : ") + QString::number(error.number()) + QStringLiteral("\r\n")
                         + QStringLiteral("Beschreibung : ") + error.description() + QStringLiteral("\r\n")
                         + QStringLiteral("Zeile : ") + QString::number(error.line()) + QStringLiteral("\r\n")
                         + QStringLiteral("ConfigProperty : ") + cpName;
    const cParams::Context &context = m_params.context();
    if (context.dialogs)
        context.dialogs->message(text, context.messageTitle, MsgIcon::Critical);
    else
        logRedLine(context.logger, QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" / ")));
}

bool LnsTransfer::writeParamsToOther(const QList<cParam *> &params, const lns::ObjectPtr &target,
                                     const QString &routine, const std::function<CpFinder()> &makeFinder)
{
    QString cpConcerned;
    try {
        const CpFinder find = makeFinder();
        QList<cParam *> toWrite;
        for (cParam *p : params)
            if (!p->CpIsExternal() && selectedToWrite(p))
                toWrite.append(p);
        for (const CpGroup &group : groupsOf(toWrite)) {
            const cParam *first = group.members.first();
            cpConcerned = nameOf(group.cp, first->CpIniName());
            const lns::ConfigPropertyPtr cp = find(first->CpIniName());
            if (!cp) {
                for (const cParam *p : group.members)
                    emit m_params.CpNotFoundWhileWriting(target, nameOf(p->ConfigProperty(), p->CpIniName()));
                continue;
            }
            try {
                writeGroup(cp, group.members);
            } catch (const TqmError &error) {
                logRedLine(m_params.context().logger, error.description());
                return false;
            }
        }
        return true;
    } catch (const TqmError &error) {
        showWriteError(routine, error, cpConcerned);
        return false;
    }
}

bool LnsTransfer::writeImagesToOther(const lns::ObjectPtr &target, const QString &routine,
                                     const std::function<CpFinder()> &makeFinder)
{
    QString cpConcerned;
    try {
        const CpFinder find = makeFinder();
        // The images carry the image-bound parameters' current values only after this.
        WriteAllParamsToExtCps();
        for (cConfigProp *image : m_params.images()) {
            if (!imageSelectedToWrite(image) || !image->BytesKnown())
                continue;
            cpConcerned = nameOf(image->ConfigProperty(), image->CpIniName());
            const lns::ConfigPropertyPtr cp = find(image->CpIniName());
            if (!cp) {
                emit m_params.CpNotFoundWhileWriting(target, cpConcerned);
                continue;
            }
            Rebinding rebinding(image, cp);
            try {
                image->writeElements();
            } catch (const TqmError &error) {
                logRedLine(m_params.context().logger, atCp(cp, image->CpIniName(), error).description());
                return false;
            }
        }
        return true;
    } catch (const TqmError &error) {
        showWriteError(routine, error, cpConcerned);
        return false;
    }
}

namespace {

std::function<std::function<lns::ConfigPropertyPtr(const QString &)>()>
finderOn(const lns::ObjectPtr &target, const lns::AppDevicePtr &device, const IniFile &ini, const QString &section)
{
    return [target, device, &ini, section] {
        // Finding the target's template may fail too: inside the caller's error bracket.
        const IniLocator locator(ini, templateOf(device));
        return [locator, target, section](const QString &cpIniName) -> lns::ConfigPropertyPtr {
            return locator.cpOf(target, cpIniName, section).object;
        };
    };
}

} // namespace

bool LnsTransfer::WriteParamsToLnsLmo(const QList<cParam *> &Params, const lns::LonMarkObjectPtr &LonmarkObject,
                                      const IniFile &IniFile, const QString &IniFileCpSection)
{
    return writeParamsToOther(Params, LonmarkObject, QStringLiteral("WriteParamsToLnsLmo"), [&] {
        return finderOn(LonmarkObject, LonmarkObject->appDevice(), IniFile, IniFileCpSection)();
    });
}

bool LnsTransfer::WriteParamsToLnsDev(const QList<cParam *> &Params, const lns::AppDevicePtr &AppDevice,
                                      const IniFile &IniFile, const QString &IniFileCpSection)
{
    return writeParamsToOther(Params, AppDevice, QStringLiteral("WriteParamsToLnsDev"),
                              finderOn(AppDevice, AppDevice, IniFile, IniFileCpSection));
}

bool LnsTransfer::WriteExtCpsToLnsLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                                      const QString &IniFileCpSection)
{
    return writeImagesToOther(LonmarkObject, QStringLiteral("WriteExtCpsToLnsLmo"), [&] {
        return finderOn(LonmarkObject, LonmarkObject->appDevice(), IniFile, IniFileCpSection)();
    });
}

bool LnsTransfer::WriteExtCpsToLnsDev(const lns::AppDevicePtr &AppDevice, const IniFile &IniFile,
                                      const QString &IniFileCpSection)
{
    return writeImagesToOther(AppDevice, QStringLiteral("WriteExtCpsToLnsDev"),
                              finderOn(AppDevice, AppDevice, IniFile, IniFileCpSection));
}

bool LnsTransfer::writeSetToOther(const lns::ObjectPtr &target, const InSameCommit &inSameCommit,
                                  const std::function<bool()> &writeParams, const std::function<bool()> &writeImages)
{
    Logger *logger = m_params.context().logger;
    const QStringList missing = ParametersWithoutValue();
    if (!missing.isEmpty()) {
        logRedLine(logger, GetResString(MsgValueNeverRead, 1, {missing.join(QStringLiteral(", "))}));
        return false;
    }
    Transaction transaction(m_params.System());
    if (!transaction.started()) {
        logRedLine(logger, GetResString(MsgNoTransaction, 1, {objectLocation(target), transaction.startFailure()}));
        return false;
    }
    // A CP the object did not take makes its set incomplete: nothing of it stays, so that
    // nothing counts as written that was not.
    if (!writeParams() || !writeImages()) {
        transaction.cancel();
        return false;
    }
    try {
        if (inSameCommit)
            inSameCommit();
        transaction.commit();
    } catch (const TqmError &error) {
        transaction.cancel();
        logRedLine(logger, objectLocation(target) + QStringLiteral(": ") + error.description());
        return false;
    }
    return true;
}

bool LnsTransfer::WriteToLnsLmo(const lns::LonMarkObjectPtr &LonmarkObject, const IniFile &IniFile,
                                const QString &IniFileCpSection, const InSameCommit &inSameCommit)
{
    logLabel(m_params.context().logger, QStringLiteral("[cParams] Public Function WriteToLnsLmo()"));
    return writeSetToOther(
        LonmarkObject, inSameCommit,
        [&] { return WriteParamsToLnsLmo(m_params.parametersInKindOrder(), LonmarkObject, IniFile, IniFileCpSection); },
        [&] { return WriteExtCpsToLnsLmo(LonmarkObject, IniFile, IniFileCpSection); });
}

bool LnsTransfer::WriteToLnsDev(const lns::AppDevicePtr &AppDevice, const IniFile &IniFile,
                                const QString &IniFileCpSection, const InSameCommit &inSameCommit)
{
    logLabel(m_params.context().logger, QStringLiteral("[cParams] Public Function WriteToLnsDev()"));
    return writeSetToOther(
        AppDevice, inSameCommit,
        [&] { return WriteParamsToLnsDev(m_params.parametersInKindOrder(), AppDevice, IniFile, IniFileCpSection); },
        [&] { return WriteExtCpsToLnsDev(AppDevice, IniFile, IniFileCpSection); });
}

} // namespace transfer
