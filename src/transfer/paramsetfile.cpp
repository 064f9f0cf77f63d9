// Parameter set files: every parameter's value of one device configuration in an INI-like text
// file in UTF-8, CR LF line ends:
//     [General]
//     PlugInName = ...
//     ProgramId = ...
//     DataFileVersion = ...
//
//     [Settings]
//     ;  *** Generic 1 Byte ***
//     Name = 2
//     ...
// Written in the kind order 1-byte, 2-byte, text, check box, combo box, option button, text box;
// loaded in the order text box, option button, combo box, check box, 2-byte, 1-byte, text.

#include "transfer/paramsetfile.h"

#include "strings/resstrings.h"
#include "lns/inifile.h"
#include "lns/logger.h"
#include "base/textutility.h"
#include "params/choiceparams.h"
#include "params/cparams.h"
#include "params/cparamtextbox.h"
#include "params/numbers.h"
#include "params/rawparams.h"
#include "transfer/transferparts.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <sys/stat.h>

#include <functional>
#include <optional>
#include <vector>

namespace {

const QString GeneralSection = QStringLiteral("General");
const QString SettingsSection = QStringLiteral("Settings");
const QString Separator = QStringLiteral(" = ");
const QString LineEnd = QStringLiteral("\r\n");

// One kind's block: its comment line when the kind has parameters at all, then one line per
// parameter that is written.
template <class T>
void appendBlock(QString &out, const cParams &params, int count, T *(cParams::*at)(int) const, const char *comment)
{
    if (count == 0)
        return;
    out += QLatin1String(comment) + LineEnd;
    for (int i = 1; i <= count; ++i) {
        const T *p = (params.*at)(i);
        if (transfer::ParamSetFile::isWrittenToFile(*p))
            out += p->Name() + Separator + transfer::ParamSetFile::valueText(*p) + LineEnd;
    }
}

QString renderParameterSet(const cParams &params, const QString &plugInName, const QString &programId,
                           const QString &dataFileVersion)
{
    QString out;
    out += QLatin1Char('[') + GeneralSection + QLatin1Char(']') + LineEnd;
    out += QStringLiteral("PlugInName") + Separator + plugInName + LineEnd;
    out += QStringLiteral("ProgramId") + Separator + programId + LineEnd;
    out += QStringLiteral("DataFileVersion") + Separator + dataFileVersion + LineEnd;
    out += LineEnd;
    out += QLatin1Char('[') + SettingsSection + QLatin1Char(']') + LineEnd;

    appendBlock(out, params, params.Parameter1ByteCount(), &cParams::Parameter1Byte, ";  *** Generic 1 Byte ***");
    appendBlock(out, params, params.Parameter2ByteCount(), &cParams::Parameter2Byte, ";  *** Generic 2 Byte ***");
    appendBlock(out, params, params.ParameterAsciiCount(), &cParams::ParameterAscii, ";  *** Generic ASCII ***");
    appendBlock(out, params, params.CheckBoxParameterCount(), &cParams::CheckBoxParameter, ";  *** CheckBox ***");
    appendBlock(out, params, params.ComboBoxParameterCount(), &cParams::ComboBoxParameter, ";  *** ComboBox ***");
    appendBlock(out, params, params.OptionButtonParameterCount(), &cParams::OptionButtonParameter,
                ";  *** OptionButton ***");
    appendBlock(out, params, params.TextBoxParameterCount(), &cParams::TextBoxParameter, ";  *** TextBox ***");
    return out;
}

// QSaveFile (Qt 6.4) takes a short write, as under a file-size limit, for a complete one and
// would commit the cut file over the earlier one: the size on disk is checked first.
bool holdsExactly(const QSaveFile &file, qint64 size)
{
    struct stat status {};
    return fstat(file.handle(), &status) == 0 && status.st_size == size;
}

// ---- loading ----

// Messages of the string table.
constexpr int MsgUnreadable = 1522;
constexpr int MsgOutOfRange = 1563;
constexpr int MsgTooLong = 1564;
constexpr int MsgNotText = 1565;
constexpr int MsgUnknownKey = 1566;
constexpr int MsgAllowed = 1567;
constexpr int MsgNoValueOffered = 1575;
constexpr int MsgEmptyValue = 1576;

// The numbers a window of `width` bytes holds (wider windows than 32 bits hold 32 bits here).
std::pair<qint64, qint64> windowRange(int width, bool isSigned)
{
    const int bits = 8 * qBound(1, width, 4);
    if (isSigned)
        return {-(qint64(1) << (bits - 1)), (qint64(1) << (bits - 1)) - 1};
    return {0, (qint64(1) << bits) - 1};
}

// Converts the file's texts, checks them against their parameters and remembers what to set;
// nothing is set until every value of the file has been converted and checked, so a file with
// one bad value changes no parameter.
class LoadPlan
{
public:
    LoadPlan(const IniFile &file, const QString &fileName) : m_file(file), m_fileName(fileName) {}

