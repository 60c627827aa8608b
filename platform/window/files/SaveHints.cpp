#include "SaveHints.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

#include <system_error>
#include <thread>

namespace pellorin {

void startWriteback(int fd, std::uint64_t offset, std::uint64_t length) noexcept
{
#ifdef __linux__
    ::sync_file_range(fd, off64_t(offset), off64_t(length), SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
    (void)offset;
    (void)length;
#endif
}

ReplacedFileHold::ReplacedFileHold(const std::string& path) noexcept
{
#ifdef __linux__
    // A path-only descriptor needs no permission to read the file, yet keeps
    // it alive after its last name is gone.
    m_fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
#else
    (void)path;
#endif
}

ReplacedFileHold::~ReplacedFileHold()
{
#ifdef __linux__
    if (m_fd < 0)
        return;
    const int fd = m_fd;
    try {
        std::thread([fd] { ::close(fd); }).detach();
    } catch (const std::system_error&) {
        ::close(fd);
    }
#endif
}

} // namespace pellorin
