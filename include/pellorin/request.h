#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pellorin {

// The numbers to make and how to write them, field for field
// pellorin-cli generate's options. A field left as it is takes the option's
// default, so a request names only what it asks ({ .brand = "amex",
// .count = 5 }); words ("visa", "luhn", "csv") arrive by name, so a network, rule
// or format that pellorin-cli learns needs no new field here.
struct request {
    // A network's id as `networks()` lists it ("visa", "mir"); empty:
    // visa, or none with a prefix of one's own.
    std::string brand {};
    // "window" (the window's numbers for its five networks, the default)
    // or "network" (every published range); empty: the default.
    std::string ranges {};
    // An issuer prefix (BIN) of one's own, with `length`; empty: none.
    std::string prefix {};
    // Digits per number; 0: the network's common length.
    int length = 0;
    // The one rule every number breaks on purpose ("luhn", "length",
    // "prefix", ...); empty: well-formed numbers.
    std::string invalid {};
    // Numbers in the network's groups ("4539 1488 0343 6467").
    bool group = false;
    // One character between groups instead of a blank (implies group);
    // empty: a blank.
    std::string separator {};
    std::uint64_t count = 10;
    // The same numbers for the same seed, on every platform and in every
    // face; none: a seed nobody can foresee.
    std::optional<std::uint64_t> seed {};
    // No number twice (keeps them in memory).
    bool unique = false;
    bool with_expiry = false;
    bool with_cvv = false;
    // "text", "csv", "json", "ndjson", "table" ...; empty: text. Only the
    // written output has a format: the cards of a card_range are fields.
    std::string format {};
    // Each record of text, csv or ndjson ends in NUL instead of a line end.
    bool null = false;
    // csv and table without their heading line.
    bool no_header = false;
    // The month expiry dates count from (they fall 1 to 60 months after
    // it); none: the current month in UTC.
    std::optional<std::chrono::year_month> month {};
};

// One option as pellorin-cli generate takes it: its long name without the
// dashes, with _ for - ("with_expiry"), and its value as typed; a flag's
// value is empty.
struct option {
    std::string_view name;
    std::string_view value;
};

// The request the options ask for, for a face that takes them as text (a
// binding's keywords): a value of the wrong kind is refused with
// pellorin-cli's words ("--count: expected a whole number from 0 to
// 9223372036854775807, got '-1'"), and so is an option it does not know.
request read_request(std::span<const option> options);

} // namespace pellorin
