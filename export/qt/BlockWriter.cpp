#include "BlockWriter.h"

#include <system_error>
#include <utility>

namespace pellorin {

BlockWriter::BlockWriter(std::function<void(std::string_view)> write, std::size_t depth)
    : m_write(std::move(write))
    , m_depth(depth == 0 ? 1 : depth)
{
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // Out of threads: submit() writes in the caller's thread instead.
    }
}

BlockWriter::~BlockWriter()
{
    stop();
}

void BlockWriter::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_waiting.clear();
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void BlockWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_waiting.empty(); });
        if (m_stopping)
            return;
        ByteBuffer block = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_writing = true;
        lock.unlock();
        std::exception_ptr failure;
        try {
            m_write(block.view());
        } catch (...) {
            failure = std::current_exception();
        }
        block.clear();
        lock.lock();
        m_writing = false;
        m_spare.push_back(std::move(block));
        if (failure) {
            m_failure = std::move(failure);
            m_waiting.clear();
        }
        m_changed.notify_all();
    }
}

void BlockWriter::submit(ByteBuffer& block)
{
    if (!m_thread.joinable()) {
        m_write(block.view());
        block.clear();
        return;
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failure || m_waiting.size() < m_depth; });
    if (m_failure)
        std::rethrow_exception(m_failure);
    ByteBuffer empty;
    if (!m_spare.empty()) {
        empty = std::move(m_spare.back());
        m_spare.pop_back();
    }
    m_waiting.push_back(std::move(block));
    block = std::move(empty);
    lock.unlock();
    m_changed.notify_all();
}

void BlockWriter::finish()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_failure || (m_waiting.empty() && !m_writing); });
    if (m_failure)
        std::rethrow_exception(m_failure);
}

} // namespace pellorin
