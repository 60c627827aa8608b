#include "RecordFormat.h"

#include "NetworkPattern.h"

namespace pellorin::engine {

namespace {

__extension__ using Wide = unsigned __int128;

constexpr std::uint64_t kExpiryMonths = 60;
constexpr std::uint64_t kCodes = 10000;
constexpr std::uint64_t kExtrasCount = kExpiryMonths * kCodes;
constexpr std::uint64_t kExtrasRefuseBelow = (std::uint64_t { 0 } - kExtrasCount) % kExtrasCount;

} // namespace

RecordLayout recordLayout(const GenerateRequest& request, std::string_view name)
{
    const std::string_view invalid = invalidRuleName(request.invalid);
    switch (request.format) {
    case Format::Text:
        return { "", "", "", "", "", " ", "", " ", "", "\n" };
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
        std::string afterNumber = R"(","brand":")";
        afterNumber += name;
        afterNumber += '"';
        if (!invalid.empty()) {
            afterNumber += R"(,"invalid":")";
            afterNumber += invalid;
            afterNumber += '"';
        }
        return { array ? (empty ? "[" : "[\n") : "", array ? (empty ? "]\n" : "\n]\n") : "",
            array ? ",\n" : "", R"({"number":")", afterNumber, R"(,"expiry":")", "\"",
            R"(,"cvv":")", "\"", array ? "}" : "}\n" };
    }
    case Format::Table:
        break;
    }
    return {};
}

Extras ExtrasDrawer::draw(Stream& stream) const noexcept
{
    std::uint64_t drawn = 0;
    for (;;) {
        const Wide product = Wide { stream.next() } * kExtrasCount;
        if (std::uint64_t(product) >= kExtrasRefuseBelow) {
            drawn = std::uint64_t(product >> 64);
            break;
        }
    }
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
