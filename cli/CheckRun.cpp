#include "CheckRun.h"

#include "CheckInput.h"
#include "Network.h"
#include "Output.h"

#include <cstdio>

namespace pellorin::cli {

namespace {

constexpr std::size_t kFlushAt = std::size_t { 256 } << 10;

// Unreadable lines reported one by one; the rest are only counted, so a
// binary file gives a screenful, not a flood.
constexpr std::uint64_t kReportedUnreadable = 20;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void tell(const std::string& message)
{
    std::fprintf(stderr, "pellorin-cli check: %s\n", message.c_str());
}

std::string plural(std::uint64_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

class Checker {
public:
    Checker(Output& output, bool nameFiles, Format format)
        : m_output(output)
        , m_nameFiles(nameFiles)
        , m_format(format)
    {
    }

    // The end of a JSON array.
    void finish()
    {
        if (m_format == Format::Json)
            m_text += m_records == 0 ? "[]\n" : "\n]\n";
    }

    // False once the reader of the output has gone away.
    bool checkFile(const std::string& fileName)
    {
        const bool standardInput = fileName.empty() || fileName == "-";
        const std::string shown = standardInput ? std::string("(standard input)") : fileName;
        LineSplitter splitter;
        std::uint64_t lineNumber = 0;
        auto onLine = [&](std::string_view line, bool overlong) {
            ++lineNumber;
            if (lineNumber == 1 && line.starts_with(kByteOrderMark))
                line.remove_prefix(kByteOrderMark.size());
            judge(shown, lineNumber, line, overlong);
        };
        const std::string failure = readInChunks(fileName, [&](std::string_view chunk) {
            splitter.feed(chunk, onLine);
            return !m_readerGone;
        });
        if (!failure.empty()) {
            // After the verdicts on what was read, as it happened.
            flush();
            tell("cannot read '" + shown + "': " + failure);
            m_unreadable = true;
        } else if (!m_readerGone) {
            splitter.finish(onLine);
        }
        return !m_readerGone;
    }

    bool flush()
    {
        if (!m_readerGone && !m_text.empty() && !m_output.write(m_text))
            m_readerGone = true;
        m_text.clear();
        return !m_readerGone;
    }

    int status() const
    {
        if (m_unreadable)
            return 2;
        return m_invalid > 0 ? 1 : 0;
    }

    void summarize() const
    {
        if (m_unreadableLines > kReportedUnreadable)
            tell("\u2026 and "
                + plural(m_unreadableLines - kReportedUnreadable, "more unreadable line",
                    "more unreadable lines"));
        std::string summary = plural(m_valid + m_invalid, "number", "numbers") + ": "
            + std::to_string(m_valid) + " valid, " + std::to_string(m_invalid) + " invalid";
        if (m_badLength > 0)
            summary += " (" + std::to_string(m_badLength) + " by length)";
        if (m_unreadableLines > 0)
            summary += "; " + plural(m_unreadableLines, "unreadable line", "unreadable lines");
        tell(summary);
    }

private:
    void judge(
        const std::string& shown, std::uint64_t lineNumber, std::string_view line, bool overlong)
    {
        if (overlong) {
            notRead(shown, lineNumber, "longer than " + std::to_string(kMaxCheckLine) + " bytes");
            return;
        }
        const CheckLine read = readCheckLine(line);
        switch (read.kind) {
        case CheckLine::Kind::Blank:
        case CheckLine::Kind::Header:
            return;
        case CheckLine::Kind::Unreadable:
            notRead(shown, lineNumber, read.problem);
            return;
        case CheckLine::Kind::Number:
            break;
        }
        const NumberVerdict verdict = judgeNumber(read.digits);
        ++(verdict.valid() ? m_valid : m_invalid);
        if (verdict.wrongLength)
            ++m_badLength;
        // A number of no card's length belongs to no network.
        const bool possibleLength
            = read.digits.size() >= kMinCheckDigits && read.digits.size() <= kMaxCheckDigits;
        if (m_format == Format::Text)
            appendText(shown, lineNumber, read.digits, verdict, possibleLength);
        else
            appendJson(shown, lineNumber, read.digits, verdict, possibleLength);
        if (m_text.size() >= kFlushAt)
            flush();
    }

    void appendText(const std::string& shown, std::uint64_t lineNumber, std::string_view digits,
        const NumberVerdict& verdict, bool possibleLength)
    {
        if (m_nameFiles) {
            m_text += shown;
            m_text += ':';
            m_text += std::to_string(lineNumber);
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
    // "file" first when several files are read and always the "line".
    void appendJson(const std::string& shown, std::uint64_t lineNumber, std::string_view digits,
        const NumberVerdict& verdict, bool possibleLength)
    {
        if (m_format == Format::Json)
            m_text += m_records == 0 ? "[\n" : ",\n";
        ++m_records;
        m_text += '{';
        if (m_nameFiles) {
            m_text += R"("file":)";
            appendJsonString(shown);
            m_text += ',';
        }
        m_text += R"("line":)";
        m_text += std::to_string(lineNumber);
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
        if (m_format == Format::Ndjson)
            m_text += '\n';
    }

    void appendJsonString(std::string_view text)
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
    void appendNetworks(const NetworkMatches& matches)
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

    void notRead(const std::string& shown, std::uint64_t lineNumber, const std::string& problem)
    {
        m_unreadable = true;
        if (++m_unreadableLines > kReportedUnreadable)
            return;
        // Verdicts so far go out first, so the report lands among them.
        flush();
        tell(shown + ":" + std::to_string(lineNumber) + ": unreadable: " + problem);
    }

    Output& m_output;
    bool m_nameFiles;
    Format m_format;
    std::uint64_t m_records = 0;
    std::string m_text;
    std::uint64_t m_valid = 0;
    std::uint64_t m_invalid = 0;
    std::uint64_t m_badLength = 0;
    std::uint64_t m_unreadableLines = 0;
    bool m_unreadable = false;
    bool m_readerGone = false;
};

} // namespace

int runCheck(const CheckRequest& request, Output& output)
{
    Checker checker(output, request.files.size() > 1, request.format);
    const std::vector<std::string> standardInput { std::string() };
    for (const std::string& file : request.files.empty() ? standardInput : request.files) {
        if (!checker.checkFile(file))
            return checker.status();
    }
    checker.finish();
    if (!checker.flush())
        return checker.status();
    checker.summarize();
    return checker.status();
}

} // namespace pellorin::cli
