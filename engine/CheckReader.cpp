#include "CheckReader.h"

#include "JsonWriter.h"
#include "Network.h"
#include "Phrases.h"
#include "Sink.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace pellorin::engine {

namespace {

constexpr std::size_t kFlushAt = std::size_t { 256 } << 10;

// Unreadable lines reported one by one; the rest are only counted, so a
// binary file gives a screenful, not a flood.
constexpr std::uint64_t kReportedUnreadable = 20;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A digit's Luhn value where it is doubled.
constexpr std::array<unsigned, 10> kDoubled { 0, 2, 4, 6, 8, 1, 3, 5, 7, 9 };

} // namespace

CheckReader::CheckReader(const CheckRequest& request, Sink& verdicts, Tell tell)
    : m_request(request)
    , m_lookup(NetworkLookup::instance())
    , m_sink(verdicts)
    , m_tell(std::move(tell))
{
}

void CheckReader::beginSource(std::string_view name, std::uint64_t linesBefore)
{
    m_source = name;
    m_lineNumber = linesBefore;
    m_splitter = LineSplitter(m_request.nullEnded ? '\0' : '\n');
    m_encodingKnown = m_keepText;
    m_encoding = TextEncoding::Utf8;
    m_head.clear();
    m_utf16Pending.clear();
    m_sourceRefused = false;
}

bool CheckReader::feed(std::string_view bytes)
{
    if (!m_encodingKnown) {
        // Enough to tell, or a whole first line, which is not held back
        // from a reader that waits for its verdict.
        m_head.append(bytes);
        if (m_head.size() < kEncodingHead && m_head.find('\n') == std::string::npos)
            return !m_readerGone;
        return takeEncoding(std::exchange(m_head, {}));
    }
    if (m_sourceRefused)
        return !m_readerGone;
    if (m_encoding == TextEncoding::Utf8)
        return feedText(bytes);
    m_utf8.clear();
    appendUtf16(bytes, m_encoding == TextEncoding::Utf16Be, m_utf16Pending, m_utf8);
    return feedText(m_utf8);
}

// Reads the source's first bytes, which tell its encoding.
bool CheckReader::takeEncoding(std::string_view bytes)
{
    m_encodingKnown = true;
    m_encoding = m_request.nullEnded ? TextEncoding::Utf8 : textEncoding(bytes);
    if (m_encoding == TextEncoding::Utf16WithoutMark) {
        // Read as UTF-8 it would be a line of digits and NULs, or a flood
        // of unreadable ones.
        m_sourceRefused = true;
        sourceFailed("the text is UTF-16 without a byte order mark; save it as UTF-8, or as "
                     "UTF-16 with its byte order mark");
        return !m_readerGone;
    }
    if (m_encoding != TextEncoding::Utf8)
        bytes.remove_prefix(2); // the mark, which said the order
    return feed(bytes);
}

bool CheckReader::feedText(std::string_view bytes)
{
    const auto onLine = [this](std::string_view line, bool overlong) { judge(line, overlong); };
    const char end = m_request.nullEnded ? '\0' : '\n';
    if (!m_readerGone && m_splitter.holdsPart()) {
        const std::size_t at = bytes.find(end);
        m_splitter.feed(bytes.substr(0, at == std::string_view::npos ? at : at + 1), onLine);
        bytes.remove_prefix(at == std::string_view::npos ? bytes.size() : at + 1);
    }
    // Whole lines straight from the piece, without a copy; the splitter
    // keeps only a line the piece cuts.
    const char* next = bytes.data();
    const char* const stop = next + bytes.size();
    while (!m_readerGone && next != stop) {
        const auto* lineEnd
            = static_cast<const char*>(std::memchr(next, end, std::size_t(stop - next)));
        if (lineEnd == nullptr) {
            m_splitter.feed(std::string_view(next, std::size_t(stop - next)), onLine);
            break;
        }
        const std::string_view line(next, std::size_t(lineEnd - next));
        if (!judgeDigits(line))
            judgeLines(line);
        next = lineEnd + 1;
    }
    return !m_readerGone;
}

