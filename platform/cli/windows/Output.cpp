#include "Output.h"

#include "WideText.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace pellorin {

namespace {

// 128 + the POSIX signal a Linux run would have ended by, so that scripts
// read the same status on both systems.
constexpr DWORD kInterrupted = 128 + 2; // SIGINT
constexpr DWORD kHungUp = 128 + 1; // SIGHUP: the console closed
constexpr DWORD kTerminated = 128 + 15; // SIGTERM: logoff or shutdown

// Held while a finished file changes from temporary to named, so that an
// interrupt cannot end the run between the two steps.
std::mutex g_naming;

// The console's output code page before this run made it UTF-8.
std::atomic<UINT> g_consoleCodePage { 0 };

void restoreConsoleCodePage()
{
    if (const UINT before = g_consoleCodePage.exchange(0); before != 0)
        SetConsoleOutputCP(before);
}

BOOL WINAPI endOnControlEvent(DWORD event)
{
    DWORD status = kInterrupted;
    if (event == CTRL_CLOSE_EVENT)
        status = kHungUp;
    else if (event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        status = kTerminated;
    // Never released: the process ends here. Ending closes every handle,
    // and a temporary file's delete disposition takes it away.
    g_naming.lock();
    restoreConsoleCodePage();
    TerminateProcess(GetCurrentProcess(), status);
    return TRUE;
}

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// The C library's words for the errors that Linux names too, so that a
// message reads the same on both systems; Windows' own words for the rest.
std::string reasonFor(DWORD error)
{
    int posix = 0;
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
        posix = ENOENT;
        break;
    case ERROR_ACCESS_DENIED:
        posix = EACCES;
        break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        posix = ENOSPC;
        break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        posix = ENOMEM;
        break;
    case ERROR_DIRECTORY:
        posix = EISDIR;
        break;
    default:
        break;
    }
    if (posix != 0)
        return std::strerror(posix);
    wchar_t* text = nullptr;
    const DWORD size = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason = size > 0 ? utf8Text({ text, size }) : std::string();
    LocalFree(text);
    // One line, without the sentence's full stop, as strerror() words it.
    while (!reason.empty() && std::strchr(" .\r\n", reason.back()) != nullptr)
        reason.pop_back();
    return reason.empty() ? "system error " + std::to_string(error) : reason;
}

// A name no other run picks at the same moment, in the target's folder so
// that the finished file only changes its name.
std::wstring temporaryName(const std::wstring& folder, unsigned attempt)
{
    constexpr std::wstring_view kLetters = L"abcdefghijklmnopqrstuvwxyz0123456789";
    auto n = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count())
        ^ (std::uint64_t(GetCurrentProcessId()) << 32)
        ^ (std::uint64_t(attempt) * 0x9e3779b97f4a7c15ULL);
    std::wstring name = folder + L".pellorin-";
    for (int i = 0; i < 6; ++i, n /= kLetters.size())
        name += kLetters[n % kLetters.size()];
    return name + L".tmp";
}

// False for a character device or a pipe that has a name in the file system
// (Wine shows /dev/full as one); true for a file or a name not yet taken.
bool isDiskFile(const std::wstring& name)
{
    const HANDLE handle = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return true;
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    return type == FILE_TYPE_DISK;
}

// What the new file takes over from the file it replaces: what Explorer
// shows and backup programs read. Read-only is refused instead, and the
// rest (compressed, encrypted, sparse) belongs to how the data is stored.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM
    | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool setDeleteOnClose(HANDLE handle, bool remove)
{
    FILE_DISPOSITION_INFO disposition {};
    disposition.DeleteFile = remove ? TRUE : FALSE;
    return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition)
        != 0;
}

// Gives the open file `handle` the name `target`, replacing what is there.
bool renameTo(HANDLE handle, const std::wstring& target)
{
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = DWORD(nameBytes);
    std::memcpy(rename->FileName, target.data(), nameBytes);
    return SetFileInformationByHandle(handle, FileRenameInfo, rename, DWORD(buffer.size())) != 0;
}

} // namespace

