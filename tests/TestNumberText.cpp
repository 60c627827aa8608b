#include "NumberText.h"
#include "ParamName.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

using namespace pellorin;

struct QuantityCase {
    const char* text;
    char separator;
    std::optional<std::int64_t> value; // nullopt: not numeric
};

void PrintTo(const QuantityCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" with '" << c.separator << '\'';
}

class QuantityTest : public testing::TestWithParam<QuantityCase> { };

TEST_P(QuantityTest, ReadsTheSameFormsAsTheBox)
{
    const auto& c = GetParam();
    const Quantity q = readQuantity(c.text, c.separator);
    if (!c.value) {
        EXPECT_EQ(q.kind, Quantity::Kind::NotNumeric) << '"' << c.text << '"';
    } else {
        ASSERT_EQ(q.kind, Quantity::Kind::Whole) << '"' << c.text << '"';
        EXPECT_EQ(q.value, *c.value) << '"' << c.text << '"';
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, QuantityTest,
    testing::Values(QuantityCase { "25", '.', 25 }, QuantityCase { "  12  ", '.', 12 },
        QuantityCase { "\t7", '.', 7 }, QuantityCase { "+3", '.', 3 },
        QuantityCase { "-3", '.', -3 }, QuantityCase { "0", '.', 0 },
        QuantityCase { "0.4", '.', 0 }, QuantityCase { "0.5", '.', 0 },
        QuantityCase { "0.6", '.', 1 }, QuantityCase { "1.5", '.', 2 },
        QuantityCase { "2.5", '.', 2 }, QuantityCase { "2.50001", '.', 3 },
        QuantityCase { "-1.5", '.', -2 }, QuantityCase { "-0.5", '.', 0 },
        QuantityCase { ".5", '.', 0 }, QuantityCase { "5.", '.', 5 },
        QuantityCase { "1,5", ',', 2 }, QuantityCase { "007", '.', 7 },
        QuantityCase { "2147483647", '.', 2147483647 },
        QuantityCase { "2147483648", '.', 2147483648 },
        QuantityCase { "99999999999999999999999", '.', kSaturated },
        QuantityCase { "-99999999999999999999999", '.', -kSaturated },
        QuantityCase { "", '.', std::nullopt }, QuantityCase { "   ", '.', std::nullopt },
        QuantityCase { "abc", '.', std::nullopt }, QuantityCase { "12abc", '.', std::nullopt },
        QuantityCase { "1e9", '.', std::nullopt }, QuantityCase { "1,000", '.', std::nullopt },
        QuantityCase { "1.5", ',', std::nullopt }, QuantityCase { ".", '.', std::nullopt },
        QuantityCase { "-", '.', std::nullopt }, QuantityCase { "1.2.3", '.', std::nullopt },
        QuantityCase { "--1", '.', std::nullopt }, QuantityCase { "1 2", '.', std::nullopt },
        QuantityCase { "$5", '.', std::nullopt }),
    [](const auto& info) {
        return test::spelledName(info.param.text)
            + (info.param.separator == ',' ? "_CommaLocale" : "");
    });

TEST(Quantity32, RejectsValuesBeyondThe32BitRange)
{
    EXPECT_EQ(readQuantity32("2147483647", '.'), 2147483647);
    EXPECT_EQ(readQuantity32("-2147483648", '.'), INT32_MIN);
    EXPECT_EQ(readQuantity32("2147483647.4", '.'), 2147483647);
    EXPECT_EQ(readQuantity32("2147483647.5", '.'), std::nullopt); // rounds up past the range
    EXPECT_EQ(readQuantity32("2147483648", '.'), std::nullopt);
    EXPECT_EQ(readQuantity32("-2147483649", '.'), std::nullopt);
    EXPECT_EQ(readQuantity32("abc", '.'), std::nullopt);
}

struct TruthCase {
    const char* text;
    bool value;
};

void PrintTo(const TruthCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class TruthValueTest : public testing::TestWithParam<TruthCase> { };

TEST_P(TruthValueTest, ReadsStoredText)
{
    EXPECT_EQ(readTruthValue(GetParam().text, '.'), GetParam().value)
        << '"' << GetParam().text << '"';
}

// Numbers in every form a hand-edited store may hold: 0 is false, any other
// number true, however it is written; any other text is false.
INSTANTIATE_TEST_SUITE_P(Cases, TruthValueTest,
    testing::Values(TruthCase { "True", true }, TruthCase { "False", false },
        TruthCase { "true", true }, TruthCase { "FALSE", false }, TruthCase { "tRuE", true },
        TruthCase { " True ", true }, TruthCase { "1", true }, TruthCase { "0", false },
        TruthCase { "-1", true }, TruthCase { "0.0", false }, TruthCase { "0.4", true },
        TruthCase { ".5", true }, TruthCase { "+3", true }, TruthCase { "12", true },
        TruthCase { "1E2", true }, TruthCase { "1e2", true }, TruthCase { "1e400", true },
        TruthCase { "1e-400", true }, TruthCase { "-2.5E+3", true }, TruthCase { " 1E2 ", true },
        TruthCase { "0E5", false }, TruthCase { "0.0e-7", false }, TruthCase { "1 E2", false },
        TruthCase { "1E 2", false }, TruthCase { "1E", false }, TruthCase { "E2", false },
        TruthCase { "1E2E3", false }, TruthCase { "1E2.5", false }, TruthCase { "1D2", false },
        TruthCase { "&H1", true }, TruthCase { "&h1f", true },
        TruthCase { "&HFFFFFFFFFFFFFFFFFFFF", true }, TruthCase { "&H000", false },
        TruthCase { "&H", false }, TruthCase { "&HG", false }, TruthCase { "&O7", true },
        TruthCase { "&o10", true }, TruthCase { "&O0", false }, TruthCase { "&O8", false },
        TruthCase { "&O", false }, TruthCase { "-&H1", false }, TruthCase { "& H1", false },
        TruthCase { "&B1", false }, TruthCase { "&1", false }, TruthCase { "", false },
        TruthCase { "maybe", false }, TruthCase { "Truex", false }, TruthCase { "yes", false }),
    [](const auto& info) { return test::spelledName(info.param.text); });

} // namespace
