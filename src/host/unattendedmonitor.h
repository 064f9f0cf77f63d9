#pragma once

// The monitor command without a user: a script watches a device through it. Every text that an
// output field of the monitoring page takes (fields 4 to 10) is handed out as "[field N] text",
// beginning with what the fields show when the run starts, and the run ends after its time.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class Timer;
class TimerFactory;
namespace ui {
class MainWindowView;
}

class UnattendedMonitor : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultSeconds = 5;

    UnattendedMonitor(ui::MainWindowView &view, TimerFactory &timers, std::function<void(const QString &)> print,
                      QObject *parent = nullptr);
    ~UnattendedMonitor() override;

    // Runs for `seconds` (0: hands out what the fields show and ends at the next turn of the
    // event loop).
    void start(int seconds);
    // Stops handing out field texts; the run's end is not announced.
    void stop();

    // The run's length from the text of the environment (TQM_MONITOR_SECONDS): a whole number of
    // seconds from 0; anything else gives the default.
    static int secondsFrom(const QString &text);

signals:
    void finished();

private:
    void print(int field);

    ui::MainWindowView &m_view;
    std::function<void(const QString &)> m_print;
    std::unique_ptr<Timer> m_timer;
};
