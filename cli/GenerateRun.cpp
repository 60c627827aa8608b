#include "GenerateRun.h"

#include "CheckInput.h"
#include "NumberPattern.h"
#include "Output.h"
#include "RandomSource.h"
#include "RowSource.h"
#include "TableText.h"
#include "UniqueKeys.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace pellorin::cli {

namespace {

__extension__ using Wide = unsigned __int128;

// Blocks draw from SplitMix64 streams keyed by --seed, 2^20 draws apart:
// block b's stream is the counter (key + b × 2^20) × golden ratio, mixed.
// Numbers and the expiry and security code draw from streams of their own,
// so asking for extras leaves the numbers as they were.
constexpr std::uint64_t kExtrasKey = 0x6a09e667f3bcc909ULL;
constexpr int kBlockSpacingBits = 20;

struct Stream {
    std::uint64_t state;
    std::uint64_t next() noexcept
    {
        state += kGolden;
        return mix64(state);
    }
};

Stream blockStream(std::uint64_t key, std::uint64_t block) noexcept
{
    return { mix64(key) + (block << kBlockSpacingBits) * kGolden };
}

// Expiry 1 to 60 months ahead and a code of up to 4 digits, both from one
// draw: floor(60 × 10^4 × r), refused as in NumberPattern where uneven.
constexpr std::uint64_t kExpiryMonths = 60;
constexpr std::uint64_t kCodes = 10000;
constexpr std::uint64_t kExtrasCount = kExpiryMonths * kCodes;
constexpr std::uint64_t kExtrasRefuseBelow = (std::uint64_t { 0 } - kExtrasCount) % kExtrasCount;

std::uint64_t drawExtras(Stream& stream) noexcept
{
    for (;;) {
        const Wide product = Wide { stream.next() } * kExtrasCount;
        if (std::uint64_t(product) >= kExtrasRefuseBelow)
            return std::uint64_t(product >> 64);
    }
}

// A growing byte buffer that is not zeroed when it grows.
class Buffer {
public:
    char* room(std::size_t n)
    {
        if (m_capacity - m_used < n) {
            const std::size_t capacity = std::max(m_capacity * 2, m_used + n);
            auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
            if (m_used > 0)
                std::memcpy(bytes.get(), m_bytes.get(), m_used);
            m_bytes = std::move(bytes);
            m_capacity = capacity;
        }
        return m_bytes.get() + m_used;
    }
    void advanceTo(const char* end) { m_used = std::size_t(end - m_bytes.get()); }
    void append(std::string_view text)
    {
        char* out = room(text.size());
        if (!text.empty())
            std::memcpy(out, text.data(), text.size());
        m_used += text.size();
    }
    void clear() { m_used = 0; }
    std::string_view view() const { return { m_bytes.get(), m_used }; }

private:
    std::unique_ptr<char[]> m_bytes;
    std::size_t m_capacity = 0;
    std::size_t m_used = 0;
};

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

    BlockRows(std::vector<Column> columns, std::size_t rows)
        : m_columns(std::move(columns))
        , m_rows(rows)
    {
    }

    std::size_t columnCount() const override { return m_columns.size(); }
    std::string_view caption(std::size_t column) const override
    {
        return m_columns[column].caption;
    }
    std::size_t rowCount() const override { return m_rows; }
    bool isTicked(std::size_t) const override { return true; }
    std::size_t cellLength(std::size_t, std::size_t column) const override
    {
        return m_columns[column].width;
    }
    std::string_view cell(std::size_t row, std::size_t column, std::string&) const override
    {
        const Column& c = m_columns[column];
        return { c.cells + row * c.width, c.width };
    }
    void ticks(std::size_t, std::size_t count, bool* ticked) const override
    {
        std::fill(ticked, ticked + count, true);
    }
    void cellLengths(
        std::size_t, std::size_t count, std::size_t column, std::size_t* lengths) const override
    {
        std::fill(lengths, lengths + count, m_columns[column].width);
    }

private:
    std::vector<Column> m_columns;
    std::size_t m_rows;
};

// The text around a record's fields, by format.
struct RecordLayout {
    std::string header, ending, separator, lead, afterNumber;
    std::string expiryLead, expiryTail, cvvLead, cvvTail, tail;
};

RecordLayout layoutFor(const GenerateRequest& request, const std::string& brandName)
{
    switch (request.format) {
    case Format::Text:
        return { "", "", "", "", "", " ", "", " ", "", "\n" };
    case Format::Csv:
        return { std::string("number,brand") + (request.withExpiry ? ",expiry" : "")
                + (request.withCvv ? ",cvv" : "") + "\r\n",
            "", "", "", "," + brandName, ",", "", ",", "", "\r\n" };
    case Format::Json:
    case Format::Ndjson: {
        const bool array = request.format == Format::Json;
        const bool empty = request.count == 0;
        return { array ? (empty ? "[" : "[\n") : "", array ? (empty ? "]\n" : "\n]\n") : "",
            array ? ",\n" : "", R"({"number":")", R"(","brand":")" + brandName + "\"",
            R"(,"expiry":")", "\"", R"(,"cvv":")", "\"", array ? "}" : "}\n" };
    }
    case Format::Table:
        break;
    }
    return {};
}

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

