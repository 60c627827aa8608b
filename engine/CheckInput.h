#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellorin {
struct NetworkMatches;
}

namespace pellorin::engine {

// The longest line `check` reads, in bytes, line end excluded. Longer lines
// are reported, not read.
inline constexpr std::size_t kMaxCheckLine = 256;

// The shortest and longest card numbers; `check` calls any other length
// invalid.
inline constexpr std::size_t kMinCheckDigits = 12;
inline constexpr std::size_t kMaxCheckDigits = 19;

// One line of `check` input, read.
struct CheckLine {
    enum class Kind {
        Blank, // nothing to check: blanks, or a JSON array's bracket
        Header, // a column heading: "number,brand,..." or "Result(s)"
        Number, // one card number, its digits in `digits`, however many
        Unreadable, // no single card number: `problem` says why
    };
    Kind kind = Kind::Blank;
    std::string digits;
    std::string problem;
    // What the line carries beside its number, as written, or empty: an
    // expiry "MM/YY" or "MM/YYYY" and a security code of any digits.
    std::string expiry;
    std::string code;
};

// Reads a line without its line end, in any of the shapes `generate` writes
// (text, csv, tsv, json, ndjson, table; grouped or not, with or without
// expiry and code) or as people keep numbers: fields apart by blanks, TABs,
// `,` `;` `|` `:` or `/`. Digit groups make one number only where their
// sizes are a grouping card numbers of that length print in; otherwise the
// first group is the number and the rest are fields, and a line that both
// readings fit is unreadable. Blanks are spaces and no-break spaces; a CR at
// the end (a CR LF file) counts as one.
CheckLine readCheckLine(std::string_view line);

// What is wrong with the extras of a line whose number is well formed:
// "expiry" for no month of the year, "expired" for a month before `month`
// (months since year 0: year × 12 + month - 1; without it none has passed),
// "code" for a code of another length than that of every network the
// number belongs to (3 or 4 digits where it belongs to none); or nothing.
std::string_view extrasFault(
    const CheckLine& line, const NetworkMatches& networks, std::optional<std::int64_t> month);

// How a source's first bytes say its text is written.
enum class TextEncoding {
    Utf8, // or ASCII; with or without its byte order mark
    Utf16Le, // after its byte order mark
    Utf16Be,
    Utf16WithoutMark, // every other byte zero, and no mark to say the order
};

// The first bytes looked at.
inline constexpr std::size_t kEncodingHead = 64;

// The encoding of a source that starts with `head` (its first
// kEncodingHead bytes, or all of a shorter source).
TextEncoding textEncoding(std::string_view head) noexcept;

// Appends UTF-16 `bytes` as UTF-8 to `out`. `pending` keeps what a piece
// cut short (an odd byte, the first half of a surrogate pair) for the
// next; a lone half becomes U+FFFD.
void appendUtf16(std::string_view bytes, bool bigEndian, std::string& pending, std::string& out);

// Cuts input into lines as it arrives in pieces of any size, holding at
// most kMaxCheckLine bytes of a line: a longer one is handed on as
// overlong, without its text. With line ends, a CR ends a line as an LF
// does, and an LF right after a CR ends none.
class LineSplitter {
public:
    // Lines end in `end`: a line end, or a NUL for NUL-ended records.
    explicit LineSplitter(char end = '\n') noexcept
        : m_end(end)
    {
    }

    // Calls onLine(std::string_view line, bool overlong) for every complete
    // line in `bytes`.
    template <typename OnLine> void feed(std::string_view bytes, OnLine&& onLine)
    {
        while (!bytes.empty()) {
            if (m_afterCr) {
                m_afterCr = false;
                if (bytes.front() == '\n') {
                    bytes.remove_prefix(1);
                    continue;
                }
            }
            const std::size_t end = m_end == '\n' ? bytes.find_first_of("\r\n") : bytes.find(m_end);
            const std::string_view piece = bytes.substr(0, end);
            if (!m_overlong) {
                if (m_line.size() + piece.size() > kMaxCheckLine) {
                    m_overlong = true;
                    m_line.clear();
                } else {
                    m_line.append(piece);
                }
            }
            if (end == std::string_view::npos)
                return;
            onLine(std::string_view(m_line), m_overlong);
            m_line.clear();
            m_overlong = false;
            m_afterCr = bytes[end] == '\r';
            bytes.remove_prefix(end + 1);
        }
    }

    // The last line when the input does not end with a line end.
    template <typename OnLine> void finish(OnLine&& onLine)
    {
        if (!m_line.empty() || m_overlong)
            onLine(std::string_view(m_line), m_overlong);
        m_line.clear();
        m_overlong = false;
        m_afterCr = false;
    }

    // Whether part of a line waits for its end, or an LF that ends nothing
    // may come next.
    bool holdsPart() const noexcept { return !m_line.empty() || m_overlong || m_afterCr; }

private:
    char m_end;
    std::string m_line;
    bool m_overlong = false;
    bool m_afterCr = false;
};

} // namespace pellorin::engine
