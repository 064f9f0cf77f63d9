#pragma once

// Minimal network objects for host tests that need a device or LonMark object but no network.

#include "lns/lns.h"

template <class T>
class FakeCollection : public lns::Collection<T>
{
public:
    lns::ObjectPtr parent() const override { return owner.lock(); }
    QString name() const override { return {}; }
    int count() const override { return int(members.size()); }
    std::shared_ptr<T> item(int index) const override
    {
        if (index < 1 || index > count())
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("FakeCollection"), QStringLiteral("index"));
        return members[index - 1];
    }
    std::shared_ptr<T> item(const QString &name) const override
    {
        for (const auto &member : members)
            if (member->name() == name)
                return member;
        throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("FakeCollection"), name);
    }
    QList<std::shared_ptr<T>> members;
    std::weak_ptr<lns::Object> owner;
};

class FakeSubsystem : public lns::Subsystem
{
public:
    explicit FakeSubsystem(QString path) : m_path(std::move(path)) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_path.section(QLatin1Char('/'), -1); }
    QString path() const override { return m_path; }
    std::shared_ptr<lns::AppDevices> appDevices() const override { return {}; }
    std::shared_ptr<lns::Subsystems> subsystems() const override { return {}; }

private:
    QString m_path;
};

class FakeAppDevice : public lns::AppDevice
{
public:
    FakeAppDevice(QString name, const QString &subsystemPath) : m_name(std::move(name))
    {
        m_subsystems = std::make_shared<FakeCollection<lns::Subsystem>>();
        m_subsystems->members.append(std::make_shared<FakeSubsystem>(subsystemPath));
    }
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    lns::DeviceTemplatePtr deviceTemplate() const override { return {}; }
    QString programId() const override { return {}; }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { return {}; }
    std::shared_ptr<lns::LonMarkObjects> lonMarkObjects() const override { return {}; }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { return {}; }
    std::shared_ptr<lns::Subsystems> subsystems() const override { return m_subsystems; }
    void deviceTest(int testType) override
    {
        ++tests;
        lastTestType = testType;
        if (!online)
            throw TqmError(TqmError::LnsDeviceNotResponding, m_name, QStringLiteral("does not respond"));
    }
    void calibrationTrigger() override {}
    float applicationVersion() const override { return 2.0f; }

    bool online = true;
    int tests = 0;
    int lastTestType = 0;

private:
    QString m_name;
    std::shared_ptr<FakeCollection<lns::Subsystem>> m_subsystems;
};

class FakeLonMarkObject : public lns::LonMarkObject
{
public:
    explicit FakeLonMarkObject(QString name) : m_name(std::move(name)) {}
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return m_name; }
    int index() const override { return 1; }
    int type() const override { return 8090; }
    std::shared_ptr<lns::ConfigProperties> configProperties() const override { return {}; }
    std::shared_ptr<lns::NetworkVariables> networkVariables() const override { return {}; }
    std::shared_ptr<lns::ExtensionRecords> extensions() const override { return {}; }
    lns::AppDevicePtr appDevice() const override { return {}; }

private:
    QString m_name;
};

// An object of any class id, or one whose class id cannot be read.
class FakeObject : public lns::Object
{
public:
    explicit FakeObject(int classId, bool unreadable = false) : m_classId(classId), m_unreadable(unreadable) {}
    int classId() const override
    {
        if (m_unreadable)
            throw TqmError(TqmError::LnsInvalidOperation, QStringLiteral("FakeObject"), QStringLiteral("gone"));
        return m_classId;
    }
    lns::ObjectPtr parent() const override { return {}; }
    QString name() const override { return QStringLiteral("object"); }

private:
    int m_classId;
    bool m_unreadable;
};

// An object server that only counts whether anybody opened it.
class FakeObjectServer : public lns::ObjectServer
{
public:
    QString name() const override { return QStringLiteral("server"); }
    void open(lns::ConnectionMode) override { ++opens; }
    void close() override {}
    bool isOpen() const override { return opens > 0; }
    std::shared_ptr<lns::Networks> networks() const override { return {}; }
    int subscribeMonitorUpdates(MonitorUpdateHandler) override { return 0; }
    void unsubscribeMonitorUpdates(int) override {}
    lns::ObjectPtr objectByName(const QString &) override { return {}; }
    int opens = 0;
};
