#include "Generator.h"

#include "ByteBuffer.h"
#include "NumberPattern.h"
#include "RowSource.h"
#include "SeedStreams.h"
#include "Sink.h"
#include "TableText.h"
#include "UniqueKeys.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace pellorin::engine {

namespace {

char* put(char* out, std::string_view text) noexcept
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// One block's rows for the table renderer, every row ticked.
class BlockRows final : public RowSource {
public:
    struct Column {
        std::string_view caption;
        const char* cells;
        std::size_t width; // every cell of a column has this many characters
    };

    // `keep` tells a row's tick by its place in the whole output, from `first`.
    BlockRows(std::vector<Column> columns, std::size_t rows, const GeneratorOptions& options,
        std::uint64_t first)
        : m_columns(std::move(columns))
        , m_rows(rows)
        , m_keep(options.keep)
        , m_first(first)
    {
    }

    std::size_t columnCount() const override { return m_columns.size(); }
    std::string_view caption(std::size_t column) const override
    {
        return m_columns[column].caption;
    }
    std::size_t rowCount() const override { return m_rows; }
    bool isTicked(std::size_t row) const override { return !m_keep || m_keep(m_first + row); }
    std::size_t cellLength(std::size_t, std::size_t column) const override
    {
        return m_columns[column].width;
    }
    std::string_view cell(std::size_t row, std::size_t column, std::string&) const override
    {
        const Column& c = m_columns[column];
        return { c.cells + row * c.width, c.width };
    }
    void ticks(std::size_t first, std::size_t count, bool* ticked) const override
    {
        for (std::size_t i = 0; i < count; ++i)
            ticked[i] = isTicked(first + i);
    }
    void cellLengths(
        std::size_t, std::size_t count, std::size_t column, std::size_t* lengths) const override
    {
        std::fill(lengths, lengths + count, m_columns[column].width);
    }

private:
    std::vector<Column> m_columns;
    std::size_t m_rows;
    const std::function<bool(std::uint64_t)>& m_keep;
    std::uint64_t m_first;
};

// Where a block's numbers come from: its stream, and with --unique the keys
// written so far. With --unique the block's draws are taken ahead, so each
// key's place in the (large) table is on its way from memory before it is
// looked at; a number already written is replaced by the stream's next.
class BlockNumbers {
public:
    BlockNumbers(
        const NumberPattern& pattern, Stream& stream, UniqueKeys* unique, std::size_t count)
        : m_pattern(pattern)
        , m_stream(stream)
        , m_unique(unique)
    {
        if (unique == nullptr)
            return;
        m_ahead.resize(count);
        CardNumber scratch;
        for (std::uint64_t& draw : m_ahead) {
            do
                draw = stream.next();
            while (pattern.write(draw, scratch.digits.data()) == NumberPattern::kNone);
        }
        for (std::size_t i = 0; i < kAhead && i < count; ++i)
            unique->prefetch(pattern.key(m_ahead[i]));
    }

    void write(char* at)
    {
        if (m_unique != nullptr) {
            const std::size_t i = m_next++;
            if (i + kAhead < m_ahead.size())
                m_unique->prefetch(m_pattern.key(m_ahead[i + kAhead]));
            if (m_unique->insert(m_pattern.key(m_ahead[i]))) {
                m_pattern.write(m_ahead[i], at);
                return;
            }
        }
        for (;;) {
            const std::uint64_t key = m_pattern.write(m_stream.next(), at);
            if (key != NumberPattern::kNone && (m_unique == nullptr || m_unique->insert(key)))
                return;
        }
    }

private:
    static constexpr std::size_t kAhead = 16;

    const NumberPattern& m_pattern;
    Stream& m_stream;
    UniqueKeys* m_unique;
    std::vector<std::uint64_t> m_ahead;
    std::size_t m_next = 0;
};

} // namespace

