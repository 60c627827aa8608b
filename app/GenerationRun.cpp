#include "GenerationRun.h"

#include "CardGenerator.h"
#include "ErrorTrap.h"
#include "ResultsModel.h"
#include "Yielder.h"

namespace pellorin {

namespace {

// The lines the error report of PushButton1_Click quotes for the run's steps.
enum GenerationLine : int { kAppendRow = 204, kMoveBar = 206, kResetBar = 210 };

} // namespace

void runGeneration(ResultsModel& results, const Brand& brand, std::int32_t quantity,
    RandomSource& random, ErrorTrap& trap, const std::function<void(int percent)>& setProgress,
    std::int32_t first, Yielder* yielder)
{
    CardGenerator generator(brand, random);
    ResultsModel::Appender appender(results);
    int shownPercent = 0;
    bool appending = true;
    // k is counted in 64 bits: after the last number of a run of
    // 2,147,483,647 it steps past the 32-bit range before the loop ends.
    for (std::int64_t k = first; k <= quantity && appending; ++k) {
        // Rarely enough that the clock the yielder reads costs nothing.
        if (yielder != nullptr && (k & 4095) == 0)
            yielder->poll();
        const CardNumber number = generator.next();
        // The bar moves about a hundred times per run; rows reach the list
        // in batches at those moments, so the list grows with the bar.
        const int percent = static_cast<int>(double(k) / double(quantity) * 100.0);
        const bool moved = percent != shownPercent;
        appending = trap.step(kAppendRow, [&] {
            appender.append(number.text());
            if (moved)
                appender.flush();
        });
        if (appending && moved) {
            shownPercent = percent;
            trap.step(kMoveBar, [&] { setProgress(percent); });
        }
    }
    if (appending)
        trap.step(kAppendRow, [&] { appender.flush(); });
    trap.step(kResetBar, [&] { setProgress(0); });
}

} // namespace pellorin
