#pragma once

#include "CheckInput.h"
#include "NetworkLookup.h"
#include "Requests.h"
#include "Sink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::engine {

class CheckPiece;

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
    // verdicts; `linesBefore` lines of it were read elsewhere.
    void beginSource(std::string_view name, std::uint64_t linesBefore = 0);

    // Reads the next piece of the source: UTF-8, or UTF-16 after its byte
    // order mark. Returns false once the reader of the verdicts has gone
    // away: nothing more is written, so there is no need to feed more.
    bool feed(std::string_view bytes);

    // Reads the source's last line, which needs no line end.
    bool endSource();

    // Ends the source short: what it had is judged, `problem` is reported
    // and the status becomes 2.
    void sourceFailed(std::string_view problem);

    // Takes the next piece of the source as if it had been fed here: its
    // verdicts, reports and counts. Returns false once the reader of the
    // verdicts has gone away.
    bool take(CheckPiece& piece);

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

    // 0 every number valid, 1 some invalid or none read at all, 2 some line
    // or source unreadable.
    int status() const noexcept;

    const CheckCounts& counts() const noexcept { return m_counts; }

    // True once a write found the reader of the verdicts gone.
    bool readerGone() const noexcept { return m_readerGone; }

private:
    friend class CheckPiece;

    bool feedText(std::string_view bytes);
    bool takeEncoding(std::string_view bytes);
    void judgeLines(std::string_view lines);
    void judge(std::string_view line, bool overlong);
    bool judgeDigits(std::string_view line);
    bool flush();
    bool write(std::string_view bytes);
    void appendText(std::string_view digits, const NumberVerdict& verdict, std::string_view reason,
        bool possibleLength);
    void appendJson(std::string_view digits, const NumberVerdict& verdict, std::string_view reason,
        bool possibleLength);
    void appendNetworks(const NetworkMatches& matches);
    void notRead(const std::string& problem);
    std::string summaryLine() const;

    CheckRequest m_request;
    const NetworkLookup& m_lookup;
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
    bool m_keepText = false; // a piece's: the verdicts stay in m_text
    // The source's first bytes, until they tell its encoding.
    bool m_encodingKnown = false;
    TextEncoding m_encoding = TextEncoding::Utf8;
    std::string m_head;
    std::string m_utf16Pending;
    std::string m_utf8; // UTF-16 input, made UTF-8
    bool m_sourceRefused = false; // the rest of the source is not read
};

// A piece of a source that begins where a line begins, judged on its own,
// on any thread, and then handed in order to the source's reader with
// CheckReader::take. Its verdicts and reports wait in memory until then.
class CheckPiece {
public:
    // `linesBefore`: the lines of the source before the piece. The verdicts
    // are kept in `text`, whose room is reused.
    CheckPiece(const CheckRequest& request, std::string_view source, std::uint64_t linesBefore,
        std::string text = {});
    CheckPiece(const CheckPiece&) = delete;
    CheckPiece& operator=(const CheckPiece&) = delete;

    // Reads the next bytes of the piece, UTF-8: a source in any other
    // encoding is read whole, by one reader.
    void feed(std::string_view bytes) { m_reader.feed(bytes); }

    // Reads the piece's last line: the source ends with it, and it needs no
    // line end.
    void endSource() { m_reader.endSource(); }

    // The room the verdicts took, empty, for another piece.
    std::string spareText();

private:
    friend class CheckReader;

    // Nothing is written from a piece: its reader keeps its text.
    struct NoSink final : Sink {
        bool write(std::string_view /*bytes*/) override { return true; }
    };
    struct Report {
        std::size_t at; // where in the verdicts it is told
        std::string message;
    };

    NoSink m_noSink;
    std::vector<Report> m_reports;
    CheckReader m_reader;
};

} // namespace pellorin::engine
