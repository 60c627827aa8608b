#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pellorin {

// Issuer prefixes `first` to `last` (as many digits each), issued with
// `lengths` digits; `shared_with` names the ids of the other networks that
// claim some of them.
struct prefix_range {
    std::string_view first;
    std::string_view last;
    std::vector<int> lengths;
    std::vector<std::string_view> shared_with;
};

// How numbers of `length` digits print: "4-4-4-4".
struct group_rule {
    int length;
    std::string_view groups;
};

// A card network as pellorin-cli brands lists it.
struct network_info {
    std::string_view id; // as request::brand takes it: "amex"
    std::string_view name; // as shown: "American Express"
    std::vector<prefix_range> ranges;
    std::vector<int> lengths; // every length it issues, shortest first
    int common_length;
    int code_length; // digits of its security code
    std::vector<group_rule> groups; // per length, shortest first
    // A rule other card validators skip for this network by design, as a
    // sentence; empty for most.
    std::string_view validator_note;
};

// Every network, in pellorin-cli brands' order. The texts are the
// library's own and live as long as the program.
std::vector<network_info> networks();

// What pellorin-cli brands prints: the networks as a text table ("text")
// or as a JSON array ("json"). Throws refusal for another format.
std::string networks_listing(std::string_view format = "text");

} // namespace pellorin
