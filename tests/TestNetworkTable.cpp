#include "LuhnCheck.h"
#include "LuhnDigit.h"
#include "Network.h"
#include "NetworkPattern.h"
#include "ParamName.h"
#include "RandomSource.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace pellorin;

std::uint64_t frozenTimer() noexcept
{
    return 42;
}

// "A|B" for the networks of a verdict, "unknown" for none.
std::string names(const NetworkMatches& matches)
{
    std::string text;
    for (const Network* network : matches.all()) {
        if (!text.empty())
            text += '|';
        text += network->name;
    }
    return text.empty() ? "unknown" : text;
}

std::string reason(const NumberVerdict& verdict)
{
    if (verdict.wrongLength)
        return "length";
    return verdict.wrongCheckDigit ? "luhn" : "";
}

bool claims(const NumberVerdict& verdict, const Network& network)
{
    const auto all = verdict.networks.all();
    return std::find(all.begin(), all.end(), &network) != all.end();
}

// Numbers a pattern makes from a fixed stream.
std::vector<std::string> draw(const NumberPattern& pattern, int count, std::uint64_t seed)
{
    RandomSource random(seed, frozenTimer);
    std::vector<std::string> numbers;
    CardNumber number;
    while (int(numbers.size()) < count) {
        if (pattern.write(random.next(), number.digits.data()) != NumberPattern::kNone)
            numbers.emplace_back(number.digits.data(), std::size_t(pattern.length()));
    }
    return numbers;
}

// The published values, written out.
struct PublishedRow {
    std::string_view id;
    std::string_view name;
    std::string_view ranges;
    std::string_view lengths;
    int commonLength;
    int codeLength;
};

const PublishedRow kPublished[] = {
    { "visa", "Visa", "4", "13, 16, 19", 16, 3 },
    { "mastercard", "Mastercard", "51-55, 2221-2720", "16", 16, 3 },
    { "amex", "American Express", "34, 37", "15", 15, 4 },
    { "discover", "Discover", "6011, 622126-622925, 644-649, 65", "16-19", 16, 3 },
    { "jcb", "JCB", "3528-3589 (16-19), 2131 (15), 1800 (15)", "15-19", 16, 3 },
    { "diners", "Diners Club", "300-305, 3095, 36, 38-39", "14-19", 14, 3 },
    { "unionpay", "UnionPay", "62", "16-19", 16, 3 },
    { "maestro", "Maestro", "5018, 5020, 5038, 5893, 6304, 6759, 6761-6763", "12-19", 16, 3 },
    { "mir", "Mir", "2200-2204", "16-19", 16, 3 },
    { "rupay", "RuPay", "60, 65, 81-82, 508, 353, 356", "16", 16, 3 },
    { "elo", "Elo",
        "401178-401179, 431274, 438935, 451416, 457393, 457631-457632, 504175, 506699-506778, "
        "509000-509999, 627780, 636297, 636368, 650031-650033, 650035-650051, 650405-650439, "
        "650485-650538, 650541-650598, 650700-650718, 650720-650727, 650901-650978, "
        "651652-651679, 655000-655019, 655021-655058",
        "16", 16, 3 },
    { "hipercard", "Hipercard", "384100, 384140, 384160, 606282", "16, 19", 16, 3 },
    { "troy", "Troy", "65, 9792", "16", 16, 3 },
    { "verve", "Verve", "506099-506198, 507865-507964, 650002-650027", "16, 18-19", 16, 3 },
    { "uatp", "UATP", "1", "15", 15, 3 },
    { "dankort", "Dankort", "5019", "16", 16, 3 },
};

TEST(NetworkTable, HoldsThePublishedRangesLengthsAndCodes)
{
    const auto table = networkTable();
    ASSERT_EQ(table.size(), std::size(kPublished));
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Network& network = table[i];
        const PublishedRow& row = kPublished[i];
        EXPECT_EQ(network.id, row.id) << "row " << i;
        EXPECT_EQ(network.name, row.name) << row.id;
        EXPECT_EQ(rangesText(network), row.ranges) << row.id;
        EXPECT_EQ(lengthsText(lengthsOf(network)), row.lengths) << row.id;
        EXPECT_EQ(network.commonLength, row.commonLength) << row.id;
        EXPECT_EQ(network.codeLength, row.codeLength) << row.id;
        EXPECT_EQ(findNetwork(row.id), &network) << row.id;
    }
    EXPECT_EQ(findNetwork("Visa"), nullptr);
    EXPECT_EQ(table[0].windowBrand, BrandId::Visa);
    EXPECT_EQ(table[2].windowBrand, BrandId::AmericanExpress);
    EXPECT_EQ(table[4].windowBrand, std::nullopt);
}

