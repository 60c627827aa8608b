#pragma once

#include <QString>

namespace pellorin {

// "No results", "1 result", "25 results": the words an announcement of the
// list's rows starts with.
QString resultCount(qint64 count);

} // namespace pellorin
