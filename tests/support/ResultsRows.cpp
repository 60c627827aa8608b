#include "ResultsRows.h"

#include "ResultsModel.h"

namespace pellorin::test {

void fillResults(ResultsModel& results, const QStringList& rows)
{
    for (const QString& row : rows) {
        const bool ticked = !row.startsWith(u'-');
        ResultsModel::Appender(results, 1).append((ticked ? row : row.mid(1)).toStdString());
        results.setTicked(results.size() - 1, ticked);
    }
}

std::string resultText(const ResultsModel& results, std::size_t row)
{
    return results.data(results.index(int(row))).toString().toStdString();
}

} // namespace pellorin::test
