#include "RequestReading.h"

#include "GenerateForm.h"
#include "RandomSource.h"
#include "pellorin/refusal.h"

#include <chrono>
#include <variant>

namespace pellorin {

refusal::refusal(std::string field, const std::string& message)
    : std::invalid_argument(message)
    , m_field(std::move(field))
{
}

namespace api {

std::string_view optionName(engine::GenerateField field) noexcept
{
    using engine::GenerateField;
    switch (field) {
    case GenerateField::Brand:
        return "--brand";
    case GenerateField::Ranges:
        return "--ranges";
    case GenerateField::Prefix:
        return "--prefix";
    case GenerateField::Length:
        return "--length";
    case GenerateField::Invalid:
        return "--invalid";
    case GenerateField::Separator:
        return "--separator";
    case GenerateField::Count:
        return "--count";
    case GenerateField::Seed:
        return "--seed";
    case GenerateField::Format:
        return "--format";
    case GenerateField::Unique:
        return "--unique";
    case GenerateField::NullEnded:
        return "--null";
    case GenerateField::NoHeader:
        return "--no-header";
    }
    return "";
}

namespace {

std::optional<std::string> given(const std::string& text)
{
    return text.empty() ? std::nullopt : std::optional(text);
}

// "no_header" for "--no-header".
std::string fieldName(engine::GenerateField field)
{
    std::string name(optionName(field).substr(2));
    for (char& c : name)
        c = c == '-' ? '_' : c;
    return name;
}

} // namespace

engine::GenerateRequest engineRequest(const request& request)
{
    engine::GenerateForm form;
    form.brand = given(request.brand);
    form.ranges = given(request.ranges);
    form.prefix = given(request.prefix);
    if (request.length != 0)
        form.length = std::to_string(request.length);
    form.invalid = given(request.invalid);
    form.group = request.group;
    form.separator = given(request.separator);
    form.count = std::to_string(request.count);
    if (request.seed)
        form.seed = std::to_string(*request.seed);
    form.format = given(request.format);
    form.unique = request.unique;
    form.withExpiry = request.with_expiry;
    form.withCvv = request.with_cvv;
    form.nullEnded = request.null;
    form.noHeader = request.no_header;
    auto read = engine::readGenerateRequest(form, optionName);
    if (const auto* refused = std::get_if<engine::Refusal>(&read))
        throw refusal(fieldName(refused->field), engine::refusalText(*refused, optionName));
    return std::get<engine::GenerateRequest>(std::move(read));
}

engine::MonthIndex expiryMonth(const request& request)
{
    using namespace std::chrono;
    const year_month month = request.month.value_or([] {
        const year_month_day today { floor<days>(system_clock::now()) };
        return today.year() / today.month();
    }());
    return engine::MonthIndex(int(month.year())) * 12 + engine::MonthIndex(unsigned(month.month()))
        - 1;
}

namespace {

engine::GenerateRequest asCards(engine::GenerateRequest request)
{
    request.format = engine::Format::Text;
    request.nullEnded = false;
    return request;
}

} // namespace

Run::Run(const request& asked, bool cards)
    : wanted(cards ? asCards(engineRequest(asked)) : engineRequest(asked))
    , seed(wanted.seed ? *wanted.seed : RandomSource::unpredictableSeed())
    , generator(wanted, seed, asked.with_expiry ? expiryMonth(asked) : 0)
{
}

} // namespace api

} // namespace pellorin
