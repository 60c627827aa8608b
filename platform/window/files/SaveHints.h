#pragma once

#include <cstdint>
#include <string>

namespace pellorin {

// Starts writing the bytes [offset, offset + length) of an open file to the
// disk without waiting for them, so a sync at the end of a long save finds
// little left to do. Only a hint: errors are left to the final sync, which
// reports them.
void startWriteback(int fd, std::uint64_t offset, std::uint64_t length) noexcept;

// A hold on the file a save is about to replace. Renaming the new file over
// a large old one makes the rename free the old one's pages and blocks
// while the user waits; with the hold, the rename only unlinks it, and the
// old file is freed on a thread of its own once the hold is dropped. A path
// that cannot be held (none there, no thread) is freed as it would be without.
class ReplacedFileHold {
public:
    explicit ReplacedFileHold(const std::string& path) noexcept;
    ~ReplacedFileHold();
    ReplacedFileHold(const ReplacedFileHold&) = delete;
    ReplacedFileHold& operator=(const ReplacedFileHold&) = delete;

private:
    int m_fd = -1;
};

} // namespace pellorin