class Generator::Blocks {
public:
    Blocks(const GenerateRequest& request, std::uint64_t seed, MonthIndex now,
        GeneratorOptions options)
        : m_request(request)
        , m_options(std::move(options))
        , m_kind(numberKind(request))
        , m_seed(seed)
        , m_extras(now, m_kind.codeDigits, request.invalid)
        , m_layout(recordLayout(request, m_kind.name))
    {
        m_numberWidth = std::size_t(m_kind.pattern.length());
        if (request.group)
            m_numberWidth
                += std::size_t(std::count(m_kind.groups.begin(), m_kind.groups.end(), '-'));
        const RecordLayout& l = m_layout;
        // Records are separated from the first one kept on.
        if (m_options.keep) {
            while (m_firstKept < request.count && !m_options.keep(m_firstKept))
                ++m_firstKept;
        }
        m_recordBytes = l.separator.size() + l.lead.size() + m_numberWidth
            + std::size_t(kCardNumberRoom) + l.afterNumber.size() + l.expiryLead.size() + 5
            + l.expiryTail.size() + l.cvvLead.size() + 4 + l.cvvTail.size() + l.tail.size();
    }

    std::uint64_t blockCount() const
    {
        return std::max<std::uint64_t>(1, (m_request.count + kBlockNumbers - 1) / kBlockNumbers);
    }
    const NumberPattern& pattern() const { return m_kind.pattern; }
    bool empty() const { return m_request.count == 0; }

    // The whole output of a count of 0.
    void makeEmpty(ByteBuffer& out) const
    {
        out.clear();
        if (m_request.format == Format::Table) {
            renderTable(out, {}, {}, {}, 0, headerPart() | TableText::kEndingPart);
            return;
        }
        out.append(m_layout.header);
        out.append(m_layout.ending);
    }

    void make(std::uint64_t block, ByteBuffer& out, UniqueKeys* unique) const
    {
        const std::uint64_t first = block * kBlockNumbers;
        const auto count = std::size_t(std::min(kBlockNumbers, m_request.count - first));
        const bool last = block + 1 == blockCount();
        Stream numbers = blockStream(m_seed, block);
        Stream extras = blockStream(m_seed ^ kExtrasKey, block);
        out.clear();
        if (m_request.format == Format::Table) {
            makeTable(block, count, last, numbers, extras, unique, out);
            return;
        }
        if (block == 0)
            out.append(m_layout.header);
        const NumberPattern& pattern = m_kind.pattern;
        const auto length = std::size_t(pattern.length());
        const bool extrasWanted = m_request.withExpiry || m_request.withCvv;
        if (m_request.format == Format::Text && !extrasWanted && unique == nullptr
            && !m_request.group && !m_options.keep) {
            // The common case, kept to a draw, a write and a line end.
            const char recordEnd = m_request.nullEnded ? '\0' : '\n';
            char* p = out.room(count * (length + 1) + kCardNumberRoom);
            for (std::size_t i = 0; i < count; ++i) {
                while (pattern.write(numbers.next(), p) == NumberPattern::kNone) { }
                p += length;
                *p++ = recordEnd;
            }
            out.advanceTo(p);
        } else {
            BlockNumbers source(pattern, numbers, unique, count);
            char* p = out.room(count * m_recordBytes);
            for (std::size_t i = 0; i < count; ++i) {
                char* const start = p;
                if (first + i > m_firstKept)
                    p = put(p, m_layout.separator);
                p = put(p, m_layout.lead);
                p = writeNumber(source, p);
                p = put(p, m_layout.afterNumber);
                if (extrasWanted) {
                    const Extras drawn = m_extras.draw(extras);
                    if (m_request.withExpiry) {
                        p = put(p, m_layout.expiryLead);
                        p = put(p, { drawn.expiry.data(), drawn.expiry.size() });
                        p = put(p, m_layout.expiryTail);
                    }
                    if (m_request.withCvv) {
                        p = put(p, m_layout.cvvLead);
                        p = put(p, { drawn.code.data(), std::size_t(m_extras.codeDigits()) });
                        p = put(p, m_layout.cvvTail);
                    }
                }
                p = put(p, m_layout.tail);
                if (m_options.keep && !m_options.keep(first + i))
                    p = start;
            }
            out.advanceTo(p);
        }
        if (last)
            out.append(m_layout.ending);
    }

private:
    // Writes the next number at `at`, in groups when asked, and returns its
    // end. The number may overwrite up to kCardNumberRoom bytes from `at`.
    char* writeNumber(BlockNumbers& source, char* at) const
    {
        if (!m_request.group) {
            source.write(at);
            return at + m_kind.pattern.length();
        }
        CardNumber number;
        source.write(number.digits.data());
        return writeGrouped({ number.digits.data(), std::size_t(m_kind.pattern.length()) },
            m_kind.groups, m_request.separator, at);
    }

