#pragma once

#include <QFile>
#include <QList>

namespace pellorin::bench {

// The process's resident memory now, in megabytes (0 where /proc is absent).
inline double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024.0 * 1024.0) : 0;
}

} // namespace pellorin::bench