// The text before an LF: lines a lone CR ends, the last maybe ending in
// the CR of a CR LF.
void CheckReader::judgeLines(std::string_view lines)
{
    if (!m_request.nullEnded) {
        for (std::size_t cr = lines.find('\r');
             cr != std::string_view::npos && cr + 1 < lines.size(); cr = lines.find('\r')) {
            judge(lines.substr(0, cr), cr > kMaxCheckLine);
            lines.remove_prefix(cr + 1);
        }
    }
    judge(lines, lines.size() > kMaxCheckLine);
}

bool CheckReader::endSource()
{
    if (!m_encodingKnown)
        takeEncoding(std::exchange(m_head, {}));
    if (!m_utf16Pending.empty() && !m_sourceRefused) {
        // An odd byte at the end: half a character.
        m_utf16Pending.clear();
        feedText("\xEF\xBF\xBD");
    }
    if (!m_readerGone && !m_sourceRefused)
        m_splitter.finish([this](std::string_view line, bool overlong) { judge(line, overlong); });
    return !m_readerGone;
}

void CheckReader::sourceFailed(std::string_view problem)
{
    // After the verdicts on what was read, as it happened.
    flush();
    m_tell("cannot read '" + m_source + "': " + std::string(problem));
    m_unreadable = true;
}

bool CheckReader::take(CheckPiece& piece)
{
    const CheckReader& other = piece.m_reader;
    const std::string_view text = other.m_text;
    std::size_t done = 0;
    // The piece opened a JSON array as if its records came first.
    if (m_request.format == Format::Json && other.m_records > 0 && m_records > 0
        && text.starts_with(kJsonLinesOpen)) {
        m_text += kJsonLinesBetween;
        done = kJsonLinesOpen.size();
    }
    if (!flush())
        return false;
    // The piece told its first unreadable lines; of those, the ones among
    // the source's first are told here.
    std::uint64_t unreadable = m_counts.unreadableLines;
    for (const CheckPiece::Report& report : piece.m_reports) {
        if (++unreadable > kReportedUnreadable)
            break;
        if (!write(text.substr(done, report.at - done)))
            return false;
        done = report.at;
        m_tell(report.message);
    }
    write(text.substr(done));
    m_counts.valid += other.m_counts.valid;
    m_counts.invalid += other.m_counts.invalid;
    m_counts.badLength += other.m_counts.badLength;
    m_counts.unreadableLines += other.m_counts.unreadableLines;
    m_records += other.m_records;
    m_unreadable = m_unreadable || other.m_unreadable;
    m_lineNumber = other.m_lineNumber;
    return !m_readerGone;
}

bool CheckReader::finish()
{
    // The end of a JSON array.
    if (m_request.format == Format::Json && m_request.shown != CheckShown::None)
        m_text += m_records == 0 ? kJsonLinesEmpty : kJsonLinesClose;
    return flush();
}

bool CheckReader::flush()
{
    if (m_keepText)
        return true;
    write(m_text);
    m_text.clear();
    return !m_readerGone;
}

bool CheckReader::write(std::string_view bytes)
{
    if (!m_readerGone && !bytes.empty() && !m_sink.write(bytes))
        m_readerGone = true;
    return !m_readerGone;
}

int CheckReader::status() const noexcept
{
    if (m_unreadable)
        return 2;
    // Nothing read is no pass: a broken step before check gave it nothing.
    return m_counts.invalid > 0 || m_counts.valid == 0 ? 1 : 0;
}

void CheckReader::summarize() const
{
    const CheckCounts& c = m_counts;
    if (c.unreadableLines > kReportedUnreadable)
        m_tell("\u2026 and "
            + plural(c.unreadableLines - kReportedUnreadable, "more unreadable line",
                "more unreadable lines"));
    m_tell(summaryLine());
}

std::string CheckReader::summaryRecord() const
{
    const CheckCounts& c = m_counts;
    const char end = m_request.nullEnded ? '\0' : '\n';
    if (m_request.format == Format::Text)
        return summaryLine() + end;
    std::string record;
    JsonWriter json(record);
    json.beginObject();
    const auto count = [&json](std::string_view name, std::uint64_t value) {
        json.key(name);
        json.number(std::int64_t(value));
    };
    count("numbers", c.valid + c.invalid);
    count("valid", c.valid);
    count("invalid", c.invalid);
    count("byLength", c.badLength);
    count("unreadable", c.unreadableLines);
    json.endObject();
    return record + end;
}

