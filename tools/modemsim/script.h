#pragma once

#include <QList>

// Answers given one after another, one per call or per frame; once the list
// is used up its last answer repeats, so "busy,connect" means one busy line
// and then connections for good.
template <typename T> class Script
{
public:
    explicit Script(QList<T> items) : m_items(std::move(items)) {}

    T next()
    {
        const T item = m_items.at(m_next);
        if (m_next + 1 < m_items.size())
            ++m_next;
        return item;
    }

private:
    QList<T> m_items;
    qsizetype m_next = 0;
};
