#include "JsonWriter.h"
#include "ParamName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pellorin::engine::jsonString;
using pellorin::engine::JsonWriter;

struct Escape {
    const char* name;
    std::string text;
    std::string json;
};

class JsonEscape : public testing::TestWithParam<Escape> { };

TEST_P(JsonEscape, QuotesAndEscapes)
{
    EXPECT_EQ(jsonString(GetParam().text), GetParam().json);
}

// File names reach check's verdicts as they are: any byte but NUL.
INSTANTIATE_TEST_SUITE_P(Texts, JsonEscape,
    testing::Values(Escape { "plain", "Visa", R"("Visa")" },
        Escape { "quote_and_backslash", R"(a"b\c)", R"("a\"b\\c")" },
        Escape { "control_characters", "a\nb\tc\x1f\x7f",
            R"("a\u000ab\u0009c\u001f)"
            "\x7f\"" },
        Escape { "utf8_kept", "Caf\xc3\xa9", "\"Caf\xc3\xa9\"" }, Escape { "empty", "", R"("")" }),
    [](const auto& info) { return pellorin::test::spelledName(info.param.name); });

// Commas go between values at every depth, never after a key or an opening.
TEST(JsonWriter, PutsCommasBetweenValuesAtEveryDepth)
{
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    json.member("a", "x");
    json.key("b");
    json.beginArray();
    json.number(1);
    json.beginObject();
    json.endObject();
    json.beginArray();
    json.endArray();
    json.boolean(false);
    json.endArray();
    json.key("c");
    json.number(-2);
    json.endObject();
    EXPECT_EQ(out, R"({"a":"x","b":[1,{},[],false],"c":-2})");
}

} // namespace
