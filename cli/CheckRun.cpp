#include "CheckRun.h"

#include "CheckInput.h"
#include "LuhnCheck.h"
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
    Checker(Output& output, bool nameFiles)
        : m_output(output)
        , m_nameFiles(nameFiles)
    {
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
        if (m_nameFiles) {
            m_text += shown;
            m_text += ':';
            m_text += std::to_string(lineNumber);
            m_text += ':';
        }
        m_text += read.digits;
        if (read.digits.size() < kMinCheckDigits || read.digits.size() > kMaxCheckDigits) {
            ++m_invalid;
            ++m_badLength;
            m_text += " invalid length\n";
        } else {
            const bool valid = LuhnCheck(read.digits);
            ++(valid ? m_valid : m_invalid);
            m_text += valid ? " valid " : " invalid ";
            m_text += issuerOf(read.digits);
            m_text += '\n';
        }
        if (m_text.size() >= kFlushAt)
            flush();
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
    Checker checker(output, request.files.size() > 1);
    const std::vector<std::string> standardInput { std::string() };
    for (const std::string& file : request.files.empty() ? standardInput : request.files) {
        if (!checker.checkFile(file))
            return checker.status();
    }
    if (!checker.flush())
        return checker.status();
    checker.summarize();
    return checker.status();
}

} // namespace pellorin::cli
