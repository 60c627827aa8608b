#include "JsonWriter.h"

namespace pellorin::engine {

namespace {

void appendEscaped(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xf];
            out += kHex[c & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

} // namespace

// After a container ends, its parent has a value, so no flag per level is
// needed: whatever comes next in the parent follows a comma.
void JsonWriter::beforeValue()
{
    if (m_afterKey)
        m_afterKey = false;
    else if (!m_first)
        m_out += ',';
    m_first = false;
}

void JsonWriter::beginObject()
{
    beforeValue();
    m_out += '{';
    m_first = true;
}

void JsonWriter::endObject()
{
    m_out += '}';
    m_first = false;
}

void JsonWriter::beginArray()
{
    beforeValue();
    m_out += '[';
    m_first = true;
}

void JsonWriter::endArray()
{
    m_out += ']';
    m_first = false;
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    appendEscaped(m_out, name);
    m_out += ':';
    m_afterKey = true;
}

void JsonWriter::string(std::string_view text)
{
    beforeValue();
    appendEscaped(m_out, text);
}

void JsonWriter::number(std::int64_t value)
{
    beforeValue();
    m_out += std::to_string(value);
}

void JsonWriter::boolean(bool value)
{
    beforeValue();
    m_out += value ? "true" : "false";
}

std::string jsonString(std::string_view text)
{
    std::string out;
    appendEscaped(out, text);
    return out;
}

} // namespace pellorin::engine
