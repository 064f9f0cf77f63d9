#pragma once

// Reader of INI-like text files: the plug-in INI file that maps CP and NV names to positions in a
// device's object tree per device template, and parameter set files.
//
// Format: "[section]" lines (the name is the text between the first "[" and the last "]"),
// "key = value" lines, comments starting with ";" or "#", blank lines. Section and key names
// compare case-insensitively with surrounding blanks trimmed (so "[... CPs 1.0 ]" is found with
// or without its trailing blank); values are trimmed. A key written "Key@Template" is the value of
// Key for devices of that template and overrides the plain "Key" line; an empty value there means
// the key is absent for that template. A duplicate key keeps its first value.
//
// The file is parsed once when its name is set; look-ups only consult the parsed tables, because
// they run for every CP of every device of a multi-device write. Bad lines never stop the reader:
// they are skipped and recorded as problems ("file:line: what was expected").

#include "lns/lns.h"

#include <QHash>
#include <QHashFunctions>
#include <QList>
#include <QString>
#include <QStringList>

class IniFile
{
public:
    // Sections of the plug-in INI file besides the CP, NV and help sections of product.h.
    static inline const QString TemplatesSection = QStringLiteral("velto TqmCommandModule Templates 1.0");
    static inline const QString ProgramIdsSection = QStringLiteral("velto TqmCommandModule ProgramIds 1.0");
    static inline const QString CompatibleSection = QStringLiteral("velto TqmCommandModule Compatible 1.0");
    static inline const QString AppDocSection = QStringLiteral("velto TqmCommandModule AppDoc 1.0");

    // Files larger than this are refused as a whole: no INI file of ours comes near it, and a
    // wrongly chosen file (an image, a database) must not be read into memory.
    static constexpr qint64 MaximumFileSize = 16 * 1024 * 1024;
    // Problems beyond this number are summarised in one last line.
    static constexpr int MaximumProblems = 100;

    struct TemplateEntry
    {
        QString deviceTemplate;
        QString programId;
    };

    struct FoundDevice
    {
        lns::AppDevicePtr appDevice;
        std::shared_ptr<lns::LonMarkObjects> lonMarkObjects;
        lns::LonMarkObjectPtr lonMarkObject;
        bool success = false;
        QString failure; // what was not found, for the user
    };

    IniFile() = default;
    explicit IniFile(const QString &fileName) { setFileName(fileName); }

    // Reads and parses the file. A missing or unreadable file leaves the reader empty, with the
    // reason among the problems.
    void setFileName(const QString &fileName);
    QString fileName() const { return m_fileName; }

    // "file:line: ..." for every line that was skipped, and the file-level failures.
    QStringList problems() const { return m_problems; }
    // Why the file's bytes are not plain text (NUL bytes, not UTF-8: then read in the single-byte
    // code page); empty when they are. Not among the problems: the plug-in INI file may be
    // written in the code page, a parameter set file may not.
    QString textProblem() const { return m_textProblem; }

    // The keys of a section as written, in file order (the first of duplicates), and the line of
    // a key (0 when absent).
    QStringList keys(const QString &section) const;
    int lineOf(const QString &section, const QString &key) const;

    // The key's value text exactly as written under that name; empty when absent.
    QString GetValue(const QString &section, const QString &key) const;
    // The key's value for a device of the template: the "Key@Template" line when there is one
    // (empty when its value is empty), else the plain "Key" line; empty when absent.
    QString GetTemplateValue(const QString &key, const QString &section, const QString &deviceTemplate) const;
    // Field 1 of the template's entry; -1 when there is no entry.
    qint16 GetCpIndex(const QString &key, const QString &section, const QString &deviceTemplate) const;
    // Field 1..3 of the template's entry (comma-separated integers): -1 when there is no entry,
    // 0 for a field that is missing or not a whole number.
    qint16 GetEntryField(const QString &key, const QString &section, const QString &deviceTemplate,
                         int fieldNumber) const;
    // The line of the template's entry as GetTemplateValue picks it; 0 when the key is absent for
    // the template.
    int templateLineOf(const QString &key, const QString &section, const QString &deviceTemplate) const;
    // The first field of the template's entry that is written but is no 16-bit whole number (read
    // as 0 by GetEntryField); empty when every field can be read.
    QString unreadableField(const QString &key, const QString &section, const QString &deviceTemplate) const;

    // Program ids whose parameter sets a device of `programId` may load (not including itself).
    QStringList GetCompatibleProgramIds(const QString &programId) const;
    // The program id listed under number n; empty when none.
    QString GetProgramIdByNumber(int number) const;
    // The application documentation of the program id for the language (0 or 1000), resolved
    // against the INI file's directory; empty when the file lists none.
    QString GetAppDocPath(const QString &programId, int language) const;

    // The device templates the file lists, numbered from 1.
    int TemplateEntryCount() const { return int(m_templates.size()); }
    // Entry n (1-based); an empty entry outside 1..TemplateEntryCount().
    TemplateEntry templateEntry(int number) const;
    bool ListsTemplate(const QString &deviceTemplate) const;

    // The device of that name whose template the file lists, and its LonMark object of that
    // name. Success is false when either is missing, the failure naming what was not found (the
    // device in its subsystem, the object on the device, the device's template in the file); no
    // error escapes.
    FoundDevice FindDevice(const std::shared_ptr<lns::AppDevices> &appDevices, const QString &deviceName,
                           const QString &lonMarkObjectName) const;

private:
    // Views into the file's text, which the object keeps (m_text).
    struct Entry
    {
        QStringView value;
        QStringView key; // as written
        int line = 0;
    };
    struct Section
    {
        QHash<QString, Entry> entries; // by folded key
        QStringList order;             // folded keys in file order
    };

    // A look-up as the caller spells it: each distinct one is folded and searched once, then
    // answered from memory (a multi-device write asks the same few hundred for every device).
    struct Query
    {
        QString section;
        QString key;
        QString deviceTemplate;
        bool operator==(const Query &other) const = default;
        friend size_t qHash(const Query &q, size_t seed = 0) { return qHashMulti(seed, q.section, q.key, q.deviceTemplate); }
    };

    void clear();
    void parse();
    void parseLine(QStringView line, int lineNumber, QString &currentSection, bool &inSection);
    void addProblem(int lineNumber, const QString &what);
    void collectTemplates();
    const Entry *find(const QString &section, const QString &foldedKey) const;
    // A key as looked up, folded into a buffer that keeps its capacity (no allocation per
    // look-up): "Key @ Template" as written, or the key alone / with the template given.
    const QString &lookupKey(QStringView key) const;
    const QString &lookupKey(QStringView key, QStringView deviceTemplate) const;
    const Entry *templateEntry(const QString &key, const QString &section, const QString &deviceTemplate) const;
    QString decode(QByteArray bytes);

    QString m_fileName;
    QString m_text; // the file as read: the entries are views into it
    QHash<QString, Section> m_sections; // folded section name -> keys
    QList<TemplateEntry> m_templates;
    QStringList m_problems;
    QString m_textProblem;
    int m_suppressedProblems = 0;
    mutable QHash<Query, QString> m_values;         // GetValue's answers (no template)
    mutable QHash<Query, QString> m_templateValues; // GetTemplateValue's answers
    mutable QString m_sectionBuffer;                // find's folded section name
    mutable QString m_keyBuffer;                    // lookupKey's answer
};
