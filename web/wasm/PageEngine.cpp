// The page's way into the engine: plain C functions over the engine's
// requests, blocks and check reader, called from the page's worker. Texts
// cross as UTF-8 in the module's memory; every answer stays valid until the
// next call.

#include "ByteBuffer.h"
#include "CheckReader.h"
#include "GenerateForm.h"
#include "Generator.h"
#include "NetworkPattern.h"
#include "RandomSource.h"
#include "Sink.h"

#include <pellorin/pellorin.h>

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using namespace pellorin;
using namespace pellorin::engine;

// How the page names its fields in messages that speak of another one.
std::string_view pageFieldName(GenerateField field) noexcept
{
    switch (field) {
    case GenerateField::Brand:
        return "Network";
    case GenerateField::Ranges:
        return "Ranges";
    case GenerateField::Prefix:
        return "Prefix";
    case GenerateField::Length:
        return "Length";
    case GenerateField::Invalid:
        return "Invalid on purpose";
    case GenerateField::Separator:
        return "Separator";
    case GenerateField::Count:
        return "Quantity";
    case GenerateField::Seed:
        return "Seed";
    case GenerateField::Format:
        return "Format";
    case GenerateField::Unique:
        return "No repeats";
    // The page has no such fields; the command line's options for them.
    case GenerateField::NullEnded:
        return "Records ended by NUL";
    case GenerateField::NoHeader:
        return "No heading line";
    }
    return "";
}

constexpr std::uint64_t kMaxPageRows = 10'000'000;

// Collects what the engine writes, for the page to take after the call.
class BufferSink final : public Sink {
public:
    bool write(std::string_view bytes) override
    {
        m_bytes.append(bytes);
        return true;
    }
    std::string& bytes() { return m_bytes; }

private:
    std::string m_bytes;
};

struct Run {
    GenerateRequest request;
    std::uint64_t seed = 0;
    MonthIndex now = 0;
    std::unique_ptr<Generator> generator;
};

GenerateForm g_form;
std::string g_answer; // the text of the last answer: a refusal, a listing
std::string g_seedText;
Run g_run;
ByteBuffer g_block;

// An export: the run's numbers again, in another format.
std::unique_ptr<Generator> g_export;
std::vector<unsigned char> g_skip;

BufferSink g_checkSink;
std::unique_ptr<CheckReader> g_check;

// The page names its fields as the engine's GenerateField does, in lower
// case, so neither side depends on the other's order.
struct FieldName {
    std::string_view name;
    GenerateField field;
    std::optional<std::string> GenerateForm::*text;
};

constexpr FieldName kFieldNames[] { { "brand", GenerateField::Brand, &GenerateForm::brand },
    { "ranges", GenerateField::Ranges, &GenerateForm::ranges },
    { "prefix", GenerateField::Prefix, &GenerateForm::prefix },
    { "length", GenerateField::Length, &GenerateForm::length },
    { "invalid", GenerateField::Invalid, &GenerateForm::invalid },
    { "separator", GenerateField::Separator, &GenerateForm::separator },
    { "count", GenerateField::Count, &GenerateForm::count },
    { "seed", GenerateField::Seed, &GenerateForm::seed },
    { "format", GenerateField::Format, &GenerateForm::format },
    { "unique", GenerateField::Unique, nullptr } };

const char* fieldId(GenerateField field) noexcept
{
    for (const FieldName& name : kFieldNames) {
        if (name.field == field)
            return name.name.data();
    }
    return "count";
}

} // namespace

