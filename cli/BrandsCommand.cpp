// brands: the card networks generate takes, as the public API lists them.

#include "CommandLine.h"
#include "Commands.h"
#include "Output.h"
#include "PlatformTexts.h"

#include <pellorin/networks.h>

namespace pellorin::cli {

namespace {

constexpr std::string_view kBrandsRule
    = "Lists every card network generate --brand takes: its id, name, lengths, security code "
      "length, print groups and published prefixes, a * marking a prefix that another network "
      "shares. --format json gives all of it, with the networks each range is shared with, for "
      "scripts. A note under the list (validatorNote in json) names a rule that a widely used "
      "validator skips for a network by design: card-validator's Luhn test for UnionPay.";

std::vector<Option> options()
{
    const std::vector<std::string> formats { "text", "json" };
    return {
        helpOption(),
        formatOption(formats),
    };
}

std::optional<std::string> finish(const Given&, CommandLine& line)
{
    line.kind = CommandLine::Kind::Run;
    return std::nullopt;
}

int run(const CommandLine& line)
{
    Output output("");
    output.write(pellorin::networks_listing(line.given.text("--format").value_or("text")));
    return 0;
}

} // namespace

Command brandsCommand()
{
    return {
        .name = "brands",
        .summary = "List the card networks and their numbers",
        .options = options(),
        .rules = { kBrandsRule },
        .statuses = { { 0, "Success, also when the reader went away." },
            { 1, "The list could not be written." }, { 2, "A usage error." } },
        .examples = { platformTexts().brandsJson },
        .finish = finish,
        .run = run,
    };
}

} // namespace pellorin::cli
