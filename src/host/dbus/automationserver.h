#pragma once

// Serving the automation object for "-Embedding": publish it on the bus and run until its
// lifetime (automationlifetime.h) ends or a command ends the program.

#include <QDBusConnection>
#include <chrono>

class AutomationTarget;
class QCoreApplication;

namespace automation {

// The bus that started the program, as D-Bus activation describes it (main passes
// DBUS_STARTER_ADDRESS and DBUS_STARTER_BUS_TYPE, which libdbus does not take for the session
// bus); empty when the program was not activated.
struct StarterBus
{
    QString address;
    QString type;
};

// The bus to serve on: the bus that started the program unless that is the system bus, else
// the session bus.
QDBusConnection serviceBus(const StarterBus &starter);

// Publishes the object and runs the event loop; the target's end follows. Answers the exit code: 0, or 2
// when the object cannot be published (another instance serves it, no bus), with the reason on
// standard error.
int serve(QCoreApplication &app, AutomationTarget &target, const StarterBus &starter,
          std::chrono::milliseconds idleTime);

} // namespace automation
