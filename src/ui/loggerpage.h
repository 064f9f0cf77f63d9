#pragma once

// The "Logger" page (key 6): brought to the front when asked, and after a red line while the
// window was prepared; a device that does not answer at configure is named there in red, and the
// status text keeps saying so until the device answers.

#include "session/services.h"
#include "ui/navigation.h"

#include <functional>

namespace ui {

class LoggerPage
{
public:
    LoggerPage(const Services &services, TabStripsView &tabs, Navigation &navigation,
               std::function<bool()> accessible);

    // Brings the logger tab to the front, on the first view when the visible one has none.
    void show();
    // Shows the page when a red line was written since the last time, and forgets it.
    void showAfterRedLine();
    // After reading on the configure command: names the device in red when it does not answer.
    void reportSilentDevice();
    // The status text to show for `text`: "Ready." says that the device does not answer while
    // it still does not.
    QString statusText(const QString &text);

private:
    Services m_services;
    TabStripsView &m_tabs;
    Navigation &m_navigation;
    std::function<bool()> m_accessible;
    bool m_deviceSilent = false; // the values shown come from the network database
};

} // namespace ui