std::string CheckReader::summaryLine() const
{
    const CheckCounts& c = m_counts;
    std::string summary = c.valid + c.invalid == 0
        ? std::string("no numbers read")
        : plural(c.valid + c.invalid, "number", "numbers") + ": " + std::to_string(c.valid)
            + " valid, " + std::to_string(c.invalid) + " invalid";
    if (c.badLength > 0)
        summary += " (" + std::to_string(c.badLength) + " by length)";
    if (c.unreadableLines > 0)
        summary += "; " + plural(c.unreadableLines, "unreadable line", "unreadable lines");
    return summary;
}

void CheckReader::judge(std::string_view line, bool overlong)
{
    ++m_lineNumber;
    if (m_lineNumber == 1 && line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    if (overlong) {
        notRead("longer than " + std::to_string(kMaxCheckLine) + " bytes");
        return;
    }
    const CheckLine read = readCheckLine(line);
    switch (read.kind) {
    case CheckLine::Kind::Blank:
    case CheckLine::Kind::Header:
        return;
    case CheckLine::Kind::Unreadable:
        // Another tool's heading ("card_number,name"): words, no digit.
        if (m_lineNumber == 1 && line.find_first_of("0123456789{[") == std::string_view::npos
            && std::any_of(line.begin(), line.end(),
                [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }))
            return;
        notRead(read.problem);
        return;
    case CheckLine::Kind::Number:
        break;
    }
    const NumberVerdict verdict = judgeNumber(read.digits);
    // A number of no card's length belongs to no network.
    const bool possibleLength
        = read.digits.size() >= kMinCheckDigits && read.digits.size() <= kMaxCheckDigits;
    // A number no network issues is no card's, however well formed.
    const bool unknownPrefix
        = possibleLength && verdict.networks.empty() && !m_request.allowUnknown;
    const std::string_view reason = unknownPrefix ? "prefix"
        : verdict.wrongLength                     ? "length"
        : verdict.wrongCheckDigit                 ? "luhn"
                                  : extrasFault(read, verdict.networks, m_request.month);
    const bool valid = reason.empty();
    ++(valid ? m_counts.valid : m_counts.invalid);
    if (verdict.wrongLength)
        ++m_counts.badLength;
    if (m_request.shown == CheckShown::None || (m_request.shown == CheckShown::Invalid && valid))
        return;
    if (m_request.format == Format::Text)
        appendText(read.digits, verdict, reason, possibleLength);
    else
        appendJson(read.digits, verdict, reason, possibleLength);
    if (m_text.size() >= kFlushAt)
        flush();
}

// The common line, a card's length of digits and nothing else, as text:
// judged here without the reader of every shape or a copy. Returns false,
// having done nothing, for any other line.
bool CheckReader::judgeDigits(std::string_view line)
{
    if (m_request.format != Format::Text || line.size() < kMinCheckDigits
        || line.size() > kMaxCheckDigits)
        return false;
    // Luhn's sum, from the check digit leftwards in pairs.
    unsigned sum = 0;
    std::size_t at = line.size();
    for (; at >= 2; at -= 2) {
        const unsigned kept = unsigned(line[at - 1]) - '0';
        const unsigned doubled = unsigned(line[at - 2]) - '0';
        if (kept > 9 || doubled > 9)
            return false;
        sum += kept + kDoubled[doubled];
    }
    if (at == 1) {
        const unsigned kept = unsigned(line[0]) - '0';
        if (kept > 9)
            return false;
        sum += kept;
    }
    ++m_lineNumber;
    const PrefixVerdict& verdict = m_lookup.find(line);
    const bool unknownPrefix = verdict.noNetwork && !m_request.allowUnknown;
    const bool wrongCheckDigit = sum % 10 != 0;
    const bool valid = !verdict.wrongLength && !wrongCheckDigit && !unknownPrefix;
    ++(valid ? m_counts.valid : m_counts.invalid);
    if (verdict.wrongLength)
        ++m_counts.badLength;
    if (m_request.shown == CheckShown::None || (m_request.shown == CheckShown::Invalid && valid))
        return true;
    if (m_request.nameSources) {
        m_text += m_source;
        m_text += ':';
        m_text += std::to_string(m_lineNumber);
        m_text += ':';
    }
    m_text += line;
    m_text += unknownPrefix   ? " invalid prefix "
        : verdict.wrongLength ? " invalid length "
        : wrongCheckDigit     ? " invalid luhn "
                              : " valid ";
    m_text += verdict.networks;
    m_text += m_request.nullEnded ? '\0' : '\n';
    if (m_text.size() >= kFlushAt)
        flush();
    return true;
}

void CheckReader::appendText(std::string_view digits, const NumberVerdict& verdict,
    std::string_view reason, bool possibleLength)
{
    if (m_request.nameSources) {
        m_text += m_source;
        m_text += ':';
        m_text += std::to_string(m_lineNumber);
        m_text += ':';
    }
    m_text += digits;
    if (reason.empty()) {
        m_text += " valid";
    } else if (reason == "expired") {
        m_text += " expired";
    } else {
        m_text += " invalid ";
        m_text += reason;
    }
    if (possibleLength) {
        m_text += ' ';
        appendNetworks(verdict.networks);
    }
    m_text += m_request.nullEnded ? '\0' : '\n';
}

// {"line":1,"number":"…","valid":false,"reason":"luhn","networks":["Visa"]},
// with "file" first when several sources are read.
void CheckReader::appendJson(std::string_view digits, const NumberVerdict& verdict,
    std::string_view reason, bool possibleLength)
{
    if (m_request.format == Format::Json)
        m_text += m_records == 0 ? kJsonLinesOpen : kJsonLinesBetween;
    ++m_records;
    JsonWriter json(m_text);
    json.beginObject();
    if (m_request.nameSources)
        json.member("file", m_source);
    json.key("line");
    json.number(std::int64_t(m_lineNumber));
    json.member("number", digits);
    json.key("valid");
    json.boolean(reason.empty());
    if (!reason.empty())
        json.member("reason", reason);
    json.key("networks");
    json.beginArray();
    if (possibleLength) {
        for (const std::string_view name : verdict.networks.names())
            json.string(name);
    }
    json.endArray();
    json.endObject();
    if (m_request.format == Format::Ndjson)
        m_text += m_request.nullEnded ? '\0' : '\n';
}

// "JCB|RuPay", the most specific first, or "unknown".
void CheckReader::appendNetworks(const NetworkMatches& matches)
{
    if (matches.empty())
        m_text += "unknown";
    const char* between = "";
    for (const std::string_view name : matches.names()) {
        m_text += between;
        m_text += name;
        between = "|";
    }
}

void CheckReader::notRead(const std::string& problem)
{
    m_unreadable = true;
    // A script reading the records sees every line, the unreadable too.
    if (m_request.format != Format::Text && m_request.shown != CheckShown::None) {
        if (m_request.format == Format::Json)
            m_text += m_records == 0 ? kJsonLinesOpen : kJsonLinesBetween;
        ++m_records;
        JsonWriter json(m_text);
        json.beginObject();
        if (m_request.nameSources)
            json.member("file", m_source);
        json.key("line");
        json.number(std::int64_t(m_lineNumber));
        json.key("valid");
        json.boolean(false);
        json.member("reason", "unreadable");
        json.member("problem", problem);
        json.endObject();
        if (m_request.format == Format::Ndjson)
            m_text += m_request.nullEnded ? '\0' : '\n';
    }
    if (++m_counts.unreadableLines > kReportedUnreadable || m_request.quiet)
        return;
    // Verdicts so far go out first, so the report lands among them.
    flush();
    m_tell(m_source + ":" + std::to_string(m_lineNumber) + ": unreadable: " + problem);
}

CheckPiece::CheckPiece(const CheckRequest& request, std::string_view source,
    std::uint64_t linesBefore, std::string text)
    : m_reader(request, m_noSink, [this](std::string_view message) {
        m_reports.push_back({ m_reader.m_text.size(), std::string(message) });
    })
{
    // Set before the source begins: a piece is UTF-8 (see feed).
    m_reader.m_keepText = true;
    m_reader.m_text = std::move(text);
    m_reader.m_text.clear();
    m_reader.beginSource(source, linesBefore);
}

std::string CheckPiece::spareText()
{
    std::string text = std::move(m_reader.m_text);
    text.clear();
    return text;
}

} // namespace pellorin::engine
