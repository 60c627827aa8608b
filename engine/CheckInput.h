#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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
};

// Reads a line without its line end, in any of the shapes `generate` writes
// (text, csv, json, ndjson, table; with or without expiry and code) or as a
// bare number with blanks or dashes between its digits. Blanks are spaces,
// TABs and no-break spaces; a CR at the end (a CR LF file) counts as one.
// Never joins the fields of a record into one number.
CheckLine readCheckLine(std::string_view line);

// Cuts input into lines as it arrives in pieces of any size, holding at
// most kMaxCheckLine bytes of a line: a longer one is handed on as
// overlong, without its text.
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
            const std::size_t end = bytes.find(m_end);
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
    }

    // Whether part of a line waits for its end.
    bool holdsPart() const noexcept { return !m_line.empty() || m_overlong; }

private:
    char m_end;
    std::string m_line;
    bool m_overlong = false;
};

} // namespace pellorin::engine
