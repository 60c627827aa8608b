#include "pellorin/networks.h"
#include "BrandsListing.h"
#include "Network.h"
#include "NetworkPattern.h"
#include "Phrases.h"
#include "pellorin/refusal.h"

namespace pellorin {

std::vector<network_info> networks()
{
    std::vector<network_info> all;
    for (const Network& network : networkTable()) {
        network_info info { network.id, network.name, {}, lengthList(lengthsOf(network)),
            network.commonLength, network.codeLength, {}, validatorNote(network) };
        for (const PrefixRange& range : network.ranges) {
            prefix_range r { range.first, range.last, lengthList(range.lengths), {} };
            for (const Network* other : networksSharing(network, range))
                r.shared_with.push_back(other->id);
            info.ranges.push_back(std::move(r));
        }
        for (const int length : info.lengths)
            info.groups.push_back({ length, groupsOf(network, length) });
        all.push_back(std::move(info));
    }
    return all;
}

std::string networks_listing(std::string_view format)
{
    if (format == "text" || format == "json")
        return engine::brandsListing(
            format == "json" ? engine::Format::Json : engine::Format::Text);
    const std::string near = engine::suggestion(format, { "text", "json" });
    throw refusal("format",
        "--format: unknown format '" + std::string(format) + "'"
            + (near.empty() ? "; the formats are text and json" : near));
}

} // namespace pellorin
