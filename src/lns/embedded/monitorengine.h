#pragma once

// The monitor engine of one embedded object server: it watches the NVs that a client of this
// server monitors (monitor tag set) and raises the server's monitor-update and monitor-failure
// events on the event loop, from one timer of the injected TimerFactory, so that nothing outside
// the server has to pump.
//
// Rules, per monitored NV (its settings are the session state of the connection, see NetDb):
// - Hold set: nothing happens for it until hold is cleared.
// - Polled (poll flag set and a poll interval above 0): read from the device every poll
//   interval, one poll message each. A poll of an offline device fails: the failure event is
//   raised once per outage, and the next successful poll reports again.
// - Event-driven (otherwise): reported when the device sends a new value: a value written
//   through this server, a change committed by another connection or process (seen through the
//   database's data version, so nothing is scanned while nothing changed), or a change that the
//   device's own time rules make (the simulated command module's heartbeat). A real device sends
//   its changes once its output is bound to the tool's node (DeviceLink::bindOutput), from when
//   its hold is first cleared until it is no longer monitored, polled or its connection closes;
//   the binding goes with it. A device that cannot be bound is read again when its link says
//   the value may have changed (polled, for the monitor log). The poll interval
//   is the throttle: at most one report per interval; a value that changes meanwhile is
//   reported, at its latest, when the interval has passed. An offline device sends nothing, but
//   the server learns that it went offline (its state is kept with the network, so that is a
//   change like any other): the failure event is raised once per outage, as for polls.
// - Report by exception suppresses a report whose value equals the one reported last; without
//   it a poll always reports, and a value written again through this server reports again.
// - A newly monitored NV reports its current value once.
// Poll intervals are in tenths of a second (10 = one poll a second), as the network services'
// single-point monitoring counts them; the engine's tick is one such tenth.

#include "lns/clock.h"
#include "lns/lns.h"
#include "lns/timer.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <functional>
#include <memory>
#include <optional>

namespace embedded {

class NetDb;
class NvBinding;
struct NvSession;
struct ServerState;

class MonitorEngine
{
public:
    static constexpr int TickMs = 100; // one tenth of a second, the poll-interval unit
    // A bound device sends only changes; it is asked for its value this often, so that one
    // fallen silent shows as an outage.
    static constexpr int BoundCheckSeconds = 10;

    MonitorEngine(ServerState &state, TimerFactory &timers);
    ~MonitorEngine();

    // A connection's monitor settings of an NV changed: starts or stops watching it.
    void settingsChanged(NetDb *db, qint64 deviceId, int nvKey);
    // Something was written through this connection: its event-driven NVs may have changed.
    void localChange(NetDb *db);
    // The NV's value was written through this connection (a send of the device).
    void valueWritten(NetDb *db, qint64 deviceId, int nvKey);
    // The connection closes: forget its NVs.
    void forget(NetDb *db);

    // One pass over the watched NVs at the clock's time; answers the number of updates raised.
    // The timer calls it every tick.
    int tick();
    int watchedCount() const { return int(m_watches.size()); }
    lns::NetworkVariable::MonitorPath pathOf(NetDb *db, qint64 deviceId, int nvKey) const;

private:
    struct Key
    {
        NetDb *db;
        qint64 deviceId;
        int nvKey;
        bool operator==(const Key &) const = default;
        friend size_t qHash(const Key &k, size_t seed = 0)
        {
            return qHashMulti(seed, quintptr(k.db), k.deviceId, k.nvKey);
        }
    };
    struct Watch
    {
        QByteArray lastReported;
        bool reported = false;
        bool dirty = true;        // event-driven: the value may have changed
        bool sentAgain = false;   // event-driven: written again through this connection
        bool failing = false;     // the outage was reported
        QDateTime nextPoll;       // polled: when the next poll is due
        QDateTime lastEvent;      // event-driven: time of the last report (throttle)
        QDateTime recheckAt;      // event-driven: when the device changes the value by itself
        lns::NetworkVariable::MonitorPath path = lns::NetworkVariable::MonitorPath::None;
        std::shared_ptr<NvBinding> binding; // event-driven, the device's output bound to the tool
        bool bindingTried = false;
        std::optional<QByteArray> sent;     // the value the bound device sent last
        QDateTime askBoundAt;               // bound: when the device is next asked for its value
    };

    // Polled or bound, as the settings and the device allow; `session` is not held.
    void choosePath(const Key &key, Watch &watch, const NvSession &session);
    void valueSent(const Key &key, const QByteArray &value);
    void poll(const Key &key, Watch &watch, const NvSession &session, const QDateTime &now);
    void checkEvent(const Key &key, Watch &watch, const NvSession &session, const QDateTime &now);
    // Whether the device answers; the first time it does not, its outage is reported.
    bool answers(const Key &key, Watch &watch, const NvSession &session);
    // Reports the outage once, until a value is read again.
    void noteOutage(Watch &watch, const NvSession &session, const TqmError &error);
    bool report(const Key &key, Watch &watch, const NvSession &session, const QByteArray &value, bool force);
    void updateTimer();

    ServerState &m_state;
    std::unique_ptr<Timer> m_timer;
    QHash<Key, Watch> m_watches;
    QHash<NetDb *, qint64> m_dataVersions;
    struct Event
    {
        int tag;
        std::function<void()> raise;
    };
    QList<Event> m_events; // raised at the end of a pass
};

} // namespace embedded
