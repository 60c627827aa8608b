#include "CommandLine.h"

#include "BrandsListing.h"
#include "CommandTable.h"
#include "HelpText.h"
#include "NumberKind.h"
#include "NumberPattern.h"
#include "Phrases.h"
#include "Suggestions.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

namespace pellorin::cli {

namespace {

using engine::listed;
using engine::plural;
using engine::readWhole;
using engine::suggestion;

// The --brand ids come from the network table: the option, its help, the
// manual page and completion all take them from there.
std::vector<std::string> networkIds(bool windowOnly = false)
{
    std::vector<std::string> ids;
    for (const Network& network : networkTable()) {
        if (!windowOnly || network.windowBrand)
            ids.emplace_back(network.id);
    }
    return ids;
}

struct FormatName {
    std::string_view id;
    Format format;
};
constexpr std::array kFormatNames { FormatName { "text", Format::Text },
    FormatName { "csv", Format::Csv }, FormatName { "json", Format::Json },
    FormatName { "ndjson", Format::Ndjson }, FormatName { "table", Format::Table } };

template <typename Names> std::vector<std::string> idsOf(const Names& names)
{
    std::vector<std::string> ids;
    ids.reserve(names.size());
    for (const auto& name : names)
        ids.emplace_back(name.id);
    return ids;
}

// What the options write into, before they are checked.
struct Texts {
    std::string brand = "visa", prefix, length, count, seed, format = "text", output, threads;
    std::string ranges, invalid, separator;
    bool unique = false, withExpiry = false, withCvv = false, group = false;
};

// "13, 16 or 19".
std::string lengthChoices(std::vector<int> lengths)
{
    std::sort(lengths.begin(), lengths.end());
    std::vector<std::string> words;
    words.reserve(lengths.size());
    for (const int length : lengths)
        words.push_back(std::to_string(length));
    return listed(words);
}

// A separator that keeps every format readable: no digit, letter, comma,
// quote, backslash or control character.
bool separatorFits(const std::string& text)
{
    if (text.size() != 1)
        return false;
    const char c = text[0];
    return c >= ' ' && c <= '~' && std::isalnum(static_cast<unsigned char>(c)) == 0 && c != ','
        && c != '"' && c != '\\';
}

// The network, its ranges and the length. Returns an error message or
// nothing.
std::optional<std::string> finishNetwork(
    const Texts& texts, bool hasLength, bool explicitRanges, GenerateRequest& request)
{
    const Network& network = *findNetwork(texts.brand);
    request.network = &network;
    request.publishedRanges = texts.ranges == "network";
    if (texts.ranges == "window" && explicitRanges && !network.windowBrand)
        return "--ranges window: only " + listed(networkIds(true), " and ")
            + " have the window's numbers; " + std::string(network.id)
            + " draws from the prefixes it alone claims, or all with --ranges network";
    const bool wrongLength = request.invalid == InvalidRule::Length;
    const std::vector<int> lengths
        = wrongLength ? wrongLengths(network) : lengthList(lengthsOf(network));
    if (!hasLength) {
        request.length = wrongLength ? lengths.front() : network.commonLength;
        return std::nullopt;
    }
    const auto length = readWhole(texts.length, 99);
    if (!length || std::find(lengths.begin(), lengths.end(), int(*length)) == lengths.end())
        return "--length: " + std::string(network.name)
            + (wrongLength ? " numbers of a wrong length may have " : " numbers have ")
            + lengthChoices(lengths) + " digits, got '" + texts.length + "'";
    request.length = int(*length);
    return std::nullopt;
}

// The checks CLI11 cannot express. Returns an error message or nothing.
std::optional<std::string> finishGenerate(
    const Texts& texts, const CLI::App& app, GenerateRequest& request)
{
    const bool hasBrand = app.count("--brand") > 0;
    const bool hasPrefix = app.count("--prefix") > 0;
    const bool hasLength = app.count("--length") > 0;
    if (hasPrefix && hasBrand)
        return "--prefix cannot be used with --brand";
    if (hasPrefix && !hasLength)
        return "--prefix and --length go together";
    if (hasPrefix && app.count("--ranges") > 0)
        return "--ranges cannot be used with --prefix";
    if (app.count("--ranges") > 0 && texts.ranges != "window" && texts.ranges != "network")
        return "--ranges: expected window or network, got '" + texts.ranges + "'";
    if (app.count("--invalid") > 0) {
        const auto rule = invalidRuleNamed(texts.invalid);
        if (!rule)
            return "--invalid: expected luhn, length or prefix, got '" + texts.invalid + "'";
        request.invalid = *rule;
    }
    request.group = texts.group;
    if (app.count("--separator") > 0) {
        if (!separatorFits(texts.separator))
            return "--separator: expected one character other than a digit, letter, comma, quote "
                   "or backslash, got '"
                + texts.separator + "'";
        request.separator = texts.separator[0];
        request.group = true;
    }

    if (hasPrefix) {
        if (request.invalid == InvalidRule::Length || request.invalid == InvalidRule::Prefix)
            return "--invalid " + texts.invalid + " cannot be used with --prefix";
        const auto length = readWhole(texts.length, 99);
        if (!length || *length < 12 || *length > std::uint64_t(kMaxCardLength))
            return "--length: expected a whole number from 12 to 19, got '" + texts.length + "'";
        request.length = int(*length);
        if (texts.prefix.empty()
            || !std::all_of(texts.prefix.begin(), texts.prefix.end(),
                [](char c) { return c >= '0' && c <= '9'; }))
            return "--prefix: expected digits only, got '" + texts.prefix + "'";
        if (texts.prefix.size() >= std::size_t(request.length))
            return "--prefix: must be shorter than --length " + texts.length + ", got "
                + plural(texts.prefix.size(), "digit", "digits");
        request.network = nullptr;
        request.prefix = texts.prefix;
    } else {
        if (findNetwork(texts.brand) == nullptr) {
            const std::vector<std::string> ids = networkIds();
            const std::string near = suggestion(texts.brand, ids);
            return "--brand: unknown brand '" + texts.brand + "'"
                + (near.empty() ? "; the brands are " + listed(ids, " and ") : near);
        }
        if (auto message = finishNetwork(texts, hasLength, app.count("--ranges") > 0, request))
            return message;
    }

    const auto* format = std::find_if(kFormatNames.begin(), kFormatNames.end(),
        [&](const FormatName& f) { return f.id == texts.format; });
    if (format == kFormatNames.end()) {
        const std::vector<std::string> ids = idsOf(kFormatNames);
        const std::string near = suggestion(texts.format, ids);
        return "--format: unknown format '" + texts.format + "'"
            + (near.empty() ? "; the formats are " + listed(ids, " and ") : near);
    }
    request.format = format->format;

    if (app.count("--count") > 0) {
        const auto count
            = readWhole(texts.count, std::uint64_t(std::numeric_limits<std::int64_t>::max()));
        if (!count)
            return "--count: expected a whole number from 0 to 9223372036854775807, got '"
                + texts.count + "'";
        request.count = *count;
    }
    if (app.count("--seed") > 0) {
        request.seed = readWhole(texts.seed, std::numeric_limits<std::uint64_t>::max());
        if (!request.seed)
            return "--seed: expected a whole number from 0 to 18446744073709551615, got '"
                + texts.seed + "'";
    }
    if (app.count("--threads") > 0) {
        const auto threads = readWhole(texts.threads, kMaxThreads);
        if (!threads || *threads == 0)
            return "--threads: expected a whole number from 1 to " + std::to_string(kMaxThreads)
                + ", got '" + texts.threads + "'";
        request.threads = unsigned(*threads);
    }
    if (app.count("--output") > 0 && texts.output.empty())
        return "--output: expected a file name, or - for standard output";
    request.output = texts.output == "-" ? std::string() : texts.output;
    request.unique = texts.unique;
    request.withExpiry = texts.withExpiry;
    request.withCvv = texts.withCvv;

    if (request.unique) {
        const NumberPattern pattern = numberKind(request).pattern;
        if (request.count > pattern.numberCount())
            return "--unique: --count " + std::to_string(request.count) + " is more than the "
                + plural(pattern.numberCount(), "different number", "different numbers") + " "
                + (request.network != nullptr ? "this brand has" : "this prefix and length allow");
    }
    return std::nullopt;
}

} // namespace

const char* programVersion() noexcept
{
    return PELLORIN_VERSION;
}

std::string usageError(std::string_view command, std::string_view message)
{
    const std::string program(kProgram);
    // The words quoted from the command line may hold line ends and other
    // control characters; shown as '?', as ls shows them, the message stays
    // one line. A TAB, the one a user types on purpose (--separator), is
    // shown as \t.
    std::string line;
    for (const char c : message) {
        if (c == '\t')
            line += "\\t";
        else
            line += (c >= 0 && c < ' ') || c == '\x7f' ? '?' : c;
    }
    return program + ": error: " + line + "\nTry '" + program + (command.empty() ? "" : " ")
        + std::string(command) + " --help'.\n";
}

namespace {

// The command line as CLI11 reads it, built from the command table: CLI11
// splits the words, and the table says what each one means.
class Parser {
public:
    explicit Parser(const Command& command)
        : m_command(command)
    {
        m_app.set_help_flag();
        m_app.allow_extras();
        m_app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        for (const Option& option : command.options) {
            std::string names;
            if (!option.shortName.empty())
                names.append(option.shortName).append(",");
            names += option.longName;
            CLI::Option* added = option.kind == ValueKind::None
                ? m_app.add_flag(names)
                : m_app.add_option(names)->type_name(std::string(option.value));
            m_bound.emplace_back(&option, added);
        }
        if (!command.operand.empty())
            m_app.add_option(std::string(command.operand), m_given.files);
    }

