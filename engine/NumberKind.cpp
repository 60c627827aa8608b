#include "NumberKind.h"

#include "NetworkPattern.h"

namespace pellorin::engine {

NumberKind numberKind(const GenerateRequest& request)
{
    const Network* network = request.network;
    if (network == nullptr) {
        const Network* holder = networksOfPrefix(request.prefix, request.length).primary();
        return { NumberPattern::custom(
                     request.prefix, request.length, request.invalid == InvalidRule::Luhn),
            holder != nullptr ? std::string(holder->name) : std::string("Custom"),
            holder != nullptr ? holder->codeLength : 3,
            holder != nullptr ? groupsOf(*holder, request.length) : defaultGroups(request.length) };
    }
    const bool window = network->windowBrand && !request.publishedRanges
        && request.invalid == InvalidRule::None
        && request.length == brand(*network->windowBrand).length;
    return { window ? NumberPattern::forBrand(brand(*network->windowBrand))
                    : networkPattern(*network, request.length, request.invalid,
                        request.publishedRanges ? RangeChoice::Published : RangeChoice::Own),
        std::string(network->name), network->codeLength, groupsOf(*network, request.length) };
}

} // namespace pellorin::engine
