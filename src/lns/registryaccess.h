#pragma once

// The settings store the program addresses like the machine registry: a root key, a key path
// with "\" between levels ("SOFTWARE\velto\otrema Register"), a section (one more key level) and a
// value name. Each root is one INI file under <home>/registry/, e.g. HKEY_LOCAL_MACHINE.ini, so
// that the settings of a network home travel with it.

#include <QString>

class RegistryAccess
{
public:
    static inline const QString LocalMachine = QStringLiteral("HKEY_LOCAL_MACHINE");

    // The store under `home` (see homedir.h).
    explicit RegistryAccess(QString home) : m_home(std::move(home)) {}

    // The stored text, or `defaultValue` when the root, key, section or value does not exist or
    // the store cannot be read. Never throws.
    QString ReadValue(const QString &root, const QString &keyPath, const QString &section,
                      const QString &valueName, const QString &defaultValue) const;
    // Creates or replaces the value. Throws TqmError (FileAccess) when the store cannot be written.
    void WriteValue(const QString &root, const QString &keyPath, const QString &section,
                    const QString &valueName, const QString &text);
    // Removes the key and everything below it; a missing key is no error. Throws TqmError when
    // the key path is empty (the whole root is never removed) or the store cannot be written.
    void DeleteKey(const QString &root, const QString &keyPath);

    // The file holding a root's keys.
    QString storeFile(const QString &root) const;

private:
    QString m_home;
};
