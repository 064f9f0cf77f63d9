#pragma once

// The numbered resource texts in English and German, and their lookup.
//
// A text is addressed by its English number; the German text lives at that number + 1000, and
// the process-wide language offset (0 English, 1000 German) is added to every number looked up.
// A text may hold alternatives separated by "¦" (pieces, counted from 1) and line breaks written
// as "¶". The tables are compiled in as the resources :/strings/en.txt and :/strings/de.txt.

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>

namespace ResStrings {

inline constexpr int English = 0;
inline constexpr int German = 1000;

// Every English number the table holds; the German table holds each of them + 1000.
inline constexpr std::array<int, 226> EnglishNumbers = {
    1000, 1001, 1002, 1003, 1004, 1005, 1010, 1011, 1012, 1015, 1020, 1021, 1030, 1031, 1032,
    1033, 1035, 1036, 1037, 1038, 1040, 1041, 1050, 1051, 1052, 1055, 1056, 1057, 1060, 1061,
    1062, 1063, 1065, 1066, 1067, 1070, 1071, 1072, 1073, 1074, 1075, 1076, 1077, 1078, 1079,
    1080, 1081, 1082, 1100, 1101, 1102, 1103, 1104, 1105, 1106, 1107, 1108, 1110, 1111, 1112,
    1113, 1114, 1115, 1116, 1117, 1118, 1120, 1121, 1122, 1123, 1124, 1125, 1126, 1127, 1130,
    1131, 1132, 1133, 1134, 1135, 1136, 1137, 1140, 1200, 1201, 1202, 1203, 1204, 1205, 1206,
    1207, 1208, 1209, 1210, 1211, 1370, 1371, 1372, 1373, 1374, 1375, 1380, 1381, 1400, 1401, 1402, 1403,
    1404, 1405, 1406, 1407, 1408, 1409, 1410, 1411, 1412, 1413, 1414, 1415, 1420, 1421, 1422,
    1425, 1426, 1428, 1434, 1435, 1436, 1437, 1490, 1491, 1492, 1500, 1501, 1503, 1504, 1505,
    1506, 1507, 1508, 1513, 1515, 1516, 1517, 1518, 1519, 1520, 1521, 1522, 1523, 1526, 1527,
    1528, 1530, 1531, 1532, 1533, 1534, 1535, 1540, 1541, 1542, 1543, 1544, 1545, 1546, 1547,
    1548, 1550, 1551, 1552, 1553, 1554, 1555, 1560, 1561, 1562, 1563, 1564, 1565, 1566,
    1567, 1568, 1569, 1570, 1571, 1572, 1573, 1575, 1576, 1580, 1581, 1582, 1590,
    1600, 1601, 1650, 1670, 1671, 1800, 1801, 1802, 1803, 1804, 1805,
    1806, 1809, 1810, 1811, 1812, 1813, 1814, 1815, 1816, 1817, 1830, 1831, 1832, 1840, 1842,
    1844, 1850, 1851, 1852, 1854, 1858,
};

inline const QString PieceSeparator = QStringLiteral("¦");
inline const QString LineBreakMark = QStringLiteral("¶");

// Reads one table file's text ("<number> = <text>" lines, "#" comments, empty lines) into
// number -> raw text. The text after " = " is kept byte for byte, trailing blanks included.
// A malformed line or a number given twice raises TqmError naming `fileName` and the line.
QHash<int, QString> ParseTable(const QString &content, const QString &fileName);

// Every number that the compiled-in tables hold, both languages, in no particular order.
QList<int> LoadedNumbers();

} // namespace ResStrings

// The language offset added to every number: ResStrings::English (0) or ResStrings::German
// (1000). Any other value is taken as English, so that a damaged registry value cannot make
// every text of the program missing.
void setLanguage(int language);
int language();

// Dates and numbers in a language (0 or 1000): the system's own formats when the system speaks
// that language, otherwise the language's usual ones (German as in Germany, English as in the
// United Kingdom), so that a session shows one number and date format, its language's.
QLocale languageLocale(int language);

// Piece `piece` (0 counts as 1) of text `id` + language(), every "¶" expanded to CR LF. Empty
// when the text has fewer pieces. A missing number raises TqmError::ResourceMissing.
QString GetResString(int id, int piece = 0);

// The same, with "%1" to "%9" then filled from `values` (after the line breaks are expanded,
// so a value is inserted as it stands).
QString GetResString(int id, int piece, const QStringList &values);

// Like GetResString(id, piece) in the given language (0 or 1000) instead of the current one, for
// callers that compare with both languages' texts, e.g. a default stored under the other language.
QString GetResStringIn(int language, int id, int piece = 0);

// Whether the table holds `id` exactly as given (no language offset is added).
bool ResStringExists(int id);
