#pragma once

#include <QString>

namespace PathUtility {

// The directory path ending in exactly one directory separator, ready for a file name to be
// appended. The name is the one every caller knows; on this platform the separator is "/", and
// a path given with "\" separators (as older settings hold them) is not rewritten. An empty path
// answers "./" so that appending a file name still means a file of the current directory.
QString WithTrailingBackslash(const QString &directory);

} // namespace PathUtility
