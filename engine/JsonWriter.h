#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pellorin::engine {

// Compact JSON appended to a string, with the commas put where they go.
// Every string, keys too, is escaped: '"', '\' and control characters.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) noexcept
        : m_out(out)
    {
    }

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // "name": before the member's value.
    void key(std::string_view name);
    void string(std::string_view text);
    void number(std::int64_t value);
    void boolean(bool value);

    // "name":"text"
    void member(std::string_view name, std::string_view text)
    {
        key(name);
        string(text);
    }

private:
    void beforeValue();

    std::string& m_out;
    bool m_first = true;
    bool m_afterKey = false;
};

// `text` as a JSON string, quoted and escaped.
std::string jsonString(std::string_view text);

// The arrays generate, check and brands write have one element a line:
// "[\n" before the first, ",\n" between two, "\n]\n" after the last, and
// "[]\n" when there is none.
inline constexpr std::string_view kJsonLinesOpen = "[\n";
inline constexpr std::string_view kJsonLinesBetween = ",\n";
inline constexpr std::string_view kJsonLinesClose = "\n]\n";
inline constexpr std::string_view kJsonLinesEmpty = "[]\n";

} // namespace pellorin::engine
