#include "ui/configurationsurface.h"

namespace ui {

ConfigurationSurface::ConfigurationSurface(MainWindowView &view, PageContext &context, Navigation &navigation,
                                           LoggerPage &logger, MonitoringPresenter &monitoring,
                                           std::function<void()> setControls)
    : m_view(view), m_context(context), m_navigation(navigation), m_logger(logger), m_monitoring(monitoring),
      m_setControls(std::move(setControls))
{
}

} // namespace ui
