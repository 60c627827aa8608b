#include "FaultInjection.h"

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace pellorin::test {

namespace {

constexpr std::uint32_t kOverrideCaps
    = (1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH) | (1U << CAP_FOWNER);

bool readCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    return syscall(SYS_capget, &header, data) == 0;
}

bool writeCaps(__user_cap_data_struct (&data)[2])
{
    __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
    return syscall(SYS_capset, &header, data) == 0;
}

} // namespace

EnforcedFilePermissions::EnforcedFilePermissions()
{
    __user_cap_data_struct data[2] = {};
    if (!readCaps(data) || (data[0].effective & kOverrideCaps) == 0)
        return;
    m_savedEffective[0] = data[0].effective;
    m_savedEffective[1] = data[1].effective;
    data[0].effective &= ~kOverrideCaps;
    if (!writeCaps(data))
        std::abort();
    m_dropped = true;
}

EnforcedFilePermissions::~EnforcedFilePermissions()
{
    if (!m_dropped)
        return;
    __user_cap_data_struct data[2] = {};
    if (!readCaps(data))
        std::abort();
    data[0].effective = m_savedEffective[0];
    data[1].effective = m_savedEffective[1];
    if (!writeCaps(data))
        std::abort();
}

bool EnforcedFilePermissions::permissionsBind()
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    chmod(folder.c_str(), 0500);
    const bool refused = mkdir((folder + "/probe").c_str(), 0700) != 0;
    chmod(folder.c_str(), 0700);
    return refused;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes)
{
    getrlimit(RLIMIT_FSIZE, &m_saved);
    // Without this the kernel ends the process with SIGXFSZ instead of
    // failing the write.
    m_savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
        std::abort();
}

FileSizeLimit::~FileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_savedHandler);
}

void limitAddressSpace(std::size_t headroom)
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        std::abort();
    const std::size_t pages = status.readAll().split(' ').value(0).toULongLong();
    const rlim_t limit = pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + headroom;
    const rlimit value { limit, limit };
    if (setrlimit(RLIMIT_AS, &value) != 0)
        std::abort();
}

ChildResult runChild(const QStringList& arguments, int timeoutMs)
{
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments(QStringList { QStringLiteral("--child") } + arguments);
    child.start();
    ChildResult result;
    if (!child.waitForFinished(timeoutMs)) {
        child.kill();
        child.waitForFinished(5000);
        result.errorOutput = "timed out or failed to start: " + child.readAllStandardError();
        return result;
    }
    result.finished = child.exitStatus() == QProcess::NormalExit;
    result.exitCode = child.exitCode();
    result.errorOutput = child.readAllStandardError();
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const auto equals = line.indexOf('=');
        if (line.startsWith("child:") && equals > 0)
            result.values.insert(QString::fromUtf8(line.mid(6, equals - 6)),
                QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(equals + 1))));
    }
    return result;
}

void printChildValue(const QString& key, const QString& value)
{
    const QByteArray line
        = "child:" + key.toUtf8() + '=' + value.toUtf8().toPercentEncoding() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fflush(stdout);
}

bool isChild(int argc, char** argv)
{
    return argc >= 2 && std::strcmp(argv[1], "--child") == 0;
}

} // namespace pellorin::test
