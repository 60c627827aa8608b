#include "Suggestions.h"

#include "Phrases.h"

namespace pellorin::cli {

std::string unknownOption(const Command& command, std::string_view word)
{
    const std::string name(word.substr(0, word.find('=')));
    return "unknown option '" + name + "'" + engine::suggestion(name, optionNames(command));
}

std::string unknownCommand(std::string_view word)
{
    std::vector<std::string> names;
    for (const Command& command : commandTable())
        names.emplace_back(command.name);
    const std::string near = engine::suggestion(word, names);
    return "unknown command '" + std::string(word) + "'"
        + (near.empty() ? " (expected " + engine::listed(names) + ")" : near);
}

std::string unknownWord(const Option& option, std::string_view value)
{
    const std::string near = engine::suggestion(value, option.words);
    return std::string(option.longName) + ": unknown " + std::string(option.noun) + " '"
        + std::string(value) + "'"
        + (near.empty() ? "; the " + std::string(option.noun) + "s are "
                    + engine::listed(option.words, " and ")
                        : near);
}

std::optional<std::string> leftOver(const Command& command, const std::vector<std::string>& words)
{
    std::vector<std::string> arguments;
    bool afterMark = false;
    for (const std::string& word : words) {
        if (!afterMark && word == "--")
            afterMark = true;
        else if (!afterMark && word.starts_with('-') && word.size() > 1)
            return unknownOption(command, word);
        else
            arguments.push_back(word);
    }
    if (arguments.empty())
        return std::nullopt;
    std::string quoted;
    for (const std::string& word : arguments)
        quoted += (quoted.empty() ? "'" : " '") + word + "'";
    return (arguments.size() == 1 ? "unexpected argument " : "unexpected arguments ") + quoted;
}

} // namespace pellorin::cli
