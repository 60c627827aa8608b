#include "CheckReader.h"

#include "Network.h"
#include "Phrases.h"
#include "Sink.h"

namespace pellorin::engine {

namespace {

constexpr std::size_t kFlushAt = std::size_t { 256 } << 10;

// Unreadable lines reported one by one; the rest are only counted, so a
// binary file gives a screenful, not a flood.
constexpr std::uint64_t kReportedUnreadable = 20;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

CheckReader::CheckReader(const CheckRequest& request, Sink& verdicts, Tell tell)
    : m_request(request)
    , m_sink(verdicts)
    , m_tell(std::move(tell))
{
}

void CheckReader::beginSource(std::string_view name)
{
    m_source = name;
    m_lineNumber = 0;
    m_splitter = LineSplitter();
}

bool CheckReader::feed(std::string_view bytes)
{
    if (!m_readerGone)
        m_splitter.feed(
            bytes, [this](std::string_view line, bool overlong) { judge(line, overlong); });
    return !m_readerGone;
}

bool CheckReader::endSource()
{
    if (!m_readerGone)
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

bool CheckReader::finish()
{
    // The end of a JSON array.
    if (m_request.format == Format::Json)
        m_text += m_records == 0 ? "[]\n" : "\n]\n";
    return flush();
}

bool CheckReader::flush()
{
    if (!m_readerGone && !m_text.empty() && !m_sink.write(m_text))
        m_readerGone = true;
    m_text.clear();
    return !m_readerGone;
}

int CheckReader::status() const noexcept
{
    if (m_unreadable)
        return 2;
    return m_counts.invalid > 0 ? 1 : 0;
}

void CheckReader::summarize() const
{
    const CheckCounts& c = m_counts;
    if (c.unreadableLines > kReportedUnreadable)
        m_tell("\u2026 and "
            + plural(c.unreadableLines - kReportedUnreadable, "more unreadable line",
                "more unreadable lines"));
    std::string summary = plural(c.valid + c.invalid, "number", "numbers") + ": "
        + std::to_string(c.valid) + " valid, " + std::to_string(c.invalid) + " invalid";
    if (c.badLength > 0)
        summary += " (" + std::to_string(c.badLength) + " by length)";
    if (c.unreadableLines > 0)
        summary += "; " + plural(c.unreadableLines, "unreadable line", "unreadable lines");
    m_tell(summary);
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
        notRead(read.problem);
        return;
    case CheckLine::Kind::Number:
        break;
    }
    const NumberVerdict verdict = judgeNumber(read.digits);
    ++(verdict.valid() ? m_counts.valid : m_counts.invalid);
    if (verdict.wrongLength)
        ++m_counts.badLength;
    // A number of no card's length belongs to no network.
    const bool possibleLength
        = read.digits.size() >= kMinCheckDigits && read.digits.size() <= kMaxCheckDigits;
    if (m_request.format == Format::Text)
        appendText(read.digits, verdict, possibleLength);
    else
        appendJson(read.digits, verdict, possibleLength);
    if (m_text.size() >= kFlushAt)
        flush();
}

void CheckReader::appendText(
    std::string_view digits, const NumberVerdict& verdict, bool possibleLength)
{
    if (m_request.nameSources) {
        m_text += m_source;
        m_text += ':';
        m_text += std::to_string(m_lineNumber);
        m_text += ':';
    }
    m_text += digits;
    if (verdict.valid())
        m_text += " valid";
    else
        m_text += verdict.wrongLength ? " invalid length" : " invalid luhn";
    if (possibleLength) {
        m_text += ' ';
        appendNetworks(verdict.networks);
    }
    m_text += '\n';
}

// {"number":"…","valid":false,"reason":"luhn","networks":["Visa"]}, with
// "file" first when several sources are read and always the "line".
void CheckReader::appendJson(
    std::string_view digits, const NumberVerdict& verdict, bool possibleLength)
{
    if (m_request.format == Format::Json)
        m_text += m_records == 0 ? "[\n" : ",\n";
    ++m_records;
    m_text += '{';
    if (m_request.nameSources) {
        m_text += R"("file":)";
        appendJsonString(m_source);
        m_text += ',';
    }
    m_text += R"("line":)";
    m_text += std::to_string(m_lineNumber);
    m_text += R"(,"number":")";
    m_text += digits;
    m_text += verdict.valid() ? R"(","valid":true)" : R"(","valid":false)";
    if (!verdict.valid())
        m_text += verdict.wrongLength ? R"(,"reason":"length")" : R"(,"reason":"luhn")";
    m_text += R"(,"networks":[)";
    if (possibleLength) {
        const char* between = "";
        for (const std::string_view name : verdict.networks.names()) {
            m_text += between;
            appendJsonString(name);
            between = ",";
        }
    }
    m_text += "]}";
    if (m_request.format == Format::Ndjson)
        m_text += '\n';
}

void CheckReader::appendJsonString(std::string_view text)
{
    m_text += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            m_text += '\\';
            m_text += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            m_text += "\\u00";
            m_text += kHex[(c >> 4) & 0xf];
            m_text += kHex[c & 0xf];
        } else {
            m_text += c;
        }
    }
    m_text += '"';
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
    if (++m_counts.unreadableLines > kReportedUnreadable)
        return;
    // Verdicts so far go out first, so the report lands among them.
    flush();
    m_tell(m_source + ":" + std::to_string(m_lineNumber) + ": unreadable: " + problem);
}

} // namespace pellorin::engine
