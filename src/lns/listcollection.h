#pragma once

// The one 1-based collection over a list of members, for everything that hands out a network
// collection without being a network database: a selection of the multi-device window, the
// network fakes of the tests. Members are either kept (append) or made on demand from a
// snapshot of their names (a factory), as a backend that keeps no objects in memory does.

#include "lns/lns.h"

#include <QStringList>
#include <functional>

namespace lns {

template <class T>
class ListCollection : public Collection<T>
{
public:
    using Pointer = std::shared_ptr<T>;
    // Makes the member at the 0-based position; `self` is the collection, the member's parent.
    using Factory = std::function<Pointer(int position, const ObjectPtr &self)>;

    explicit ListCollection(QList<Pointer> members = {}) : m_members(std::move(members)) {}
    ListCollection(QStringList names, Factory factory) : m_names(std::move(names)), m_factory(std::move(factory)) {}

    // The owner answers parent(). A kept owner lives as long as the collection; a weak one is
    // for owners that hold the collection themselves.
    void keepOwner(ObjectPtr owner) { m_parent = [owner] { return owner; }; }
    void watchOwner(std::weak_ptr<Object> owner) { m_parent = [owner] { return owner.lock(); }; }

    ObjectPtr parent() const override { return m_parent ? m_parent() : nullptr; }
    QString name() const override { return {}; }
    int count() const override { return int(m_factory ? m_names.size() : m_members.size()); }

    // Throws TqmError (LnsObjectNotFound) outside 1..count.
    Pointer item(int index) const override
    {
        if (index < 1 || index > count())
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("Collection"),
                           QStringLiteral("Index %1 is outside 1 to %2.").arg(index).arg(count()));
        return memberAt(index - 1);
    }
    // Throws TqmError (LnsObjectNotFound) when no member has the name.
    Pointer item(const QString &name) const override
    {
        const int position = positionOf(name);
        if (position < 0)
            throw TqmError(TqmError::LnsObjectNotFound, QStringLiteral("Collection"),
                           QStringLiteral("\"%1\" was not found.").arg(name));
        return memberAt(position);
    }

    void append(Pointer member) { m_members.append(std::move(member)); }
    QList<Pointer> &members() { return m_members; }

private:
    Pointer memberAt(int position) const
    {
        if (m_factory)
            return m_factory(position, std::const_pointer_cast<Object>(this->shared_from_this()));
        return m_members.at(position);
    }
    int positionOf(const QString &name) const
    {
        if (m_factory)
            return int(m_names.indexOf(name));
        for (int i = 0; i < m_members.size(); ++i) {
            if (m_members.at(i)->name() == name)
                return i;
        }
        return -1;
    }

    QList<Pointer> m_members;
    QStringList m_names;
    Factory m_factory;
    std::function<ObjectPtr()> m_parent;
};

} // namespace lns
