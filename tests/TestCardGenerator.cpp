#include "Brand.h"
#include "CardGenerator.h"
#include "LuhnCheck.h"
#include "LuhnDigit.h"
#include "NumberPattern.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace pellorin;

std::uint64_t frozenTimer() noexcept
{
    return 123456789; // every re-seed lands in the same timer tick
}

class BrandTest : public testing::TestWithParam<BrandId> { };

std::string brandName(BrandId id)
{
    constexpr const char* kNames[] = { "Visa", "Mastercard", "AmericanExpress", "Discover" };
    return kNames[static_cast<int>(id)];
}

TEST_P(BrandTest, EveryNumberHasAPrefixTheLengthNonZeroDigitsAndPassesLuhn)
{
    const Brand& b = brand(GetParam());
    RandomSource random(1, frozenTimer);
    CardGenerator generator(b, random);
    std::set<std::string> prefixesSeen;
    for (int i = 0; i < 20000; ++i) {
        const std::string number(generator.next().text());
        ASSERT_EQ(number.size(), std::size_t(b.length)) << number;
        ASSERT_TRUE(LuhnCheck(number)) << number;
        const auto prefix = std::find_if(b.prefixes.begin(), b.prefixes.end(),
            [&](std::string_view p) { return number.starts_with(p); });
        ASSERT_NE(prefix, b.prefixes.end()) << number;
        prefixesSeen.insert(std::string(*prefix));
        const std::string rest = number.substr(prefix->size());
        ASSERT_EQ(rest.find_first_not_of("123456789"), std::string::npos) << number;
    }
    EXPECT_EQ(prefixesSeen.size(), b.prefixes.size());
}

INSTANTIATE_TEST_SUITE_P(AllBrands, BrandTest,
    testing::Values(
        BrandId::Visa, BrandId::Mastercard, BrandId::AmericanExpress, BrandId::Discover),
    [](const auto& info) { return brandName(info.param); });

TEST(BrandTable, HoldsTheDocumentedCaptionsPrefixesAndLengths)
{
    struct Row {
        std::string_view caption;
        std::vector<std::string_view> prefixes;
        int length;
        BrandId id;
    };
    const Row expected[] = {
        { " Visa",
            { "4032", "4128", "4250", "4312", "4421", "4539", "4556", "4673", "4722", "4800",
                "4833" },
            16, BrandId::Visa },
        { "Mastercard", { "510813" }, 16, BrandId::Mastercard },
        { "American Express", { "372034", "372407", "372861", "373227" }, 15,
            BrandId::AmericanExpress },
        { "Discover", { "601100" }, 16, BrandId::Discover },
    };
    const auto& table = brandTable();
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].id, expected[i].id) << "row " << i;
        EXPECT_EQ(&brand(expected[i].id), &table[i]) << "row " << i;
        EXPECT_EQ(table[i].caption, expected[i].caption) << "row " << i;
        EXPECT_EQ(std::vector<std::string_view>(table[i].prefixes.begin(), table[i].prefixes.end()),
            expected[i].prefixes)
            << "row " << i;
        EXPECT_EQ(table[i].length, expected[i].length) << "row " << i;
    }
}

// A timer that counts its calls, one per re-seed.
std::uint64_t g_timerCalls = 0;

std::uint64_t countingTimer() noexcept
{
    ++g_timerCalls;
    return 987654321;
}

// One number from a source that has been re-seeded `skip` times already, and
// how many re-seeds the number then took.
std::pair<std::string, std::uint64_t> numberAfterReseeds(const Brand& b, std::uint64_t skip)
{
    RandomSource random(7, countingTimer);
    for (std::uint64_t i = 0; i < skip; ++i)
        random.reseed();
    CardGenerator generator(b, random);
    const std::uint64_t before = g_timerCalls;
    std::string number(generator.next().text());
    return { std::move(number), g_timerCalls - before };
}

// Every attempt starts with exactly one re-seed and depends on nothing drawn
// before it: started at any of a number's re-seeds, the generator makes the
// same attempts from there on and ends with the same number.
TEST(CardGenerator, ReseedsOnceBeforeEveryAttempt)
{
    const Brand& b = brand(BrandId::AmericanExpress);
    RandomSource random(7, countingTimer);
    CardGenerator generator(b, random);
    g_timerCalls = 0;
    std::uint64_t reseeds = 0;
    int retried = 0;
    for (int n = 0; n < 300; ++n) {
        const std::uint64_t before = g_timerCalls;
        const std::string number(generator.next().text());
        const std::uint64_t attempts = g_timerCalls - before;
        ASSERT_GE(attempts, 1u) << "number " << n;
        retried += attempts > 1 ? 1 : 0;
        for (std::uint64_t j = 0; j < attempts; ++j) {
            const auto [again, took] = numberAfterReseeds(b, reseeds + j);
            EXPECT_EQ(again, number) << "number " << n << " from its attempt " << j + 1;
            EXPECT_EQ(took, attempts - j) << "number " << n << " from its attempt " << j + 1;
        }
        reseeds += attempts;
    }
    // About one attempt in ten fails; a generator that re-seeds once per
    // number would show none.
    EXPECT_GT(retried, 5);
}

