#include "SourceGeneration.h"

#include "CardGenerator.h"
#include "NumberKind.h"

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

namespace {

NumberPattern plainTextPattern(const GenerateRequest& request)
{
    if (request.format != Format::Text || request.withExpiry || request.withCvv || request.group
        || request.unique)
        throw std::invalid_argument("numbers drawn from a caller's source come as plain text");
    return numberKind(request).pattern;
}

} // namespace

SourceNumbers::SourceNumbers(const GenerateRequest& request, RandomSource& random)
    : m_pattern(plainTextPattern(request))
    , m_random(random)
{
}

int SourceNumbers::write(char* out) noexcept
{
    return CardGenerator::write(m_pattern, m_random, out);
}

} // namespace pellorin::engine
