#include "Output.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellorin {

namespace {

// The temporary file to remove when a signal ends the program. Only
// async-signal-safe calls touch it from the handler.
std::array<char, 4096> g_temporary {};
volatile std::sig_atomic_t g_haveTemporary = 0;

constexpr std::array kEndingSignals { SIGINT, SIGTERM, SIGHUP, SIGQUIT };

// Symlinks one after the other before the kernel gives up (its MAXSYMLINKS).
constexpr int kMaxSymlinks = 40;

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

// Holds back the ending signals while a temporary file gets or loses its
// name, so that none can come between the name and its note.
class EndingSignalsHeld {
public:
    EndingSignalsHeld()
    {
        sigset_t ending;
        sigemptyset(&ending);
        for (const int signal : kEndingSignals)
            sigaddset(&ending, signal);
        pthread_sigmask(SIG_BLOCK, &ending, &m_before);
    }
    ~EndingSignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_before, nullptr); }
    EndingSignalsHeld(const EndingSignalsHeld&) = delete;
    EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;

private:
    sigset_t m_before {};
};

void noteTemporary(const std::string& name)
{
    if (name.size() >= g_temporary.size())
        return;
    std::memcpy(g_temporary.data(), name.c_str(), name.size() + 1);
    g_haveTemporary = 1;
}

// A short hidden name, so that it fits wherever the file's own name fits.
std::string temporaryName(const std::string& folder, unsigned attempt)
{
    constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    auto n = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count())
        ^ (std::uint64_t(::getpid()) << 32) ^ (std::uint64_t(attempt) * 0x9e3779b97f4a7c15ULL);
    std::string name = folder + ".pellorin-";
    for (int i = 0; i < 6; ++i, n /= kLetters.size())
        name += kLetters[n % kLetters.size()];
    return name;
}

