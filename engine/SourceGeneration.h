#pragma once

#include "Brand.h"
#include "RandomSource.h"
#include "Requests.h"

#include <cstdint>

namespace pellorin::engine {

class Sink;

// The request for `count` of the window's numbers of `brand`: its network
// over the window's own prefixes, at the window's length, as text.
GenerateRequest windowRequest(BrandId brand, std::uint64_t count);

// Writes a request's text into `sink`, one write per record, its numbers
// drawn from a caller's `random` rather than from the seed's streams: the
// source is re-seeded before every attempt and gives it one draw, so a
// caller that seeds the source and its timer gets the same numbers again, in
// the order of its draws. The window makes its numbers so, one at a time
// between its other work. The request asks for numbers alone (text, without
// expiry, code, groups or uniqueness); any other throws
// std::invalid_argument. Returns false when the sink's reader went away
// before the end.
bool generateFromSource(const GenerateRequest& request, RandomSource& random, Sink& sink);

} // namespace pellorin::engine
