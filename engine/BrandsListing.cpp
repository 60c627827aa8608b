#include "BrandsListing.h"

#include "JsonWriter.h"
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

void writeLengths(JsonWriter& json, LengthSet lengths)
{
    json.beginArray();
    for (const int length : lengthList(lengths))
        json.number(length);
    json.endArray();
}

void writeNetwork(JsonWriter& json, const Network& network)
{
    json.beginObject();
    json.member("id", network.id);
    json.member("name", network.name);
    json.key("ranges");
    json.beginArray();
    for (const PrefixRange& range : network.ranges) {
        json.beginObject();
        json.member("first", range.first);
        json.member("last", range.last);
        json.key("lengths");
        writeLengths(json, range.lengths);
        json.endObject();
    }
    json.endArray();
    json.key("lengths");
    writeLengths(json, lengthsOf(network));
    json.key("commonLength");
    json.number(network.commonLength);
    json.key("codeLength");
    json.number(network.codeLength);
    json.key("groups");
    json.beginObject();
    for (const int length : lengthList(lengthsOf(network)))
        json.member(std::to_string(length), groupsOf(network, length));
    json.endObject();
    json.endObject();
}

} // namespace

std::string brandsListing(Format format)
{
    const auto table = networkTable();
    std::string text;
    if (format == Format::Json) {
        text = kJsonLinesOpen;
        for (const Network& network : table) {
            if (&network != table.data())
                text += kJsonLinesBetween;
            JsonWriter json(text);
            writeNetwork(json, network);
        }
        return text += kJsonLinesClose;
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
