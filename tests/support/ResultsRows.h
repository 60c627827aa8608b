#pragma once

#include <QStringList>

#include <cstddef>
#include <string>

namespace pellorin {
class ResultsModel;
}

namespace pellorin::test {

// Appends rows written as "digits" (ticked) or "-digits" (unticked).
void fillResults(ResultsModel& results, const QStringList& rows);

// A row's number as the list shows it.
std::string resultText(const ResultsModel& results, std::size_t row);

} // namespace pellorin::test
