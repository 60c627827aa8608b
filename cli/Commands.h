#pragma once

#include "CommandTable.h"

#include <chrono>
#include <optional>
#include <string>

// What the commands' files (GenerateCommand.cpp and the like) share.

namespace pellorin::cli {

// --threads, when given, into `threads`. Returns a refusal, or nothing.
std::optional<std::string> readThreads(const Given& given, unsigned& threads);

// The month expiry dates count from: the current one in UTC, or the one of
// SOURCE_DATE_EPOCH, the reproducible-builds convention for pinning "now"
// (set to nothing, it is as if unset). None when that is malformed.
std::optional<std::chrono::year_month> currentMonth();

// Says on standard error that SOURCE_DATE_EPOCH is malformed; returns the
// usage error's status.
int refuseSourceDate();

} // namespace pellorin::cli
