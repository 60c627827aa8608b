#include "OrderedWriter.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace pellorin::cli {

bool writeInOrder(std::uint64_t blocks, unsigned threads,
    const std::function<void(std::uint64_t block, ByteBuffer& out)>& make,
    const std::function<bool(std::string_view bytes)>& write)
{
    std::atomic<std::uint64_t> nextBlock { 0 };
    std::atomic<bool> stop { false };
    std::mutex mutex;
    std::condition_variable turn;
    std::uint64_t toWrite = 0;
    bool readerGone = false;
    std::exception_ptr failure;

    auto fail = [&](std::exception_ptr error) {
        const std::lock_guard lock(mutex);
        if (!failure)
            failure = std::move(error);
        stop = true;
        turn.notify_all();
    };
    auto work = [&] {
        ByteBuffer buffer;
        while (!stop) {
            const std::uint64_t block = nextBlock++;
            if (block >= blocks)
                return;
            try {
                buffer.clear();
                make(block, buffer);
            } catch (...) {
                fail(std::current_exception());
                return;
            }
            {
                std::unique_lock lock(mutex);
                turn.wait(lock, [&] { return toWrite == block || stop; });
                if (stop)
                    return;
            }
            // Only the thread whose turn it is gets here.
            bool written = false;
            try {
                written = write(buffer.view());
            } catch (...) {
                fail(std::current_exception());
                return;
            }
            const std::lock_guard lock(mutex);
            if (!written) {
                readerGone = true;
                stop = true;
            }
            ++toWrite;
            turn.notify_all();
        }
    };

    std::vector<std::thread> helpers;
    const auto wanted = unsigned(std::min<std::uint64_t>(threads, blocks));
    if (wanted > 1)
        helpers.reserve(wanted - 1);
    try {
        for (unsigned i = 1; i < wanted; ++i)
            helpers.emplace_back(work);
    } catch (...) {
        // Fewer threads than asked for make the same output.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    return !readerGone;
}

} // namespace pellorin::cli
