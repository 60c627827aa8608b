#include "GenerationRun.h"

#include "ErrorTrap.h"
#include "ResultsModel.h"
#include "Sink.h"
#include "SourceGeneration.h"
#include "Yielder.h"

namespace pellorin {

namespace {

// The lines the error report of PushButton1_Click quotes for the run's steps.
enum GenerationLine : int { kAppendRow = 204, kMoveBar = 206, kResetBar = 210 };

// The list's end of the engine's text: each record, a number and its line
// end, becomes a row. The bar moves about a hundred times per run; rows
// reach the list in batches at those moments, so the list grows with the bar.
class ResultsSink final : public engine::Sink {
public:
    ResultsSink(ResultsModel& results, std::int32_t quantity, std::int32_t first, ErrorTrap& trap,
        const std::function<void(int percent)>& setProgress, Yielder* yielder)
        : m_appender(results)
        , m_trap(trap)
        , m_setProgress(setProgress)
        , m_yielder(yielder)
        , m_quantity(quantity)
        , m_k(first)
        // A quantity below 1 makes no rows and has no percentages.
        , m_nextMove(quantity > 0 ? firstAbove(0) : 0)
    {
    }

    bool write(std::string_view record) override
    {
        // k is counted in 64 bits: after the last number of a run of
        // 2,147,483,647 it steps past the 32-bit range.
        const std::int64_t k = m_k++;
        // Rarely enough that the clock the yielder reads costs nothing.
        if (m_yielder != nullptr && (k & 4095) == 0)
            m_yielder->poll();
        const std::string_view digits = record.substr(0, record.size() - 1);
        const bool moved = k >= m_nextMove;
        if (!m_trap.step(kAppendRow, [&] {
                m_appender.append(digits);
                if (moved)
                    m_appender.flush();
            }))
            return false;
        if (moved) {
            const int percent = percentAt(k);
            m_nextMove = firstAbove(percent);
            m_trap.step(kMoveBar, [&] { m_setProgress(percent); });
        }
        return true;
    }

    void finish()
    {
        m_trap.step(kAppendRow, [&] { m_appender.flush(); });
    }

private:
    int percentAt(std::int64_t k) const
    {
        return static_cast<int>(double(k) / double(m_quantity) * 100.0);
    }

    // The first k whose percentage is above `percent`. Percentages never
    // fall as k grows, so the bar moves exactly there, and no row pays for a
    // division of its own.
    std::int64_t firstAbove(int percent) const
    {
        auto k = static_cast<std::int64_t>(double(percent + 1) * double(m_quantity) / 100.0);
        while (k > 0 && percentAt(k - 1) > percent)
            --k;
        while (percentAt(k) <= percent)
            ++k;
        return k;
    }

    ResultsModel::Appender m_appender;
    ErrorTrap& m_trap;
    const std::function<void(int percent)>& m_setProgress;
    Yielder* m_yielder;
    std::int32_t m_quantity;
    std::int64_t m_k;
    std::int64_t m_nextMove;
};

} // namespace

void runGeneration(ResultsModel& results, const Brand& brand, std::int32_t quantity,
    RandomSource& random, ErrorTrap& trap, const std::function<void(int percent)>& setProgress,
    std::int32_t first, Yielder* yielder)
{
    const std::uint64_t count
        = quantity >= first ? std::uint64_t(std::int64_t { quantity } - first + 1) : 0;
    ResultsSink sink(results, quantity, first, trap, setProgress, yielder);
    // A row that could not be appended ends the run with the rows before it.
    if (engine::generateFromSource(engine::windowRequest(brand.id, count), random, sink))
        sink.finish();
    trap.step(kResetBar, [&] { setProgress(0); });
}

} // namespace pellorin
