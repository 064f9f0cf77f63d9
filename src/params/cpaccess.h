#pragma once

// Access to a configuration property's bytes through the network services: the value is
// exchanged as RAW text, and the CP's own format is put back afterwards whatever happens.

#include "lns/lns.h"

#include <QByteArray>

namespace cpaccess {

// Sets the CP's format to RAW for its lifetime and restores the previous format after; a CP in
// RAW already is left alone.
class RawFormatScope
{
public:
    explicit RawFormatScope(lns::ConfigProperty &cp);
    ~RawFormatScope();
    RawFormatScope(const RawFormatScope &) = delete;
    RawFormatScope &operator=(const RawFormatScope &) = delete;

private:
    lns::ConfigProperty &m_cp;
    QString m_saved;
    bool m_switched;
};

// The whole value's bytes.
QByteArray readBytes(lns::ConfigProperty &cp);
void writeBytes(lns::ConfigProperty &cp, const QByteArray &bytes);

// The whole value as RAW text, and back.
QString readRawText(lns::ConfigProperty &cp);
void writeRawText(lns::ConfigProperty &cp, const QString &text);

} // namespace cpaccess