// The file a chain of symlinks ends at; the name itself when it is none.
std::string followSymlinks(std::string name, int& error)
{
    for (int hops = 0; hops < kMaxSymlinks; ++hops) {
        struct stat link { };
        if (::lstat(name.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
            return name;
        std::string target(std::size_t(link.st_size > 0 ? link.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
        if (n < 0 || std::size_t(n) >= target.size()) {
            error = n < 0 ? errno : ENAMETOOLONG;
            return name;
        }
        target.resize(std::size_t(n));
        const std::size_t slash = name.rfind('/');
        if (!target.starts_with('/') && slash != std::string::npos)
            target.insert(0, name, 0, slash + 1);
        name = std::move(target);
    }
    error = ELOOP;
    return name;
}

bool refusedByFolder(int error) noexcept
{
    return error == EACCES || error == EPERM || error == EROFS;
}

} // namespace

// POSIX adds to the promises of Output.h: the temporary file is an unnamed
// one where the file system offers them, else a hidden named one. A symlink
// is followed to the file it names; the new file keeps the old one's mode,
// and its owner where this process may set it. Two cases are written in
// place, as a shell's `>` writes, and are left cut short by a failed run: a
// file with more than one hard link (so that every name sees the new
// content) and a writable file in a folder that refuses new files. A device
// or pipe is written directly.
struct Output::File {
    enum class Mode { Direct, Unnamed, Named, InPlace };

    explicit File(std::string fileName);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    [[noreturn]] void fail(int error) const;
    // 0, or the system's reason why the folder takes no temporary file.
    int openTemporary(const std::string& folder);
    void openInPlace();
    void keepOwnerAndMode(bool exists, unsigned owner, unsigned group, unsigned mode);
    bool write(std::string_view bytes);
    void commit();

    std::string m_name; // as given, for messages
    std::string m_target; // the file itself, symlinks followed
    std::string m_folder; // the target's folder, "" or ending in '/'
    std::string m_temporary; // a named temporary file, while there is one
    Mode m_mode = Mode::Direct;
    int m_fd = 1;
};

void Output::installSignalHandling()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    for (const int signal : kEndingSignals) {
        struct sigaction now { };
        if (::sigaction(signal, nullptr, &now) == 0 && now.sa_handler == SIG_DFL)
            std::signal(signal, removeTemporaryAndEnd);
    }
}

Output::Output(std::string fileName)
    : m_file(std::make_unique<File>(std::move(fileName)))
{
}

Output::~Output() = default;

bool Output::write(std::string_view bytes)
{
    return m_file->write(bytes);
}

void Output::commit()
{
    m_file->commit();
}

Output::File::File(std::string fileName)
    : m_name(std::move(fileName))
{
    if (m_name.empty() || m_name == "-") {
        m_name.clear();
        return;
    }
    int error = 0;
    m_target = followSymlinks(m_name, error);
    if (error != 0)
        fail(error);

    struct stat target { };
    const bool exists = ::stat(m_target.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        fail(EISDIR);
    if (exists && !S_ISREG(target.st_mode)) {
        // A device or a pipe: nothing to replace, and renaming a file over
        // it would destroy the node.
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (m_fd < 0)
            fail(errno);
        return;
    }
    // Read-only means read-only for everyone, the superuser included.
    if (exists && (target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        fail(EACCES);

    const std::size_t slash = m_target.rfind('/');
    m_folder = slash == std::string::npos ? std::string() : m_target.substr(0, slash + 1);
    if (exists && target.st_nlink > 1) {
        openInPlace();
        return;
    }
    if (const int refused = openTemporary(m_folder); refused != 0) {
        if (!exists || !refusedByFolder(refused))
            fail(refused);
        openInPlace();
        return;
    }
    keepOwnerAndMode(exists, target.st_uid, target.st_gid, target.st_mode & 07777);
}

int Output::File::openTemporary(const std::string& folder)
{
    // An unnamed file needs /proc to be given a name later.
    if (::access("/proc/self/fd", X_OK) == 0) {
        m_fd
            = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_mode = Mode::Unnamed;
            return 0;
        }
        // Any other error: a file system without unnamed files.
        if (refusedByFolder(errno))
            return errno;
    }
    std::string temporary = folder + ".pellorin-XXXXXX";
    const EndingSignalsHeld held;
    m_fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (m_fd < 0)
        return errno;
    noteTemporary(temporary);
    m_temporary = temporary;
    m_mode = Mode::Named;
    return 0;
}

void Output::File::openInPlace()
{
    m_fd = ::open(m_target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (m_fd < 0)
        fail(errno);
    m_mode = Mode::InPlace;
}

void Output::File::keepOwnerAndMode(bool exists, unsigned owner, unsigned group, unsigned mode)
{
    if (exists) {
        // Not allowed for anyone but the superuser, or only the group:
        // the file then belongs to whoever writes it, as a new file would.
        if (::fchown(m_fd, owner, group) != 0)
            (void)!::fchown(m_fd, uid_t(-1), group);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(m_fd, mode) != 0)
        fail(errno);
}

Output::File::~File()
{
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        forgetTemporary();
    }
    if (m_fd > 2)
        ::close(m_fd);
}

void Output::File::fail(int error) const
{
    const std::string reason = std::strerror(error);
    if (m_name.empty())
        throw OutputError("cannot write to standard output: " + reason);
    throw OutputError("cannot write '" + m_name + "': " + reason);
}

bool Output::File::write(std::string_view bytes)
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

void Output::File::commit()
{
    if (m_mode == Mode::Direct)
        return;
    // A full disk may only show when the data reaches it.
    if (::fdatasync(m_fd) != 0)
        fail(errno);
    if (m_mode == Mode::Unnamed) {
        // Named only for the moment between link and rename, and noted
        // meanwhile, so that an ending signal still takes it away.
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        const EndingSignalsHeld held;
        for (unsigned attempt = 0; m_temporary.empty(); ++attempt) {
            const std::string name = temporaryName(m_folder, attempt);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                noteTemporary(name);
                m_temporary = name;
            } else if (errno != EEXIST || attempt > 100) {
                fail(errno);
            }
        }
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (m_mode == Mode::InPlace)
        return;
    const EndingSignalsHeld held;
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0)
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

struct InputFile::Handle {
    int fd;
    ~Handle() { ::close(fd); }
};

InputFile::InputFile(std::unique_ptr<Handle> handle, std::uint64_t size) noexcept
    : m_handle(std::move(handle))
    , m_size(size)
{
}

InputFile::~InputFile() = default;

std::unique_ptr<InputFile> InputFile::open(const std::string& fileName)
{
    // Not even opened unless it is a file: opening a named pipe and closing
    // it again could leave its writer without a reader.
    struct stat named { };
    if (fileName.empty() || fileName == "-" || ::stat(fileName.c_str(), &named) != 0
        || !S_ISREG(named.st_mode))
        return nullptr;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::unique_ptr<Handle> handle(new Handle { fd });
    struct stat status { };
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode))
        return nullptr;
    return std::unique_ptr<InputFile>(
        new InputFile(std::move(handle), std::uint64_t(status.st_size)));
}

std::size_t InputFile::readAt(
    std::uint64_t offset, char* into, std::size_t size, std::string& failure)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(m_handle->fd, into + done, size - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failure = std::strerror(errno);
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    return done;
}

} // namespace pellorin