TEST(RandomSource, SameSeedAndTimerGiveTheSameNumbers)
{
    RandomSource a(99, frozenTimer), b(99, frozenTimer);
    CardGenerator ga(brand(BrandId::Visa), a), gb(brand(BrandId::Visa), b);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(ga.next().text(), gb.next().text());
}

TEST(RandomSource, ReseedsWithinOneTimerTickStillGiveFreshNumbers)
{
    RandomSource random(5, frozenTimer);
    CardGenerator generator(brand(BrandId::Mastercard), random);
    std::set<std::string> seen;
    for (int i = 0; i < 1000; ++i)
        seen.insert(std::string(generator.next().text()));
    EXPECT_GT(seen.size(), 990u);
}

TEST(RandomSource, BelowIsUniform)
{
    RandomSource random(11, frozenTimer);
    std::array<int, 9> counts {};
    const int draws = 90000;
    for (int i = 0; i < draws; ++i)
        ++counts[random.below(9)];
    for (int c : counts)
        EXPECT_NEAR(c, draws / 9.0, 5 * std::sqrt(draws / 9.0));
}

// The literal procedure: draw a prefix and every digit 1-9, keep the
// candidate only when it passes the Luhn test.
std::string referenceNumber(const Brand& b, RandomSource& random)
{
    for (;;) {
        random.reseed();
        const auto index
            = b.prefixes.size() > 1 ? random.below(std::uint32_t(b.prefixes.size())) : 0;
        std::string candidate(b.prefixes[index]);
        while (candidate.size() < std::size_t(b.length))
            candidate += char('1' + random.below(9));
        if (LuhnCheck(candidate))
            return candidate;
    }
}

// Per-position digit counts of the fast generator and of the literal
// procedure must agree: a chi-square test per position, at a bound that a
// correct generator exceeds with a negligible probability.
TEST_P(BrandTest, DigitFrequenciesMatchTheLiteralProcedure)
{
    const Brand& b = brand(GetParam());
    const int samples = 60000;
    RandomSource fastRandom(17, frozenTimer), referenceRandom(23, frozenTimer);
    CardGenerator generator(b, fastRandom);
    std::vector<std::array<double, 10>> fast(std::size_t(b.length)),
        reference(std::size_t(b.length));
    for (int i = 0; i < samples; ++i) {
        const auto number = generator.next();
        const std::string literal = referenceNumber(b, referenceRandom);
        for (std::size_t p = 0; p < std::size_t(b.length); ++p) {
            ++fast[p][std::size_t(number.digits[p] - '0')];
            ++reference[p][std::size_t(literal[p] - '0')];
        }
    }
    for (std::size_t p = 0; p < std::size_t(b.length); ++p) {
        double chi2 = 0;
        int cells = 0;
        for (std::size_t d = 0; d < 10; ++d) {
            const double total = fast[p][d] + reference[p][d];
            if (total == 0)
                continue;
            ++cells;
            chi2 += (fast[p][d] - reference[p][d]) * (fast[p][d] - reference[p][d]) / total;
        }
        // Two-sample chi-square with at most 9 degrees of freedom; 40 is far
        // beyond its 99.99th percentile (about 33.7).
        EXPECT_LT(chi2, 40.0) << "position " << p << " over " << cells << " digits";
        if (p >= b.prefixes[0].size()) {
            EXPECT_EQ(fast[p][0], 0) << "a 0 after the prefix at position " << p;
        }
    }
}

// The share of draws that give no number is the share of (prefix, digits)
// pairs whose check digit would be 0: what numberCount() claims is left.
TEST_P(BrandTest, DrawsGivingNoNumberMatchTheCountOfNumbers)
{
    const NumberPattern pattern = NumberPattern::forBrand(brand(GetParam()));
    RandomSource random(3, frozenTimer);
    CardNumber number;
    const int draws = 200000;
    int none = 0;
    for (int i = 0; i < draws; ++i)
        none += pattern.write(random.next(), number.digits.data()) == NumberPattern::kNone;
    const double expected = 1.0 - double(pattern.numberCount()) / double(pattern.keyCount());
    EXPECT_NEAR(none / double(draws), expected, 5 * std::sqrt(expected / draws));
}

// One free digit and the check digit: ten numbers, each equally likely,
// every one Luhn-valid, with 0 among the free digits.
TEST(NumberPattern, CustomPrefixIsUniformOverEveryValidNumber)
{
    const NumberPattern pattern = NumberPattern::custom("60345678901", 13);
    EXPECT_EQ(pattern.numberCount(), 10u);
    RandomSource random(8, frozenTimer);
    std::map<std::string, int> counts;
    const int draws = 100000;
    CardNumber number;
    for (int i = 0; i < draws; ++i) {
        ASSERT_NE(pattern.write(random.next(), number.digits.data()), NumberPattern::kNone);
        ++counts[std::string(number.digits.data(), 13)];
    }
    ASSERT_EQ(counts.size(), 10u);
    double chi2 = 0;
    for (const auto& [text, count] : counts) {
        EXPECT_TRUE(text.starts_with("60345678901") && LuhnCheck(text)) << text;
        chi2 += (count - draws / 10.0) * (count - draws / 10.0) / (draws / 10.0);
    }
    EXPECT_LT(chi2, 33.7); // 9 degrees of freedom, 99.99th percentile
    EXPECT_TRUE(counts.contains(
        std::string("603456789010") + char('0' + test::luhnCheckDigit("603456789010"))));
}

} // namespace
