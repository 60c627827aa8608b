#pragma once

#include "RowSource.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellorin {

struct VectorRow {
    bool ticked = false;
    std::vector<std::string> cells;
};

// A list held in plain vectors, which a test may change while the renderer
// runs. One that keeps its totals is measured from them and read a run at a
// time. Odd rows' cells come through the scratch buffer, as a source that
// builds its text on demand gives them.
class VectorRows final : public RowSource {
public:
    VectorRows() = default;
    VectorRows(std::vector<std::string> captions, std::vector<VectorRow> rows)
        : captions(std::move(captions))
        , rows(std::move(rows))
    {
    }

    std::size_t columnCount() const override { return captions.size(); }
    std::string_view caption(std::size_t column) const override { return captions.at(column); }
    std::size_t rowCount() const override { return rows.size(); }
    bool isTicked(std::size_t row) const override { return rows.at(row).ticked; }
    std::size_t cellLength(std::size_t row, std::size_t column) const override
    {
        return rows.at(row).cells.at(column).size();
    }
    std::string_view cell(std::size_t row, std::size_t column, std::string& scratch) const override
    {
        if (row % 2 == 1) {
            scratch = rows.at(row).cells.at(column);
            return scratch;
        }
        return rows.at(row).cells.at(column);
    }
    bool columnTotals(std::size_t column, ColumnTotals& totals) const override
    {
        totals = {};
        for (const VectorRow& row : rows) {
            totals.widest = std::max(totals.widest, row.cells.at(column).size());
            totals.tickedRows += row.ticked ? 1 : 0;
            totals.tickedLength += row.ticked ? row.cells.at(column).size() : 0;
        }
        return keepsTotals;
    }

    std::vector<std::string> captions;
    std::vector<VectorRow> rows;
    bool keepsTotals = false;
};

} // namespace pellorin
