#pragma once

// Running a program where it may not write. Permissions say where; as root, who writes anywhere,
// the program runs as the user nobody (setpriv), so the permissions hold for it too.

#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <unistd.h>

namespace unprivileged {

// Starts `program` with `arguments` in `process`, as nobody when the test runs as root.
inline void start(QProcess &process, const QString &program, const QStringList &arguments)
{
    if (::geteuid() != 0) {
        process.start(program, arguments);
        return;
    }
    process.start(QStringLiteral("setpriv"),
                  QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), program} + arguments);
}

// Makes a tree readable by everybody and writable by everybody or by nobody (directories
// included, `root` too).
inline void setTree(const QString &root, bool writable)
{
    const QFile::Permissions read = QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
    const QFile::Permissions enter = QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    const auto set = [&](const QString &path, bool directory) {
        QFile::setPermissions(path, read | (writable ? write : QFile::Permissions()) | (directory ? enter : QFile::Permissions()));
    };
    set(root, true);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        set(it.filePath(), it.fileInfo().isDir());
    }
}

} // namespace unprivileged
