#include "ui/loggerpage.h"

#include "lns/logger.h"
#include "session/session.h"
#include "strings/resstrings.h"

namespace ui {

namespace {

constexpr int ReadyMessage = 1517;
// "Device ... does not answer": the logger line, and the status text while it lasts.
constexpr int SilentDeviceMessage = 1571;

} // namespace

LoggerPage::LoggerPage(const Services &services, TabStripsView &tabs, Navigation &navigation,
                       std::function<bool()> accessible)
    : m_services(services), m_tabs(tabs), m_navigation(navigation), m_accessible(std::move(accessible))
{
}

void LoggerPage::show()
{
    if (positionOfKey(m_tabs, m_tabs.visibleTabStrip(), pages::Logger) == 0)
        m_navigation.selectFirstView();
    const int strip = m_tabs.visibleTabStrip();
    const int position = positionOfKey(m_tabs, strip, pages::Logger);
    if (position == 0)
        return;
    m_tabs.selectTab(strip, position);
    m_navigation.SelectPage(pages::Logger);
}

void LoggerPage::showAfterRedLine()
{
    if (m_services.logger->loggerOnErrorFlag())
        show();
    m_services.logger->setLoggerOnErrorFlag(false);
}

void LoggerPage::reportSilentDevice()
{
    m_deviceSilent = !m_accessible();
    if (m_deviceSilent)
        m_services.logger->addLogLine(GetResString(SilentDeviceMessage, 1, {m_services.session->deviceName}),
                                      logcolour::Red);
}

QString LoggerPage::statusText(const QString &text)
{
    if (!m_deviceSilent || text != GetResString(ReadyMessage))
        return text;
    m_deviceSilent = !m_accessible();
    return m_deviceSilent ? GetResString(SilentDeviceMessage, 2, {m_services.session->deviceName}) : text;
}

} // namespace ui
