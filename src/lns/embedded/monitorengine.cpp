#include "lns/embedded/monitorengine.h"

#include "lns/embedded/netdb.h"
#include "base/tqmerror.h"
#include "lns/embedded/devicelink.h"

namespace embedded {

MonitorEngine::MonitorEngine(ServerState &state, TimerFactory &timers) : m_state(state), m_timer(timers.createTimer())
{
    QObject::connect(m_timer.get(), &Timer::timeout, m_timer.get(), [this] { tick(); });
}

// A binding that ends talks to its device, and what the device sends meanwhile looks for its
// watch: bindings end only when the watches no longer hold them.
MonitorEngine::~MonitorEngine()
{
    const auto ending = std::exchange(m_watches, {});
}

void MonitorEngine::settingsChanged(NetDb *db, qint64 deviceId, int nvKey)
{
    const Key key{db, deviceId, nvKey};
    const NvSession session = db->nvSession(deviceId, nvKey);
    std::shared_ptr<NvBinding> ending;
    if (session.monitorTag == 0) {
        ending = m_watches.take(key).binding;
    } else {
        if (!m_watches.contains(key)) {
            // Newly monitored: reports its current value once, polled or not.
            Watch watch;
            watch.nextPoll = m_state.clock->now();
            m_watches.insert(key, watch);
            if (!m_dataVersions.contains(db))
                m_dataVersions.insert(db, db->dataVersion());
        }
        if (!session.hold)
            choosePath(key, m_watches[key], session);
    }
    updateTimer();
}

void MonitorEngine::choosePath(const Key &key, Watch &watch, const NvSession &session)
{
    using Path = lns::NetworkVariable::MonitorPath;
    if (session.pollFlag && session.pollInterval > 0) {
        watch.binding.reset();
        watch.bindingTried = false;
        watch.sent.reset();
        watch.path = Path::Polled;
        return;
    }
    if (!watch.binding && !watch.bindingTried) {
        try {
            DeviceLink &link = key.db->linkOf(key.deviceId);
            if (link.sendsChanges()) {
                watch.path = Path::Bound;
                return;
            }
            // Tried once: a device that refused stays polled until monitored afresh.
            watch.bindingTried = true;
            watch.binding = link.bindOutput(key.nvKey, [this, key](const QByteArray &value) { valueSent(key, value); });
        } catch (const TqmError &) {
        }
    }
    watch.path = watch.binding ? Path::Bound : Path::Polled;
}

void MonitorEngine::valueSent(const Key &key, const QByteArray &value)
{
    if (auto it = m_watches.find(key); it != m_watches.end()) {
        it->sent = value;
        it->dirty = true;
    }
}

lns::NetworkVariable::MonitorPath MonitorEngine::pathOf(NetDb *db, qint64 deviceId, int nvKey) const
{
    return m_watches.value(Key{db, deviceId, nvKey}).path;
}

void MonitorEngine::localChange(NetDb *db)
{
    for (auto it = m_watches.begin(); it != m_watches.end(); ++it)
        if (it.key().db == db)
            it->dirty = true;
}

void MonitorEngine::valueWritten(NetDb *db, qint64 deviceId, int nvKey)
{
    if (auto it = m_watches.find(Key{db, deviceId, nvKey}); it != m_watches.end()) {
        it->dirty = true;
        it->sentAgain = true;
    }
}

void MonitorEngine::forget(NetDb *db)
{
    std::vector<std::shared_ptr<NvBinding>> ending;
    m_watches.removeIf([db, &ending](const auto &entry) {
        if (entry.key().db != db)
            return false;
        ending.push_back(entry.value().binding);
        return true;
    });
    m_dataVersions.remove(db);
    updateTimer();
}

void MonitorEngine::updateTimer()
{
    // The timer runs only while something is monitored.
    if (m_watches.isEmpty())
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start(TickMs);
}

int MonitorEngine::tick()
{
    const QDateTime now = m_state.clock->now();
    // Another connection's commit shows as a new data version: its event-driven NVs are
    // looked at again; nothing is read while nothing changed.
    for (auto it = m_dataVersions.begin(); it != m_dataVersions.end(); ++it) {
        qint64 version = it.value();
        try {
            version = it.key()->dataVersion();
        } catch (const TqmError &) {
            continue;
        }
        if (version != it.value()) {
            it.value() = version;
            localChange(it.key());
        }
    }
    // Events are raised after the pass: a handler may change what is monitored.
    m_events.clear();
    for (auto it = m_watches.begin(); it != m_watches.end(); ++it) {
        const Key &key = it.key();
        const NvSession session = key.db->nvSession(key.deviceId, key.nvKey);
        if (session.monitorTag == 0 || session.hold)
            continue;
        try {
            if (session.pollFlag && session.pollInterval > 0)
                poll(key, *it, session, now);
            else
                checkEvent(key, *it, session, now);
        } catch (const TqmError &error) {
            // A device that stops answering during the read is an outage like one known to be
            // offline; a database failure of one NV must not stop the others: it is tried again.
            if (error.number() == TqmError::LnsDeviceNotResponding)
                noteOutage(*it, session, error);
        }
    }
    // In tag order, so that one pass reports the same way every time.
    QList<Event> events = std::exchange(m_events, {});
    std::stable_sort(events.begin(), events.end(), [](const Event &a, const Event &b) { return a.tag < b.tag; });
    for (const Event &event : std::as_const(events))
        event.raise();
    return int(events.size());
}

void MonitorEngine::poll(const Key &key, Watch &watch, const NvSession &session, const QDateTime &now)
{
    if (now < watch.nextPoll)
        return;
    watch.nextPoll = now.addMSecs(qint64(session.pollInterval) * TickMs);
    if (!answers(key, watch, session))
        return;
    ++key.db->counts(key.deviceId).nvPolls;
    const QByteArray value = key.db->nvValue(key.deviceId, key.nvKey);
    watch.failing = false;
    report(key, watch, session, value, !session.reportByException);
}

void MonitorEngine::checkEvent(const Key &key, Watch &watch, const NvSession &session, const QDateTime &now)
{
    if (watch.binding && !watch.askBoundAt.isValid())
        watch.askBoundAt = now.addSecs(BoundCheckSeconds);
    const bool askBound = watch.binding && now >= watch.askBoundAt;
    const bool due = watch.dirty || askBound || (watch.recheckAt.isValid() && now >= watch.recheckAt);
    if (!due)
        return;
    const qint64 throttleMs = qint64(session.pollInterval) * TickMs;
    if (watch.lastEvent.isValid() && throttleMs > 0 && now < watch.lastEvent.addMSecs(throttleMs)) {
        // Looked at again when the throttle interval has passed.
        watch.recheckAt = watch.lastEvent.addMSecs(throttleMs);
        return;
    }
    watch.dirty = false;
    // A bound device says when its value changed.
    watch.recheckAt = watch.binding ? QDateTime() : key.db->nvValueChangesAt(key.deviceId, key.nvKey, now);
    if (watch.binding)
        watch.askBoundAt = now.addSecs(BoundCheckSeconds);
    if (!answers(key, watch, session))
        return; // a silent device sends nothing; coming back online is a change
    const bool sentAgain = std::exchange(watch.sentAgain, false);
    const bool fromDevice = !watch.binding || !watch.sent || askBound;
    const QByteArray value = fromDevice ? key.db->nvValue(key.deviceId, key.nvKey) : *watch.sent;
    if (watch.binding)
        watch.sent = value;
    watch.failing = false;
    if (report(key, watch, session, value, sentAgain && !session.reportByException))
        watch.lastEvent = now;
}

bool MonitorEngine::answers(const Key &key, Watch &watch, const NvSession &session)
{
    try {
        key.db->requireOnline(key.deviceId, QStringLiteral("NetworkVariable"));
    } catch (const TqmError &error) {
        noteOutage(watch, session, error);
        return false;
    }
    return true;
}

void MonitorEngine::noteOutage(Watch &watch, const NvSession &session, const TqmError &error)
{
    // Its value is reported again once the device answers: the owner forgot it.
    watch.reported = false;
    if (watch.failing)
        return;
    watch.failing = true;
    const int tag = session.monitorTag;
    m_events.append({tag, [this, tag, error] { m_state.raiseMonitorFailure(tag, error); }});
}

bool MonitorEngine::report(const Key &key, Watch &watch, const NvSession &session, const QByteArray &value, bool force)
{
    if (watch.reported && watch.lastReported == value && !force)
        return false;
    watch.reported = true;
    watch.lastReported = value;
    const int tag = session.monitorTag;
    const QString text = NetDb::monitorText(session.format, key.db->typeNameOf(key.deviceId, key.nvKey), value);
    m_events.append({tag, [this, tag, text] { m_state.raiseMonitorUpdate(tag, text); }});
    return true;
}

} // namespace embedded
