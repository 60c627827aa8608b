#include "GenerateForm.h"

#include "Brand.h"
#include "NumberKind.h"
#include "NumberPattern.h"
#include "Phrases.h"

#include <algorithm>
#include <array>
#include <limits>

namespace pellorin::engine {

namespace {

constexpr std::array kFormatNames { FormatName { "text", Format::Text },
    FormatName { "csv", Format::Csv }, FormatName { "tsv", Format::Tsv },
    FormatName { "json", Format::Json }, FormatName { "ndjson", Format::Ndjson },
    FormatName { "table", Format::Table } };

Refusal refuse(GenerateField field, std::string message)
{
    return { field, std::move(message), false };
}

Refusal refuseNaming(GenerateField field, std::string message)
{
    return { field, std::move(message), true };
}

// "13, 16 or 19".
std::string lengthChoices(std::vector<int> lengths)
{
    std::sort(lengths.begin(), lengths.end());
    std::vector<std::string> words;
    words.reserve(lengths.size());
    for (const int length : lengths)
        words.push_back(std::to_string(length));
    return listed(words);
}

// A separator that keeps every format readable: no digit, letter, comma,
// quote, backslash or control character.
bool separatorFits(std::string_view text)
{
    if (text.size() != 1)
        return false;
    const char c = text[0];
    const bool alphanumeric
        = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return c >= ' ' && c <= '~' && !alphanumeric && c != ',' && c != '"' && c != '\\';
}

std::string name(FieldNames names, GenerateField field)
{
    return std::string(names(field));
}

// The network, its ranges and the length.
std::optional<Refusal> readNetwork(
    const GenerateForm& form, const Network& network, FieldNames names, GenerateRequest& request)
{
    request.network = &network;
    request.publishedRanges = form.ranges == "network";
    if (form.ranges == "window" && !network.windowBrand)
        return refuseNaming(GenerateField::Ranges,
            name(names, GenerateField::Ranges) + " window: only "
                + listed(networkIds(true), " and ") + " have the window's numbers; "
                + std::string(network.id) + " draws from the prefixes it alone claims, or all with "
                + name(names, GenerateField::Ranges) + " network");
    const bool wrongLength = request.invalid == InvalidRule::Length;
    const std::vector<int> lengths
        = wrongLength ? wrongLengths(network) : lengthList(lengthsOf(network));
    if (!form.length) {
        request.length = wrongLength ? lengths.front() : network.commonLength;
        return std::nullopt;
    }
    const auto length = readWhole(*form.length, 99);
    if (!length || std::find(lengths.begin(), lengths.end(), int(*length)) == lengths.end()) {
        // A length no network of the table issues here, turned down only
        // because other validators would call such numbers valid.
        const bool takenByValidators = wrongLength && length && *length >= kShortestCard
            && *length <= std::uint64_t(kMaxCardLength)
            && !holdsLength(lengthsOf(network), int(*length))
            && validatorsTake(network, int(*length));
        return refuse(GenerateField::Length,
            std::string(network.name)
                + (wrongLength ? " numbers of a wrong length may have " : " numbers have ")
                + lengthChoices(lengths) + " digits, got '" + *form.length + "'"
                + (takenByValidators ? ", a length other card validators take for its prefixes"
                                     : ""));
    }
    request.length = int(*length);
    // Asked for by name, the window's numbers come at the window's length
    // only; any other would quietly be the network's.
    if (form.ranges == "window" && network.windowBrand) {
        const int windowLength = brand(*network.windowBrand).length;
        if (request.length != windowLength)
            return refuseNaming(GenerateField::Length,
                name(names, GenerateField::Ranges) + " window: the window's "
                    + std::string(network.name) + " numbers have " + std::to_string(windowLength)
                    + " digits, got " + name(names, GenerateField::Length) + " " + *form.length);
    }
    return std::nullopt;
}

// A prefix of one's own and its length.
std::optional<Refusal> readPrefix(
    const GenerateForm& form, FieldNames names, GenerateRequest& request)
{
    if (request.invalid == InvalidRule::Length || request.invalid == InvalidRule::Prefix)
        return refuseNaming(GenerateField::Invalid,
            name(names, GenerateField::Invalid) + " " + *form.invalid + " cannot be used with "
                + name(names, GenerateField::Prefix));
    const std::string& lengthText = *form.length;
    const auto length = readWhole(lengthText, 99);
    if (!length || *length < 12 || *length > std::uint64_t(kMaxCardLength))
        return refuse(GenerateField::Length,
            "expected a whole number from 12 to 19, got '" + lengthText + "'");
    request.length = int(*length);
    const std::string& prefix = *form.prefix;
    if (prefix.empty()
        || !std::all_of(prefix.begin(), prefix.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return refuse(GenerateField::Prefix, "expected digits only, got '" + prefix + "'");
    if (prefix.size() >= std::size_t(request.length))
        return refuse(GenerateField::Prefix,
            "must be shorter than " + name(names, GenerateField::Length) + " " + lengthText
                + ", got " + plural(prefix.size(), "digit", "digits"));
    request.network = nullptr;
    request.prefix = prefix;
    return std::nullopt;
}

// The fields that cannot go together, and --ranges' two words.
std::optional<Refusal> readCombination(const GenerateForm& form, FieldNames names, GenerateRequest&)
{
    if (form.prefix && form.brand)
        return refuseNaming(GenerateField::Prefix,
            name(names, GenerateField::Prefix) + " cannot be used with "
                + name(names, GenerateField::Brand));
    if (form.prefix && !form.length)
        return refuseNaming(GenerateField::Length,
            name(names, GenerateField::Prefix) + " and " + name(names, GenerateField::Length)
                + " go together");
    if (form.prefix && form.ranges)
        return refuseNaming(GenerateField::Ranges,
            name(names, GenerateField::Ranges) + " cannot be used with "
                + name(names, GenerateField::Prefix));
    if (form.ranges && form.ranges != "window" && form.ranges != "network")
        return refuse(
            GenerateField::Ranges, "expected window or network, got '" + *form.ranges + "'");
    return std::nullopt;
}

std::optional<Refusal> readInvalidRule(
    const GenerateForm& form, FieldNames, GenerateRequest& request)
{
    if (!form.invalid)
        return std::nullopt;
    const auto rule = invalidRuleNamed(*form.invalid);
    if (!rule) {
        std::vector<std::string> names;
        for (const InvalidRule known : kInvalidRules)
            names.emplace_back(invalidRuleName(known));
        return refuse(
            GenerateField::Invalid, "expected " + listed(names) + ", got '" + *form.invalid + "'");
    }
    request.invalid = *rule;
    return std::nullopt;
}

// Groups and what goes between them.
std::optional<Refusal> readGroups(const GenerateForm& form, FieldNames, GenerateRequest& request)
{
    request.group = form.group;
    if (!form.separator)
        return std::nullopt;
    if (!separatorFits(*form.separator))
        return refuse(GenerateField::Separator,
            "expected one character other than a digit, letter, comma, quote or backslash, "
            "got '"
                + *form.separator + "'");
    request.separator = (*form.separator)[0];
    request.group = true;
    return std::nullopt;
}

// Where the numbers come from: a prefix of one's own, or a network.
std::optional<Refusal> readSource(
    const GenerateForm& form, FieldNames names, GenerateRequest& request)
{
    if (form.prefix)
        return readPrefix(form, names, request);
    const std::string brand = form.brand.value_or(std::string(networkTable()[0].id));
    const Network* network = findNetwork(brand);
    if (network == nullptr) {
        const std::vector<std::string> ids = networkIds();
        const std::string near = suggestion(brand, ids);
        return refuse(GenerateField::Brand,
            "unknown brand '" + brand + "'"
                + (near.empty() ? "; the brands are " + listed(ids, " and ") : near));
    }
    return readNetwork(form, *network, names, request);
}

std::string formatGiven(const GenerateForm& form)
{
    return form.format.value_or(std::string(kFormatNames[0].id));
}

std::optional<Refusal> readFormat(const GenerateForm& form, FieldNames, GenerateRequest& request)
{
    const std::string format = formatGiven(form);
    if (const auto known = formatNamed(format)) {
        request.format = *known;
        return std::nullopt;
    }
    std::vector<std::string> ids;
    ids.reserve(kFormatNames.size());
    for (const FormatName& f : kFormatNames)
        ids.emplace_back(f.id);
    const std::string near = suggestion(format, ids);
    return refuse(GenerateField::Format,
        "unknown format '" + format + "'"
            + (near.empty() ? "; the formats are " + listed(ids, " and ") : near));
}

std::optional<Refusal> readCountAndSeed(
    const GenerateForm& form, FieldNames, GenerateRequest& request)
{
    if (form.count) {
        const auto count
            = readWhole(*form.count, std::uint64_t(std::numeric_limits<std::int64_t>::max()));
        if (!count)
            return refuse(GenerateField::Count,
                "expected a whole number from 0 to 9223372036854775807, got '" + *form.count + "'");
        request.count = *count;
    }
    if (form.seed) {
        request.seed = readWhole(*form.seed, std::numeric_limits<std::uint64_t>::max());
        if (!request.seed)
            return refuse(GenerateField::Seed,
                "expected a whole number from 0 to 18446744073709551615, got '" + *form.seed + "'");
    }
    return std::nullopt;
}

// How records end and whether a heading comes first, as the format allows.
std::optional<Refusal> readRecords(const GenerateForm& form, FieldNames, GenerateRequest& request)
{
    const std::string format = formatGiven(form);
    request.nullEnded = form.nullEnded;
    if (request.nullEnded && (request.format == Format::Json || request.format == Format::Table))
        return refuse(GenerateField::NullEnded,
            "records of text, csv, tsv and ndjson can end in NUL, not those of " + format);
    request.noHeader = form.noHeader;
    if (request.noHeader && request.format != Format::Csv && request.format != Format::Tsv
        && request.format != Format::Table)
        return refuse(
            GenerateField::NoHeader, "only csv, tsv and table have a heading line, not " + format);
    return std::nullopt;
}

// The extras each record carries, and whether there are enough different
// numbers for --unique.
std::optional<Refusal> readExtras(
    const GenerateForm& form, FieldNames names, GenerateRequest& request)
{
    request.unique = form.unique;
    // A wrong expiry or code needs its field written.
    request.withExpiry = form.withExpiry || request.invalid == InvalidRule::Expiry
        || request.invalid == InvalidRule::Month;
    request.withCvv = form.withCvv || request.invalid == InvalidRule::Code;
    if (!request.unique)
        return std::nullopt;
    const NumberPattern pattern = numberKind(request).pattern;
    if (request.count <= pattern.numberCount())
        return std::nullopt;
    return refuse(GenerateField::Unique,
        name(names, GenerateField::Count) + " " + std::to_string(request.count)
            + " is more than the "
            + plural(pattern.numberCount(), "different number", "different numbers") + " "
            + (request.network != nullptr ? "this brand has" : "this prefix and length allow"));
}

// Each step reads what the ones before it read; the first refusal is the
// one told.
std::optional<Refusal> readInto(
    const GenerateForm& form, FieldNames names, GenerateRequest& request)
{
    using Step = std::optional<Refusal> (*)(const GenerateForm&, FieldNames, GenerateRequest&);
    for (const Step step : { readCombination, readInvalidRule, readGroups, readSource, readFormat,
             readCountAndSeed, readRecords, readExtras }) {
        if (auto refusal = step(form, names, request))
            return refusal;
    }
    return std::nullopt;
}

} // namespace

std::span<const FormatName> formatNames() noexcept
{
    return kFormatNames;
}

std::optional<Format> formatNamed(std::string_view id) noexcept
{
    for (const FormatName& f : kFormatNames) {
        if (f.id == id)
            return f.format;
    }
    return std::nullopt;
}

std::vector<std::string> networkIds(bool windowOnly)
{
    std::vector<std::string> ids;
    for (const Network& network : networkTable()) {
        if (!windowOnly || network.windowBrand)
            ids.emplace_back(network.id);
    }
    return ids;
}

std::variant<GenerateRequest, Refusal> readGenerateRequest(
    const GenerateForm& form, FieldNames names)
{
    GenerateRequest request;
    if (auto refusal = readInto(form, names, request))
        return std::move(*refusal);
    return request;
}

std::string refusalText(const Refusal& refusal, FieldNames names)
{
    if (refusal.namesFields)
        return refusal.message;
    return std::string(names(refusal.field)) + ": " + refusal.message;
}

} // namespace pellorin::engine
