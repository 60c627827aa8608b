#pragma once

#include "GenerateForm.h"

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::cli {

struct CommandLine;

// What the command line gave, as typed, before any value is checked: each
// option's last value under its long name ("" for a flag), and the operands.
// The command's finish reads it into what its run needs.
struct Given {
    std::map<std::string_view, std::string, std::less<>> values;
    std::vector<std::string> files;

    bool has(std::string_view longName) const { return values.contains(longName); }
    std::optional<std::string> text(std::string_view longName) const;
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
    std::string_view shortName {}; // "-b", or empty
    std::string_view longName {}; // "--brand"
    std::string_view value {}; // "BRAND"; empty for a flag
    std::string help {}; // its line in --help, without a full stop
    ValueKind kind = ValueKind::None;
    std::vector<std::string> words {}; // the values Word offers
    // The option's words are the only values it takes, refused here with a
    // suggestion ("unknown format 'x'"); otherwise the value is checked
    // where the request is made.
    bool onlyWords = false;
    std::string_view noun {}; // "format": what a value of it is, for refusals
    // The field of the engine's request it fills, for the engine's refusals.
    std::optional<engine::GenerateField> field {};
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
    std::string_view name {}; // empty for the program itself
    std::string_view summary {}; // one line, no full stop
    std::string_view operand {}; // "FILE": it takes any number of them; or empty
    std::string_view operandHelp {};
    std::vector<Option> options {}; // -h,--help first
    std::vector<std::string_view> rules {}; // paragraphs after the options
    std::vector<ExitStatus> statuses {};
    std::vector<Example> examples {};
    // Checks what was given and reads it into `line` (its kind, and the
    // request of generate or check). Returns a refusal, or nothing.
    std::optional<std::string> (*finish)(const Given& given, CommandLine& line) = nullptr;
    // Runs what finish read and returns the exit status. Throws OutputError.
    int (*run)(const CommandLine& line) = nullptr;
    // The exit status when the run fails: a write that failed, or memory.
    int troubleStatus = 1;
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

// -h, --help.
Option helpOption(std::string help = "Print this help and exit");

// -f, --format for a command that writes one of `formats`, the first by
// default.
Option formatOption(const std::vector<std::string>& formats);

// The program's name as it prints it.
inline constexpr std::string_view kProgram = "pellorin-cli";

// The most threads a command takes.
inline constexpr unsigned kMaxThreads = 256;

} // namespace pellorin::cli
