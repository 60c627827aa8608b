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
    case Format::Csv: {
        std::string header = "number,brand";
        std::string afterNumber(1, ',');
        afterNumber += name;
        if (!invalid.empty()) {
            header += ",invalid";
            afterNumber += ',';
            afterNumber += invalid;
        }
        header += request.withExpiry ? ",expiry" : "";
        header += request.withCvv ? ",cvv" : "";
        header += "\r\n";
        return { header, "", "", "", afterNumber, ",", "", ",", "", "\r\n" };
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

Extras ExtrasDrawer::draw(Stream& stream) const noexcept
{
    std::optional<std::uint64_t> taken = kExtras.take(stream.next());
    while (!taken)
        taken = kExtras.take(stream.next());
    const std::uint64_t drawn = *taken;
    Extras extras {};
    const MonthIndex month = m_now + 1 + MonthIndex(drawn / kCodes);
    const auto mm = unsigned(month % 12 + 1);
    const auto yy = unsigned(month / 12 % 100);
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
