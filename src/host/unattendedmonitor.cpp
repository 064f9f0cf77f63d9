#include "host/unattendedmonitor.h"

#include "lns/timer.h"
#include "ui/mainwindowview.h"

namespace {

constexpr int FirstField = 4;
constexpr int LastField = 10;

} // namespace

UnattendedMonitor::UnattendedMonitor(ui::MainWindowView &view, TimerFactory &timers,
                                     std::function<void(const QString &)> print, QObject *parent)
    : QObject(parent), m_view(view), m_print(std::move(print)), m_timer(timers.createTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer.get(), &Timer::timeout, this, [this] {
        stop();
        emit finished();
    });
}

UnattendedMonitor::~UnattendedMonitor() = default;

void UnattendedMonitor::start(int seconds)
{
    for (int field = FirstField; field <= LastField; ++field) {
        if (!m_view.textBox(field)->text().isEmpty())
            print(field);
        connect(m_view.textBox(field), &controls::TextBoxControl::changed, this, [this, field] { print(field); });
    }
    m_timer->start(qMax(0, seconds) * 1000);
}

void UnattendedMonitor::stop()
{
    m_timer->stop();
    for (int field = FirstField; field <= LastField; ++field)
        disconnect(m_view.textBox(field), nullptr, this, nullptr);
}

void UnattendedMonitor::print(int field)
{
    m_print(QStringLiteral("[field %1] %2").arg(field).arg(m_view.textBox(field)->text()));
}

int UnattendedMonitor::secondsFrom(const QString &text)
{
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    return ok && seconds >= 0 ? seconds : DefaultSeconds;
}