// Windows adds to the promises of Output.h: the temporary file is created
// with a delete disposition, so that it goes with the process however that
// ends, even by TerminateProcess; commit() clears the disposition and then
// renames the open file over the target. (Cleared first: a run ended between
// the two steps leaves a stray temporary beside the old file, where the other
// order would delete the new file under the target's name after the old one
// had gone.) A file that another program holds open is refused before any
// work is done, and so is a read-only file. The new file keeps the old one's
// hidden, system, archive and not-indexed attributes; a link is replaced,
// not written through, as Windows' own replacing does.
// A writable file in a folder that refuses new files is written in place, as
// on POSIX, and left cut short by a failed run. A device is written directly.
struct Output::File {
    enum class Mode { StandardOutput, Device, Temporary, InPlace };

    explicit File(std::string fileName);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    [[noreturn]] void fail(const std::string& reason) const;
    [[noreturn]] void failWith(DWORD error) const { fail(reasonFor(error)); }
    // ERROR_SUCCESS, or the system's reason why the folder takes no file.
    DWORD openTemporary(const std::wstring& folder);
    void openDirect();
    void openInPlace();
    bool write(std::string_view bytes);
    void commit();

    std::string m_name; // as given, for messages
    std::wstring m_target; // the full path
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    Mode m_mode = Mode::StandardOutput;
    DWORD m_keptAttributes = 0; // the replaced file's, for the new one
};

void Output::installSignalHandling()
{
    // Text mode would turn every "\n" of a message into "\r\n", and the
    // bytes on standard output are written past the C library anyway.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // Messages are UTF-8 (file names): a console shows them as such only in
    // its UTF-8 code page, which it keeps after this run unless put back.
    const UINT codePage = GetConsoleOutputCP();
    if (codePage != 0 && codePage != CP_UTF8
        && (isConsole(GetStdHandle(STD_ERROR_HANDLE)) || isConsole(GetStdHandle(STD_OUTPUT_HANDLE)))
        && SetConsoleOutputCP(CP_UTF8) != 0) {
        g_consoleCodePage = codePage;
        std::atexit(restoreConsoleCodePage);
    }
    // Ctrl+C stays ignored when the caller started this run ignoring it:
    // Windows then calls no handler for it.
    SetConsoleCtrlHandler(endOnControlEvent, TRUE);
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
        m_handle = GetStdHandle(STD_OUTPUT_HANDLE);
        return;
    }
    const std::wstring given = wideText(m_name);
    m_target.resize(MAX_PATH);
    for (;;) {
        const DWORD size
            = GetFullPathNameW(given.c_str(), DWORD(m_target.size()), m_target.data(), nullptr);
        if (size == 0)
            failWith(GetLastError());
        const bool fits = size < m_target.size();
        m_target.resize(size);
        if (fits)
            break;
    }
    // A device (NUL, CON, COM1, a named pipe): nothing to replace, and no
    // folder to put a temporary file in.
    if (m_target.starts_with(L"\\\\.\\")) {
        openDirect();
        return;
    }
    if (!isDiskFile(m_target)) {
        openDirect();
        return;
    }
    const DWORD attributes = GetFileAttributesW(m_target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        failWith(ERROR_DIRECTORY);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        fail("the file is read-only");
    if (exists) {
        // Windows renames nothing over a file that another program has open,
        // even one that shares it for deletion; better to say so now than
        // after the work. Opened sharing nothing, the file opens only when
        // no one else has it open.
        const HANDLE probe = CreateFileW(
            m_target.c_str(), DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
            fail("the file is in use by another program");
        if (probe != INVALID_HANDLE_VALUE)
            CloseHandle(probe);
        m_keptAttributes = attributes & kKeptAttributes;
    }
    const std::wstring folder = m_target.substr(0, m_target.rfind(L'\\') + 1);
    if (const DWORD refused = openTemporary(folder); refused != ERROR_SUCCESS) {
        if (refused != ERROR_ACCESS_DENIED)
            failWith(refused);
        if (!exists)
            fail("the folder does not let this user create files");
        openInPlace();
    }
}

DWORD Output::File::openTemporary(const std::wstring& folder)
{
    std::wstring name;
    for (unsigned attempt = 0;; ++attempt) {
        name = temporaryName(folder, attempt);
        m_handle = CreateFileW(name.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
            m_keptAttributes != 0 ? m_keptAttributes : FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_handle != INVALID_HANDLE_VALUE)
            break;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS || attempt > 100)
            return error;
    }
    if (!setDeleteOnClose(m_handle, true)) {
        const DWORD error = GetLastError();
        CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        DeleteFileW(name.c_str());
        return error;
    }
    m_mode = Mode::Temporary;
    return ERROR_SUCCESS;
}

