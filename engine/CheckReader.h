#pragma once

#include "CheckInput.h"
#include "Requests.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace pellorin::engine {

class Sink;

// What check counted.
struct CheckCounts {
    std::uint64_t valid = 0;
    std::uint64_t invalid = 0;
    std::uint64_t badLength = 0; // of the invalid, those by length
    std::uint64_t unreadableLines = 0;
};

// Reads card numbers from sources of bytes fed in pieces of any size, one
// source after the other, and writes a verdict line per number into a
// sink. Reports (an unreadable line, an unreadable source, the summary) go
// to `tell` as single lines without a line end, each after the verdicts
// before it have been written.
class CheckReader {
public:
    using Tell = std::function<void(std::string_view message)>;

    CheckReader(const CheckRequest& request, Sink& verdicts, Tell tell);

    // Starts a source, shown as `name` in reports and, with nameSources, in
    // verdicts.
    void beginSource(std::string_view name);

    // Reads the next piece of the source. Returns false once the reader of
    // the verdicts has gone away: nothing more is written, so there is no
    // need to feed more.
    bool feed(std::string_view bytes);

    // Reads the source's last line, which needs no line end.
    bool endSource();

    // Ends the source short: what it had is judged, `problem` is reported
    // and the status becomes 2.
    void sourceFailed(std::string_view problem);

    // Ends the verdicts (a JSON array's bracket) and writes what is left.
    // Returns false when the reader has gone away.
    bool finish();

    // Tells the summary: "3 numbers: 2 valid, 1 invalid" and what could not
    // be read.
    void summarize() const;

    // The summary as a record of the request's format, for a caller that
    // writes it in place of the verdicts: the line above, or a JSON object
    // {"numbers":3,"valid":2,"invalid":1,"byLength":0,"unreadable":0}.
    std::string summaryRecord() const;

    // 0 every number valid, 1 some invalid, 2 some line or source unreadable.
    int status() const noexcept;

    const CheckCounts& counts() const noexcept { return m_counts; }

    // True once a write found the reader of the verdicts gone.
    bool readerGone() const noexcept { return m_readerGone; }

private:
    void judge(std::string_view line, bool overlong);
    bool flush();
    void appendText(std::string_view digits, const NumberVerdict& verdict, std::string_view reason,
        bool possibleLength);
    void appendJson(std::string_view digits, const NumberVerdict& verdict, std::string_view reason,
        bool possibleLength);
    void appendNetworks(const NetworkMatches& matches);
    void notRead(const std::string& problem);
    std::string summaryLine() const;

    CheckRequest m_request;
    Sink& m_sink;
    Tell m_tell;
    LineSplitter m_splitter;
    std::string m_source;
    std::uint64_t m_lineNumber = 0;
    std::uint64_t m_records = 0;
    std::string m_text;
    CheckCounts m_counts;
    bool m_unreadable = false;
    bool m_readerGone = false;
};

} // namespace pellorin::engine
