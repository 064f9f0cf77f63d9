#pragma once

// The fuzzers hand their input to readers that take a file name: one file per process, rewritten
// for every input.

#include <QFile>
#include <QTemporaryDir>

class FuzzInput
{
public:
    explicit FuzzInput(const char *fileName) : m_path(m_dir.filePath(QString::fromLatin1(fileName))) {}

    const QString &write(const uint8_t *data, size_t size)
    {
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(reinterpret_cast<const char *>(data), qint64(size));
        return m_path;
    }
    QString path(const char *fileName) const { return m_dir.filePath(QString::fromLatin1(fileName)); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};