    // The key's text when the parameter takes a value from the file: the key is there and the
    // parameter is not left out of files.
    std::optional<QString> textFor(const cParam *p) const
    {
        const QString text = m_file.GetValue(SettingsSection, p->Name());
        if (text.isEmpty() || p->DontWriteToFile())
            return std::nullopt;
        return text;
    }

    // The leading number of the field (0 when there is none), rounded half to even; a number
    // beyond 32 bits (or beyond a double: "1e999") cannot be read, and the error says what the
    // parameter can hold (`allowed`, as rangeText or listText give it).
    qint64 leadingNumber(const cParam *p, const QString &field, const QString &allowed) const
    {
        return int32Or(p, numbers::leadingNumber(field), field, allowed);
    }

    // The whole text as a number; anything else in it is an error.
    qint32 strictInt32(const cParam *p, const QString &text, const QString &allowed) const
    {
        bool ok = false;
        const double value = QLocale::c().toDouble(text.trimmed(), &ok);
        if (!ok)
            throw fileError(TqmError::TypeMismatch, MsgUnreadable, p, {});
        return int32Or(p, value, text, allowed);
    }

    static QString rangeText(qint64 min, qint64 max)
    {
        return GetResString(MsgAllowed, 1, {QString::number(min), QString::number(max)});
    }
    static QString listText(const QStringList &allowed)
    {
        return GetResString(MsgAllowed, 2, {allowed.join(QStringLiteral(", "))});
    }

    // A value the parameter cannot hold is refused, naming what it can hold. Parameters without
    // a CP are not checked: they are never written. Callers count the value a parameter already
    // holds as one it can hold, so a set saved from a device always loads back into it.
    void requireWithin(const cParam *p, qint64 value, qint64 min, qint64 max) const
    {
        if (p->Available() && (value < min || value > max))
            throw outOfRange(p, QString::number(value), rangeText(min, max));
    }
    void requireOneOf(const cParam *p, const QString &value, const QStringList &allowed) const
    {
        if (!p->Available() || allowed.contains(value))
            return;
        if (allowed.isEmpty()) // e.g. a list of a variant this device does not have
            throw fileError(TqmError::BadFileFormat, MsgNoValueOffered, p, {value, p->Name()});
        throw outOfRange(p, value, listText(allowed));
    }

    void then(std::function<void()> assignment) { m_assignments.push_back(std::move(assignment)); }

    void apply()
    {
        for (const auto &assignment : m_assignments)
            assignment();
    }

private:
    qint32 int32Or(const cParam *p, double value, const QString &text, const QString &allowed) const
    {
        if (!(value > -2147483648.5 && value < 2147483647.5))
            throw fileError(TqmError::Overflow, MsgTooLong, p, {text.trimmed(), p->Name(), allowed});
        return numbers::toInt32(value);
    }

