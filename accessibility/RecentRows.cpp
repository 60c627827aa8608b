#include "RecentRows.h"

#include <algorithm>

namespace pellorin {

RecentRows::RecentRows(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 2))
{
}

std::optional<RecentRows::Handle> RecentRows::use(int row)
{
    const auto kept = m_rows.find(row);
    if (kept == m_rows.end())
        return std::nullopt;
    m_uses.splice(m_uses.begin(), m_uses, kept->second.use);
    return kept->second.handle;
}

std::optional<RecentRows::Handle> RecentRows::add(int row, Handle handle)
{
    std::optional<Handle> dropped;
    if (m_rows.size() >= m_capacity) {
        // The held row is never the one to go: it moves up to the front, and
        // the row used least recently after it goes instead.
        if (m_uses.back() == m_held)
            m_uses.splice(m_uses.begin(), m_uses, std::prev(m_uses.end()));
        const int oldest = m_uses.back();
        dropped = m_rows.at(oldest).handle;
        m_rows.erase(oldest);
        m_uses.pop_back();
    }
    m_uses.push_front(row);
    m_rows.emplace(row, Kept { handle, m_uses.begin() });
    return dropped;
}

std::vector<RecentRows::Handle> RecentRows::clear()
{
    std::vector<Handle> handles;
    handles.reserve(m_rows.size());
    for (const auto& [row, kept] : m_rows)
        handles.push_back(kept.handle);
    m_rows.clear();
    m_uses.clear();
    m_held = -1;
    return handles;
}

} // namespace pellorin
