// Parameter set files: every parameter's value of one device configuration in an INI-like text
// file in the single-byte code page, CR LF line ends:
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

bool writtenToFile(const cParam *p)
{
    return (p->Available() && !p->DontWriteToFile()) || p->ForceWriteToFile();
}

// One kind's block: its comment line when the kind has parameters at all, then one line per
// parameter that is written.
template <class T>
void appendBlock(QString &out, const cParams &params, int count, T *(cParams::*at)(int) const,
                 const char *comment, const std::function<QString(const T *)> &valueText)
{
    if (count == 0)
        return;
    out += QLatin1String(comment) + LineEnd;
    for (int i = 1; i <= count; ++i) {
        const T *p = (params.*at)(i);
        if (writtenToFile(p))
            out += p->Name() + Separator + valueText(p) + LineEnd;
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

    const auto number = [](qint32 value) { return QString::number(value); };
    appendBlock<cParam1Byte>(out, params, params.Parameter1ByteCount(), &cParams::Parameter1Byte,
                             ";  *** Generic 1 Byte ***", [&](const cParam1Byte *p) { return number(p->Value()); });
    appendBlock<cParam2Byte>(out, params, params.Parameter2ByteCount(), &cParams::Parameter2Byte,
                             ";  *** Generic 2 Byte ***", [&](const cParam2Byte *p) {
                                 return number(p->Value1()) + QLatin1Char(',') + number(p->Value2());
                             });
    appendBlock<cParamASCII>(out, params, params.ParameterAsciiCount(), &cParams::ParameterAscii,
                             ";  *** Generic ASCII ***",
                             [](const cParamASCII *p) { return p->Value() + QLatin1Char(','); });
    appendBlock<cParamCheckBox>(out, params, params.CheckBoxParameterCount(), &cParams::CheckBoxParameter,
                                ";  *** CheckBox ***", [&](const cParamCheckBox *p) { return number(p->Value()); });
    appendBlock<cParamComboBox>(out, params, params.ComboBoxParameterCount(), &cParams::ComboBoxParameter,
                                ";  *** ComboBox ***", [&](const cParamComboBox *p) { return number(p->Value()); });
    appendBlock<cParamOptBtn>(out, params, params.OptionButtonParameterCount(), &cParams::OptionButtonParameter,
                              ";  *** OptionButton ***", [](const cParamOptBtn *p) { return p->Value(); });
    appendBlock<cParamTextBox>(out, params, params.TextBoxParameterCount(), &cParams::TextBoxParameter,
                               ";  *** TextBox ***", [&](const cParamTextBox *p) { return number(p->Value()); });
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

// Converts the file's texts and remembers what to set; nothing is set until every value of
// the file has been converted, so a file with one bad value changes no parameter.
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

    // The leading number of the text (0 when there is none), rounded half to even.
    qint32 leadingInt32(const cParam *p, const QString &field, const QString &text) const
    {
        try {
            return numbers::toInt32(numbers::leadingNumber(field));
        } catch (const TqmError &error) {
            throw conversionError(p, text, error.number());
        }
    }

    // The whole text as a number; anything else in it is an error.
    qint32 strictInt32(const cParam *p, const QString &text) const
    {
        bool ok = false;
        const double value = QLocale::c().toDouble(text.trimmed(), &ok);
        if (!ok)
            throw conversionError(p, text, TqmError::TypeMismatch);
        try {
            return numbers::toInt32(value);
        } catch (const TqmError &error) {
            throw conversionError(p, text, error.number());
        }
    }

    void then(std::function<void()> assignment) { m_assignments.push_back(std::move(assignment)); }

    void apply()
    {
        for (const auto &assignment : m_assignments)
            assignment();
    }

private:
    TqmError conversionError(const cParam *p, const QString &text, qint32 number) const
    {
        return TqmError(number, QStringLiteral("cParams"),
                        TextUtility::FillPlaceholders(GetResString(1522), {m_fileName}) + LineEnd
                            + QLatin1Char('[') + SettingsSection + QStringLiteral("] ") + p->Name() + Separator
                            + text);
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

void planValues(const cParams &params, LoadPlan &load)
{
    planKind(params, params.TextBoxParameterCount(), &cParams::TextBoxParameter, [&](cParamTextBox *p) {
        if (const auto text = load.textFor(p)) {
            const qint32 value = load.leadingInt32(p, *text, *text);
            load.then([p, value] { p->setValue(value); });
        }
    });
    planKind(params, params.OptionButtonParameterCount(), &cParams::OptionButtonParameter, [&](cParamOptBtn *p) {
        if (const auto text = load.textFor(p))
            load.then([p, value = *text] { p->setValue(value); });
    });
    planKind(params, params.ComboBoxParameterCount(), &cParams::ComboBoxParameter, [&](cParamComboBox *p) {
        if (const auto text = load.textFor(p)) {
            const qint32 value = load.leadingInt32(p, *text, *text);
            load.then([p, value] { p->setValue(value); });
        }
    });
    planKind(params, params.CheckBoxParameterCount(), &cParams::CheckBoxParameter, [&](cParamCheckBox *p) {
        if (const auto text = load.textFor(p)) {
            const qint32 value = load.strictInt32(p, *text);
            load.then([p, value] { p->setValue(value); });
        }
    });
    planKind(params, params.Parameter2ByteCount(), &cParams::Parameter2Byte, [&](cParam2Byte *p) {
        if (const auto text = load.textFor(p)) {
            const qint32 value1 = load.leadingInt32(p, TextUtility::Token(*text, 1, QStringLiteral(",")), *text);
            const qint32 value2 = load.leadingInt32(p, TextUtility::Token(*text, 2, QStringLiteral(",")), *text);
            load.then([p, value1, value2] {
                p->setValue1(value1);
                p->setValue2(value2);
            });
        }
    });
    planKind(params, params.Parameter1ByteCount(), &cParams::Parameter1Byte, [&](cParam1Byte *p) {
        if (const auto text = load.textFor(p)) {
            const qint32 value = load.leadingInt32(p, *text, *text);
            load.then([p, value] { p->setValue(value); });
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

bool cParams::WriteToFile(const QString &Filename, const QString &PlugInName, const QString &ProgramId,
                          const QString &DataFileVersion) const
{
    transfer::logLabel(m_context.logger, QStringLiteral("[cParams] Public Function WriteToFile()"));
    // Written aside and put in place in one step: a save that fails half-way must not cost the
    // user the set saved earlier under that name.
    QSaveFile file(Filename);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = renderParameterSet(*this, PlugInName, ProgramId, DataFileVersion).toLatin1();
    if (file.write(bytes) != bytes.size() || !file.flush() || !holdsExactly(file, bytes.size()))
        return false; // the destructor drops the half-written copy
    return file.commit();
}

cParamEnums::eLoadFromFileErrors cParams::LoadFromFile(const QString &Filename, const IniFile &PlugInIniFile,
                                                        const QString &PlugInName, const QString &ProgramId,
                                                        const QString &DataFileVersion)
{
    transfer::logLabel(m_context.logger, QStringLiteral("[cParams] Public Function LoadFromFile()"));
    requireReadable(Filename);
    const IniFile file(Filename);

    if (file.GetValue(GeneralSection, QStringLiteral("PlugInName")).trimmed() != PlugInName.trimmed())
        return cParamEnums::LE_WRONG_PLUGIN;
    const QString fileProgramId = file.GetValue(GeneralSection, QStringLiteral("ProgramId"));
    if (fileProgramId.isEmpty())
        return cParamEnums::LE_WRONG_DATAFILE_VERSION;
    if (fileProgramId != ProgramId && !PlugInIniFile.GetCompatibleProgramIds(ProgramId).contains(fileProgramId))
        return cParamEnums::LE_WRONG_DEVICE;
    if (file.GetValue(GeneralSection, QStringLiteral("DataFileVersion")).trimmed() != DataFileVersion.trimmed())
        return cParamEnums::LE_WRONG_DATAFILE_VERSION;

    LoadPlan load(file, Filename);
    planValues(*this, load);
    load.apply();
    return cParamEnums::LE_NO_ERROR;
}
