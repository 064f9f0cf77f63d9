#include "session/settings.h"

#include "lns/product.h"
#include "lns/registryaccess.h"
#include "base/tqmerror.h"

#include <cmath>

namespace settings {

namespace {

const QString &root()
{
    return RegistryAccess::LocalMachine;
}

double readNumber(const RegistryAccess &registry, const QString &value)
{
    bool ok = false;
    const double number = registry.ReadValue(root(), productKey(), SettingsSection, value, QStringLiteral("-1"))
                              .trimmed()
                              .toDouble(&ok);
    return ok ? number : -1;
}

QString decimal(double twips)
{
    return QString::number(qint64(std::llround(twips)));
}

} // namespace

QString productKey()
{
    return QStringLiteral("SOFTWARE\\velto\\") + product::ProductName;
}

qint16 readLanguage(const RegistryAccess &registry)
{
    const QString text = registry.ReadValue(root(), SharedKey, OptionsSection, LanguageValue, QStringLiteral("0"));
    return qint16(text.trimmed().toInt());
}

void writeLanguage(RegistryAccess &registry, qint16 language)
{
    registry.WriteValue(root(), SharedKey, OptionsSection, LanguageValue, QString::number(language));
}

void writeProductLanguage(RegistryAccess &registry, qint16 language)
{
    registry.WriteValue(root(), productKey(), OptionsSection, LanguageValue, QString::number(language));
}

void deleteProductKey(RegistryAccess &registry)
{
    registry.DeleteKey(root(), productKey());
}

WindowPosition readWindowPosition(const RegistryAccess &registry)
{
    return {readNumber(registry, TopValue), readNumber(registry, LeftValue)};
}

void writeWindowPosition(RegistryAccess &registry, double top, double left, bool minimized)
{
    if (minimized)
        return;
    registry.WriteValue(root(), productKey(), SettingsSection, TopValue, decimal(top));
    registry.WriteValue(root(), productKey(), SettingsSection, LeftValue, decimal(left));
}

QString readFileFolder(const RegistryAccess &registry)
{
    return registry.ReadValue(root(), productKey(), SettingsSection, FileFolderValue, QString());
}

void writeFileFolder(RegistryAccess &registry, const QString &folder)
{
    registry.WriteValue(root(), productKey(), SettingsSection, FileFolderValue, folder);
}

} // namespace settings
