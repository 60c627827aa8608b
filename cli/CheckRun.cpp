#include "CheckRun.h"

#include "CheckReader.h"
#include "OrderedWriter.h"
#include "Output.h"
#include "OutputSink.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace pellorin::cli {

namespace {

// Bytes read at a time past the end of a piece, for the line that runs over.
constexpr std::size_t kRunOver = std::size_t { 64 } << 10;

// How many times `c` occurs in `bytes`, eight bytes at a time.
std::uint64_t occurrences(std::string_view bytes, char c) noexcept
{
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
    const std::uint64_t pattern = kOnes * std::uint8_t(c);
    std::uint64_t count = 0;
    std::size_t at = 0;
    while (at + 8 <= bytes.size()) {
        // A byte per lane, added up before any lane can pass 255.
        std::uint64_t lanes = 0;
        for (int round = 0; round < 255 && at + 8 <= bytes.size(); ++round, at += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + at, 8);
            word ^= pattern; // the bytes that match are now zero
            lanes += ~(((word & kLow7) + kLow7) | word) >> 7 & kOnes;
        }
        count += lanes * kOnes >> 56;
    }
    for (; at < bytes.size(); ++at)
        count += bytes[at] == c ? 1 : 0;
    return count;
}

// The lines that CRs without an LF after them end in `bytes`, whose last
// byte is followed by `next`.
std::uint64_t loneCrs(std::string_view bytes, char next) noexcept
{
    std::uint64_t count = 0;
    for (std::size_t at = bytes.find('\r'); at != std::string_view::npos;
         at = bytes.find('\r', at + 1))
        count += (at + 1 < bytes.size() ? bytes[at + 1] : next) != '\n' ? 1 : 0;
    return count;
}

// The line counts of the pieces of a file, each published by the thread that
// judges it, as soon as it has counted: a piece needs the lines before it to
// number its own.
class LineCounts {
public:
    explicit LineCounts(std::uint64_t pieces)
        : m_counts(pieces)
        , m_known(pieces)
    {
        // Publishing allocates nothing, so it cannot fail.
        m_before.reserve(pieces);
    }

    void publish(std::uint64_t piece, std::uint64_t lines)
    {
        const std::lock_guard lock(m_mutex);
        m_counts[piece] = lines;
        m_known[piece] = true;
        while (m_before.size() < m_counts.size() && m_known[m_before.size()]) {
            const std::uint64_t sum
                = m_before.empty() ? 0 : m_before.back() + m_counts[m_before.size() - 1];
            m_before.push_back(sum);
        }
        m_changed.notify_all();
    }

    // The lines of all pieces before `piece`; waits for them to be counted.
    // Pieces are taken in order and counted before anything else, so the
    // wait is short.
    std::uint64_t before(std::uint64_t piece)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_before.size() > piece; });
        return m_before[piece];
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::uint64_t> m_counts;
    std::vector<bool> m_known;
    std::vector<std::uint64_t> m_before; // for each piece whose predecessors are known
};

// The room of verdicts already written, for the next pieces: fresh memory
// for every piece costs more than judging it.
class SpareTexts {
public:
    std::string take()
    {
        const std::lock_guard lock(m_mutex);
        if (m_spare.empty())
            return {};
        std::string text = std::move(m_spare.back());
        m_spare.pop_back();
        return text;
    }
    void give(std::string text)
    {
        const std::lock_guard lock(m_mutex);
        m_spare.push_back(std::move(text));
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_spare;
};

// A piece judged, waiting for its turn.
struct JudgedPiece {
    std::unique_ptr<engine::CheckPiece> piece;
    std::string failure;
};

// Publishes a piece's line count once, and 0 when the piece fails before:
// nobody waits forever for a piece that failed.
class LinesPublished {
public:
    LinesPublished(LineCounts& counts, std::uint64_t piece)
        : m_counts(counts)
        , m_piece(piece)
    {
    }
    ~LinesPublished()
    {
        if (!m_done)
            m_counts.publish(m_piece, 0);
    }
    LinesPublished(const LinesPublished&) = delete;
    LinesPublished& operator=(const LinesPublished&) = delete;

