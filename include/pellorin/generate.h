#pragma once

#include "pellorin/request.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

namespace pellorin {

namespace detail {
class card_source;
class output_run;
} // namespace detail

// One card of a card_range: its number as the request prints it (grouped
// when asked), its expiry date ("MM/YY") and code when asked, and the name
// of the network it goes by ("Visa", or "Custom" for a prefix in none).
class card {
public:
    std::string_view number() const noexcept { return { m_number, m_numberSize }; }
    std::string_view expiry() const noexcept { return { m_expiry, m_expirySize }; }
    std::string_view cvv() const noexcept { return { m_cvv, m_cvvSize }; }
    std::string_view network() const noexcept { return m_network; }

private:
    friend class detail::card_source;
    char m_number[32] {};
    char m_expiry[5] {};
    char m_cvv[4] {};
    unsigned char m_numberSize = 0, m_expirySize = 0, m_cvvSize = 0;
    std::string_view m_network;
};

// The cards of a request, made as they are read, a block at a time: the
// same cards, in the same order, as pellorin-cli writes for the request.
// Throws refusal for a request it cannot make, and std::bad_alloc when
// `unique`'s keys do not fit in memory.
class card_range {
public:
    explicit card_range(const request& request);
    ~card_range();
    card_range(card_range&&) noexcept;
    card_range& operator=(card_range&&) noexcept;

    // The --seed value the cards come from: the request's, or the one drawn for it,
    // to make the same cards again.
    std::uint64_t seed() const noexcept;
    std::uint64_t size() const noexcept;

    // Reads the cards once, front to back.
    class iterator {
    public:
        using value_type = card;
        using difference_type = std::ptrdiff_t;
        using iterator_concept = std::input_iterator_tag;

        iterator() = default;
        const card& operator*() const noexcept { return m_card; }
        const card* operator->() const noexcept { return &m_card; }
        iterator& operator++();
        void operator++(int) { ++*this; }
        friend bool operator==(const iterator& it, std::default_sentinel_t) noexcept
        {
            return it.m_done;
        }

    private:
        friend class card_range;
        detail::card_source* m_source = nullptr;
        bool m_done = true;
        card m_card;
    };

    // Once: a second begin() goes on where the first stopped.
    iterator begin();
    std::default_sentinel_t end() const noexcept { return {}; }

private:
    std::unique_ptr<detail::card_source> m_source;
};

// The request's output cut into blocks of up to some hundred KiB, made
// apart: for a face that shows progress, or writes with several threads.
// The blocks one after the other are the bytes pellorin-cli writes.
class output_blocks {
public:
    // Throws refusal for a request it cannot make, and std::bad_alloc when
    // `unique`'s keys do not fit in memory.
    explicit output_blocks(const request& request);
    ~output_blocks();
    output_blocks(output_blocks&&) noexcept;
    output_blocks& operator=(output_blocks&&) noexcept;

    // The --seed value the output comes from: the request's, or the one drawn.
    std::uint64_t seed() const noexcept;
    // At least one: an output of no cards is one block too.
    std::uint64_t size() const noexcept;
    // True for `unique` cards, whose blocks must be made in order, 0 first,
    // on one thread at a time; otherwise any blocks may be made at once.
    bool in_order() const noexcept;
    // Block `block`'s bytes, in room the calling thread keeps: they stay
    // until it makes another block.
    std::string_view make(std::uint64_t block) const;

private:
    std::unique_ptr<detail::output_run> m_run;
};

// The request's output, the bytes pellorin-cli writes for it, handed to
// `write` a block of up to some hundred KiB at a time; `write` returns
// false to stop there. Returns the --seed value used. Throws refusal for a request
// it cannot make.
std::uint64_t generate_blocks(
    const request& request, const std::function<bool(std::string_view bytes)>& write);

// The request's output whole.
std::string generate(const request& request);

// Writes the request's output through `out` (a char*, a back_inserter)
// and returns where it ended, as std::format_to does.
template <typename OutputIt> OutputIt generate_to(OutputIt out, const request& request)
{
    generate_blocks(request, [&out](std::string_view bytes) {
        for (const char c : bytes)
            *out++ = c;
        return true;
    });
    return out;
}

// What generate_to_n wrote: `out` past the last byte written, `size` the
// bytes written, and whether the output went on past them.
template <typename OutputIt> struct generate_to_n_result {
    OutputIt out;
    std::size_t size;
    bool truncated;
};

// At most `n` bytes of the request's output through `out`, as
// std::format_to_n: into a caller's buffer of `n` bytes, without making
// more than it holds.
template <typename OutputIt>
generate_to_n_result<OutputIt> generate_to_n(OutputIt out, std::size_t n, const request& request)
{
    std::size_t size = 0;
    bool truncated = false;
    generate_blocks(request, [&](std::string_view bytes) {
        const std::size_t taken = std::min(bytes.size(), n - size);
        for (std::size_t i = 0; i < taken; ++i)
            *out++ = bytes[i];
        size += taken;
        // A buffer filled to the byte still hears of the next block, to
        // tell a whole output from a cut one.
        truncated = taken < bytes.size();
        return !truncated;
    });
    return { out, size, truncated };
}

} // namespace pellorin