void Output::File::openDirect()
{
    m_handle = CreateFileW(m_target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE)
        failWith(GetLastError());
    m_mode = Mode::Device;
}

void Output::File::openInPlace()
{
    m_handle = CreateFileW(m_target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
        TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION)
            fail("the file is in use by another program");
        failWith(error);
    }
    m_mode = Mode::InPlace;
}

Output::File::~File()
{
    // A temporary file still has its delete disposition: closing removes it.
    if (m_mode != Mode::StandardOutput && m_handle != INVALID_HANDLE_VALUE)
        CloseHandle(m_handle);
}

void Output::File::fail(const std::string& reason) const
{
    if (m_name.empty())
        throw OutputError("cannot write to standard output: " + reason);
    throw OutputError("cannot write '" + m_name + "': " + reason);
}

bool Output::File::write(std::string_view bytes)
{
    constexpr std::size_t kLargestWrite = std::size_t { 1 } << 30;
    while (!bytes.empty()) {
        DWORD written = 0;
        if (WriteFile(m_handle, bytes.data(), DWORD(std::min(bytes.size(), kLargestWrite)),
                &written, nullptr)
            == 0) {
            const DWORD error = GetLastError();
            // The reader of a pipe has gone away.
            if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA
                || error == ERROR_PIPE_NOT_CONNECTED)
                return false;
            failWith(error);
        }
        if (written == 0)
            failWith(ERROR_DISK_FULL);
        bytes.remove_prefix(written);
    }
    return true;
}

void Output::File::commit()
{
    if (m_mode == Mode::StandardOutput || m_mode == Mode::Device)
        return;
    // A full disk may only show when the data reaches it.
    if (FlushFileBuffers(m_handle) == 0)
        failWith(GetLastError());
    if (m_mode == Mode::Temporary) {
        const std::lock_guard naming(g_naming);
        if (!setDeleteOnClose(m_handle, false))
            failWith(GetLastError());
        if (!renameTo(m_handle, m_target)) {
            const DWORD error = GetLastError();
            // Not to be left behind under its temporary name.
            setDeleteOnClose(m_handle, true);
            if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)
                fail("the file is in use by another program");
            failWith(error);
        }
        m_mode = Mode::InPlace;
    }
    const HANDLE handle = m_handle;
    m_handle = INVALID_HANDLE_VALUE;
    if (CloseHandle(handle) == 0)
        failWith(GetLastError());
}

