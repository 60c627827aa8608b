#pragma once

#include "ByteBuffer.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace pellorin {

// Writes blocks on a thread of its own while the caller makes the next ones,
// so making a text and writing it take about as long as the slower of the
// two instead of both. Blocks are written in the order they come, one call
// of `write` each; at most `depth` wait at a time, so memory stays bounded.
// Where no thread can be started, blocks are written as they come.
class BlockWriter {
public:
    explicit BlockWriter(std::function<void(std::string_view)> write, std::size_t depth = 2);
    // Drops the blocks not yet written and waits for the one being written.
    ~BlockWriter();
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    // Takes the block's bytes for writing and leaves an empty buffer in its
    // place; waits while `depth` blocks wait. Once a write has thrown,
    // nothing more is written and this throws the same.
    void submit(ByteBuffer& block);

    // Waits until every block is written; throws what a write threw.
    void finish();

private:
    void run();
    void stop();

    std::function<void(std::string_view)> m_write;
    std::size_t m_depth;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<ByteBuffer> m_waiting;
    std::vector<ByteBuffer> m_spare;
    bool m_writing = false;
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::thread m_thread;
};

} // namespace pellorin
