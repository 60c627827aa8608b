#include "cli/CheckRun.h"

#include "cli/CheckInput.h"
#include "generate/LuhnCheck.h"
#include "platform/Output.h"

#include <cstdio>

namespace pellorin::cli {

namespace {

constexpr std::size_t kFlushAt = std::size_t { 256 } << 10;

void tell(const std::string& message)
{
    std::fprintf(stderr, "pellorin-cli check: %s\n", message.c_str());
}

class Checker {
public:
    explicit Checker(Output& output)
        : m_output(output)
    {
    }

    // False once the reader of the output has gone away.
    bool checkFile(const std::string& fileName)
    {
        const bool standardInput = fileName.empty() || fileName == "-";
        const std::string shown = standardInput ? std::string("standard input") : fileName;
        LineSplitter splitter;
        std::uint64_t lineNumber = 0;
        auto onLine = [&](std::string_view line, bool overlong) {
            ++lineNumber;
            judge(shown, lineNumber, line, overlong);
        };
        const std::string failure = readInChunks(fileName, [&](std::string_view chunk) {
            splitter.feed(chunk, onLine);
            return !m_readerGone;
        });
        if (!failure.empty()) {
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
        std::string summary = std::to_string(m_valid + m_invalid)
            + (m_valid + m_invalid == 1 ? " number: " : " numbers: ") + std::to_string(m_valid)
            + " valid, " + std::to_string(m_invalid) + " invalid";
        if (m_unreadableLines > 0)
            summary += "; " + std::to_string(m_unreadableLines)
                + (m_unreadableLines == 1 ? " line" : " lines") + " not read";
        tell(summary);
    }

private:
    void judge(
        const std::string& shown, std::uint64_t lineNumber, std::string_view line, bool overlong)
    {
        const std::string where = shown + " line " + std::to_string(lineNumber) + ": ";
        if (overlong) {
            notRead(where + "longer than " + std::to_string(kMaxCheckLine) + " characters");
            return;
        }
        const CheckLine read = readCheckLine(line);
        switch (read.kind) {
        case CheckLine::Kind::Blank:
            return;
        case CheckLine::Kind::NotANumber:
            notRead(where + "character " + std::to_string(read.column)
                + " is not a digit, blank or dash");
            return;
        case CheckLine::Kind::NoDigits:
            notRead(where + "no digits");
            return;
        case CheckLine::Kind::TooLong:
            notRead(where + "more than 19 digits");
            return;
        case CheckLine::Kind::Number:
            break;
        }
        const bool valid = LuhnCheck(read.digits);
        ++(valid ? m_valid : m_invalid);
        m_text += read.digits;
        m_text += valid ? " valid " : " invalid ";
        m_text += issuerOf(read.digits);
        m_text += '\n';
        if (m_text.size() >= kFlushAt)
            flush();
    }

    void notRead(const std::string& message)
    {
        // Verdicts so far go out first, so the report lands among them.
        flush();
        tell(message);
        m_unreadable = true;
        ++m_unreadableLines;
    }

    Output& m_output;
    std::string m_text;
    std::uint64_t m_valid = 0;
    std::uint64_t m_invalid = 0;
    std::uint64_t m_unreadableLines = 0;
    bool m_unreadable = false;
    bool m_readerGone = false;
};

} // namespace

int runCheck(const CheckRequest& request, Output& output)
{
    Checker checker(output);
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