    // Reads `words`, the command's name left out. Returns a refusal, or
    // nothing.
    std::optional<std::string> parse(const std::vector<std::string>& words)
    {
        // CLI11 takes its words last first.
        std::vector<std::string> reversed(words.rbegin(), words.rend());
        try {
            m_app.parse(reversed);
        } catch (const CLI::ParseError& error) {
            // CLI11 says "--count: 1 required N missing" for an option given
            // last without its value.
            std::string message = error.what();
            if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr)
                message = "option '" + message.substr(0, message.find(':')) + "' needs a value";
            return message;
        }
        for (const auto& [option, parsed] : m_bound) {
            if (parsed->count() == 0)
                continue;
            const std::string value
                = option->kind == ValueKind::None ? std::string() : parsed->results().back();
            if (option->onlyWords
                && std::find(option->words.begin(), option->words.end(), value)
                    == option->words.end())
                return unknownWord(*option, value);
            option->set(m_given, value);
        }
        if (m_given.help || m_given.version)
            return std::nullopt;
        return leftOver(m_command, m_app.remaining());
    }

    const Given& given() const noexcept { return m_given; }
    const CLI::App& app() const noexcept { return m_app; }

private:
    const Command& m_command;
    CLI::App m_app;
    Given m_given;
    std::vector<std::pair<const Option*, CLI::Option*>> m_bound;
};

Texts textsOf(const Given& given)
{
    Texts texts;
    texts.brand = given.brand.value_or(texts.brand);
    texts.prefix = given.prefix.value_or("");
    texts.length = given.length.value_or("");
    texts.count = given.count.value_or("");
    texts.seed = given.seed.value_or("");
    texts.format = given.format.value_or(texts.format);
    texts.output = given.output.value_or("");
    texts.threads = given.threads.value_or("");
    texts.ranges = given.ranges.value_or("");
    texts.invalid = given.invalid.value_or("");
    texts.separator = given.separator.value_or("");
    texts.unique = given.unique;
    texts.withExpiry = given.withExpiry;
    texts.withCvv = given.withCvv;
    texts.group = given.group;
    return texts;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments, unsigned defaultThreads)
{
    CommandLine result;
    result.generate.threads = std::clamp(defaultThreads, 1U, kMaxThreads);
    auto fail = [&](std::string_view command, const std::string& message) {
        result.kind = CommandLine::Kind::UsageError;
        result.text = usageError(command, message);
        return result;
    };
    auto message = [&](std::string text) {
        result.kind = CommandLine::Kind::Message;
        result.text = std::move(text);
        return result;
    };

    std::vector<std::string> names;
    for (const Command& command : commandTable())
        names.emplace_back(command.name);
    // The program's own options come before the command; the first word
    // that is no option names it.
    const auto first = std::find_if(arguments.begin(), arguments.end(),
        [](const std::string& word) { return !word.starts_with('-') || word == "-"; });
    const Command* command = first == arguments.end() ? nullptr : findCommand(*first);
    {
        Parser program(programCommand());
        const std::vector<std::string> before(arguments.begin(), first);
        if (const auto refusal = program.parse(before))
            return fail("", *refusal);
        if (program.given().help)
            return message(helpText(programCommand()));
        if (program.given().version)
            return message(std::string(kProgram) + " " + programVersion() + "\n");
    }
    if (first == arguments.end())
        return fail("", "no command given: " + listed(names));
    if (command == nullptr)
        return fail("", unknownCommand(*first));

    Parser parser(*command);
    const std::string_view name = command->name;
    if (const auto refusal = parser.parse(std::vector(first + 1, arguments.end())))
        return fail(name, *refusal);
    const Given& given = parser.given();
    if (given.help)
        return message(helpText(*command));

    if (name == "check") {
        result.kind = CommandLine::Kind::Check;
        result.check.files = given.files;
        const std::string format = given.checkFormat.value_or("text");
        result.check.format = format == "json" ? Format::Json
            : format == "ndjson"               ? Format::Ndjson
                                               : Format::Text;
        return result;
    }
    if (name == "brands")
        return message(brandsListing(given.brandsFormat == "json" ? Format::Json : Format::Text));
    if (const auto refusal = finishGenerate(textsOf(given), parser.app(), result.generate))
        return fail(name, *refusal);
    result.kind = CommandLine::Kind::Generate;
    return result;
}

} // namespace pellorin::cli