class BlockMaker {
public:
    BlockMaker(const GenerateRequest& request, std::uint64_t seed, MonthIndex now)
        : m_request(request)
        , m_pattern(request.brand ? NumberPattern::forBrand(brand(*request.brand))
                                  : NumberPattern::custom(request.prefix, request.length))
        , m_seed(seed)
        , m_now(now)
    {
        // A prefix of one's own inside a brand's range makes that brand's
        // numbers, named as `check` names them.
        std::string_view brandName = "Custom";
        if (request.brand) {
            brandName = brand(*request.brand).caption;
            if (brandName.starts_with(' '))
                brandName.remove_prefix(1);
        } else if (const std::string_view issuer = issuerOfPrefix(request.prefix, request.length);
                   issuer != "unknown") {
            brandName = issuer;
        }
        m_codeDigits = brandName == "American Express" ? 4 : 3;
        m_layout = layoutFor(request, std::string(brandName));
        const RecordLayout& l = m_layout;
        m_recordBytes = l.separator.size() + l.lead.size() + std::size_t(kCardNumberRoom)
            + l.afterNumber.size() + l.expiryLead.size() + 5 + l.expiryTail.size()
            + l.cvvLead.size() + 4 + l.cvvTail.size() + l.tail.size();
    }

    std::uint64_t blockCount() const
    {
        return (m_request.count + kBlockNumbers - 1) / kBlockNumbers;
    }
    const NumberPattern& pattern() const { return m_pattern; }

    // The whole output of a count of 0.
    void makeEmpty(Buffer& out) const
    {
        out.clear();
        if (m_request.format == Format::Table) {
            renderTable(out, {}, {}, {}, 0, TableText::kHeaderPart | TableText::kEndingPart);
            return;
        }
        out.append(m_layout.header);
        out.append(m_layout.ending);
    }

    void make(std::uint64_t block, Buffer& out, UniqueKeys* unique) const
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
        const auto length = std::size_t(m_pattern.length());
        const bool extrasWanted = m_request.withExpiry || m_request.withCvv;
        if (m_request.format == Format::Text && !extrasWanted && unique == nullptr) {
            // The common case, kept to a draw, a write and a line end.
            char* p = out.room(count * (length + 1) + kCardNumberRoom);
            for (std::size_t i = 0; i < count; ++i) {
                while (m_pattern.write(numbers.next(), p) == NumberPattern::kNone) { }
                p += length;
                *p++ = '\n';
            }
            out.advanceTo(p);
        } else {
            BlockNumbers source(m_pattern, numbers, unique, count);
            char* p = out.room(count * m_recordBytes);
            for (std::size_t i = 0; i < count; ++i) {
                if (first + i > 0)
                    p = put(p, m_layout.separator);
                p = put(p, m_layout.lead);
                source.write(p);
                p = put(p + length, m_layout.afterNumber);
                if (extrasWanted) {
                    const std::uint64_t drawn = drawExtras(extras);
                    if (m_request.withExpiry) {
                        p = put(p, m_layout.expiryLead);
                        p = writeExpiry(p, drawn);
                        p = put(p, m_layout.expiryTail);
                    }
                    if (m_request.withCvv) {
                        p = put(p, m_layout.cvvLead);
                        p = writeCode(p, drawn);
                        p = put(p, m_layout.cvvTail);
                    }
                }
                p = put(p, m_layout.tail);
            }
            out.advanceTo(p);
        }
        if (last)
            out.append(m_layout.ending);
    }

