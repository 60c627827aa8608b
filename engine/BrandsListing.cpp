#include "BrandsListing.h"

#include "JsonWriter.h"
#include "Network.h"
#include "NetworkPattern.h"

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

// The widest text line: a terminal's 80 columns less the last one, which
// some terminals wrap at.
constexpr std::size_t kLineWidth = 79;

// "65*": the prefixes as people write them, each marked when another
// network claims some of them too.
std::vector<std::string> prefixCells(const Network& network)
{
    const LengthSet all = lengthsOf(network);
    std::vector<std::string> cells;
    for (const PrefixRange& range : network.ranges) {
        std::string cell(range.first);
        if (range.last != range.first) {
            cell += '-';
            cell += range.last;
        }
        if (range.lengths != all) {
            cell += " (";
            cell += lengthsText(range.lengths);
            cell += ')';
        }
        if (!networksSharing(network, range).empty())
            cell += '*';
        cells.push_back(std::move(cell));
    }
    return cells;
}

// `cells` joined by ", " (by " " without `commas`) into lines of at most
// `width` characters, broken between cells; continuation lines start with
// `indent` blanks.
std::string wrappedCells(const std::vector<std::string>& cells, std::size_t indent,
    std::size_t width, bool commas = true)
{
    std::string text;
    std::size_t column = 0;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const bool comma = commas && i + 1 < cells.size();
        const std::size_t size = cells[i].size() + (comma ? 1 : 0);
        if (column > 0 && column + 1 + size > width) {
            text += '\n';
            text.append(indent, ' ');
            column = 0;
        } else if (column > 0) {
            text += ' ';
            ++column;
        }
        text += cells[i];
        if (comma)
            text += ',';
        column += size;
    }
    return text;
}

// The words of `text`, for wrappedCells.
std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
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
        json.key("sharedWith");
        json.beginArray();
        for (const Network* other : networksSharing(network, range))
            json.string(other->id);
        json.endArray();
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
    if (const std::string_view note = validatorNote(network); !note.empty())
        json.member("validatorNote", note);
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
    // Columns as wide as their widest cell, two blanks apart; the groups of
    // the common length only (--format json has every length's), and the
    // prefixes last, wrapped to the line.
    std::vector<std::array<std::string, 5>> rows { { "ID", "NETWORK", "LENGTHS", "CODE",
        "GROUPS" } };
    for (const Network& network : table)
        rows.push_back({ std::string(network.id), std::string(network.name),
            lengthsText(lengthsOf(network)), std::to_string(network.codeLength),
            std::string(groupsOf(network, network.commonLength)) });
    std::array<std::size_t, 5> widths {};
    for (const auto& row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    std::size_t indent = 0;
    for (const std::size_t width : widths)
        indent += width + 2;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t i = 0; i < rows[r].size(); ++i)
            text += padded(rows[r][i], widths[i] + 2);
        text += r == 0 ? std::string("PREFIXES")
                       : wrappedCells(prefixCells(table[r - 1]), indent, kLineWidth - indent);
        text += '\n';
    }
    text += "* shared with another network: by default a network's numbers come from the\n"
            "  prefixes it alone claims, these too only with --ranges network\n";
    for (const Network& network : table) {
        const std::string_view note = validatorNote(network);
        if (!note.empty())
            text
                += wrappedCells(wordsOf(std::string(network.name) + ": " + std::string(note) + "."),
                       2, kLineWidth - 2, false)
                + '\n';
    }
    return text;
}

} // namespace pellorin::engine
