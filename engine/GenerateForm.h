#pragma once

#include "Requests.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pellorin::engine {

// The fields of a generate request as a face shows them: an option, a box
// on a page.
enum class GenerateField {
    Brand,
    Ranges,
    Prefix,
    Length,
    Invalid,
    Separator,
    Count,
    Seed,
    Format,
    Unique,
    NullEnded,
    NoHeader,
};

// What a face was given for each field, as typed; a field left out takes
// its default.
struct GenerateForm {
    std::optional<std::string> brand, ranges, prefix, length, invalid, separator, count, seed,
        format;
    bool group = false;
    bool unique = false;
    bool withExpiry = false;
    bool withCvv = false;
    bool nullEnded = false;
    bool noHeader = false;
};

// Why a form makes no request, said of one field so a face can show it
// beside that field.
struct Refusal {
    GenerateField field;
    std::string message;
    // The message names the fields it speaks of itself ("--prefix cannot be
    // used with --brand"); otherwise it is said of `field` alone and reads
    // after the field's name ("expected digits only, got 'x'").
    bool namesFields = false;
};

// How a face names its fields, for messages that speak of another field
// ("--length", or a page's "Length").
using FieldNames = std::string_view (*)(GenerateField) noexcept;

// The request a form asks for, or why there is none. Messages name other
// fields as `names` does; `names` is never called for a field-free message.
std::variant<GenerateRequest, Refusal> readGenerateRequest(
    const GenerateForm& form, FieldNames names);

// The refusal as one sentence: the field's name, a colon and the message,
// unless the message names its fields itself.
std::string refusalText(const Refusal& refusal, FieldNames names);

// The network ids, in table order; with `windowOnly`, only the networks the
// window makes.
std::vector<std::string> networkIds(bool windowOnly = false);

} // namespace pellorin::engine
