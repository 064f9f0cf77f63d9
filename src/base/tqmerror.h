#pragma once

#include <QString>
#include <exception>
#include <string>

// The one error type of the program. Every failure that a caller may handle carries a number,
// the source that raised it and a description, the way the network services and the plug-in's
// own routines report errors. "Errors ignored" anywhere means catching exactly this type.
class TqmError : public std::exception
{
public:
    // Numbers used across the program.
    static constexpr qint32 IniFileError = 10000;                      // INI look-up failed
    static constexpr qint32 InvalidWindow = qint32(0x800403E8u);       // byte window does not fit
    static constexpr qint32 ReadOnlyProperty = qint32(0x80044E22u);    // automation property is read-only
    static constexpr qint32 LnsDeviceNotResponding = qint32(0x80040FA2u); // device did not answer
    static constexpr qint32 LnsObjectNotFound = qint32(0x80040FA3u);   // no such object / index out of range
    static constexpr qint32 LnsInvalidValue = qint32(0x80040FA4u);     // value text cannot be converted
    static constexpr qint32 LnsDatabase = qint32(0x80040FA5u);         // network database failure
    static constexpr qint32 LnsInvalidOperation = qint32(0x80040FA6u); // operation not allowed in this state
    static constexpr qint32 ResourceMissing = qint32(0x80040716u);     // string table has no such number
    static constexpr qint32 Overflow = 6;                              // arithmetic overflow
    static constexpr qint32 SubscriptOutOfRange = 9;                   // index outside a list
    static constexpr qint32 TypeMismatch = 13;                         // text is not a number
    static constexpr qint32 FileNotFound = 53;
    static constexpr qint32 DuplicateKey = 457;                        // key already in a list
    static constexpr qint32 FileAccess = 75;                           // path or file access error
    static constexpr qint32 BadFileFormat = 321;                       // a file's content is not as expected

    TqmError(qint32 number, QString source, QString description, int line = 0)
        : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
          m_line(line), m_what((m_source + QStringLiteral(": ") + m_description).toStdString())
    {
    }

    qint32 number() const { return m_number; }
    const QString &source() const { return m_source; }
    const QString &description() const { return m_description; }
    // Line of the routine where the error arose, for the write-error box; 0 when unknown.
    int line() const { return m_line; }

    const char *what() const noexcept override { return m_what.c_str(); }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
    int m_line;
    std::string m_what;
};
