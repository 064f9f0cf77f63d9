// The link of a device simulated inside the network database: it answers from the values the
// database holds and, once its room was set, from the simulated command module
// (commandmodulesim.h), whose outputs come from the simulation and which reacts at once to a CP,
// nviSpaceTemp or calibration trigger written to it.

#include "lns/embedded/devicelink.h"
#include "lns/embedded/netdb.h"

namespace embedded {

namespace {

// The command module's outputs that the simulation computes.
const QStringList SimulatedOutputs{QStringLiteral("nvoSpaceTemp"), QStringLiteral("nvoSetptOffset"),
                                   QStringLiteral("nvoFanSpeed"), QStringLiteral("nvoHeatCool"),
                                   QStringLiteral("nvoOccManCmd")};

class SimulatedLink : public DeviceLink
{
public:
    SimulatedLink(NetDb &db, qint64 deviceId) : m_db(db), m_id(deviceId) {}

    QByteArray readCp(int cpKey) override
    {
        return m_db.scalar(QStringLiteral("SELECT value FROM cp_values WHERE device_id = ? AND cp_key = ?"), {m_id, cpKey})
            .toByteArray();
    }

    void writeCp(int, const QByteArray &) override { m_db.settleSimulation(m_id); }

    QByteArray readNv(int nvKey) override
    {
        if (isSimulatedOutput(nvKey)) {
            if (const auto room = m_db.roomState(m_id))
                return cmsim::outputValue(nvDef(nvKey).name, cmsim::outputs(*room, m_db.simSettings(m_id), m_db.now()));
        }
        return m_db.nvState(m_id, nvKey).value;
    }

    void writeNv(int nvKey, const QByteArray &) override
    {
        if (nvDef(nvKey).direction == lns::NetworkVariable::Direction::Input)
            m_db.settleSimulation(m_id);
    }

    QDateTime nvChangesAt(int nvKey, const QDateTime &now) override
    {
        if (!isSimulatedOutput(nvKey))
            return {};
        const auto room = m_db.roomState(m_id);
        return room ? cmsim::nextChange(*room, m_db.simSettings(m_id), now) : QDateTime();
    }

    void test() override {}

    // What the database holds changes under its watchers' eyes.
    bool sendsChanges() const override { return true; }
    std::unique_ptr<NvBinding> bindOutput(int, std::function<void(const QByteArray &)>) override { return nullptr; }

    void calibrationTrigger() override
    {
        if (const auto room = m_db.roomState(m_id))
            m_db.setRoomState(m_id, cmsim::calibrationTrigger(*room, m_db.simSettings(m_id), m_db.now()));
    }

    lns::AppDevice::KnobCalibration knobCalibration() override
    {
        const auto room = m_db.roomState(m_id);
        return room ? lns::AppDevice::KnobCalibration(cmsim::knobCalibration(*room, m_db.simSettings(m_id), m_db.now()))
                    : lns::AppDevice::KnobCalibration::Calibrated;
    }

private:
    const NvDef &nvDef(int nvKey) { return m_db.device(m_id).tpl->nvs[nvKey]; }

    bool isSimulatedOutput(int nvKey)
    {
        const DeviceTemplateDef &tpl = *m_db.device(m_id).tpl;
        const NvDef &nv = tpl.nvs[nvKey];
        return nv.direction == lns::NetworkVariable::Direction::Output && nv.lmoPosition >= 0
               && tpl.lmos[nv.lmoPosition].type == CommandModuleProfile && SimulatedOutputs.contains(nv.name);
    }

    NetDb &m_db;
    qint64 m_id;
};

} // namespace

std::unique_ptr<DeviceLink> makeSimulatedLink(NetDb &db, qint64 deviceId)
{
    return std::make_unique<SimulatedLink>(db, deviceId);
}

} // namespace embedded
