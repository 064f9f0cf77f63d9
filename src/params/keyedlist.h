#pragma once

// An owning list that keeps insertion order, is indexed from 1 and is keyed by name. Keys
// compare without regard to case, as the collections of the automation world do.

#include "base/tqmerror.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

template <class T>
class KeyedList
{
public:
    explicit KeyedList(QString listName) : m_listName(std::move(listName)) {}

    // Throws TqmError (DuplicateKey) when the key is taken.
    void checkNewKey(const QString &key) const
    {
        if (m_index.contains(key.toCaseFolded()))
            throw TqmError(TqmError::DuplicateKey, m_listName,
                           QStringLiteral("The %1 already holds an element named \"%2\".").arg(m_listName, key));
    }

    // Throws TqmError (DuplicateKey) when the key is taken; the item is then dropped.
    T *add(const QString &key, std::unique_ptr<T> item)
    {
        checkNewKey(key);
        m_index.insert(key.toCaseFolded(), int(m_items.size()));
        m_items.push_back(std::move(item));
        return m_items.back().get();
    }

    // 1-based; throws TqmError (SubscriptOutOfRange) outside 1..count.
    T *at(int index) const
    {
        if (index < 1 || index > count())
            throw TqmError(TqmError::SubscriptOutOfRange, m_listName,
                           QStringLiteral("Index %1 is outside 1 to %2 of the %3.").arg(index).arg(count()).arg(m_listName));
        return m_items[size_t(index - 1)].get();
    }

    // Throws TqmError (SubscriptOutOfRange) for an unknown key.
    T *byKey(const QString &key) const
    {
        T *item = find(key);
        if (!item)
            throw TqmError(TqmError::SubscriptOutOfRange, m_listName,
                           QStringLiteral("The %1 holds no element named \"%2\".").arg(m_listName, key));
        return item;
    }

    T *find(const QString &key) const
    {
        const auto it = m_index.constFind(key.toCaseFolded());
        return it == m_index.constEnd() ? nullptr : m_items[size_t(*it)].get();
    }

    int count() const { return int(m_items.size()); }

    template <class F>
    void forEach(F &&f) const
    {
        for (const auto &item : m_items)
            f(item.get());
    }

private:
    QString m_listName;
    std::vector<std::unique_ptr<T>> m_items;
    QHash<QString, int> m_index;
};
