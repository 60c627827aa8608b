#include "RecordFormat.h"

#include "BoundedDraw.h"
#include "JsonWriter.h"
#include "NetworkPattern.h"

#include <optional>

namespace pellorin::engine {

namespace {

constexpr std::uint64_t kExpiryMonths = 60;
constexpr std::uint64_t kCodes = 10000;
constexpr BoundedDraw kExtras { kExpiryMonths * kCodes };

RecordLayout formatLayout(const GenerateRequest& request, std::string_view name)
{
    const std::string_view invalid = invalidRuleName(request.invalid);
    switch (request.format) {
    case Format::Text: {
        // A number grouped with blanks is kept apart from its extras by a
        // TAB, or a code after it would read as one more group.
        const std::string first = request.group && request.separator == ' ' ? "\t" : " ";
        return { "", "", "", "", "", first, "", request.withExpiry ? " " : first, "", "\n" };
    }
    case Format::Csv:
    case Format::Tsv: {
        // No field holds a comma, a quote or a TAB (the separator refuses
        // them), so none is quoted.
        const bool tabs = request.format == Format::Tsv;
        const std::string between(1, tabs ? '\t' : ',');
        const std::string lineEnd = tabs ? "\n" : "\r\n";
        std::string header = "number" + between + "brand";
        std::string afterNumber = between;
        afterNumber += name;
        if (!invalid.empty()) {
            header += between + "invalid";
            afterNumber += between;
            afterNumber += invalid;
        }
        header += request.withExpiry ? between + "expiry" : "";
        header += request.withCvv ? between + "cvv" : "";
        header += lineEnd;
        return { header, "", "", "", afterNumber, between, "", between, "", lineEnd };
    }
    case Format::Json:
    case Format::Ndjson: {
        const bool array = request.format == Format::Json;
        const bool empty = request.count == 0;
        // The number and the extras are written into the gaps between these.
        std::string afterNumber = R"(","brand":)" + jsonString(name);
        if (!invalid.empty())
            afterNumber += R"(,"invalid":)" + jsonString(invalid);
        return { std::string(array ? (empty ? kJsonLinesEmpty : kJsonLinesOpen) : ""),
            std::string(array && !empty ? kJsonLinesClose : ""),
            std::string(array ? kJsonLinesBetween : ""), R"({"number":")", afterNumber,
            R"(,"expiry":")", "\"", R"(,"cvv":")", "\"", array ? "}" : "}\n" };
    }
    case Format::Table:
        break;
    }
    return {};
}

} // namespace

RecordLayout recordLayout(const GenerateRequest& request, std::string_view name)
{
    RecordLayout layout = formatLayout(request, name);
    if (request.noHeader)
        layout.header.clear();
    if (request.nullEnded) {
        for (std::string* text : { &layout.header, &layout.tail }) {
            const std::size_t lineEnd = text->find_last_not_of("\r\n") + 1;
            if (lineEnd < text->size())
                text->replace(lineEnd, std::string::npos, 1, '\0');
        }
    }
    return layout;
}

ExtrasDrawer::ExtrasDrawer(MonthIndex now, int codeDigits, InvalidRule rule) noexcept
    : m_now(now)
    , m_codeDigits(rule == InvalidRule::Code ? wrongCodeLength(codeDigits) : codeDigits)
    , m_rule(rule)
{
}

Extras ExtrasDrawer::draw(Stream& stream) const noexcept
{
    std::optional<std::uint64_t> taken = kExtras.take(stream.next());
    while (!taken)
        taken = kExtras.take(stream.next());
    const std::uint64_t drawn = *taken;
    Extras extras {};
    const auto months = MonthIndex(drawn / kCodes);
    const MonthIndex month
        = m_rule == InvalidRule::Expiry ? m_now - 1 - months : m_now + 1 + months;
    auto mm = unsigned(month % 12 + 1);
    auto yy = unsigned(month / 12 % 100);
    if (m_rule == InvalidRule::Month) {
        // A later year than now's, so the date cannot read as passed too.
        mm = months % 2 == 0 ? 0 : 13;
        yy = unsigned((m_now / 12 + 1 + months / 12) % 100);
    }
    extras.expiry = { char('0' + mm / 10), char('0' + mm % 10), '/', char('0' + yy / 10),
        char('0' + yy % 10) };
    auto code = unsigned(drawn % kCodes);
    for (int i = m_codeDigits - 1; i >= 0; --i) {
        extras.code[std::size_t(i)] = char('0' + code % 10);
        code /= 10;
    }
    return extras;
}

} // namespace pellorin::engine
