#include "lns/inifile.h"

#include "base/textutility.h"
#include "strings/resstrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace {

// "The device ... was not found in subsystem ..." and its siblings.
constexpr int DeviceNotFound = 1568;

// Appends `name`, trimmed and case-folded. Names are nearly always plain ASCII: those are folded
// by hand, which costs a fraction of the full Unicode case folding (every key of the file is
// folded when it is read, and every look-up folds what it asks for).
void appendFolded(QString &out, QStringView name)
{
    const QStringView trimmed = name.trimmed();
    const qsizetype start = out.size();
    out.resize(start + trimmed.size());
    QChar *next = out.data() + start;
    for (const QChar c : trimmed) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            out.resize(start);
            out += trimmed.toString().toCaseFolded();
            return;
        }
        *next++ = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u);
    }
}

QString foldName(QStringView name)
{
    QString folded;
    appendFolded(folded, name);
    return folded;
}

// "Key @ Template" and "key@template" are the same key.
void appendFoldedKey(QString &out, QStringView key)
{
    const qsizetype at = key.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return appendFolded(out, key);
    appendFolded(out, key.left(at));
    out += QLatin1Char('@');
    appendFolded(out, key.mid(at + 1));
}

QString foldKey(QStringView key)
{
    QString folded;
    appendFoldedKey(folded, key);
    return folded;
}

// Line ends of any style: CR LF, LF alone, CR alone.
QList<QStringView> splitLines(const QString &text)
{
    QList<QStringView> lines;
    const QStringView all(text);
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QChar c = all[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.append(all.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < all.size() && all[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < all.size())
        lines.append(all.mid(start));
    return lines;
}

// A field as a 16-bit integer, if it is one.
std::optional<qint16> shortNumber(QStringView field)
{
    bool ok = false;
    const int number = field.trimmed().toInt(&ok);
    if (!ok || number < -32768 || number > 32767)
        return std::nullopt;
    return qint16(number);
}

// Field `fieldNumber` (from 1) of a comma-separated value as a 16-bit integer; 0 when missing or
// not a whole number.
qint16 integerField(QStringView value, int fieldNumber)
{
    int number = 0;
    for (const QStringView field : value.tokenize(u','))
        if (++number == fieldNumber)
            return shortNumber(field).value_or(0);
    return 0;
}

} // namespace

void IniFile::clear()
{
    m_sections.clear();
    m_text.clear();
    m_templates.clear();
    m_problems.clear();
    m_textProblem.clear();
    m_suppressedProblems = 0;
    m_values.clear();
    m_templateValues.clear();
}

QString IniFile::decode(QByteArray bytes)
{
    // A byte-order mark says nothing about the rest when an editor added it to a file in the
    // single-byte code page, so it is dropped before the body is judged.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        m_textProblem = QStringLiteral("a NUL byte at offset %1").arg(nul);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    // Files written by older installations use the single-byte code page.
    if (m_textProblem.isEmpty())
        m_textProblem = QStringLiteral("not UTF-8 text");
    return QString::fromLatin1(bytes);
}

void IniFile::setFileName(const QString &fileName)
{
    m_fileName = fileName;
    clear();

    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir()) {
        m_problems.append(QStringLiteral("%1: the file does not exist").arg(fileName));
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_problems.append(QStringLiteral("%1: the file cannot be read (%2)").arg(fileName, file.errorString()));
        return;
    }
    // Read in pieces up to the limit rather than trusting the size (special files report none)
    // and rather than reserving the whole limit for every small file; a piece the size the file
    // reports reads an ordinary file at once.
    const qint64 pieceSize = std::clamp<qint64>(file.size() + 1, 4096, 64 * 1024);
    QByteArray bytes;
    while (bytes.size() <= MaximumFileSize) {
        const QByteArray piece = file.read(pieceSize);
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > MaximumFileSize) {
        m_problems.append(QStringLiteral("%1: the file is larger than %2 bytes and was not read")
                              .arg(fileName)
                              .arg(MaximumFileSize));
        return;
    }
    m_text = decode(bytes);
    parse();
    collectTemplates();
}

void IniFile::parse()
{
    QString currentSection;
    bool inSection = false;
    const QList<QStringView> lines = splitLines(m_text);
    for (int i = 0; i < lines.size(); ++i)
        parseLine(lines[i], i + 1, currentSection, inSection);
    if (m_suppressedProblems > 0)
        m_problems.append(QStringLiteral("%1: %2 further problems not listed").arg(m_fileName).arg(m_suppressedProblems));
}

