#include "platform/Output.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellorin {

namespace {

// The temporary file to remove when a signal ends the program. Only
// async-signal-safe calls touch it from the handler.
std::array<char, 4096> g_temporary {};
volatile std::sig_atomic_t g_haveTemporary = 0;

extern "C" void removeTemporaryAndEnd(int signal)
{
    if (g_haveTemporary != 0)
        ::unlink(g_temporary.data());
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void forgetTemporary() noexcept
{
    g_haveTemporary = 0;
}

} // namespace

void Output::installSignalHandling()
{
    std::signal(SIGPIPE, SIG_IGN);
    for (int signal : { SIGINT, SIGTERM, SIGHUP })
        std::signal(signal, removeTemporaryAndEnd);
}

Output::Output(std::string fileName)
    : m_name(std::move(fileName))
{
    if (m_name.empty())
        return;

    struct stat target { };
    const bool exists = ::stat(m_name.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        fail(EISDIR);
    if (exists && !S_ISREG(target.st_mode)) {
        // A device or a pipe: nothing to replace, and renaming a file over
        // it would destroy the node.
        m_fd = ::open(m_name.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_fd < 0)
            fail(errno);
        return;
    }
    // Read-only means read-only for everyone, the superuser included.
    if (exists && (target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        fail(EACCES);

    const std::size_t slash = m_name.rfind('/');
    const std::string folder
        = slash == std::string::npos ? std::string() : m_name.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? m_name : m_name.substr(slash + 1);
    std::string temporary = folder + "." + base + ".XXXXXX";
    if (temporary.size() >= g_temporary.size())
        fail(ENAMETOOLONG);
    // Signals wait until the file is noted, so none can leave it behind.
    sigset_t ending, before;
    sigemptyset(&ending);
    for (int signal : { SIGINT, SIGTERM, SIGHUP })
        sigaddset(&ending, signal);
    pthread_sigmask(SIG_BLOCK, &ending, &before);
    m_fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    const int error = errno;
    if (m_fd >= 0) {
        std::memcpy(g_temporary.data(), temporary.c_str(), temporary.size() + 1);
        g_haveTemporary = 1;
        m_temporary = temporary;
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    if (m_fd < 0)
        fail(error);

    mode_t mode = 0;
    if (exists) {
        mode = target.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0)
        fail(errno);
}

Output::~Output()
{
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        forgetTemporary();
    }
    if (m_fd > 2)
        ::close(m_fd);
}

void Output::fail(int error) const
{
    const std::string reason = std::strerror(error);
    if (m_name.empty())
        throw OutputError("cannot write to standard output: " + reason);
    throw OutputError("cannot write '" + m_name + "': " + reason);
}

bool Output::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EPIPE)
                return false;
            fail(errno);
        }
        if (n == 0)
            fail(ENOSPC);
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

void Output::commit()
{
    if (m_temporary.empty())
        return;
    // A full disk may only show when the data reaches it.
    if (::fdatasync(m_fd) != 0)
        fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (::rename(m_temporary.c_str(), m_name.c_str()) != 0)
        fail(errno);
    forgetTemporary();
    m_temporary.clear();
}

std::string readInChunks(
    const std::string& fileName, const std::function<bool(std::string_view chunk)>& onChunk)
{
    const bool standardInput = fileName.empty() || fileName == "-";
    const int fd = standardInput ? 0 : ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    std::string failure;
    std::array<char, 65536> chunk {};
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failure = std::strerror(errno);
        if (n <= 0 || !onChunk(std::string_view(chunk.data(), std::size_t(n))))
            break;
    }
    if (!standardInput)
        ::close(fd);
    return failure;
}

} // namespace pellorin
