#pragma once

#include "GenerateForm.h"
#include "Generator.h"
#include "RecordFormat.h"
#include "Requests.h"
#include "pellorin/request.h"

#include <string_view>

namespace pellorin::api {

// The option a field of the engine's form is, as pellorin-cli spells it:
// "--count".
std::string_view optionName(engine::GenerateField field) noexcept;

// The engine's request for `request`, its value checks passed; throws
// refusal with pellorin-cli's words otherwise.
engine::GenerateRequest engineRequest(const request& request);

// The engine's request for a form, its value checks passed; throws refusal
// with pellorin-cli's words otherwise.
engine::GenerateRequest checkedRequest(const engine::GenerateForm& form);

// "--with-expiry" for "with_expiry".
std::string optionText(std::string_view name);

// The month expiry dates count from.
engine::MonthIndex expiryMonth(const request& request);

// The engine's generator for a request it accepted, and the --seed value it drew.
struct Run {
    engine::GenerateRequest wanted;
    std::uint64_t seed;
    engine::Generator generator;

    // `cards`: plain text records, whatever the format asked, for a reader
    // that takes their fields apart.
    explicit Run(const request& asked, bool cards = false);
};

} // namespace pellorin::api
