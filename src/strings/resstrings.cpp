#include "strings/resstrings.h"

#include "base/textutility.h"
#include "base/tqmerror.h"

#include <QResource>

namespace ResStrings {

namespace {

const QString Source = QStringLiteral("GetResString");
constexpr int FirstGermanNumber = 1000 + German;

[[noreturn]] void raiseBadTable(const QString &fileName, int lineNumber, const QString &what)
{
    throw TqmError(TqmError::ResourceMissing, Source,
                   QStringLiteral("%1, line %2: %3").arg(fileName).arg(lineNumber).arg(what));
}

// The tables are stored uncompressed: their UTF-8 text is read where it lies in the program,
// without a copy.
QByteArray readResource(const QString &path)
{
    const QResource resource(path);
    if (!resource.isValid())
        throw TqmError(TqmError::ResourceMissing, Source,
                       QStringLiteral("The string table %1 is not part of the program.").arg(path));
    if (resource.compressionAlgorithm() != QResource::NoCompression)
        return resource.uncompressedData();
    return QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), resource.size());
}

// One table file as read: its UTF-8 text, and where in it each number's text lies. A lookup
// decodes only the text it returns.
struct Table {
    QByteArray content;
    QHash<int, QByteArrayView> texts;
};

Table readTable(const QByteArray &content, const QString &fileName);

// Each language's table is read on its first use: a session reads only its own language's.
const Table &englishTable()
{
    static const Table table = readTable(readResource(QStringLiteral(":/strings/en.txt")), QStringLiteral("en.txt"));
    return table;
}

const Table &germanTable()
{
    static const Table table = readTable(readResource(QStringLiteral(":/strings/de.txt")), QStringLiteral("de.txt"));
    return table;
}

// The table that holds `number`: the German numbers are the English ones + 1000.
const QHash<int, QByteArrayView> &tableOf(int number)
{
    return (number >= FirstGermanNumber ? germanTable() : englishTable()).texts;
}

int g_language = English;

// "<four digits> = <text>" (the text may be empty); read by hand: the table is read before the
// first window, where compiling a pattern would cost more than reading the whole table.
bool isEntry(QByteArrayView line)
{
    if (line.size() < 7 || line.at(4) != ' ' || line.at(5) != '=' || line.at(6) != ' ')
        return false;
    for (int i = 0; i < 4; ++i) {
        if (line.at(i) < '0' || line.at(i) > '9')
            return false;
    }
    return true;
}

} // namespace

namespace {

Table readTable(const QByteArray &content, const QString &fileName)
{
    Table table{content, {}};
    const QByteArrayView all(table.content);
    // About one entry to forty characters; counting the lines first would read the table twice.
    table.texts.reserve(all.size() / 40 + 1);
    int lineNumber = 0;
    for (qsizetype start = 0; start <= all.size();) {
        qsizetype end = all.indexOf('\n', start);
        if (end < 0)
            end = all.size();
        QByteArrayView line = all.sliced(start, end - start);
        start = end + 1;
        ++lineNumber;
        // A table saved with CR LF line ends still reads alike; texts never hold a bare CR.
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (!isEntry(line))
            raiseBadTable(fileName, lineNumber,
                          QStringLiteral("expected \"<four-digit number> = <text>\", found \"%1\"")
                              .arg(QString::fromUtf8(line)));
        const int number = line.first(4).toInt();
        if (table.texts.contains(number))
            raiseBadTable(fileName, lineNumber,
                          QStringLiteral("number %1 is given a second time").arg(number));
        table.texts.insert(number, line.sliced(7));
    }
    return table;
}

} // namespace

QHash<int, QString> ParseTable(const QString &content, const QString &fileName)
{
    const Table table = readTable(content.toUtf8(), fileName);
    QHash<int, QString> texts;
    for (auto it = table.texts.cbegin(); it != table.texts.cend(); ++it)
        texts.insert(it.key(), QString::fromUtf8(it.value()));
    return texts;
}

QList<int> LoadedNumbers()
{
    return englishTable().texts.keys() + germanTable().texts.keys();
}

} // namespace ResStrings

void setLanguage(int language)
{
    ResStrings::g_language = language == ResStrings::German ? ResStrings::German
                                                            : ResStrings::English;
}

int language()
{
    return ResStrings::g_language;
}

QLocale languageLocale(int language)
{
    const QLocale::Language wanted = language == ResStrings::German ? QLocale::German : QLocale::English;
    const QLocale system = QLocale::system();
    if (system.language() == wanted)
        return system;
    return wanted == QLocale::German ? QLocale(QLocale::German, QLocale::Germany)
                                     : QLocale(QLocale::English, QLocale::UnitedKingdom);
}

QString GetResString(int id, int piece)
{
    return GetResStringIn(language(), id, piece);
}

QString GetResStringIn(int language, int id, int piece)
{
    const int number = id + language;
    const auto &texts = ResStrings::tableOf(number);
    const auto found = texts.constFind(number);
    if (found == texts.constEnd())
        throw TqmError(TqmError::ResourceMissing, QStringLiteral("GetResString"),
                       QStringLiteral("The string table has no text number %1.").arg(number));
    // The marks in UTF-8, as the table holds them.
    static const QByteArray pieceSeparator = ResStrings::PieceSeparator.toUtf8();
    static const QByteArray lineBreakMark = ResStrings::LineBreakMark.toUtf8();
    const QByteArrayView text = TextUtility::TokenView(*found, piece == 0 ? 1 : piece, pieceSeparator);
    if (TextUtility::IndexOf(text, lineBreakMark) < 0)
        return QString::fromUtf8(text);
    return QString::fromUtf8(text).replace(ResStrings::LineBreakMark, QStringLiteral("\r\n"));
}

QString GetResString(int id, int piece, const QStringList &values)
{
    return TextUtility::FillPlaceholders(GetResString(id, piece), values);
}

bool ResStringExists(int id)
{
    return ResStrings::tableOf(id).contains(id);
}
