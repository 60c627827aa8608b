#pragma once

#include "RowSource.h"

#include <QMetaObject>

#include <string>

namespace pellorin {

class ResultsModel;

// The results list as the table text renderer reads it. The list can only
// grow or be cleared, so once any row has been removed the rows read so far
// no longer match: from then on the source reports no rows, which makes a
// running export fail instead of mixing two lists.
class ResultsRowSource final : public RowSource {
public:
    explicit ResultsRowSource(const ResultsModel& model);
    ~ResultsRowSource() override;
    ResultsRowSource(const ResultsRowSource&) = delete;
    ResultsRowSource& operator=(const ResultsRowSource&) = delete;

    std::size_t columnCount() const override { return 1; }
    std::string_view caption(std::size_t column) const override;
    std::size_t rowCount() const override;
    bool isTicked(std::size_t row) const override;
    std::size_t cellLength(std::size_t row, std::size_t column) const override;
    std::string_view cell(std::size_t row, std::size_t column, std::string& scratch) const override;
    void ticks(std::size_t first, std::size_t count, bool* ticked) const override;
    void cellLengths(std::size_t first, std::size_t count, std::size_t column,
        std::size_t* lengths) const override;
    bool columnTotals(std::size_t column, ColumnTotals& totals) const override;
    void tickedCells(std::size_t first, std::size_t count, std::size_t column, const bool* ticked,
        char* out, std::size_t stride, std::size_t* lengths) const override;

private:
    const ResultsModel& m_model;
    std::string m_caption;
    bool m_rowsRemoved = false;
    QMetaObject::Connection m_reset;
    QMetaObject::Connection m_removed;
    QMetaObject::Connection m_destroyed;
};

} // namespace pellorin