extern "C" {

// The networks as `pellorin-cli brands --format json` lists them.
EMSCRIPTEN_KEEPALIVE const char* pe_brands()
{
    g_answer = pellorin::networks_listing("json");
    return g_answer.c_str();
}

EMSCRIPTEN_KEEPALIVE void pe_form_clear()
{
    g_form = GenerateForm();
}

// Sets the field called `field` ("brand", "count", ...) to the text typed
// into it; an unknown name is left out.
EMSCRIPTEN_KEEPALIVE void pe_form_set(const char* field, const char* text)
{
    for (const FieldName& name : kFieldNames) {
        if (name.name == field && name.text != nullptr)
            g_form.*name.text = std::string(text);
    }
}

// The networks whose numbers the desktop program makes, as a JSON array of
// their ids: only these have its classic prefixes.
EMSCRIPTEN_KEEPALIVE const char* pe_classic_networks()
{
    g_answer = "[";
    for (const std::string& id : networkIds(true))
        g_answer += (g_answer.size() > 1 ? ",\"" : "\"") + id + "\"";
    g_answer += "]";
    return g_answer.c_str();
}

EMSCRIPTEN_KEEPALIVE void pe_form_flags(int group, int unique, int withExpiry, int withCvv)
{
    g_form.group = group != 0;
    g_form.unique = unique != 0;
    g_form.withExpiry = withExpiry != 0;
    g_form.withCvv = withCvv != 0;
}

// The rules a number or record may break on purpose, named as the command
// line names them, as a JSON array.
EMSCRIPTEN_KEEPALIVE const char* pe_invalid_rules()
{
    g_answer = "[";
    for (const InvalidRule rule : kInvalidRules)
        g_answer
            += (g_answer.size() > 1 ? ",\"" : "\"") + std::string(invalidRuleName(rule)) + "\"";
    g_answer += "]";
    return g_answer.c_str();
}

// Reads the form into the run's request, the list's rows in text. Returns
// null when it makes one; otherwise the refused field's name, whose message
// pe_answer() holds. `month` is the month expiry dates count from.
EMSCRIPTEN_KEEPALIVE const char* pe_generate_open(double month)
{
    g_run.generator.reset();
    g_export.reset();
    // The list holds its rows in the page's memory; more than this is a job
    // for pellorin-cli. A run of none would only empty the list.
    const std::string countRefusal = std::string(pageFieldName(GenerateField::Count))
        + ": expected a whole number from 1 to " + std::to_string(kMaxPageRows) + ", got '"
        + g_form.count.value_or("") + "'";
    auto read = readGenerateRequest(g_form, pageFieldName);
    if (const auto* refusal = std::get_if<Refusal>(&read)) {
        const bool count = refusal->field == GenerateField::Count && !refusal->namesFields;
        g_answer = count ? countRefusal : refusalText(*refusal, pageFieldName);
        return fieldId(refusal->field);
    }
    g_run.request = std::get<GenerateRequest>(std::move(read));
    if (g_run.request.count == 0 || g_run.request.count > kMaxPageRows) {
        g_answer = countRefusal;
        return fieldId(GenerateField::Count);
    }
    g_run.request.format = Format::Text;
    g_run.seed = g_run.request.seed ? *g_run.request.seed : RandomSource::unpredictableSeed();
    g_run.now = MonthIndex(month);
    try {
        g_run.generator = std::make_unique<Generator>(g_run.request, g_run.seed, g_run.now);
    } catch (const std::bad_alloc&) {
        g_answer = "not enough memory for that many numbers without repeats";
        return fieldId(GenerateField::Count);
    }
    return nullptr;
}

EMSCRIPTEN_KEEPALIVE const char* pe_answer()
{
    return g_answer.c_str();
}

// The run's seed, in decimal: the one typed, or the one drawn for it.
EMSCRIPTEN_KEEPALIVE const char* pe_run_seed()
{
    g_seedText = std::to_string(g_run.seed);
    return g_seedText.c_str();
}

// The run's records have an expiry date (bit 0) and a security code (bit
// 1): asked for, or brought by a rule the extras break.
EMSCRIPTEN_KEEPALIVE int pe_run_extras()
{
    return (g_run.request.withExpiry ? 1 : 0) | (g_run.request.withCvv ? 2 : 0);
}

EMSCRIPTEN_KEEPALIVE double pe_run_count()
{
    return double(g_run.request.count);
}

EMSCRIPTEN_KEEPALIVE double pe_run_blocks()
{
    return g_run.generator ? double(g_run.generator->blockCount()) : 0;
}

// Block `block` of the list's rows; its bytes are at the answer, pe_block_size() long.
EMSCRIPTEN_KEEPALIVE const char* pe_run_block(double block)
{
    g_run.generator->makeBlock(std::uint64_t(block), g_block);
    return g_block.view().data();
}

EMSCRIPTEN_KEEPALIVE int pe_block_size()
{
    return int(g_block.used());
}

// Starts an export of the run's first `count` rows in `format`: one of
// generate's formats, or "clipboard" for the window's clipboard text.
// Returns its block count, 0 when the format is unknown, or -1 when there is
// not enough memory for it (the keys of a run without repeats).
EMSCRIPTEN_KEEPALIVE double pe_export_open(const char* format, double count)
{
    g_export.reset();
    const std::string_view name(format);
    const bool clipboard = name == "clipboard";
    const auto chosen = clipboard ? std::optional<Format>(Format::Table) : formatNamed(name);
    if (!chosen || !g_run.generator)
        return 0;
    GenerateRequest request = g_run.request;
    request.format = *chosen;
    request.count = std::min(request.count, std::uint64_t(count));
    GeneratorOptions options;
    options.tableLayout = clipboard ? TableLayout::Clipboard : TableLayout::File;
    options.keep = [](std::uint64_t row) {
        const std::size_t byte = std::size_t(row >> 3);
        return byte >= g_skip.size() || ((g_skip[byte] >> (row & 7)) & 1) == 0;
    };
    try {
        g_export = std::make_unique<Generator>(request, g_run.seed, g_run.now, options);
    } catch (const std::bad_alloc&) {
        g_export.reset();
        return -1;
    }
    return double(g_export->blockCount());
}

// The rows the next export leaves out: a bit per row, set for a row to
// leave out. Given before pe_export_open.
EMSCRIPTEN_KEEPALIVE void pe_export_skip(const unsigned char* bits, int size)
{
    g_skip.assign(bits, bits + size);
}

EMSCRIPTEN_KEEPALIVE const char* pe_export_block(double block)
{
    g_export->makeBlock(std::uint64_t(block), g_block);
    return g_block.view().data();
}

// Starts checking lines from a source called `name` in reports; an expiry
// before `month` has passed.
EMSCRIPTEN_KEEPALIVE void pe_check_begin(const char* name, double month)
{
    g_checkSink.bytes().clear();
    CheckRequest request;
    request.month = std::int64_t(month);
    g_check = std::make_unique<CheckReader>(request, g_checkSink, [](std::string_view message) {
        // Reports go among the verdicts, marked, in the order told.
        g_checkSink.bytes().append("\x01");
        g_checkSink.bytes().append(message);
        g_checkSink.bytes().append("\n");
    });
    g_check->beginSource(name);
}

// Feeds bytes; what the reader wrote meanwhile is at pe_check_output().
EMSCRIPTEN_KEEPALIVE void pe_check_feed(const char* bytes, int size)
{
    g_checkSink.bytes().clear();
    g_check->feed(std::string_view(bytes, std::size_t(size)));
}

// Ends the input; returns check's status (0, 1 or 2).
EMSCRIPTEN_KEEPALIVE int pe_check_end()
{
    g_checkSink.bytes().clear();
    g_check->endSource();
    g_check->finish();
    g_check->summarize();
    return g_check->status();
}

// The verdict check gives one line, as it writes it ("4539... valid Visa"),
// or a report of why the line holds no number; kept apart from a check
// under way, since the page asks as the user types. `month` is the current
// month, as for pe_check_begin.
EMSCRIPTEN_KEEPALIVE const char* pe_judge(const char* line, double month)
{
    BufferSink verdicts;
    std::string report;
    CheckRequest request;
    request.month = std::int64_t(month);
    CheckReader reader(request, verdicts, [&report](std::string_view message) {
        if (report.empty())
            report = message;
    });
    reader.beginSource("");
    reader.feed(std::string_view(line));
    reader.feed("\n");
    reader.endSource();
    reader.finish();
    g_answer = verdicts.bytes().empty() ? "\x01" + report : verdicts.bytes();
    return g_answer.c_str();
}

EMSCRIPTEN_KEEPALIVE const char* pe_check_output()
{
    return g_checkSink.bytes().data();
}

EMSCRIPTEN_KEEPALIVE int pe_check_output_size()
{
    return int(g_checkSink.bytes().size());
}

} // extern "C"
