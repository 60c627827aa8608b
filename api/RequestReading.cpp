#include "RequestReading.h"

#include "GenerateForm.h"
#include "NumberKind.h"
#include "Phrases.h"
#include "RandomSource.h"
#include "UniqueKeys.h"
#include "pellorin/refusal.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <variant>

namespace pellorin {

refusal::refusal(std::string field, const std::string& message)
    : std::invalid_argument(message)
    , m_field(std::move(field))
{
}

out_of_memory::out_of_memory(std::string message)
    : m_message(std::move(message))
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
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

} // namespace

std::string optionText(std::string_view name)
{
    std::string text = "--" + std::string(name);
    std::replace(text.begin(), text.end(), '_', '-');
    return text;
}

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
    return checkedRequest(form);
}

engine::GenerateRequest checkedRequest(const engine::GenerateForm& form)
{
    auto read = engine::readGenerateRequest(form, optionName);
    if (const auto* refused = std::get_if<engine::Refusal>(&read))
        throw refusal(fieldName(refused->field), engine::refusalText(*refused, optionName));
    return std::get<engine::GenerateRequest>(std::move(read));
}

namespace {

// The options that take no value.
constexpr std::string_view kFlags[] { "group", "unique", "with_expiry", "with_cvv", "null",
    "no_header" };
constexpr std::string_view kValued[] { "brand", "ranges", "prefix", "length", "invalid",
    "separator", "count", "seed", "format" };

// As pellorin-cli says it, with the nearest option it knows.
[[noreturn]] void unknownOption(std::string_view name)
{
    std::vector<std::string> known;
    for (const std::string_view n : kValued)
        known.push_back(optionText(n));
    for (const std::string_view n : kFlags)
        known.push_back(optionText(n));
    const std::string given = optionText(name);
    throw refusal(
        std::string(name), "unknown option '" + given + "'" + engine::suggestion(given, known));
}

} // namespace

} // namespace api

request read_request(std::span<const option> options)
{
    engine::GenerateForm form;
    std::optional<std::string>* texts[] { &form.brand, &form.ranges, &form.prefix, &form.length,
        &form.invalid, &form.separator, &form.count, &form.seed, &form.format };
    bool* flags[] { &form.group, &form.unique, &form.withExpiry, &form.withCvv, &form.nullEnded,
        &form.noHeader };
    for (const option& o : options) {
        const auto* valued = std::find(std::begin(api::kValued), std::end(api::kValued), o.name);
        const auto* flag = std::find(std::begin(api::kFlags), std::end(api::kFlags), o.name);
        if (valued != std::end(api::kValued))
            *texts[valued - std::begin(api::kValued)] = std::string(o.value);
        else if (flag != std::end(api::kFlags) && o.value.empty())
            *flags[flag - std::begin(api::kFlags)] = true;
        else if (flag != std::end(api::kFlags))
            throw refusal(std::string(o.name),
                "option '" + api::optionText(o.name) + "' takes no value, got '"
                    + std::string(o.value) + "'");
        else
            api::unknownOption(o.name);
    }
    // The engine's checks, with their words; what they pass reads back.
    const engine::GenerateRequest checked = api::checkedRequest(form);
    request r;
    r.brand = form.brand.value_or("");
    r.ranges = form.ranges.value_or("");
    r.prefix = form.prefix.value_or("");
    r.length = form.length ? checked.length : 0;
    r.invalid = form.invalid.value_or("");
    r.group = form.group;
    r.separator = form.separator.value_or("");
    r.count = checked.count;
    r.seed = checked.seed;
    r.format = form.format.value_or("");
    r.unique = form.unique;
    r.with_expiry = form.withExpiry;
    r.with_cvv = form.withCvv;
    r.null = form.nullEnded;
    r.no_header = form.noHeader;
    return r;
}

namespace api {

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

namespace {

// The generator, or out_of_memory with what unique cards would have
// needed.
engine::Generator generatorFor(
    const engine::GenerateRequest& request, std::uint64_t seed, engine::MonthIndex month)
{
    try {
        return engine::Generator(request, seed, month);
    } catch (const std::bad_alloc&) {
        if (!request.unique)
            throw;
        const std::uint64_t bytes = engine::UniqueKeys::bytesFor(
            engine::numberKind(request).pattern.keyCount(), request.count);
        throw out_of_memory("not enough memory: --unique needs "
            + std::to_string((bytes + (1 << 20) - 1) >> 20) + " MiB for --count "
            + std::to_string(request.count));
    }
}

} // namespace

Run::Run(const request& asked, bool cards)
    : wanted(cards ? asCards(engineRequest(asked)) : engineRequest(asked))
    , seed(wanted.seed ? *wanted.seed : RandomSource::unpredictableSeed())
    , generator(generatorFor(wanted, seed, wanted.withExpiry ? expiryMonth(asked) : 0))
{
}

} // namespace api

} // namespace pellorin
