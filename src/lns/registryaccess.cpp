#include "lns/registryaccess.h"

#include "base/tqmerror.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace {

const QString Source = QStringLiteral("RegistryAccess");

// Root names become file names: only the registry's own spelling is accepted, "HKEY_" and
// capitals or underscores.
bool isValidRoot(const QString &root)
{
    if (root.size() <= 5 || !root.startsWith(QLatin1String("HKEY_")))
        return false;
    return std::all_of(root.cbegin() + 5, root.cend(), [](QChar c) {
        return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || c == QLatin1Char('_');
    });
}

// "A\B\\C" -> "A/B/C": the store's group separator; empty levels are dropped.
QString groupPath(const QString &keyPath, const QString &section = QString())
{
    QStringList levels = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!section.isEmpty())
        levels.append(section);
    return levels.join(QLatin1Char('/'));
}

void checkWritten(const QSettings &settings, const QString &root)
{
    if (settings.status() != QSettings::NoError)
        throw TqmError(TqmError::FileAccess, Source,
                       QStringLiteral("The settings of %1 cannot be written to %2.").arg(root, settings.fileName()));
}

void checkRoot(const QString &root)
{
    if (!isValidRoot(root))
        throw TqmError(TqmError::FileAccess, Source, QStringLiteral("\"%1\" is not a registry root key.").arg(root));
}

} // namespace

QString RegistryAccess::storeFile(const QString &root) const
{
    return m_home + QStringLiteral("/registry/") + root + QStringLiteral(".ini");
}

QString RegistryAccess::ReadValue(const QString &root, const QString &keyPath, const QString &section,
                                  const QString &valueName, const QString &defaultValue) const
{
    if (!isValidRoot(root) || valueName.isEmpty())
        return defaultValue;
    const QSettings settings(storeFile(root), QSettings::IniFormat);
    const QVariant value = settings.value(groupPath(keyPath, section) + QLatin1Char('/') + valueName);
    return value.isValid() ? value.toString() : defaultValue;
}

void RegistryAccess::WriteValue(const QString &root, const QString &keyPath, const QString &section,
                                const QString &valueName, const QString &text)
{
    checkRoot(root);
    if (groupPath(keyPath).isEmpty() || valueName.isEmpty())
        throw TqmError(TqmError::FileAccess, Source,
                       QStringLiteral("A registry value needs a key path and a name (\"%1\", \"%2\").")
                           .arg(keyPath, valueName));
    QDir().mkpath(m_home + QStringLiteral("/registry"));
    QSettings settings(storeFile(root), QSettings::IniFormat);
    const QString key = groupPath(keyPath, section) + QLatin1Char('/') + valueName;
    const QVariant stored = settings.value(key);
    if (stored.isValid() && stored.toString() == text)
        return; // nothing to write: closing the window without moving it syncs nothing
    settings.setValue(key, text);
    settings.sync();
    checkWritten(settings, root);
}

void RegistryAccess::DeleteKey(const QString &root, const QString &keyPath)
{
    checkRoot(root);
    const QString group = groupPath(keyPath);
    if (group.isEmpty())
        throw TqmError(TqmError::FileAccess, Source, QStringLiteral("Refusing to delete the whole of %1.").arg(root));
    QSettings settings(storeFile(root), QSettings::IniFormat);
    settings.remove(group);
    settings.sync();
    checkWritten(settings, root);
}
