#pragma once

#include "Brand.h"
#include "RandomSource.h"

#include <cstdint>
#include <functional>

namespace pellorin {

class ErrorTrap;
class ResultsModel;
class Yielder;

// Generates `quantity` numbers of `brand` through the engine, drawn from
// `random` in the order of its draws, and appends them to the results,
// reporting progress as a whole percentage whenever it changes and 0 at the
// end. Steps that fail are reported through `trap`; running out of memory
// while appending ends the run and keeps the rows already appended.
//
// A run makes numbers k = `first` .. `quantity`; the whole run starts at 1.
// Starting later lets a test reach the end of a run of the largest quantity
// without making two billion numbers first.
//
// `yielder`, when given, is polled every few thousand numbers.
void runGeneration(ResultsModel& results, const Brand& brand, std::int32_t quantity,
    RandomSource& random, ErrorTrap& trap, const std::function<void(int percent)>& setProgress,
    std::int32_t first = 1, Yielder* yielder = nullptr);

} // namespace pellorin
