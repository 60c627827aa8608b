#include "BrandsListing.h"

#include "Network.h"

#include <algorithm>
#include <array>
#include <vector>

namespace pellorin::engine {

namespace {

std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

std::string groupsText(const Network& network)
{
    std::string text;
    for (const int length : lengthList(lengthsOf(network))) {
        if (!text.empty())
            text += ' ';
        text += groupsOf(network, length);
    }
    return text;
}

std::string jsonLengths(LengthSet lengths)
{
    std::string text = "[";
    for (const int length : lengthList(lengths)) {
        if (text.size() > 1)
            text += ',';
        text += std::to_string(length);
    }
    return text + "]";
}

std::string jsonNetwork(const Network& network)
{
    // Names and prefixes hold no character JSON would escape.
    std::string text = R"({"id":")" + std::string(network.id) + R"(","name":")"
        + std::string(network.name) + R"(","ranges":[)";
    for (const PrefixRange& range : network.ranges) {
        if (&range != network.ranges.data())
            text += ',';
        text += R"({"first":")" + std::string(range.first) + R"(","last":")"
            + std::string(range.last) + R"(","lengths":)" + jsonLengths(range.lengths) + "}";
    }
    text += R"(],"lengths":)" + jsonLengths(lengthsOf(network)) + R"(,"commonLength":)"
        + std::to_string(network.commonLength) + R"(,"codeLength":)"
        + std::to_string(network.codeLength) + R"(,"groups":{)";
    bool first = true;
    for (const int length : lengthList(lengthsOf(network))) {
        text += first ? "\"" : ",\"";
        text += std::to_string(length) + R"(":")" + std::string(groupsOf(network, length)) + "\"";
        first = false;
    }
    return text + "}}";
}

} // namespace

std::string brandsListing(Format format)
{
    const auto table = networkTable();
    std::string text;
    if (format == Format::Json) {
        text = "[\n";
        for (const Network& network : table)
            text += jsonNetwork(network) + (&network == &table.back() ? "\n" : ",\n");
        return text + "]\n";
    }
    // Columns as wide as their widest cell, two blanks apart; the long
    // prefix lists come last.
    std::vector<std::array<std::string, 6>> rows { { "ID", "NETWORK", "LENGTHS", "CODE", "GROUPS",
        "PREFIXES" } };
    for (const Network& network : table)
        rows.push_back(
            { std::string(network.id), std::string(network.name), lengthsText(lengthsOf(network)),
                std::to_string(network.codeLength), groupsText(network), rangesText(network) });
    std::array<std::size_t, 6> widths {};
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    for (const auto& row : rows) {
        for (std::size_t i = 0; i + 1 < row.size(); ++i)
            text += padded(row[i], widths[i] + 2);
        text += row.back() + "\n";
    }
    return text;
}

} // namespace pellorin::engine
