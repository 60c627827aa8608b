#include "LuhnCheck.h"
#include "ParamName.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pellorin::LuhnCheck;

struct LuhnCase {
    const char* text;
    bool passes;
};

void PrintTo(const LuhnCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class LuhnCheckTest : public testing::TestWithParam<LuhnCase> { };

TEST_P(LuhnCheckTest, JudgesText)
{
    EXPECT_EQ(LuhnCheck(GetParam().text), GetParam().passes) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, LuhnCheckTest,
    testing::Values(LuhnCase { "", true }, // sum 0
        LuhnCase { "18", true }, // 8 + (1*2)
        LuhnCase { "81", false }, // doubling counts from the right
        LuhnCase { "1 8", false }, // same as 108: 8 + 0*2 + 1 = 9
        LuhnCase { "108", false }, LuhnCase { "1x9", true }, // same as 109: 9 + 0 + 1 = 10
        LuhnCase { "59", true }, // doubled 5 counts 1: 9 + 1
        LuhnCase { "91", true }, // doubled 9 counts 9: 1 + 9
        LuhnCase { "42", true }, // doubled 4 counts 8: 2 + 8
        LuhnCase { "4539148803436467", true }, LuhnCase { "4539148803436468", false },
        LuhnCase { "378282246310005", true }, LuhnCase { "378282246310006", false },
        LuhnCase { "0", true }, LuhnCase { "5", false }),
    [](const auto& info) { return pellorin::test::spelledName(info.param.text); });

// A generator completes a payload with its check digit: exactly one of the ten
// must pass.
TEST(LuhnCheck, ExactlyOneDigitCompletesEveryPayload)
{
    for (const std::string payload :
        { "", "1", "453914880343646", "37828224631000", "999999999" }) {
        int passing = 0;
        for (char digit = '0'; digit <= '9'; ++digit)
            passing += LuhnCheck(payload + digit) ? 1 : 0;
        EXPECT_EQ(passing, 1) << '"' << payload << '"';
    }
}

} // namespace
