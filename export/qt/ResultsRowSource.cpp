#include "ResultsRowSource.h"

#include "ResultsModel.h"

namespace pellorin {

ResultsRowSource::ResultsRowSource(const ResultsModel& model)
    : m_model(model)
    ,
    // Eight-bit text: anything outside Latin-1 becomes '?', as the file's
    // code page would show it.
    m_caption(model.columnCaption().toLatin1().toStdString())
{
    auto forget = [this] { m_rowsRemoved = true; };
    m_reset = QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, forget);
    m_removed = QObject::connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, forget);
    m_destroyed = QObject::connect(&model, &QObject::destroyed, forget);
}

ResultsRowSource::~ResultsRowSource()
{
    QObject::disconnect(m_reset);
    QObject::disconnect(m_removed);
    QObject::disconnect(m_destroyed);
}

std::string_view ResultsRowSource::caption(std::size_t) const
{
    return m_caption;
}

std::size_t ResultsRowSource::rowCount() const
{
    return m_rowsRemoved ? 0 : m_model.size();
}

bool ResultsRowSource::isTicked(std::size_t row) const
{
    return m_model.isTicked(row);
}

std::size_t ResultsRowSource::cellLength(std::size_t row, std::size_t) const
{
    return m_model.textLength(row);
}

std::string_view ResultsRowSource::cell(std::size_t row, std::size_t, std::string& scratch) const
{
    if (scratch.size() < CompactRows::kMaxDigits)
        scratch.resize(CompactRows::kMaxDigits);
    return { scratch.data(), m_model.text(row, scratch.data()) };
}

void ResultsRowSource::ticks(std::size_t first, std::size_t count, bool* ticked) const
{
    m_model.ticks(first, count, ticked);
}

void ResultsRowSource::cellLengths(
    std::size_t first, std::size_t count, std::size_t, std::size_t* lengths) const
{
    for (std::size_t i = 0; i < count; ++i)
        lengths[i] = m_model.textLength(first + i);
}

bool ResultsRowSource::columnTotals(std::size_t, ColumnTotals& totals) const
{
    if (m_rowsRemoved)
        return false;
    totals = { m_model.widest(), m_model.tickedCount(), m_model.tickedLength() };
    return true;
}

void ResultsRowSource::tickedCells(std::size_t first, std::size_t count, std::size_t,
    const bool* ticked, char* out, std::size_t stride, std::size_t* lengths) const
{
    m_model.tickedTexts(first, count, ticked, out, stride, lengths);
}

} // namespace pellorin
