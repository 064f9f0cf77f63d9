#include "host/registrationwriter.h"

#include "base/tqmerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString Group = QStringLiteral("Registration");

} // namespace

QString RegistrationWriter::recordFile(const QString &projectName) const
{
    return m_home + QStringLiteral("/plugins/") + projectName + QStringLiteral(".ini");
}

void RegistrationWriter::commit(const RegistrationRecord &record)
{
    const QString path = recordFile(record.projectName);
    if (QFileInfo::exists(path) && read(record.projectName) == record)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(Group);
    file.setValue(QStringLiteral("ProjectName"), record.projectName);
    file.setValue(QStringLiteral("ClassName"), record.className);
    file.setValue(QStringLiteral("Description"), record.description);
    file.setValue(QStringLiteral("LcaVersion"), record.lcaVersion);
    file.setValue(QStringLiteral("ManufacturerName"), record.manufacturerName);
    file.setValue(QStringLiteral("ProductName"), record.productName);
    file.setValue(QStringLiteral("RegistrationNumber"), record.registrationNumber);
    file.setValue(QStringLiteral("Version"), record.version);
    file.endGroup();
    file.sync();
    if (file.status() != QSettings::NoError)
        throw TqmError(TqmError::FileAccess, QStringLiteral("RegistrationWriter"),
                       QStringLiteral("The registration record %1 cannot be written.").arg(path));
}

void RegistrationWriter::unregister(const QString &projectName, const QStringList &registrationFiles)
{
    // Each file is first moved aside in its own directory, which fails exactly when removing
    // it would; only when all are aside are they removed.
    const QString aside = QStringLiteral(".removing");
    QStringList moved;
    for (const QString &path : QStringList{recordFile(projectName)} + registrationFiles) {
        if (!QFileInfo::exists(path))
            continue;
        QFile::remove(path + aside);
        if (!QFile::rename(path, path + aside)) {
            for (const QString &back : std::as_const(moved))
                QFile::rename(back + aside, back);
            throw TqmError(TqmError::FileAccess, QStringLiteral("RegistrationWriter"),
                           QStringLiteral("%1 cannot be removed.").arg(path));
        }
        moved.append(path);
    }
    for (const QString &path : std::as_const(moved))
        QFile::remove(path + aside);
}

RegistrationRecord RegistrationWriter::read(const QString &projectName) const
{
    RegistrationRecord record;
    if (!QFileInfo::exists(recordFile(projectName)))
        return record;
    QSettings file(recordFile(projectName), QSettings::IniFormat);
    file.beginGroup(Group);
    record.projectName = file.value(QStringLiteral("ProjectName")).toString();
    record.className = file.value(QStringLiteral("ClassName")).toString();
    record.description = file.value(QStringLiteral("Description")).toString();
    record.lcaVersion = file.value(QStringLiteral("LcaVersion")).toString();
    record.manufacturerName = file.value(QStringLiteral("ManufacturerName")).toString();
    record.productName = file.value(QStringLiteral("ProductName")).toString();
    record.registrationNumber = file.value(QStringLiteral("RegistrationNumber")).toString();
    record.version = file.value(QStringLiteral("Version")).toString();
    return record;
}

namespace dbusactivation {

QString servicesDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/dbus-1/services");
}

QString serviceFile()
{
    return servicesDirectory() + QLatin1Char('/') + ServiceName + QStringLiteral(".service");
}

void install(const QString &programPath)
{
    QDir().mkpath(servicesDirectory());
    QSaveFile file(serviceFile());
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        const QString text = QStringLiteral("[D-BUS Service]\nName=%1\nExec=\"%2\" -Embedding\n")
                                 .arg(ServiceName, QFileInfo(programPath).absoluteFilePath());
        file.write(text.toUtf8());
        if (file.commit())
            return;
    }
    throw TqmError(TqmError::FileAccess, QStringLiteral("dbusactivation"),
                   QStringLiteral("The D-Bus service file %1 cannot be written.").arg(serviceFile()));
}

} // namespace dbusactivation
