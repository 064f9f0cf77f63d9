#pragma once

// Where the plug-in keeps its settings in the machine registry (root HKEY_LOCAL_MACHINE).

#include <QString>

class RegistryAccess;

namespace settings {

// Shared by every plug-in of the product family: the interface language.
inline const QString SharedKey = QStringLiteral("SOFTWARE\\velto\\otrema Register");
inline const QString OptionsSection = QStringLiteral("Options");
inline const QString SettingsSection = QStringLiteral("Settings");
inline const QString LanguageValue = QStringLiteral("Language");
inline const QString TopValue = QStringLiteral("Top");
inline const QString LeftValue = QStringLiteral("Left");
inline const QString FileFolderValue = QStringLiteral("FileFolder");

// "SOFTWARE\velto\" + the product name: the key of this product's own settings.
QString productKey();

// The language every plug-in of the family starts in (0 English, 1000 German); 0 when unset.
qint16 readLanguage(const RegistryAccess &registry);
// The language chosen in the language menu, for all plug-ins of the family.
void writeLanguage(RegistryAccess &registry, qint16 language);
// The "REG" switch: the language under the product key (read by nobody at start-up).
void writeProductLanguage(RegistryAccess &registry, qint16 language);
// The "UNREG" switch: the product key with everything below it.
void deleteProductKey(RegistryAccess &registry);

// The main window's last position (twips); -1 when unset, meaning "where the window system
// puts it".
struct WindowPosition
{
    double top = -1;
    double left = -1;
};
WindowPosition readWindowPosition(const RegistryAccess &registry);
// Stored only when the window is not minimised, so that closing a minimised window keeps the
// position of the last normal one.
void writeWindowPosition(RegistryAccess &registry, double top, double left, bool minimized);

// The folder of the parameter set file saved or loaded last; empty when unset.
QString readFileFolder(const RegistryAccess &registry);
void writeFileFolder(RegistryAccess &registry, const QString &folder);

} // namespace settings