void IniFile::parseLine(QStringView line, int lineNumber, QString &currentSection, bool &inSection)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return;

    static const QString expected = QStringLiteral("expected 'key = value' or '[section]'");
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
        if (close < 0) {
            // Keys below an unreadable header belong to no section rather than to the one before.
            inSection = false;
            addProblem(lineNumber, expected);
            return;
        }
        currentSection = foldName(trimmed.mid(1, close - 1));
        inSection = true;
        m_sections[currentSection]; // an empty section still exists
        return;
    }

    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    if (equals < 0 || !inSection) {
        addProblem(lineNumber, expected);
        return;
    }
    const QString key = foldKey(trimmed.left(equals));
    if (key.isEmpty() || key.startsWith(QLatin1Char('@')) || key.endsWith(QLatin1Char('@'))) {
        addProblem(lineNumber, expected);
        return;
    }
    Section &section = m_sections[currentSection];
    if (section.entries.contains(key)) {
        addProblem(lineNumber, QStringLiteral("duplicate key '%1'; the first value is kept")
                                   .arg(trimmed.left(equals).trimmed()));
        return;
    }
    section.entries.insert(key, {trimmed.mid(equals + 1).trimmed(), trimmed.left(equals).trimmed(), lineNumber});
    section.order.append(key);
}

void IniFile::addProblem(int lineNumber, const QString &what)
{
    if (m_problems.size() >= MaximumProblems) {
        ++m_suppressedProblems;
        return;
    }
    m_problems.append(QStringLiteral("%1:%2: %3").arg(m_fileName).arg(lineNumber).arg(what));
}

void IniFile::collectTemplates()
{
    for (int n = 1;; ++n) {
        const QString value = GetValue(TemplatesSection, QStringLiteral("Template%1").arg(n));
        if (value.isEmpty())
            break;
        const QString deviceTemplate = TextUtility::Token(value, 1, QStringLiteral(",")).trimmed();
        const QString programId = TextUtility::Token(value, 2, QStringLiteral(",")).trimmed();
        if (deviceTemplate.isEmpty() || programId.isEmpty()) {
            m_problems.append(QStringLiteral("%1: Template%2: expected '<device template>,<program id>'")
                                  .arg(m_fileName)
                                  .arg(n));
            continue;
        }
        m_templates.append({deviceTemplate, programId});
    }
}

const QString &IniFile::lookupKey(QStringView key) const
{
    m_keyBuffer.resize(0);
    appendFoldedKey(m_keyBuffer, key);
    return m_keyBuffer;
}

const QString &IniFile::lookupKey(QStringView key, QStringView deviceTemplate) const
{
    m_keyBuffer.resize(0);
    appendFolded(m_keyBuffer, key);
    if (!deviceTemplate.isEmpty()) {
        m_keyBuffer += QLatin1Char('@');
        appendFolded(m_keyBuffer, deviceTemplate);
    }
    return m_keyBuffer;
}

const IniFile::Entry *IniFile::find(const QString &section, const QString &foldedKey) const
{
    m_sectionBuffer.resize(0);
    appendFolded(m_sectionBuffer, section);
    const auto s = m_sections.constFind(m_sectionBuffer);
    if (s == m_sections.constEnd())
        return nullptr;
    const auto k = s->entries.constFind(foldedKey);
    return k == s->entries.constEnd() ? nullptr : &*k;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList written;
    const auto s = m_sections.constFind(foldName(section));
    if (s == m_sections.constEnd())
        return written;
    for (const QString &folded : s->order)
        written.append(s->entries.value(folded).key.toString());
    return written;
}

int IniFile::lineOf(const QString &section, const QString &key) const
{
    const Entry *entry = find(section, lookupKey(key));
    return entry ? entry->line : 0;
}

QString IniFile::GetValue(const QString &section, const QString &key) const
{
    const Query query{section, key, {}};
    if (const auto known = m_values.constFind(query); known != m_values.cend())
        return *known;
    const Entry *entry = find(section, lookupKey(key));
    return *m_values.insert(query, entry ? entry->value.toString() : QString());
}

QString IniFile::GetTemplateValue(const QString &key, const QString &section, const QString &deviceTemplate) const
{
    const Query query{section, key, deviceTemplate};
    if (const auto known = m_templateValues.constFind(query); known != m_templateValues.cend())
        return *known;
    const Entry *entry = templateEntry(key, section, deviceTemplate);
    return *m_templateValues.insert(query, entry ? entry->value.toString() : QString());
}

