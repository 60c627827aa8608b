#pragma once

#include <cstddef>
#include <list>
#include <optional>
#include <unordered_map>
#include <vector>

namespace pellorin {

// The handles made for the rows used last, up to a capacity, so a row keeps
// the same handle while it is in use, without a handle per row of a long
// list. One row can be held (the current one): it never falls out, however
// many other rows are used meanwhile.
class RecentRows {
public:
    using Handle = unsigned;

    explicit RecentRows(std::size_t capacity);

    // The handle kept for `row`, which becomes the one used last.
    std::optional<Handle> use(int row);
    // Keeps `handle` for `row` (which must have none) as the one used last.
    // Returns the handle of the row that fell out to make room, if one did.
    std::optional<Handle> add(int row, Handle handle);
    // Holds `row`, or nothing when it is negative; the row held before may
    // fall out again.
    void hold(int row) { m_held = row; }
    int held() const { return m_held; }

    // Forgets every row, the held one too; returns their handles.
    std::vector<Handle> clear();
    std::size_t size() const { return m_rows.size(); }

private:
    struct Kept {
        Handle handle;
        std::list<int>::iterator use;
    };

    std::size_t m_capacity;
    int m_held = -1;
    std::unordered_map<int, Kept> m_rows;
    // Rows by last use, the most recent first.
    std::list<int> m_uses;
};

} // namespace pellorin
