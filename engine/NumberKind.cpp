#include "NumberKind.h"

#include "NetworkPattern.h"

namespace pellorin::engine {

NumberKind numberKind(const GenerateRequest& request)
{
    const Network* network = request.network;
    // A wrong expiry or code comes with a number that passes every rule.
    const InvalidRule rule = numberRule(request.invalid);
    if (network == nullptr) {
        const Network* holder = networksOfPrefix(request.prefix, request.length).primary();
        return { NumberPattern::custom(request.prefix, request.length, rule == InvalidRule::Luhn),
            holder != nullptr ? std::string(holder->name) : std::string("Custom"),
            holder != nullptr ? holder->codeLength : 3,
            holder != nullptr ? groupsOf(*holder, request.length) : defaultGroups(request.length) };
    }
    const bool window = network->windowBrand && !request.publishedRanges
        && rule == InvalidRule::None && request.length == brand(*network->windowBrand).length;
    return { window ? NumberPattern::forBrand(brand(*network->windowBrand))
                    : networkPattern(*network, request.length, rule,
                        request.publishedRanges ? RangeChoice::Published : RangeChoice::Own),
        std::string(network->name), network->codeLength, groupsOf(*network, request.length) };
}

} // namespace pellorin::engine
