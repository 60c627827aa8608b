#include "pellorin/networks.h"
#include "Network.h"
#include "NetworkPattern.h"

namespace pellorin {

std::vector<network_info> networks()
{
    std::vector<network_info> all;
    for (const Network& network : networkTable()) {
        network_info info { network.id, network.name, {}, lengthList(lengthsOf(network)),
            network.commonLength, network.codeLength, {} };
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

} // namespace pellorin
