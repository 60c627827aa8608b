#pragma once

#include "GenerateForm.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::cli {

// What the command line gave, as typed, before any value is checked. Each
// option of the table writes one field.
struct Given {
    engine::GenerateForm generate; // checked by the engine
    std::optional<std::string> output, threads; // where and how fast generate writes
    std::optional<std::string> checkFormat, checkThreads, brandsFormat;
    bool quiet = false, countOnly = false, invalidOnly = false, nullEnded = false,
         allowUnknown = false;
    std::vector<std::string> files;
    bool help = false, version = false;
};

// What a shell's completion offers for an option's value.
enum class ValueKind {
    None, // a flag: it takes no value
    Word, // one of the option's words
    File, // a file name
    Free, // anything: a number, digits, a character
};

// One option of one command: everything --help, the manual page, the
// completions, the suggestions and the parser know of it.
struct Option {
    std::string_view shortName; // "-b", or empty
    std::string_view longName; // "--brand"
    std::string_view value; // "BRAND"; empty for a flag
    std::string help; // its line in --help, without a full stop
    ValueKind kind = ValueKind::None;
    std::vector<std::string> words; // the values Word offers
    // The option's words are the only values it takes, refused here with a
    // suggestion ("unknown format 'x'"); otherwise the value is checked
    // where the request is made.
    bool onlyWords = false;
    std::string_view noun; // "format": what a value of it is, for refusals
    // Writes the given value into its field; a flag is given "".
    void (*set)(Given&, const std::string&) = nullptr;
    // The field of the engine's request it fills, for the engine's refusals.
    std::optional<engine::GenerateField> field;
};

struct ExitStatus {
    int code;
    std::string_view meaning;
};

struct Example {
    std::string_view command;
    std::string_view meaning;
};

struct Command {
    std::string_view name; // empty for the program itself
    std::string_view summary; // one line, no full stop
    std::string_view operand; // "FILE": it takes any number of them; or empty
    std::string_view operandHelp;
    std::vector<Option> options; // -h,--help first
    std::vector<std::string_view> rules; // paragraphs after the options
    std::vector<ExitStatus> statuses;
    std::vector<Example> examples;
};

// pellorin-cli's commands, in the order help lists them.
std::span<const Command> commandTable();

// The program's own options and texts: --help, --version, the summary and
// every example.
const Command& programCommand();

// The command named `name`, or none.
const Command* findCommand(std::string_view name);

// "-b, --brand" and the like, in the table's order; --help included.
std::vector<std::string> optionNames(const Command& command);

// The option named `name` (short or long), or none.
const Option* findOption(const Command& command, std::string_view name);

// How the engine's refusals name generate's fields: by their options
// ("--length").
std::string_view optionNaming(engine::GenerateField field) noexcept;

// The program's name as it prints it.
inline constexpr std::string_view kProgram = "pellorin-cli";

// The most threads a command takes.
inline constexpr unsigned kMaxThreads = 256;

} // namespace pellorin::cli
