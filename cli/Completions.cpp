#include "Completions.h"

#include "CommandTable.h"

namespace pellorin::cli {

namespace {

// `words` joined by blanks.
std::string spaced(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words)
        text.append(text.empty() ? "" : " ").append(word);
    return text;
}

std::vector<std::string> commandNames()
{
    std::vector<std::string> names;
    for (const Command& command : commandTable())
        names.emplace_back(command.name);
    return names;
}

std::vector<std::string> longNames(const Command& command)
{
    std::vector<std::string> names;
    for (const Option& option : command.options)
        names.emplace_back(option.longName);
    return names;
}

// The case arms of one command's option values: `-b | --brand)` and what it
// completes to.
std::string bashValueCases(const Command& command)
{
    std::string cases, free;
    for (const Option& option : command.options) {
        std::string pattern;
        if (!option.shortName.empty())
            pattern.append(option.shortName).append(" | ");
        pattern += option.longName;
        switch (option.kind) {
        case ValueKind::None:
            break;
        case ValueKind::Word:
            cases += "                " + pattern
                + ")\n                    COMPREPLY=($(compgen -W '" + spaced(option.words)
                + "' -- \"$cur\"))\n                    return\n                    ;;\n";
            break;
        case ValueKind::File:
            cases += "                " + pattern
                + ")\n                    _filedir\n                    return\n                   "
                  " ;;\n";
            break;
        case ValueKind::Free:
            free += (free.empty() ? "" : " | ") + pattern;
            break;
        }
    }
    if (!free.empty())
        cases += "                " + free
            + ")\n                    return\n                    ;;\n";
    return cases;
}

// zsh's _arguments takes a description in brackets within single quotes.
std::string zshDescription(std::string_view help)
{
    std::string text;
    for (const char c : help) {
        if (c == '\'')
            text += "'\\''";
        else if (c == '[' || c == ']' || c == ':' || c == '\\')
            text.append("\\").append(1, c);
        else
            text += c;
    }
    return text;
}

std::string zshArgument(const Option& option)
{
    const bool takesValue = option.kind != ValueKind::None;
    const std::string longName = std::string(option.longName) + (takesValue ? "=" : "");
    std::string argument = option.shortName.empty()
        ? "'*" + longName
        : "'*'{" + std::string(option.shortName) + (takesValue ? "+," : ",") + longName + "}'";
    argument.append("[").append(zshDescription(option.help)).append("]");
    if (takesValue)
        argument.append(":").append(option.value).append(":");
    switch (option.kind) {
    case ValueKind::None:
        break;
    case ValueKind::Word:
        argument.append("(").append(spaced(option.words)).append(")");
        break;
    case ValueKind::File:
        argument += "_files";
        break;
    case ValueKind::Free:
        argument += ' ';
        break;
    }
    return argument + "'";
}

std::string fishQuoted(std::string_view text)
{
    std::string quoted = "'";
    for (const char c : text) {
        if (c == '\'' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

std::string fishOption(std::string_view condition, const Option& option)
{
    std::string line = "complete -c pellorin-cli -n " + fishQuoted(condition);
    if (!option.shortName.empty())
        line += " -s " + std::string(option.shortName.substr(1));
    line += " -l " + std::string(option.longName.substr(2));
    switch (option.kind) {
    case ValueKind::None:
        break;
    case ValueKind::Word:
        line += " -x -a " + fishQuoted(spaced(option.words));
        break;
    case ValueKind::File:
        line += " -r -F";
        break;
    case ValueKind::Free:
        line += " -x";
        break;
    }
    return line + " -d " + fishQuoted(option.help) + "\n";
}

} // namespace

std::string bashCompletion()
{
    const std::string commands = spaced(commandNames());
    std::string alternatives;
    for (const std::string& name : commandNames())
        alternatives += (alternatives.empty() ? "" : " | ") + name;
    std::string text = "# bash completion for pellorin-cli, made from its command table by the "
                       "build\n"
                       "\n"
                       "_pellorin_cli()\n"
                       "{\n"
                       "    local cur prev words cword split\n"
                       "    _init_completion -s || return\n"
                       "\n"
                       "    local command=\"\" word\n"
                       "    for word in \"${words[@]:1:cword-1}\"; do\n"
                       "        case $word in\n"
                       "            ";
    text += alternatives
        + ")\n"
          "                command=$word\n"
          "                break\n"
          "                ;;\n"
          "        esac\n"
          "    done\n"
          "\n"
          "    case $command in\n"
          "        \"\")\n"
          "            $split && return\n"
          "            COMPREPLY=($(compgen -W '"
        + commands + " " + spaced(longNames(programCommand()))
        + "' -- \"$cur\"))\n"
          "            ;;\n";
    for (const Command& command : commandTable()) {
        text += "        " + std::string(command.name) + ")\n            case $prev in\n"
            + bashValueCases(command) + "            esac\n            $split && return\n";
        const std::string options
            = "COMPREPLY=($(compgen -W '" + spaced(longNames(command)) + "' -- \"$cur\"))\n";
        if (command.operand.empty()) {
            text += "            " + options;
        } else {
            text += "            if [[ $cur == -* ]]; then\n                " + options
                + "            else\n                _filedir\n            fi\n";
        }
        text += "            ;;\n";
    }
    text += "    esac\n"
            "} && complete -F _pellorin_cli pellorin-cli\n";
    return text;
}

std::string zshCompletion()
{
    std::string text = "#compdef pellorin-cli\n"
                       "# zsh completion for pellorin-cli, made from its command table by the "
                       "build\n"
                       "\n"
                       "_pellorin-cli() {\n"
                       "    local curcontext=$curcontext state state_descr line ret=1\n"
                       "    typeset -A opt_args\n"
                       "    _arguments -C \\\n";
    for (const Option& option : programCommand().options) {
        text += "        '(- : *)'{" + std::string(option.shortName) + ","
            + std::string(option.longName) + "}'[" + zshDescription(option.help) + "]' \\\n";
    }
    text += "        '1:command:->command' \\\n"
            "        '*::argument:->argument' && ret=0\n"
            "    case $state in\n"
            "    command)\n"
            "        local -a commands=(\n";
    for (const Command& command : commandTable()) {
        text += "            '" + std::string(command.name) + ":" + zshDescription(command.summary)
            + "'\n";
    }
    text += "        )\n"
            "        _describe -t commands command commands && ret=0\n"
            "        ;;\n"
            "    argument)\n"
            "        curcontext=${curcontext%:*:*}:pellorin-cli-$words[1]:\n"
            "        case $words[1] in\n";
    for (const Command& command : commandTable()) {
        text += "        " + std::string(command.name) + ")\n            _arguments -s -S \\\n";
        for (const Option& option : command.options)
            text += "                " + zshArgument(option) + " \\\n";
        if (!command.operand.empty())
            text += "                '*:" + std::string(command.operand) + ":_files' \\\n";
        text += "                && ret=0\n            ;;\n";
    }
    text += "        esac\n"
            "        ;;\n"
            "    esac\n"
            "    return ret\n"
            "}\n"
            "\n"
            "_pellorin-cli \"$@\"\n";
    return text;
}

std::string fishCompletion()
{
    std::string text = "# fish completion for pellorin-cli, made from its command table by the "
                       "build\n"
                       "\n"
                       "complete -c pellorin-cli -f\n";
    for (const Option& option : programCommand().options)
        text += fishOption("__fish_use_subcommand", option);
    for (const Command& command : commandTable()) {
        text += "complete -c pellorin-cli -n __fish_use_subcommand -a " + std::string(command.name)
            + " -d " + fishQuoted(command.summary) + "\n";
    }
    for (const Command& command : commandTable()) {
        const std::string condition = "__fish_seen_subcommand_from " + std::string(command.name);
        for (const Option& option : command.options)
            text += fishOption(condition, option);
        if (!command.operand.empty())
            text += "complete -c pellorin-cli -n " + fishQuoted(condition) + " -F\n";
    }
    return text;
}

} // namespace pellorin::cli