    void makeTable(std::uint64_t block, std::size_t count, bool last, Stream& numbers,
        Stream& extras, UniqueKeys* unique, ByteBuffer& out) const
    {
        const std::size_t width = m_numberWidth;
        const auto codeDigits = std::size_t(m_extras.codeDigits());
        std::vector<char> digits(count * width + kCardNumberRoom);
        std::vector<char> expiry(m_request.withExpiry ? count * 5 + 5 : 0);
        std::vector<char> codes(m_request.withCvv ? count * 4 + 4 : 0);
        BlockNumbers source(m_kind.pattern, numbers, unique, count);
        for (std::size_t i = 0; i < count; ++i) {
            writeNumber(source, digits.data() + i * width);
            if (m_request.withExpiry || m_request.withCvv) {
                const Extras drawn = m_extras.draw(extras);
                if (m_request.withExpiry)
                    std::copy(drawn.expiry.begin(), drawn.expiry.end(), expiry.data() + i * 5);
                if (m_request.withCvv)
                    std::copy_n(drawn.code.begin(), codeDigits, codes.data() + i * codeDigits);
            }
        }
        const unsigned parts = TableText::kRowsPart | (block == 0 ? headerPart() : 0)
            | (last ? TableText::kEndingPart : 0);
        renderTable(out, digits, expiry, codes, count, parts, block * kBlockNumbers);
    }

    unsigned headerPart() const { return m_request.noHeader ? 0 : TableText::kHeaderPart; }

    void renderTable(ByteBuffer& out, const std::vector<char>& digits,
        const std::vector<char>& expiry, const std::vector<char>& codes, std::size_t count,
        unsigned parts, std::uint64_t first = 0) const
    {
        // The window's column first, under its caption; the extras beside it.
        std::vector<BlockRows::Column> columns { { "Result(s)", digits.data(), m_numberWidth } };
        if (m_request.withExpiry)
            columns.push_back({ "Expiry", expiry.data(), 5 });
        if (m_request.withCvv)
            columns.push_back({ "CVV", codes.data(), std::size_t(m_extras.codeDigits()) });
        const BlockRows rows(std::move(columns), count, m_options, first);
        NeverYield yielder;
        TableText table(rows, m_options.tableLayout, yielder);
        table.measure();
        table.render(
            [&](std::string_view text) { out.append(text); }, TableText::kDefaultBlockSize, parts);
    }

    // A copy, so the caller's request may go before the generator.
    GenerateRequest m_request;
    GeneratorOptions m_options;
    std::uint64_t m_firstKept = 0;
    NumberKind m_kind;
    std::uint64_t m_seed;
    ExtrasDrawer m_extras;
    RecordLayout m_layout;
    std::size_t m_numberWidth = 0;
    std::size_t m_recordBytes = 0;
};

Generator::Generator(
    const GenerateRequest& request, std::uint64_t seed, MonthIndex now, GeneratorOptions options)
    : m_blocks(std::make_unique<Blocks>(request, seed, now, std::move(options)))
{
    if (request.unique)
        m_unique = std::make_unique<UniqueKeys>(m_blocks->pattern().keyCount(), request.count);
}

Generator::~Generator() = default;

std::uint64_t Generator::blockCount() const noexcept
{
    return m_blocks->blockCount();
}

void Generator::makeBlock(std::uint64_t block, ByteBuffer& out) const
{
    if (m_blocks->empty())
        m_blocks->makeEmpty(out);
    else
        m_blocks->make(block, out, m_unique.get());
}

bool generateInto(const GenerateRequest& request, std::uint64_t seed, MonthIndex now, Sink& sink,
    const BetweenBlocks& between, GeneratorOptions options)
{
    const Generator generator(request, seed, now, std::move(options));
    const std::uint64_t blocks = generator.blockCount();
    ByteBuffer buffer;
    for (std::uint64_t block = 0; block < blocks; ++block) {
        generator.makeBlock(block, buffer);
        if (!sink.write(buffer.view()))
            return false;
        if (between && !between(block + 1, blocks))
            return block + 1 == blocks;
    }
    return true;
}

} // namespace pellorin::engine
