#pragma once

#include "Network.h"
#include "NetworkPattern.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pellorin::engine {

enum class Format { Text, Csv, Json, Ndjson, Table };

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
};

// How verdicts are written: Text, Json or Ndjson.
struct CheckRequest {
    Format format = Format::Text;
    // Each verdict names its source and line ("FILE:LINE:", or "file" in
    // JSON), for input read from several sources.
    bool nameSources = false;
};

} // namespace pellorin::engine