    void publish(std::uint64_t lines)
    {
        m_counts.publish(m_piece, lines);
        m_done = true;
    }

private:
    LineCounts& m_counts;
    std::uint64_t m_piece;
    bool m_done = false;
};

// The bytes `from` to `to` of `file`, in a room each thread keeps for the
// pieces it reads; fewer at the end of the file or when reading fails.
std::string_view readPiece(
    InputFile& file, std::uint64_t from, std::uint64_t to, std::string& failure)
{
    thread_local std::string room;
    room.resize(std::max<std::size_t>(room.size(), to - from));
    return { room.data(), file.readAt(from, room.data(), to - from, failure) };
}

// The lines that begin in a piece's `bytes`: past the first line end, unless
// the piece is the first, as the line that runs into it is the one before's.
// The bytes start one before the piece, to see whether a line begins at its
// first.
std::string_view linesBeginningIn(std::string_view bytes, bool first, char end)
{
    if (first)
        return bytes;
    const std::size_t lineEnd
        = bytes.empty() ? std::string_view::npos : bytes.substr(0, bytes.size() - 1).find(end);
    return lineEnd == std::string_view::npos ? std::string_view() : bytes.substr(lineEnd + 1);
}

// The line cut at a piece's end, read on to its line end (the last piece:
// to the end of the file).
struct RunOver {
    std::string text {}; // its first block: all of it unless the line is long
    std::uint64_t end = 0; // the offset past it
    bool sourceEnds = false; // it reached the end of the file
    // Lines that a lone CR ends in it; a CR last of a block has its LF, if
    // any, first of the next.
    std::uint64_t crLines = 0;
};

RunOver readRunOver(
    InputFile& file, std::uint64_t from, bool last, char end, bool crLast, std::string& failure)
{
    const bool crsEndLines = end == '\n';
    RunOver runOver { .end = from };
    for (std::string block(kRunOver, '\0');;) {
        block.resize(kRunOver);
        block.resize(file.readAt(runOver.end, block.data(), block.size(), failure));
        const std::size_t lineEnd = last ? std::string_view::npos : block.find(end);
        const std::size_t taken = lineEnd == std::string_view::npos ? block.size() : lineEnd + 1;
        if (crsEndLines) {
            runOver.crLines += crLast && !block.starts_with('\n') ? 1 : 0;
            const std::string_view counted(block.data(), taken);
            crLast = !counted.empty() && counted.back() == '\r';
            if (!counted.empty())
                runOver.crLines += loneCrs(counted.substr(0, taken - 1), counted.back());
        }
        if (runOver.end == from)
            runOver.text = block.substr(0, taken);
        runOver.end += taken;
        if (lineEnd != std::string_view::npos)
            return runOver;
        if (block.size() < kRunOver) {
            runOver.sourceEnds = true;
            return runOver;
        }
    }
}

// Feeds the line that runs over from `from` to `piece`; a long one is read
// again, a block at a time, rather than kept whole.
void feedRunOver(InputFile& file, std::uint64_t from, const RunOver& runOver,
    engine::CheckPiece& piece, std::string& failure)
{
    if (runOver.end - from == runOver.text.size()) {
        piece.feed(runOver.text);
        return;
    }
    std::string block;
    for (std::uint64_t at = from; at < runOver.end && failure.empty();) {
        block.resize(std::size_t(std::min<std::uint64_t>(kRunOver, runOver.end - at)));
        block.resize(file.readAt(at, block.data(), block.size(), failure));
        if (block.empty())
            break;
        piece.feed(block);
        at += block.size();
    }
}

// Judges piece `index` of `file`: the lines that begin in its bytes, the
// last one read on to its end.
JudgedPiece judgePiece(InputFile& file, std::uint64_t index, std::uint64_t pieces,
    const engine::CheckRequest& request, const std::string& name, LineCounts& counts,
    SpareTexts& spare)
{
    const char end = request.nullEnded ? '\0' : '\n';
    const bool last = index + 1 == pieces;
    const std::uint64_t begin = index * kCheckPiece;
    const std::uint64_t nominalEnd = last ? std::max(file.size(), begin) : begin + kCheckPiece;
    const std::uint64_t from = index == 0 ? 0 : begin - 1;
    JudgedPiece judged;
    LinesPublished published(counts, index);

    const std::string_view bytes = readPiece(file, from, nominalEnd, judged.failure);
    const bool atEnd = bytes.size() < nominalEnd - from;
    const std::string_view lines = linesBeginningIn(bytes, index == 0, end);
    std::uint64_t crLines = 0;
    bool crLast = false;
    if (end == '\n' && std::memchr(lines.data(), '\r', lines.size()) != nullptr) {
        crLines = loneCrs(lines.substr(0, lines.size() - 1), lines.back());
        crLast = lines.back() == '\r';
    }
    RunOver runOver { .end = nominalEnd, .sourceEnds = atEnd };
    if (!lines.empty() && !atEnd && judged.failure.empty() && (last || lines.back() != end))
        runOver = readRunOver(file, nominalEnd, last, end, crLast, judged.failure);
    const std::uint64_t endsInRunOver = runOver.end > nominalEnd && !runOver.sourceEnds ? 1 : 0;
    published.publish(occurrences(lines, end) + endsInRunOver + crLines + runOver.crLines);

    judged.piece
        = std::make_unique<engine::CheckPiece>(request, name, counts.before(index), spare.take());
    judged.piece->feed(lines);
    feedRunOver(file, nominalEnd, runOver, *judged.piece, judged.failure);
    if (runOver.sourceEnds && judged.failure.empty())
        judged.piece->endSource();
    return judged;
}

// Reads an ordinary file on several threads, a piece each, and hands the
// pieces to `reader` in order. Returns false once the reader of the
// verdicts has gone away.
bool checkInPieces(InputFile& file, std::uint64_t pieces, unsigned threads,
    const engine::CheckRequest& request, const std::string& name, engine::CheckReader& reader)
{
    LineCounts counts(pieces);
    std::vector<JudgedPiece> judged(pieces);
    SpareTexts spare;
    std::uint64_t next = 0;
    bool failed = false;
    const bool written = writeInOrder(
        pieces, threads,
        [&](std::uint64_t index, ByteBuffer&) {
            judged[index] = judgePiece(file, index, pieces, request, name, counts, spare);
        },
        [&](std::string_view) {
            const JudgedPiece piece = std::move(judged[next++]);
            const bool taken = reader.take(*piece.piece);
            spare.give(piece.piece->spareText());
            if (!taken)
                return false;
            if (piece.failure.empty())
                return true;
            // Nothing after a piece that could not be read is judged.
            reader.sourceFailed(piece.failure);
            failed = true;
            return false;
        });
    if (written && !failed)
        reader.endSource();
    return written;
}

// Whether the file's text is UTF-8, which can be cut at any line end: a
// UTF-16 one is read whole.
bool isUtf8(InputFile& file)
{
    std::string head(engine::kEncodingHead, '\0');
    std::string failure;
    head.resize(file.readAt(0, head.data(), head.size(), failure));
    return failure.empty() && engine::textEncoding(head) == engine::TextEncoding::Utf8;
}

} // namespace

