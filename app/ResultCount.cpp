#include "ResultCount.h"

namespace pellorin {

QString resultCount(qint64 count)
{
    if (count == 0)
        return QStringLiteral("No results");
    if (count == 1)
        return QStringLiteral("1 result");
    return QStringLiteral("%1 results").arg(count);
}

} // namespace pellorin
