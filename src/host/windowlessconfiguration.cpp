#include "host/windowlessconfiguration.h"

WindowlessConfiguration::WindowlessConfiguration(const ObjectServerProvider &server, const QString &objectName,
                                                 int commandIndex, const DeviceSessionParts &parts,
                                                 const QString &caption,
                                                 MultiDeviceWindowFactory createMultiDeviceWindow)
    : m_session(server, objectName, commandIndex, parts),
      m_window(caption.isEmpty() ? m_session.state().windowTitle() : caption),
      m_configuration(m_session.services(), m_window, std::move(createMultiDeviceWindow))
{
    asProgram([this] { m_configuration.FetchCPs(); });
}

void WindowlessConfiguration::readSettings()
{
    asProgram([this] { m_configuration.ReadSettings(); });
}

void WindowlessConfiguration::asProgram(const std::function<void()> &change)
{
    m_window.setUpdatingControls(true);
    try {
        change();
    } catch (...) {
        m_window.setUpdatingControls(false);
        throw;
    }
    m_window.setUpdatingControls(false);
}
