#pragma once

#include "TestEnvironment.h"

#include <sys/resource.h>

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <csignal>
#include <cstddef>
#include <cstdint>

namespace pellorin::test {

// Makes file permission bits bind the calling thread even when it runs as
// root (as CI does), by dropping the capabilities that override them for the
// object's lifetime. Without it a "read-only" folder is writable for root and
// the fault under test never happens.
class EnforcedFilePermissions {
public:
    EnforcedFilePermissions();
    ~EnforcedFilePermissions();
    EnforcedFilePermissions(const EnforcedFilePermissions&) = delete;
    EnforcedFilePermissions& operator=(const EnforcedFilePermissions&) = delete;

    // True when writing into a folder of mode 0500 now fails for this thread.
    static bool permissionsBind();

private:
    bool m_dropped = false;
    std::uint32_t m_savedEffective[2] = { 0, 0 };
};

// Caps the size of any file this process writes to `bytes`, so a write past
// it fails with EFBIG as a full disk would fail with ENOSPC, without filling a
// real disk or touching /dev/full (which a rename onto it would replace).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved {};
    void (*m_savedHandler)(int) = nullptr;
};

// Limits this process's address space to what it uses now plus `headroom`
// bytes, so allocations beyond fail as they would on a machine out of memory.
// For a child process only: nothing restores the limit.
void limitAddressSpace(std::size_t headroom);

// True in a build with AddressSanitizer, whose allocator ends the process on
// an allocation it cannot serve instead of throwing std::bad_alloc, and which
// reserves more address space than any limit would allow.
constexpr bool kAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#else
    false;
#endif

// Runs this test executable again as a child with `--child` and `arguments`,
// for a fault that must not leak into the test process (an address-space
// limit, a program start with a fresh settings cache). The child reports
// through printChildValue; a hang is turned into a failure after `timeoutMs`.
struct ChildResult {
    bool finished = false; // false: crashed, killed by a signal or timed out
    int exitCode = -1;
    QMap<QString, QString> values;
    QByteArray errorOutput;
};
ChildResult runChild(const QStringList& arguments, int timeoutMs);

// In the child: one value for the parent.
void printChildValue(const QString& key, const QString& value);

// True when argv asks for the child role; the child's arguments follow.
bool isChild(int argc, char** argv);

} // namespace pellorin::test

// A main() for Qt Test executables that run themselves as a child (runChild).
// In the child, `childMain` gets the arguments after "--child" and returns
// the child's exit status; the parent's isolated folders come with the
// environment.
#define PELLORIN_TEST_MAIN_WITH_CHILD(TestClass, childMain)                                        \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        const bool child = pellorin::test::isChild(argc, argv);                                    \
        if (!child)                                                                                \
            pellorin::test::isolateUserFolders();                                                  \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        if (child)                                                                                 \
            return childMain(app.arguments().mid(2));                                              \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return pellorin::test::runTests(tc, argc, argv);                                           \
    }
