#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace pellorin {

// A block of output that is not zeroed when it grows: bytes are written into
// room() and then kept up to advanceTo(). The table text and the command
// line's records are made in it, a block at a time, for one write each.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t capacity) { room(capacity); }
    // A buffer moved from is empty and without room, ready for use again.
    ByteBuffer(ByteBuffer&& other) noexcept
        : m_bytes(std::move(other.m_bytes))
        , m_capacity(std::exchange(other.m_capacity, 0))
        , m_used(std::exchange(other.m_used, 0))
    {
    }
    ByteBuffer& operator=(ByteBuffer&& other) noexcept
    {
        m_bytes = std::move(other.m_bytes);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_used = std::exchange(other.m_used, 0);
        return *this;
    }

    // Room for `n` more bytes after what is kept.
    char* room(std::size_t n)
    {
        if (m_capacity - m_used < n) {
            const std::size_t capacity = std::max(m_capacity * 2, m_used + n);
            // new char[] rather than make_unique_for_overwrite, which the
            // WebAssembly build's C++ library lacks; neither zeroes the bytes.
            std::unique_ptr<char[]> bytes(new char[capacity]);
            if (m_used > 0)
                std::memcpy(bytes.get(), m_bytes.get(), m_used);
            m_bytes = std::move(bytes);
            m_capacity = capacity;
        }
        return m_bytes.get() + m_used;
    }
    void advanceTo(const char* end) { m_used = std::size_t(end - m_bytes.get()); }
    void append(std::string_view text)
    {
        char* out = room(text.size());
        if (!text.empty())
            std::memcpy(out, text.data(), text.size());
        m_used += text.size();
    }
    void clear() { m_used = 0; }
    std::size_t used() const { return m_used; }
    void truncate(std::size_t used) { m_used = used; }
    char at(std::size_t i) const { return m_bytes[i]; }
    std::string_view view() const { return { m_bytes.get(), m_used }; }

private:
    std::unique_ptr<char[]> m_bytes;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;
};

} // namespace pellorin