int runCheck(const CheckCommand& command, Output& output)
{
    OutputSink sink(output);
    engine::CheckRequest request = command.request;
    request.nameSources = command.files.size() > 1;
    engine::CheckReader reader(request, sink, [](std::string_view message) {
        std::fprintf(stderr, "pellorin-cli check: %.*s\n", int(message.size()), message.data());
    });
    const std::vector<std::string> standardInput { std::string() };
    for (const std::string& file : command.files.empty() ? standardInput : command.files) {
        const bool isStandardInput = file.empty() || file == "-";
        const std::string name = isStandardInput ? "(standard input)" : file;
        reader.beginSource(name);
        // Only an ordinary file can be cut into pieces before it is read.
        const std::unique_ptr<InputFile> pieces
            = command.threads > 1 ? InputFile::open(file) : nullptr;
        if (pieces != nullptr && pieces->size() > kCheckPiece && isUtf8(*pieces)) {
            checkInPieces(*pieces, (pieces->size() + kCheckPiece - 1) / kCheckPiece,
                command.threads, request, name, reader);
        } else {
            const std::string failure
                = readInChunks(file, [&](std::string_view chunk) { return reader.feed(chunk); });
            if (!failure.empty())
                reader.sourceFailed(failure);
            else
                reader.endSource();
        }
        if (reader.readerGone())
            return reader.status();
    }
    if (!reader.finish())
        return reader.status();
    if (command.countOnly) {
        if (!sink.write(reader.summaryRecord()))
            return reader.status();
    } else if (!request.quiet) {
        reader.summarize();
    }
    return reader.status();
}

} // namespace pellorin::cli
