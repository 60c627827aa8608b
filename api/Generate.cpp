#include "pellorin/generate.h"
#include "ByteBuffer.h"
#include "Network.h"
#include "NumberKind.h"
#include "RequestReading.h"

#include <algorithm>
#include <cstring>

namespace pellorin {

namespace detail {

// Takes the cards apart from the text records of the engine's blocks.
class card_source {
public:
    explicit card_source(const request& asked)
        : m_run(asked, true)
        , m_network(networkName(engine::numberKind(m_run.wanted).name))
        , m_afterNumber(m_run.wanted.group && m_run.wanted.separator == ' ' ? '\t' : ' ')
    {
    }

    const api::Run& run() const noexcept { return m_run; }

    // The next card, if any is left.
    bool take(card& out)
    {
        if (m_left == 0)
            return false;
        --m_left;
        if (m_at >= m_block.used()) {
            m_run.generator.makeBlock(m_nextBlock++, m_block);
            m_at = 0;
        }
        const std::string_view bytes = m_block.view().substr(m_at);
        const std::string_view line = bytes.substr(0, bytes.find('\n'));
        m_at += line.size() + 1;
        const std::string_view number = line.substr(0, line.find(m_afterNumber));
        std::string_view extras = line.substr(std::min(line.size(), number.size() + 1));
        put(number, out.m_number, out.m_numberSize);
        if (m_run.wanted.withExpiry) {
            put(extras.substr(0, 5), out.m_expiry, out.m_expirySize);
            extras.remove_prefix(std::min<std::size_t>(extras.size(), 6));
        }
        if (m_run.wanted.withCvv)
            put(extras, out.m_cvv, out.m_cvvSize);
        out.m_network = m_network;
        return true;
    }

private:
    // The name as the network table keeps it, so a card's view of it
    // outlives the range.
    static std::string_view networkName(std::string_view name) noexcept
    {
        for (const Network& network : networkTable()) {
            if (network.name == name)
                return network.name;
        }
        return "Custom";
    }

    template <std::size_t N>
    static void put(std::string_view text, char (&to)[N], unsigned char& size) noexcept
    {
        size = static_cast<unsigned char>(std::min(text.size(), N));
        std::memcpy(to, text.data(), size);
    }

    api::Run m_run;
    std::string_view m_network;
    char m_afterNumber;
    ByteBuffer m_block;
    std::size_t m_at = 0;
    std::uint64_t m_nextBlock = 0;
    std::uint64_t m_left = m_run.wanted.count;
};

// A request's run, as output_blocks shows it.
class output_run : public api::Run {
public:
    using api::Run::Run;
};

} // namespace detail

output_blocks::output_blocks(const request& request)
    : m_run(std::make_unique<detail::output_run>(request))
{
}

output_blocks::~output_blocks() = default;
output_blocks::output_blocks(output_blocks&&) noexcept = default;
output_blocks& output_blocks::operator=(output_blocks&&) noexcept = default;

std::uint64_t output_blocks::seed() const noexcept
{
    return m_run->seed;
}

std::uint64_t output_blocks::size() const noexcept
{
    return m_run->generator.blockCount();
}

bool output_blocks::in_order() const noexcept
{
    return m_run->generator.sequential();
}

std::string_view output_blocks::make(std::uint64_t block) const
{
    thread_local ByteBuffer made;
    m_run->generator.makeBlock(block, made);
    return made.view();
}

card_range::card_range(const request& request)
    : m_source(std::make_unique<detail::card_source>(request))
{
}

card_range::~card_range() = default;
card_range::card_range(card_range&&) noexcept = default;
card_range& card_range::operator=(card_range&&) noexcept = default;

std::uint64_t card_range::seed() const noexcept
{
    return m_source->run().seed;
}

std::uint64_t card_range::size() const noexcept
{
    return m_source->run().wanted.count;
}

card_range::iterator card_range::begin()
{
    iterator it;
    it.m_source = m_source.get();
    it.m_done = !m_source->take(it.m_card);
    return it;
}

card_range::iterator& card_range::iterator::operator++()
{
    m_done = !m_source->take(m_card);
    return *this;
}

std::uint64_t generate_blocks(
    const request& request, const std::function<bool(std::string_view bytes)>& write)
{
    const api::Run run(request);
    ByteBuffer block;
    for (std::uint64_t b = 0; b < run.generator.blockCount(); ++b) {
        run.generator.makeBlock(b, block);
        if (!write(block.view()))
            break;
    }
    return run.seed;
}

std::string generate(const request& request)
{
    std::string bytes;
    generate_blocks(request, [&bytes](std::string_view block) {
        bytes.append(block);
        return true;
    });
    return bytes;
}

} // namespace pellorin
