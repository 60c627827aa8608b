#pragma once

#include "Network.h"
#include "NetworkPattern.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pellorin::engine {

enum class Format { Text, Csv, Json, Ndjson, Table, Tsv };

struct FormatName {
    std::string_view id; // "ndjson"
    Format format;
};

// Every output format of generate, text first.
std::span<const FormatName> formatNames() noexcept;

// The format named `id`, or none.
std::optional<Format> formatNamed(std::string_view id) noexcept;

// The numbers to make and how to write them. Any face fills one in through
// readGenerateRequest, which refuses what the engine cannot make.
struct GenerateRequest {
    // None for a prefix of one's own.
    const Network* network = &networkTable()[0];
    // A window brand's numbers over its network's published ranges instead
    // of the window's.
    bool publishedRanges = false;
    std::string prefix;
    int length = 0; // the network's common length unless asked otherwise
    InvalidRule invalid = InvalidRule::None;
    bool group = false;
    char separator = ' ';
    std::uint64_t count = 10;
    std::optional<std::uint64_t> seed;
    bool unique = false;
    bool withExpiry = false;
    bool withCvv = false;
    Format format = Format::Text;
    // Each record of text, csv or ndjson ends in a NUL byte instead of a line
    // end, for xargs -0 and the like.
    bool nullEnded = false;
    // csv and table without their heading line, for appending to a file.
    bool noHeader = false;
};

// Which verdicts check writes.
enum class CheckShown {
    All,
    Invalid, // only those of invalid numbers
    None, // none: the summary (as a record) or the status alone
};

// How verdicts are written: Text, Json or Ndjson.
struct CheckRequest {
    Format format = Format::Text;
    // Each verdict names its source and line ("FILE:LINE:", or "file" in
    // JSON), for input read from several sources.
    bool nameSources = false;
    CheckShown shown = CheckShown::All;
    // Nothing is told: no unreadable lines, no summary; the status alone
    // says how it went. A source that cannot be read is still told.
    bool quiet = false;
    // Lines in and verdicts out end in NUL bytes, not line ends (not Json).
    bool nullEnded = false;
    // A number that no network issues passes when its length and check
    // digit hold (cards of a private label).
    bool allowUnknown = false;
    // The current month, as months since year 0 (year × 12 + month - 1):
    // an expiry before it has passed. Without it no expiry has.
    std::optional<std::int64_t> month;
};

} // namespace pellorin::engine
