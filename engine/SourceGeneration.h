#pragma once

#include "Brand.h"
#include "NumberPattern.h"
#include "RandomSource.h"
#include "Requests.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pellorin::engine {

// The request for `count` of the window's numbers of `brand`: its network
// over the window's own prefixes, at the window's length, as text.
GenerateRequest windowRequest(BrandId brand, std::uint64_t count);

// A request's numbers drawn from a caller's `random` rather than from the
// seed's streams: the source is re-seeded before every attempt and gives it
// one draw, so a caller that seeds the source and its timer gets the same
// numbers again, in the order of its draws. The request asks for numbers
// alone (text, without expiry, code, groups or uniqueness); any other throws
// std::invalid_argument.
class SourceNumbers {
public:
    SourceNumbers(const GenerateRequest& request, RandomSource& random);

    // Writes the next number at `out` (which may be overwritten up to
    // kCardNumberRoom bytes on) and returns its length.
    int write(char* out) noexcept;

private:
    NumberPattern m_pattern;
    RandomSource& m_random;
};

// Writes a request's text into `sink`, one `sink.write(record)` per record,
// its numbers drawn as SourceNumbers draws them. The window makes its numbers
// so, one at a time between its other work. A template, so that a sink of a
// final type is called directly: the window's list takes ten million rows a
// run, and a virtual call per row shows in its time. Returns false when the
// sink's reader went away before the end.
template <class RecordSink>
bool generateFromSource(const GenerateRequest& request, RandomSource& random, RecordSink& sink)
{
    SourceNumbers numbers(request, random);
    const char recordEnd = request.nullEnded ? '\0' : '\n';
    // Room for the longest number and its record's end.
    std::array<char, kCardNumberRoom> record {};
    for (std::uint64_t i = 0; i < request.count; ++i) {
        const auto length = std::size_t(numbers.write(record.data()));
        record[length] = recordEnd;
        if (!sink.write(std::string_view { record.data(), length + 1 }))
            return false;
    }
    return true;
}

} // namespace pellorin::engine