    TqmError outOfRange(const cParam *p, const QString &value, const QString &allowed) const
    {
        return fileError(TqmError::BadFileFormat, MsgOutOfRange, p, {value, p->Name(), allowed});
    }
    // "<file>, line <n>: ..." and the line as it stands in the file.
    TqmError fileError(qint32 number, int messageId, const cParam *p, const QStringList &values) const
    {
        const int line = m_file.lineOf(SettingsSection, p->Name());
        const QString text = messageId == MsgUnreadable
                                 ? TextUtility::FillPlaceholders(GetResString(MsgUnreadable), {m_fileName})
                                 : GetResString(messageId, 1, QStringList{m_fileName, QString::number(line)} + values);
        return TqmError(number, QStringLiteral("cParams"),
                        text + LineEnd + QLatin1Char('[') + SettingsSection + QStringLiteral("] ") + p->Name()
                            + Separator + m_file.GetValue(SettingsSection, p->Name()));
    }

    const IniFile &m_file;
    QString m_fileName;
    std::vector<std::function<void()>> m_assignments;
};

template <class T, class Plan>
void planKind(const cParams &params, int count, T *(cParams::*at)(int) const, Plan &&plan)
{
    for (int i = 1; i <= count; ++i)
        plan((params.*at)(i));
}

// The window of a number parameter that is bound to a CP; the kind's own width otherwise.
int numberWidth(const cParam *p, int ownWidth)
{
    if (!p->CpFetched())
        return ownWidth;
    try {
        return p->valueWindow(p->boundShape()).numberWidth();
    } catch (const TqmError &) {
        return ownWidth;
    }
}

void planValues(const cParams &params, LoadPlan &load)
{
    planKind(params, params.TextBoxParameterCount(), &cParams::TextBoxParameter, [&](cParamTextBox *p) {
        if (const auto text = load.textFor(p)) {
            const qint64 min = paramdescription::scaledMin(p->description());
            const qint64 max = paramdescription::scaledMax(p->description());
            const qint32 value = qint32(load.leadingNumber(p, *text, LoadPlan::rangeText(min, max)));
            if (value != p->Value() && !p->IsWithinRange(value))
                load.requireWithin(p, value, min, max);
            load.then([p, value] { p->setValue(value); });
        }
    });
    planKind(params, params.OptionButtonParameterCount(), &cParams::OptionButtonParameter, [&](cParamOptBtn *p) {
        if (const auto text = load.textFor(p)) {
            load.requireOneOf(p, text->trimmed(), p->description().rawTextItems);
            load.then([p, value = *text] { p->setValue(value); });
        }
    });
    planKind(params, params.ComboBoxParameterCount(), &cParams::ComboBoxParameter, [&](cParamComboBox *p) {
        if (const auto text = load.textFor(p)) {
            const QStringList allowed = paramdescription::listValues(p->description());
            const qint32 value = qint32(load.leadingNumber(p, *text, LoadPlan::listText(allowed)));
            if (value != p->Value())
                load.requireOneOf(p, QString::number(value), allowed);
            load.then([p, value] { p->setValue(value); });
        }
    });
    planKind(params, params.CheckBoxParameterCount(), &cParams::CheckBoxParameter, [&](cParamCheckBox *p) {
        if (const auto text = load.textFor(p)) {
            const QStringList allowed{QString::number(p->ValueUnchecked()), QString::number(p->ValueChecked())};
            const qint32 value = load.strictInt32(p, *text, LoadPlan::listText(allowed));
            if (value != p->Value())
                load.requireOneOf(p, QString::number(value), allowed);
            load.then([p, value] { p->setValue(value); });
        }
    });
    planKind(params, params.Parameter2ByteCount(), &cParams::Parameter2Byte, [&](cParam2Byte *p) {
        if (const auto text = load.textFor(p)) {
            const auto [min, max] = windowRange(numberWidth(p, 2), p->SignedValue());
            const QString allowed = LoadPlan::rangeText(min, max);
            const qint64 value1 = load.leadingNumber(p, TextUtility::Token(*text, 1, QStringLiteral(",")), allowed);
            const qint64 value2 = load.leadingNumber(p, TextUtility::Token(*text, 2, QStringLiteral(",")), allowed);
            load.requireWithin(p, value1 * 256 + value2, min, max);
            load.then([p, value1, value2] {
                p->setValue1(qint32(value1));
                p->setValue2(qint32(value2));
            });
        }
    });
    planKind(params, params.Parameter1ByteCount(), &cParams::Parameter1Byte, [&](cParam1Byte *p) {
        if (const auto text = load.textFor(p)) {
            const auto [min, max] = windowRange(numberWidth(p, 1), p->SignedValue());
            const qint64 value = load.leadingNumber(p, *text, LoadPlan::rangeText(min, max));
            load.requireWithin(p, value, min, max);
            load.then([p, value] { p->setValue(qint32(value)); });
        }
    });
    // Texts come back as the text that was written: the part before the "," that ends the line
    // (a text may hold commas itself). The reader trims the line, so blanks leading the text do
    // not survive; those before the "," do.
    planKind(params, params.ParameterAsciiCount(), &cParams::ParameterAscii, [&](cParamASCII *p) {
        if (const auto text = load.textFor(p)) {
            QString value = *text;
            if (value.endsWith(QLatin1Char(',')))
                value.chop(1);
            load.then([p, value] { p->setValue(value); });
        }
    });
}

// A file that is not text, or whose lines are not all readable, is not loaded at all: what the
// reader would skip could be the very value the user meant to set.
void requireWellFormed(const IniFile &file, const QString &fileName)
{
    if (!file.textProblem().isEmpty())
        throw TqmError(TqmError::BadFileFormat, QStringLiteral("cParams"),
                       GetResString(MsgNotText, 1, {fileName, file.textProblem()}));
    if (!file.problems().isEmpty())
        throw TqmError(TqmError::BadFileFormat, QStringLiteral("cParams"),
                       TextUtility::FillPlaceholders(GetResString(MsgUnreadable), {fileName}) + LineEnd
                           + file.problems().join(LineEnd));
}

bool namesParameter(const cParams &params, const QString &key)
{
    if (params.ParameterAllByName(key))
        return true;
    for (int i = 1; i <= params.ParameterAsciiCount(); ++i)
        if (params.ParameterAscii(i)->Name().compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Keys that name no parameter may come from a device of more parameters: they are left, and
// the user is told; so are keys without a value.
void warnOfUnknownKeys(const cParams &params, const IniFile &file, const QString &fileName)
{
    Logger *logger = params.context().logger;
    if (!logger)
        return;
    for (const QString &key : file.keys(SettingsSection)) {
        const bool known = namesParameter(params, key);
        if (known && !file.GetValue(SettingsSection, key).trimmed().isEmpty())
            continue;
        // A key without a value leaves its parameter as it is: say so, as for a key of none.
        logger->addLogLine(GetResString(known ? MsgEmptyValue : MsgUnknownKey, 1,
                                        {fileName, QString::number(file.lineOf(SettingsSection, key)), key}),
                           logcolour::Black);
    }
}

// The file must be there and readable: the INI reader itself reads a missing file as empty.
void requireReadable(const QString &fileName)
{
    const QFileInfo info(fileName);
    QFile file(fileName);
    QString reason;
    qint32 number = TqmError::FileAccess;
    if (!info.exists()) {
        number = TqmError::FileNotFound;
    } else if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        reason = info.isDir() ? QString() : file.errorString();
    } else if (file.size() > IniFile::MaximumFileSize) {
        reason = QString::number(file.size());
    } else {
        return;
    }
    QString description = TextUtility::FillPlaceholders(GetResString(1522), {fileName});
    if (!reason.isEmpty())
        description += LineEnd + reason;
    throw TqmError(number, QStringLiteral("cParams"), description);
}

} // namespace

namespace transfer {

ParamSetFile::ParamSetFile(cParams &params) : m_params(params) {}

bool ParamSetFile::isWrittenToFile(const cParam &p)
{
    return (p.Available() && !p.DontWriteToFile()) || p.ForceWriteToFile();
}

QString ParamSetFile::valueText(const cParam &p)
{
    switch (p.ClassId()) {
    case cParamEnums::PA_CLASSID_1BYTE_PARAMETER:
        return QString::number(static_cast<const cParam1Byte &>(p).Value());
    case cParamEnums::PA_CLASSID_2BYTE_PARAMETER: {
        const auto &twoByte = static_cast<const cParam2Byte &>(p);
        return QString::number(twoByte.Value1()) + QLatin1Char(',') + QString::number(twoByte.Value2());
    }
    case cParamEnums::PA_CLASSID_ASCII_PARAMETER:
        return static_cast<const cParamASCII &>(p).Value() + QLatin1Char(',');
    case cParamEnums::PA_CLASSID_CHECKBOX_PARAMETER:
        return QString::number(static_cast<const cParamCheckBox &>(p).Value());
    case cParamEnums::PA_CLASSID_COMBOBOX_PARAMTER:
        return QString::number(static_cast<const cParamComboBox &>(p).Value());
    case cParamEnums::PA_CLASSID_OPTIONBUTTON_PARAMETER:
        return static_cast<const cParamOptBtn &>(p).Value();
    default:
        return QString::number(static_cast<const cParamTextBox &>(p).Value());
    }
}

QByteArray ParamSetFile::fileBytes(const QString &PlugInName, const QString &ProgramId,
                                   const QString &DataFileVersion) const
{
    // UTF-8, as the loader reads it; the sets of the command module are plain ASCII either way.
    return renderParameterSet(m_params, PlugInName, ProgramId, DataFileVersion).toUtf8();
}

bool ParamSetFile::WriteToFile(const QString &Filename, const QString &PlugInName, const QString &ProgramId,
                               const QString &DataFileVersion) const
{
    logLabel(m_params.context().logger, QStringLiteral("[cParams] Public Function WriteToFile()"));
    // Written aside and put in place in one step: a save that fails half-way must not cost the
    // user the set saved earlier under that name.
    QSaveFile file(Filename);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = fileBytes(PlugInName, ProgramId, DataFileVersion);
    if (file.write(bytes) != bytes.size() || !file.flush() || !holdsExactly(file, bytes.size()))
        return false; // the destructor drops the half-written copy
    return file.commit();
}

cParamEnums::eLoadFromFileErrors ParamSetFile::LoadFromFile(const QString &Filename, const IniFile &PlugInIniFile,
                                                             const QString &PlugInName, const QString &ProgramId,
                                                             const QString &DataFileVersion)
{
    logLabel(m_params.context().logger, QStringLiteral("[cParams] Public Function LoadFromFile()"));
    requireReadable(Filename);
    const IniFile file(Filename);
    if (!file.textProblem().isEmpty())
        requireWellFormed(file, Filename);

    if (file.GetValue(GeneralSection, QStringLiteral("PlugInName")).trimmed() != PlugInName.trimmed())
        return cParamEnums::LE_WRONG_PLUGIN;
    const QString fileProgramId = file.GetValue(GeneralSection, QStringLiteral("ProgramId"));
    if (fileProgramId.isEmpty())
        return cParamEnums::LE_WRONG_DATAFILE_VERSION;
    if (fileProgramId != ProgramId && !PlugInIniFile.GetCompatibleProgramIds(ProgramId).contains(fileProgramId))
        return cParamEnums::LE_WRONG_DEVICE;
    if (file.GetValue(GeneralSection, QStringLiteral("DataFileVersion")).trimmed() != DataFileVersion.trimmed())
        return cParamEnums::LE_WRONG_DATAFILE_VERSION;

    requireWellFormed(file, Filename);
    LoadPlan load(file, Filename);
    planValues(m_params, load);
    warnOfUnknownKeys(m_params, file, Filename);
    load.apply();
    return cParamEnums::LE_NO_ERROR;
}

} // namespace transfer
