#pragma once

#include <QStringList>

namespace pellorin {
class ResultsModel;
}

namespace pellorin::test {

// Appends rows written as "digits" (ticked) or "-digits" (unticked).
void fillResults(ResultsModel& results, const QStringList& rows);

} // namespace pellorin::test