private:
    char* writeExpiry(char* out, std::uint64_t drawn) const noexcept
    {
        const MonthIndex month = m_now + 1 + MonthIndex(drawn / kCodes);
        const auto mm = unsigned(month % 12 + 1);
        const auto yy = unsigned(month / 12 % 100);
        out[0] = char('0' + mm / 10);
        out[1] = char('0' + mm % 10);
        out[2] = '/';
        out[3] = char('0' + yy / 10);
        out[4] = char('0' + yy % 10);
        return out + 5;
    }

    char* writeCode(char* out, std::uint64_t drawn) const noexcept
    {
        auto code = unsigned(drawn % kCodes);
        for (int i = m_codeDigits - 1; i >= 0; --i) {
            out[i] = char('0' + code % 10);
            code /= 10;
        }
        return out + m_codeDigits;
    }

    void makeTable(std::uint64_t block, std::size_t count, bool last, Stream& numbers,
        Stream& extras, UniqueKeys* unique, Buffer& out) const
    {
        const auto length = std::size_t(m_pattern.length());
        std::vector<char> digits(count * length + kCardNumberRoom);
        std::vector<char> expiry(m_request.withExpiry ? count * 5 + 5 : 0);
        std::vector<char> codes(m_request.withCvv ? count * 4 + 4 : 0);
        BlockNumbers source(m_pattern, numbers, unique, count);
        for (std::size_t i = 0; i < count; ++i) {
            source.write(digits.data() + i * length);
            if (m_request.withExpiry || m_request.withCvv) {
                const std::uint64_t drawn = drawExtras(extras);
                if (m_request.withExpiry)
                    writeExpiry(expiry.data() + i * 5, drawn);
                if (m_request.withCvv)
                    writeCode(codes.data() + i * std::size_t(m_codeDigits), drawn);
            }
        }
        const unsigned parts = TableText::kRowsPart | (block == 0 ? TableText::kHeaderPart : 0)
            | (last ? TableText::kEndingPart : 0);
        renderTable(out, digits, expiry, codes, count, parts);
    }

    void renderTable(Buffer& out, const std::vector<char>& digits, const std::vector<char>& expiry,
        const std::vector<char>& codes, std::size_t count, unsigned parts) const
    {
        // The window's column first, under its caption; the extras beside it.
        std::vector<BlockRows::Column> columns { { "Result(s)", digits.data(),
            std::size_t(m_pattern.length()) } };
        if (m_request.withExpiry)
            columns.push_back({ "Expiry", expiry.data(), 5 });
        if (m_request.withCvv)
            columns.push_back({ "CVV", codes.data(), std::size_t(m_codeDigits) });
        const BlockRows rows(std::move(columns), count);
        NeverYield yielder;
        TableText table(rows, TableLayout::File, yielder);
        table.measure();
        table.render(
            [&](std::string_view text) { out.append(text); }, TableText::kDefaultBlockSize, parts);
    }

    const GenerateRequest& m_request;
    NumberPattern m_pattern;
    std::uint64_t m_seed;
    MonthIndex m_now;
    int m_codeDigits = 3;
    RecordLayout m_layout;
    std::size_t m_recordBytes = 0;
};

// Blocks made by several threads and written in block order: each thread
// takes the next block, makes it, and waits for its turn to write it.
bool runInParallel(const BlockMaker& maker, unsigned threads, Output& output)
{
    const std::uint64_t blocks = maker.blockCount();
    std::atomic<std::uint64_t> nextBlock { 0 };
    std::atomic<bool> stop { false };
    std::mutex mutex;
    std::condition_variable turn;
    std::uint64_t toWrite = 0;
    bool readerGone = false;
    std::exception_ptr failure;

    auto fail = [&](std::exception_ptr error) {
        const std::lock_guard lock(mutex);
        if (!failure)
            failure = std::move(error);
        stop = true;
        turn.notify_all();
    };
    auto work = [&] {
        Buffer buffer;
        while (!stop) {
            const std::uint64_t block = nextBlock++;
            if (block >= blocks)
                return;
            try {
                maker.make(block, buffer, nullptr);
            } catch (...) {
                fail(std::current_exception());
                return;
            }
            {
                std::unique_lock lock(mutex);
                turn.wait(lock, [&] { return toWrite == block || stop; });
                if (stop)
                    return;
            }
            // Only the thread whose turn it is gets here.
            bool written = false;
            try {
                written = output.write(buffer.view());
            } catch (...) {
                fail(std::current_exception());
                return;
            }
            const std::lock_guard lock(mutex);
            if (!written) {
                readerGone = true;
                stop = true;
            }
            ++toWrite;
            turn.notify_all();
        }
    };

    std::vector<std::thread> helpers;
    helpers.reserve(threads - 1);
    try {
        for (unsigned i = 1; i < threads; ++i)
            helpers.emplace_back(work);
    } catch (...) {
        // Fewer threads than asked for make the same output.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
    return !readerGone;
}

} // namespace

bool runGenerate(const GenerateRequest& request, std::uint64_t seed, MonthIndex now, Output& output)
{
    const BlockMaker maker(request, seed, now);
    Buffer buffer;
    if (request.count == 0) {
        maker.makeEmpty(buffer);
        return output.write(buffer.view());
    }
    const std::uint64_t blocks = maker.blockCount();
    std::unique_ptr<UniqueKeys> unique;
    if (request.unique)
        unique = std::make_unique<UniqueKeys>(maker.pattern().keyCount(), request.count);
    // Uniqueness is decided in block order, one block after the other.
    const auto threads = unique ? 1U : unsigned(std::min<std::uint64_t>(request.threads, blocks));
    if (threads > 1)
        return runInParallel(maker, threads, output);
    for (std::uint64_t block = 0; block < blocks; ++block) {
        maker.make(block, buffer, unique.get());
        if (!output.write(buffer.view()))
            return false;
    }
    return true;
}

} // namespace pellorin::cli
