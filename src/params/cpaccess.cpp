#include "params/cpaccess.h"

#include "lns/rawtext.h"

namespace cpaccess {

RawFormatScope::RawFormatScope(lns::ConfigProperty &cp)
    : m_cp(cp), m_saved(cp.formatSpec()), m_switched(m_saved != lns::RawFormat)
{
    if (m_switched)
        m_cp.setFormatSpec(lns::RawFormat);
}

RawFormatScope::~RawFormatScope()
{
    if (!m_switched)
        return;
    try {
        m_cp.setFormatSpec(m_saved);
    } catch (const TqmError &) {
        // The value operation's own error, if any, is the one worth reporting.
    }
}

QByteArray readBytes(lns::ConfigProperty &cp)
{
    return rawtext::parse(readRawText(cp));
}

void writeBytes(lns::ConfigProperty &cp, const QByteArray &bytes)
{
    writeRawText(cp, rawtext::format(bytes));
}

QString readRawText(lns::ConfigProperty &cp)
{
    RawFormatScope raw(cp);
    return cp.value();
}

void writeRawText(lns::ConfigProperty &cp, const QString &text)
{
    RawFormatScope raw(cp);
    cp.setValue(text);
}

} // namespace cpaccess
