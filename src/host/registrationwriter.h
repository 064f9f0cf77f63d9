#pragma once

// The plug-in's registration record for the local machine. Kept in a file under the object
// server's home (<home>/plugins/<project name>.ini), where network tools of this machine look
// for installed plug-ins.

#include "host/dbus/busnames.h"

#include <QString>
#include <QStringList>

struct RegistrationRecord
{
    QString projectName;
    QString className;
    QString description;
    QString lcaVersion;
    QString manufacturerName;
    QString productName;
    QString registrationNumber;
    QString version;

    bool operator==(const RegistrationRecord &) const = default;
};

class RegistrationWriter
{
public:
    // Records under `home` (see homedir.h).
    explicit RegistrationWriter(QString home) : m_home(std::move(home)) {}

    // The record file of a project under the home directory.
    QString recordFile(const QString &projectName) const;

    // Throws TqmError (FileAccess) when the record cannot be written. A record that is already
    // there as it stands is left alone: every start registers, and a start writes nothing.
    void commit(const RegistrationRecord &record);
    // Removes the record and the files that belong to the registration with it (the activation
    // file), all or none: a missing file is no error; when one cannot be removed, the others
    // are put back and TqmError (FileAccess) names it.
    void unregister(const QString &projectName, const QStringList &registrationFiles = {});
    // Reads a committed record back; empty fields when there is none.
    RegistrationRecord read(const QString &projectName) const;

private:
    QString m_home;
};

// The automation object's D-Bus activation: a service file in the user's D-Bus services
// directory ($XDG_DATA_HOME/dbus-1/services) that starts the program with "-Embedding" when a
// host asks for the service.
namespace dbusactivation {

QString servicesDirectory();
QString serviceFile();
// Throws TqmError (FileAccess) when the file cannot be written.
void install(const QString &programPath);

} // namespace dbusactivation
