#pragma once

#include "ByteBuffer.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace pellorin::cli {

// Makes blocks 0 to blocks - 1 on up to `threads` threads and hands them to
// `write` in block order, one call per block: each thread takes the next
// block, makes it into a buffer of its own and waits for its turn.
//
// `write` returns false when the reader has gone away; no block is written
// after that and the result is false. An exception from `make` or `write`
// stops every thread and is thrown again once all have ended; what was
// written by then is blocks in order, none from the failed one on.
bool writeInOrder(std::uint64_t blocks, unsigned threads,
    const std::function<void(std::uint64_t block, ByteBuffer& out)>& make,
    const std::function<bool(std::string_view bytes)>& write);

} // namespace pellorin::cli