struct SampleRow {
    std::string_view label;
    std::string_view number;
    std::string_view networks;
    std::string_view reason;
};

class NetworkSample : public testing::TestWithParam<SampleRow> { };

TEST_P(NetworkSample, NamesEveryNetworkMostSpecificFirstAndTheReason)
{
    const NumberVerdict verdict = judgeNumber(GetParam().number);
    EXPECT_EQ(names(verdict.networks), GetParam().networks);
    EXPECT_EQ(reason(verdict), GetParam().reason);
}

// Numbers of the kinds Python Faker's and @faker-js/faker's card providers
// make (their prefixes and lengths, made Luhn-valid), then the overlaps and
// the reasons.
INSTANTIATE_TEST_SUITE_P(Peers, NetworkSample,
    testing::Values(SampleRow { "PyMaestro5018", "501824159203", "Maestro", "" },
        SampleRow { "PyMaestro5020", "502066112579", "Maestro", "" },
        SampleRow { "PyMaestro5038", "503897633551", "Maestro", "" },
        // Python Faker's Maestro beyond the published table is no network's.
        SampleRow { "PyMaestro56", "561156187610", "unknown", "" },
        SampleRow { "PyMaestro57", "579039303113", "unknown", "" },
        SampleRow { "PyMaestro58", "589334444298", "Maestro", "" },
        SampleRow { "PyMaestro6304", "630410433936", "Maestro", "" },
        SampleRow { "PyMaestro6759", "675900944256", "Maestro", "" },
        SampleRow { "PyMaestro6761", "676197248625", "Maestro", "" },
        SampleRow { "PyMaestro6762", "676226129655", "Maestro", "" },
        SampleRow { "PyMaestro6763", "676331908365", "Maestro", "" },
        SampleRow { "PyMaestro0604", "060422114052", "unknown", "" },
        SampleRow { "PyMaestro6390", "639067802178", "unknown", "" },
        SampleRow { "PyMastercard51", "5185019115414001", "Mastercard", "" },
        SampleRow { "PyMastercard55", "5533880208242644", "Mastercard", "" },
        SampleRow { "PyMastercard2221", "2221161333314283", "Mastercard", "" },
        SampleRow { "PyMastercard229", "2296217702346148", "Mastercard", "" },
        SampleRow { "PyMastercard23", "2335942104065466", "Mastercard", "" },
        SampleRow { "PyMastercard26", "2671197308189503", "Mastercard", "" },
        SampleRow { "PyMastercard270", "2702449100339692", "Mastercard", "" },
        SampleRow { "PyMastercard271", "2711954702968664", "Mastercard", "" },
        SampleRow { "PyMastercard2720", "2720407197533476", "Mastercard", "" },
        SampleRow { "PyVisa16", "4563905215017386", "Visa", "" },
        SampleRow { "PyVisa13", "4240255820365", "Visa", "" },
        SampleRow { "PyVisa19", "4873668489491745273", "Visa", "" },
        SampleRow { "PyAmex34", "343725582814081", "American Express", "" },
        SampleRow { "PyAmex37", "373563884722246", "American Express", "" },
        SampleRow { "PyDiscover6011", "6011091254351243", "Discover|RuPay", "" },
        SampleRow { "PyDiscover65", "6541241708077683", "Discover|RuPay|Troy", "" },
        SampleRow { "PyDiners300", "30012488627786", "Diners Club", "" },
        SampleRow { "PyDiners305", "30572233413766", "Diners Club", "" },
        SampleRow { "PyDiners36", "36714813343849", "Diners Club", "" },
        SampleRow { "PyDiners38", "38671583289545", "Diners Club", "" },
        SampleRow { "PyJcb15From2131", "213120562482819", "JCB", "" },
        SampleRow { "PyJcb15From1800", "180029880146916", "JCB|UATP", "" },
        SampleRow { "PyJcb16", "3541839776022171", "JCB", "" },
        // Python Faker's JCB draws any 35xx; 3500-3527 and 3590-3599 are
        // no network's.
        SampleRow { "PyJcb16OutsideJcb", "3507994234311880", "unknown", "" },
        SampleRow { "JsVisa13", "4976538280717", "Visa", "" },
        SampleRow { "JsVisa16", "4804045448615000", "Visa", "" },
        SampleRow { "JsMastercard2Series", "2600922317600935", "Mastercard", "" },
        SampleRow { "JsMastercard5Series", "5368871478451734", "Mastercard", "" },
        SampleRow { "JsDiscover6011", "6011291052323408", "Discover|RuPay", "" },
        SampleRow { "JsDiscover65", "6510368964959820", "Discover|RuPay|Troy", "" },
        SampleRow { "JsDiscover644", "6445001888722384", "Discover", "" },
        SampleRow { "JsDiscover649", "6495224128473118", "Discover", "" },
        // @faker-js/faker's 20-digit Discover pattern: no network issues it.
        SampleRow { "JsDiscover20Digits", "60116220928545040708", "Discover|RuPay", "length" },
        SampleRow { "JsAmex34", "345477400010843", "American Express", "" },
        SampleRow { "JsAmex37", "376479416106047", "American Express", "" },
        SampleRow { "JsDiners30x", "30308910517615", "Diners Club", "" },
        SampleRow { "JsDiners36", "36580019093730", "Diners Club", "" },
        // Diners Club's North American cards run on Mastercard's network.
        SampleRow { "JsDiners54", "5455818113497774", "Mastercard", "" },
        SampleRow { "JsJcb3528", "3528007122989389", "JCB", "" },
        SampleRow { "JsJcb3529", "3529999333402591", "JCB", "" },
        SampleRow { "JsJcb353x", "3531975770491533", "JCB|RuPay", "" },
        SampleRow { "JsJcb356x", "3566429998203427", "JCB|RuPay", "" },
        SampleRow { "JsJcb358x", "3588808013177845", "JCB", "" }),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(Overlaps, NetworkSample,
    testing::Values(SampleRow { "EloInsideVisa", "4011780000000006", "Elo|Visa", "" },
        SampleRow { "EloInsideVisaOtherLength", "4011780000000000009", "Visa", "" },
        SampleRow { "DiscoverInsideUnionPay", "6221260000000000", "Discover|UnionPay", "" },
        SampleRow { "VerveInsideDiscover", "6500020000000000", "Verve|Discover|RuPay|Troy", "" },
        SampleRow { "VerveAt18", "650002000000000000", "Verve|Discover", "" },
        SampleRow { "HipercardInsideRuPay", "6062820000000003", "Hipercard|RuPay", "" },
        SampleRow { "HipercardInsideDiners", "3841000000000000004", "Hipercard|Diners Club", "" },
        SampleRow { "Mir", "2200000000000004", "Mir", "" },
        SampleRow { "Dankort", "5019000000000008", "Dankort", "" },
        SampleRow { "TroyOwn", "9792000000000003", "Troy", "" },
        SampleRow { "Uatp", "100000000000009", "UATP", "" }),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(Reasons, NetworkSample,
    testing::Values(SampleRow { "WrongCheckDigit", "4539148803436468", "Visa", "luhn" },
        SampleRow { "LengthNotIssued", "453914880343649", "Visa", "length" },
        SampleRow { "LengthNotIssuedWrongCheckDigitToo", "453914880343641", "Visa", "length" },
        SampleRow { "ElevenDigits", "50182415922", "Maestro", "length" },
        SampleRow { "ElevenDigitsUnknownPrefix", "70182415920", "unknown", "length" },
        SampleRow { "UnknownPrefix", "7000000000000005", "unknown", "" },
        SampleRow { "UnknownPrefixWrongCheckDigit", "7000000000000006", "unknown", "luhn" }),
    [](const auto& info) { return std::string(info.param.label); });

struct GroupRow {
    std::string_view id;
    std::string_view number;
    char separator;
    std::string_view printed;
};

class NetworkGroups : public testing::TestWithParam<GroupRow> { };

TEST_P(NetworkGroups, PrintsTheNetworksGroupsForTheLength)
{
    const GroupRow& row = GetParam();
    const Network* network = findNetwork(row.id);
    ASSERT_NE(network, nullptr);
    std::string out(40, '\0');
    const char* end = writeGrouped(
        row.number, groupsOf(*network, int(row.number.size())), row.separator, out.data());
    EXPECT_EQ(std::string_view(out.data(), std::size_t(end - out.data())), row.printed);
}

INSTANTIATE_TEST_SUITE_P(EveryLength, NetworkGroups,
    testing::Values(GroupRow { "maestro", "501824159203", ' ', "5018 2415 9203" },
        GroupRow { "visa", "4240255820365", ' ', "4240 2558 20365" },
        GroupRow { "diners", "36714813343849", ' ', "3671 481334 3849" },
        GroupRow { "amex", "378282246310005", ' ', "3782 822463 10005" },
        GroupRow { "uatp", "100000000000009", '-', "1000-00000-000009" },
        GroupRow { "mastercard", "5185019115414001", '-', "5185-0191-1541-4001" },
        GroupRow { "discover", "60110912543512435", ' ', "6011 0912 5435 12435" },
        GroupRow { "verve", "650002000000000000", ' ', "6500 0200 0000 0000 00" },
        GroupRow { "visa", "4873668489491745273", ' ', "4873 6684 8949 1745 273" },
        GroupRow { "maestro", "50182415922", ' ', "5018 2415 922" }),
    [](const auto& info) {
        return std::string(info.param.id) + std::to_string(info.param.number.size())
            + (info.param.separator == '-' ? "Dashes" : "");
    });

// Ranges other validators give networks, written down on 2026-12-07 and
// 2026-12-08: braintree's credit-card-type 10, which card-validator 10 judges
// by, with the lengths it takes (where several of its ranges hold a number
// the longest decides; its 8-digit Troy and Hiper prefixes, and ranges that
// lie inside a wider one taking every length they take, are left out), the
// Maestro and JCB extras of Python Faker, the wide Maestro (50, 56-69) and
// UnionPay (62, 81) of older IIN lists, and common regular expressions (JCB
// 35, Troy 9792), whose lengths are not known (0).
struct ForeignRange {
    std::string_view owner;
    std::string_view first;
    std::string_view last;
    LengthSet lengths = 0;
};
constexpr LengthSet kAny = lengthRange(12, 19);
constexpr LengthSet kUnionPayTakes = lengthRange(14, 19);
constexpr ForeignRange kForeignRanges[] = { { "credit-card-type visa", "4", "4",
                                                lengthRange(16, 16) | lengthRange(18, 19) },
    { "credit-card-type mastercard", "51", "55", lengthRange(16, 16) },
    { "credit-card-type mastercard", "2221", "2720", lengthRange(16, 16) },
    { "credit-card-type amex", "34", "34", lengthRange(15, 15) },
    { "credit-card-type amex", "37", "37", lengthRange(15, 15) },
    { "credit-card-type diners", "300", "305",
        lengthRange(14, 14) | lengthRange(16, 16) | lengthRange(19, 19) },
    { "credit-card-type diners", "36", "36",
        lengthRange(14, 14) | lengthRange(16, 16) | lengthRange(19, 19) },
    { "credit-card-type diners", "38", "39",
        lengthRange(14, 14) | lengthRange(16, 16) | lengthRange(19, 19) },
    { "credit-card-type discover", "6011", "6011", lengthRange(16, 16) | lengthRange(19, 19) },
    { "credit-card-type discover", "644", "649", lengthRange(16, 16) | lengthRange(19, 19) },
    { "credit-card-type discover", "65", "65", lengthRange(16, 16) | lengthRange(19, 19) },
    { "credit-card-type jcb", "2131", "2131", lengthRange(16, 19) },
    { "credit-card-type jcb", "1800", "1800", lengthRange(16, 19) },
    { "credit-card-type jcb", "3528", "3589", lengthRange(16, 19) },
    { "credit-card-type unionpay", "620", "620", kUnionPayTakes },
    { "credit-card-type unionpay", "62100", "62182", kUnionPayTakes },
    { "credit-card-type unionpay", "62184", "62187", kUnionPayTakes },
    { "credit-card-type unionpay", "62185", "62197", kUnionPayTakes },
    { "credit-card-type unionpay", "62200", "62205", kUnionPayTakes },
    { "credit-card-type unionpay", "622010", "622999", kUnionPayTakes },
    { "credit-card-type unionpay", "62207", "62209", kUnionPayTakes },
    { "credit-card-type unionpay", "623", "626", kUnionPayTakes },
    { "credit-card-type unionpay", "6270", "6270", kUnionPayTakes },
    { "credit-card-type unionpay", "6272", "6272", kUnionPayTakes },
    { "credit-card-type unionpay", "6276", "6276", kUnionPayTakes },
    { "credit-card-type unionpay", "627700", "627779", kUnionPayTakes },
    { "credit-card-type unionpay", "627781", "627799", kUnionPayTakes },
    { "credit-card-type unionpay", "6282", "6289", kUnionPayTakes },
    { "credit-card-type unionpay", "6291", "6292", kUnionPayTakes },
    { "credit-card-type unionpay", "810", "810", kUnionPayTakes },
    { "credit-card-type unionpay", "8110", "8171", kUnionPayTakes },
    { "credit-card-type maestro", "493698", "493698", kAny },
    { "credit-card-type maestro", "500000", "504174", kAny },
    { "credit-card-type maestro", "504176", "506698", kAny },
    { "credit-card-type maestro", "506779", "508999", kAny },
    { "credit-card-type maestro", "56", "59", kAny },
    { "credit-card-type maestro", "63", "63", kAny },
    { "credit-card-type maestro", "67", "67", kAny },
    { "credit-card-type maestro", "6", "6", kAny },
    { "credit-card-type elo", "504175", "504175", lengthRange(16, 16) },
    { "credit-card-type elo", "506699", "506778", lengthRange(16, 16) },
    { "credit-card-type elo", "509000", "509999", lengthRange(16, 16) },
    { "credit-card-type mir", "2200", "2204", lengthRange(16, 19) },
    { "credit-card-type troy", "9792", "9792", lengthRange(16, 16) },
    { "credit-card-type hiper", "637095", "637612" },
    { "credit-card-type verve", "506099", "506198" },
    { "credit-card-type verve", "507865", "507941" }, { "Python Faker maestro", "0604", "0604" },
    { "Python Faker maestro", "6390", "6390" }, { "IIN lists maestro", "50", "50" },
    { "IIN lists maestro", "56", "69" }, { "IIN lists unionpay", "62", "62" },
    { "IIN lists unionpay", "81", "81" }, { "regex jcb", "35", "35" },
    { "regex troy", "9792", "9792" }, { "uatp", "1", "1" } };

bool holdsPrefix(const ForeignRange& range, std::string_view number)
{
    const std::string_view head = number.substr(0, range.first.size());
    return head >= range.first && head <= range.last;
}

// The validator that claims `number`, or "".
std::string claimedElsewhere(std::string_view number)
{
    for (const ForeignRange& range : kForeignRanges) {
        if (holdsPrefix(range, number))
            return std::string(range.owner);
    }
    return {};
}

// The validator that takes `number`'s length for its prefix (the longest of
// its ranges that hold the number decide), or "".
std::string takenElsewhere(std::string_view number)
{
    const ForeignRange* decides = nullptr;
    for (const ForeignRange& range : kForeignRanges) {
        if (range.lengths != 0 && holdsPrefix(range, number)
            && (decides == nullptr || range.first.size() > decides->first.size()
                || (range.first.size() == decides->first.size()
                    && holdsLength(range.lengths, int(number.size())))))
            decides = &range;
    }
    return decides != nullptr && holdsLength(decides->lengths, int(number.size()))
        ? std::string(decides->owner)
        : std::string();
}

class EveryNetwork : public testing::TestWithParam<const Network*> { };

// Every length a network issues: its numbers pass every rule, and the
// table names the network for each of them.
TEST_P(EveryNetwork, NumbersOfEveryLengthComeBackAsTheNetworkAndValid)
{
    const Network& network = *GetParam();
    for (const int length : lengthList(lengthsOf(network))) {
        for (const std::string& number :
            draw(networkPattern(network, length, InvalidRule::None), 2000, 7)) {
            const NumberVerdict verdict = judgeNumber(number);
            ASSERT_EQ(number.size(), std::size_t(length));
            ASSERT_TRUE(verdict.valid()) << number;
            ASSERT_TRUE(claims(verdict, network)) << number << " " << names(verdict.networks);
        }
    }
}

// By default a network's numbers are known by it alone, or, where every
// prefix it has is shared (Hipercard), by it first.
TEST_P(EveryNetwork, OwnRangesNameTheNetworkFirstAndAloneWherePossible)
{
    const Network& network = *GetParam();
    for (const int length : lengthList(lengthsOf(network))) {
        const bool alone = !ownPrefixes(network, length).empty();
        for (const std::string& number :
            draw(networkPattern(network, length, InvalidRule::None, RangeChoice::Own), 500, 13)) {
            const NumberVerdict verdict = judgeNumber(number);
            ASSERT_TRUE(verdict.valid()) << number;
            ASSERT_EQ(verdict.networks.primary(), &network)
                << number << " " << names(verdict.networks);
            if (alone) {
                ASSERT_EQ(verdict.networks.count, 1U) << number << " " << names(verdict.networks);
            }
        }
    }
}

TEST_P(EveryNetwork, InvalidNumbersBreakExactlyTheirRule)
{
    const Network& network = *GetParam();
    const int common = network.commonLength;
    for (const std::string& number :
        draw(networkPattern(network, common, InvalidRule::Luhn), 2000, 8)) {
        const NumberVerdict verdict = judgeNumber(number);
        ASSERT_EQ(reason(verdict), "luhn") << number;
        ASSERT_TRUE(claims(verdict, network)) << number;
        ASSERT_EQ(number.size(), std::size_t(common));
    }
    for (const int length : wrongLengths(network)) {
        for (const RangeChoice choice : { RangeChoice::Own, RangeChoice::Published }) {
            for (const std::string& number :
                draw(networkPattern(network, length, InvalidRule::Length, choice), 500, 9)) {
                const NumberVerdict verdict = judgeNumber(number);
                ASSERT_TRUE(verdict.wrongLength) << number;
                ASSERT_FALSE(verdict.wrongCheckDigit) << number;
                ASSERT_TRUE(claims(verdict, network)) << number;
                ASSERT_EQ(takenElsewhere(number), "") << number;
            }
        }
    }
    for (const std::string& number :
        draw(networkPattern(network, common, InvalidRule::Prefix), 2000, 10)) {
        const NumberVerdict verdict = judgeNumber(number);
        ASSERT_TRUE(verdict.valid()) << number;
        ASSERT_TRUE(verdict.networks.empty()) << number << " " << names(verdict.networks);
        ASSERT_EQ(number.size(), std::size_t(common));
        ASSERT_NE(number[0], '0');
        ASSERT_EQ(claimedElsewhere(number), "") << number;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryNetwork, testing::ValuesIn([] {
    std::vector<const Network*> all;
    for (const Network& network : networkTable())
        all.push_back(&network);
    return all;
}()),
    [](const auto& info) { return test::spelledName(info.param->name); });

struct WrongLengthRow {
    std::string_view id;
    std::vector<int> lengths;
};

class WrongLengths : public testing::TestWithParam<WrongLengthRow> { };

// Lengths no network sharing a prefix issues, nearest the common one first:
// RuPay's 353 lies in JCB (17) and 65 in Discover (17), Hipercard's 3841 in
// Diners Club (14-19), every length from 12 to 19 is Maestro's. Nor one
// other validators take for every prefix: Visa's 18, UnionPay's 14 and 15,
// and all of 12 to 19 in Maestro's 50 and 6 (Dankort, Verve).
TEST_P(WrongLengths, AreTheNearestLengthsNoNetworkOfThePrefixIssues)
{
    EXPECT_EQ(wrongLengths(*findNetwork(GetParam().id)), GetParam().lengths);
}

INSTANTIATE_TEST_SUITE_P(Some, WrongLengths,
    testing::Values(WrongLengthRow { "visa", { 15, 17, 14, 12 } },
        WrongLengthRow { "unionpay", { 13, 12 } }, WrongLengthRow { "dankort", { 11 } },
        WrongLengthRow { "verve", { 11 } },
        WrongLengthRow { "amex", { 14, 16, 13, 17, 12, 18, 19 } },
        WrongLengthRow { "rupay", { 15, 14, 13, 12 } }, WrongLengthRow { "hipercard", { 13, 12 } },
        WrongLengthRow { "maestro", { 11 } }, WrongLengthRow { "diners", { 13, 12 } }),
    [](const auto& info) { return std::string(info.param.id); });

// Chi-square statistic of counts against expected shares.
double chiSquare(const std::vector<double>& counts, const std::vector<double>& shares)
{
    double total = 0;
    for (const double c : counts)
        total += c;
    double statistic = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const double expected = total * shares[i];
        statistic += (counts[i] - expected) * (counts[i] - expected) / expected;
    }
    return statistic;
}

// Discover's ranges weigh by the prefixes they hold (100, 800, 6000 and
// 10000 six-digit prefixes), and every digit after a prefix is uniform.
// Bounds are the chi-square quantiles at 1 - 10^-6.
TEST(NetworkPattern, DiscoverIsUniformOverItsRangesAndDigits)
{
    const Network& discover = *findNetwork("discover");
    const std::vector<std::string> numbers
        = draw(networkPattern(discover, 16, InvalidRule::None), 200000, 11);
    std::vector<double> ranges(4);
    std::vector<std::vector<double>> digits(16, std::vector<double>(10));
    for (const std::string& number : numbers) {
        const std::string_view six(number.data(), 6);
        const std::size_t range = six.starts_with("6011") ? 0
            : six >= "622126" && six <= "622925"          ? 1
            : six.starts_with("65")                       ? 3
                                                          : 2;
        ++ranges[range];
        if (range == 3) {
            for (std::size_t at = 2; at < 16; ++at)
                ++digits[at][std::size_t(number[at] - '0')];
        }
    }
    EXPECT_LT(
        chiSquare(ranges, { 100 / 16900.0, 800 / 16900.0, 6000 / 16900.0, 10000 / 16900.0 }), 30.7);
    const std::vector<double> even(10, 0.1);
    for (std::size_t at = 2; at < 16; ++at)
        EXPECT_LT(chiSquare(digits[at], even), 47.2) << "digit " << at + 1;
}

// A wrong check digit is any of the nine that fail, each as likely.
TEST(NetworkPattern, WrongCheckDigitsAreUniformOverTheNineWrongOnes)
{
    const std::vector<std::string> numbers
        = draw(networkPattern(*findNetwork("jcb"), 16, InvalidRule::Luhn), 90000, 12);
    std::vector<double> offsets(9);
    for (const std::string& number : numbers) {
        const int right = test::luhnCheckDigit(std::string_view(number).substr(0, 15));
        const int offset = (number[15] - '0' - right + 10) % 10;
        ASSERT_NE(offset, 0) << number;
        ++offsets[std::size_t(offset - 1)];
    }
    EXPECT_LT(chiSquare(offsets, std::vector<double>(9, 1 / 9.0)), 41.3);
}

// A custom prefix inside a network's range takes that network.
TEST(NetworkTable, ACustomPrefixFallsInsideTheNetworksThatHoldIt)
{
    EXPECT_EQ(names(networksOfPrefix("3530", 16)), "JCB|RuPay");
    EXPECT_EQ(names(networksOfPrefix("35", 16)), "unknown");
    EXPECT_EQ(names(networksOfPrefix("3530", 15)), "unknown");
    EXPECT_EQ(names(networksOfPrefix("4", 16)), "Visa");
    EXPECT_EQ(names(networksOfPrefix("401178", 16)), "Elo|Visa");
}

} // namespace
