#include "SourceGeneration.h"

#include "CardGenerator.h"
#include "NumberKind.h"
#include "Sink.h"

#include <array>
#include <stdexcept>

namespace pellorin::engine {

GenerateRequest windowRequest(BrandId brand, std::uint64_t count)
{
    GenerateRequest request;
    for (const Network& network : networkTable()) {
        if (network.windowBrand == brand)
            request.network = &network;
    }
    request.length = pellorin::brand(brand).length;
    request.count = count;
    return request;
}

bool generateFromSource(const GenerateRequest& request, RandomSource& random, Sink& sink)
{
    if (request.format != Format::Text || request.withExpiry || request.withCvv || request.group
        || request.unique)
        throw std::invalid_argument("numbers drawn from a caller's source come as plain text");
    CardGenerator generator(numberKind(request).pattern, random);
    const char recordEnd = request.nullEnded ? '\0' : '\n';
    // Room for the longest number and its record's end.
    std::array<char, kCardNumberRoom> record {};
    for (std::uint64_t i = 0; i < request.count; ++i) {
        const auto length = std::size_t(generator.write(record.data()));
        record[length] = recordEnd;
        if (!sink.write({ record.data(), length + 1 }))
            return false;
    }
    return true;
}

} // namespace pellorin::engine