const IniFile::Entry *IniFile::templateEntry(const QString &key, const QString &section,
                                             const QString &deviceTemplate) const
{
    const Entry *entry = nullptr;
    if (!deviceTemplate.trimmed().isEmpty())
        entry = find(section, lookupKey(key, deviceTemplate));
    if (!entry)
        entry = find(section, lookupKey(key, {}));
    return entry;
}

int IniFile::templateLineOf(const QString &key, const QString &section, const QString &deviceTemplate) const
{
    const Entry *entry = templateEntry(key, section, deviceTemplate);
    return entry && !entry->value.isEmpty() ? entry->line : 0;
}

QString IniFile::unreadableField(const QString &key, const QString &section, const QString &deviceTemplate) const
{
    const QString value = GetTemplateValue(key, section, deviceTemplate);
    for (const QStringView field : QStringView(value).tokenize(u',')) {
        if (!field.trimmed().isEmpty() && !shortNumber(field))
            return field.trimmed().toString();
    }
    return {};
}

qint16 IniFile::GetCpIndex(const QString &key, const QString &section, const QString &deviceTemplate) const
{
    return GetEntryField(key, section, deviceTemplate, 1);
}

qint16 IniFile::GetEntryField(const QString &key, const QString &section, const QString &deviceTemplate,
                              int fieldNumber) const
{
    const QString value = GetTemplateValue(key, section, deviceTemplate);
    if (value.isEmpty())
        return -1;
    return integerField(value, fieldNumber);
}

QStringList IniFile::GetCompatibleProgramIds(const QString &programId) const
{
    QStringList ids;
    const QStringList listed = GetValue(CompatibleSection, programId).split(QLatin1Char(','));
    for (const QString &id : listed) {
        const QString trimmed = id.trimmed();
        if (!trimmed.isEmpty())
            ids.append(trimmed);
    }
    return ids;
}

QString IniFile::GetProgramIdByNumber(int number) const
{
    return GetValue(ProgramIdsSection, QString::number(number));
}

QString IniFile::GetAppDocPath(const QString &programId, int language) const
{
    const QString path = GetTemplateValue(programId, AppDocSection, QString::number(language));
    if (path.isEmpty())
        return {};
    return QFileInfo(m_fileName).dir().filePath(path);
}

IniFile::TemplateEntry IniFile::templateEntry(int number) const
{
    if (number < 1 || number > m_templates.size())
        return {};
    return m_templates[number - 1];
}

bool IniFile::ListsTemplate(const QString &deviceTemplate) const
{
    const QString folded = foldName(deviceTemplate);
    for (const TemplateEntry &entry : m_templates) {
        if (foldName(entry.deviceTemplate) == folded)
            return true;
    }
    return false;
}

IniFile::FoundDevice IniFile::FindDevice(const std::shared_ptr<lns::AppDevices> &appDevices,
                                         const QString &deviceName, const QString &lonMarkObjectName) const
{
    FoundDevice missing;
    QString subsystemPath;
    try {
        if (const auto subsystem = std::dynamic_pointer_cast<lns::Subsystem>(appDevices ? appDevices->parent() : nullptr))
            subsystemPath = subsystem->path();
    } catch (const TqmError &) {
        // The path only helps to say where the device was looked for.
    }
    missing.failure = GetResString(DeviceNotFound, 1, {deviceName, subsystemPath});
    if (!appDevices)
        return missing;
    int count = 0;
    try {
        count = appDevices->count();
    } catch (const TqmError &error) {
        missing.failure += QStringLiteral(" (") + error.description() + QLatin1Char(')');
        return missing;
    }
    // Device names need not be unique across templates: take the first one this file serves.
    for (int i = 1; i <= count; ++i) {
        try {
            const lns::AppDevicePtr device = appDevices->item(i);
            if (device->name() != deviceName)
                continue;
            const lns::DeviceTemplatePtr deviceTemplate = device->deviceTemplate();
            const QString templateName = deviceTemplate ? deviceTemplate->name() : QString();
            if (!ListsTemplate(templateName)) {
                missing.failure = GetResString(DeviceNotFound, 3, {templateName, deviceName});
                continue;
            }
            FoundDevice found;
            found.appDevice = device;
            found.lonMarkObjects = device->lonMarkObjects();
            missing.failure = GetResString(DeviceNotFound, 2, {deviceName, lonMarkObjectName});
            found.lonMarkObject = found.lonMarkObjects->item(lonMarkObjectName);
            found.success = found.lonMarkObject != nullptr;
            if (found.success)
                return found;
        } catch (const TqmError &) {
            // A device that cannot be read, or lacks the object, is not the one sought.
        }
    }
    return missing;
}