std::string readInChunks(
    const std::string& fileName, const std::function<bool(std::string_view chunk)>& onChunk)
{
    const bool standardInput = fileName.empty() || fileName == "-";
    HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
    if (!standardInput) {
        const std::wstring name = wideText(fileName);
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return reasonFor(ERROR_DIRECTORY);
        handle = CreateFileW(name.c_str(), GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return reasonFor(GetLastError());
    }
    std::string failure;
    std::array<char, 65536> chunk {};
    for (;;) {
        DWORD n = 0;
        if (ReadFile(handle, chunk.data(), DWORD(chunk.size()), &n, nullptr) == 0) {
            // The writer of a pipe is done.
            if (const DWORD error = GetLastError(); error != ERROR_BROKEN_PIPE)
                failure = reasonFor(error);
            break;
        }
        if (n == 0 || !onChunk(std::string_view(chunk.data(), n)))
            break;
    }
    if (!standardInput)
        CloseHandle(handle);
    return failure;
}

// Each thread reads through a handle of its own, moving its position and
// reading on from there: a read that names its offset instead costs Wine a
// call to its server each time, and two threads then read slower than one.
struct InputFile::Handle {
    HANDLE handle;
    std::mutex mutex;
    std::vector<std::pair<std::thread::id, HANDLE>> perThread;

    ~Handle()
    {
        for (const auto& [thread, own] : perThread)
            CloseHandle(own);
        CloseHandle(handle);
    }

    // The calling thread's handle on the same file, or none when no other
    // opens.
    HANDLE forThisThread()
    {
        const std::lock_guard lock(mutex);
        const std::thread::id self = std::this_thread::get_id();
        for (const auto& [thread, own] : perThread) {
            if (thread == self)
                return own;
        }
        const HANDLE own = ReOpenFile(handle, GENERIC_READ,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_FLAG_SEQUENTIAL_SCAN);
        if (own == INVALID_HANDLE_VALUE)
            return nullptr;
        perThread.emplace_back(self, own);
        return own;
    }
};

InputFile::InputFile(std::unique_ptr<Handle> handle, std::uint64_t size) noexcept
    : m_handle(std::move(handle))
    , m_size(size)
{
}

InputFile::~InputFile() = default;

std::unique_ptr<InputFile> InputFile::open(const std::string& fileName)
{
    if (fileName.empty() || fileName == "-")
        return nullptr;
    // Not even opened unless it is a file: opening a named pipe would take
    // one of its instances from its writer. Device paths are left alone.
    const std::wstring name = wideText(fileName);
    if (name.starts_with(L"\\\\.\\") || name.starts_with(L"\\\\?\\") || name.starts_with(L"//./"))
        return nullptr;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES
        || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return nullptr;
    const HANDLE opened = CreateFileW(name.c_str(), GENERIC_READ,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        return nullptr;
    std::unique_ptr<Handle> handle(new Handle { opened, {}, {} });
    BY_HANDLE_FILE_INFORMATION information {};
    if (GetFileType(opened) != FILE_TYPE_DISK
        || GetFileInformationByHandle(opened, &information) == 0
        || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return nullptr;
    const std::uint64_t size
        = std::uint64_t(information.nFileSizeHigh) << 32 | information.nFileSizeLow;
    return std::unique_ptr<InputFile>(new InputFile(std::move(handle), size));
}

std::size_t InputFile::readAt(
    std::uint64_t offset, char* into, std::size_t size, std::string& failure)
{
    const HANDLE own = m_handle->forThisThread();
    if (own != nullptr) {
        LARGE_INTEGER position {};
        position.QuadPart = LONGLONG(offset);
        if (SetFilePointerEx(own, position, nullptr, FILE_BEGIN) == 0) {
            failure = reasonFor(GetLastError());
            return 0;
        }
    }
    std::size_t done = 0;
    while (done < size) {
        // Without a handle of its own, each read says where it starts.
        OVERLAPPED at {};
        at.Offset = DWORD(offset + done);
        at.OffsetHigh = DWORD((offset + done) >> 32);
        DWORD n = 0;
        const DWORD wanted = DWORD(std::min<std::size_t>(size - done, DWORD(1) << 30));
        if (ReadFile(own != nullptr ? own : m_handle->handle, into + done, wanted, &n,
                own != nullptr ? nullptr : &at)
            == 0) {
            if (const DWORD error = GetLastError(); error != ERROR_HANDLE_EOF)
                failure = reasonFor(error);
            break;
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

} // namespace pellorin
