// pellorin's Python module: the public C++ API translated, nothing more.
// Names follow pellorin-cli's options, a refusal becomes ValueError with the
// command line's words, and the GIL is released while numbers are made or
// judged.

#include "pellorin/pellorin.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <exception>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace {

// Cards are made this many at a time without the GIL, then handed over.
constexpr std::size_t kBatch = 8192;
// Check shares a list among threads only in stretches this long at least.
constexpr std::size_t kItemsPerThread = 65536;

struct Records {
    py::object card, verdict, prefixRange, network;
};

Records& records()
{
    static Records* const made = [] {
        const py::module_ module = py::module_::import("pellorin._records");
        return new Records { module.attr("Card"), module.attr("Verdict"),
            module.attr("PrefixRange"), module.attr("Network") };
    }();
    return *made;
}

py::str text(std::string_view bytes)
{
    return { bytes.data(), bytes.size() };
}

py::object textOrNone(std::string_view bytes)
{
    return bytes.empty() ? py::object(py::none()) : py::object(text(bytes));
}

template <typename Sequence> py::tuple texts(const Sequence& items)
{
    py::tuple tuple(items.size());
    std::size_t i = 0;
    for (const auto& item : items)
        tuple[i++] = text(item);
    return tuple;
}

// A month as any date-like object gives it (datetime.date, datetime.datetime).
std::optional<std::chrono::year_month> monthOf(const py::object& date)
{
    if (date.is_none())
        return std::nullopt;
    return std::chrono::year_month(std::chrono::year(date.attr("year").cast<int>()),
        std::chrono::month(date.attr("month").cast<unsigned>()));
}

// A whole number the request holds, refused as the command line refuses
// it when it is below 0 or beyond 64 bits (the library refuses the rest).
std::uint64_t wholeNumber(const py::int_& value, const char* option, const char* most)
{
    const unsigned long long number = PyLong_AsUnsignedLongLong(value.ptr());
    if (number == static_cast<unsigned long long>(-1) && PyErr_Occurred() != nullptr) {
        PyErr_Clear();
        throw py::value_error(std::string(option) + ": expected a whole number from 0 to " + most
            + ", got '" + std::string(py::repr(value)) + "'");
    }
    return number;
}

pellorin::request makeRequest(const std::optional<std::string>& brand, const py::int_& count,
    const std::optional<py::int_>& seed, const std::optional<std::string>& ranges,
    const std::optional<std::string>& prefix, std::optional<int> length,
    const std::optional<std::string>& invalid, bool group,
    const std::optional<std::string>& separator, bool unique, bool withExpiry, bool withCvv,
    const py::object& month)
{
    pellorin::request request;
    request.brand = brand.value_or("");
    request.count = wholeNumber(count, "--count", "9223372036854775807");
    if (seed)
        request.seed = wholeNumber(*seed, "--seed", "18446744073709551615");
    request.ranges = ranges.value_or("");
    request.prefix = prefix.value_or("");
    request.length = length.value_or(0);
    request.invalid = invalid.value_or("");
    request.group = group;
    request.separator = separator.value_or("");
    request.unique = unique;
    request.with_expiry = withExpiry;
    request.with_cvv = withCvv;
    request.month = monthOf(month);
    return request;
}

// A new str of `bytes`, copied straight in when they are ASCII, as card
// numbers are.
PyObject* newText(std::string_view bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
        PyObject* made = PyUnicode_New(static_cast<Py_ssize_t>(bytes.size()), 127);
        if (made == nullptr)
            throw py::error_already_set();
        std::copy(bytes.begin(), bytes.end(), static_cast<char*>(PyUnicode_DATA(made)));
        return made;
    }
    return text(bytes).release().ptr();
}

py::list generateList(const pellorin::request& request)
{
    const bool extras = request.with_expiry || request.with_cvv;
    std::optional<pellorin::card_range> cards;
    std::optional<pellorin::card_range::iterator> card;
    std::vector<pellorin::card> batch;
    batch.reserve(kBatch);
    {
        py::gil_scoped_release released;
        cards.emplace(request);
    }
    // The whole list at once: a count beyond memory fails here, at once.
    auto out = py::reinterpret_steal<py::list>(PyList_New(static_cast<Py_ssize_t>(cards->size())));
    if (!out)
        throw py::error_already_set();
    Py_ssize_t filled = 0;
    for (;;) {
        {
            py::gil_scoped_release released;
            batch.clear();
            if (!card)
                card = cards->begin();
            for (; batch.size() < kBatch && !(*card == cards->end()); ++*card)
                batch.push_back(**card);
        }
        if (batch.empty())
            break;
        for (const pellorin::card& made : batch) {
            PyObject* item = extras ? records()
                                          .card(text(made.number()), text(made.network()),
                                              textOrNone(made.expiry()), textOrNone(made.cvv()))
                                          .release()
                                          .ptr()
                                    : newText(made.number());
            PyList_SET_ITEM(out.ptr(), filled++, item);
        }
        // Ctrl-C ends a long run here rather than after it.
        if (PyErr_CheckSignals() != 0)
            throw py::error_already_set();
    }
    return out;
}

// What check said, kept compact: the digits side by side (or, for a list's
// items, where they are in the items, which it keeps), the lists of reasons
// and networks once each. A Verdict record is made only when it is
// looked at, so judging a million numbers makes no million Python objects
// and holds no million small allocations.
class Verdicts {
public:
    // `items`: what the verdicts' numbers are read from, kept as long as
    // they are.
    explicit Verdicts(py::object items = {})
        : m_items(std::move(items))
    {
    }

    // `item`: the text the verdict was read from, when it is kept.
    void add(const pellorin::verdict& verdict, std::string_view item = {})
    {
        Entry entry;
        entry.numberSize = static_cast<std::uint32_t>(verdict.number.size());
        if (!item.empty() && item == verdict.number) {
            entry.numberAt = reinterpret_cast<std::uintptr_t>(item.data());
            entry.read = true;
        } else {
            entry.numberAt = m_digits.size();
            m_digits += verdict.number;
        }
        entry.valid = verdict.valid;
        entry.reasons = intern(m_reasonLists, verdict.reasons, m_lastReasons);
        entry.networks = intern(m_networkLists, verdict.networks, m_lastNetworks);
        if (!verdict.problem.empty()) {
            entry.problem = static_cast<std::uint32_t>(m_problems.size() + 1);
            m_problems.push_back(verdict.problem);
        }
        entry.line = verdict.line;
        m_invalid += verdict.valid ? 0 : 1;
        m_entries.push_back(entry);
    }

    // A plain number's verdict, read from `item`, which is kept: the reason
    // and the networks are interned by the address of the API's lasting
    // text, so nothing is allocated but on the first sight of each.
    // `kept`: the item is kept, else the digits are copied.
    void add(const pellorin::quick_verdict& verdict, std::string_view item, std::uint64_t line,
        bool kept = true)
    {
        Entry entry;
        // Its digits are the item's, but for a line end check leaves off.
        entry.numberSize = static_cast<std::uint32_t>(item.size() - (item.ends_with('\n') ? 1 : 0));
        if (kept) {
            entry.numberAt = reinterpret_cast<std::uintptr_t>(item.data());
            entry.read = true;
        } else {
            entry.numberAt = m_digits.size();
            m_digits += item.substr(0, entry.numberSize);
        }
        entry.valid = verdict.valid;
        entry.reasons = internJoined(m_reasonLists, verdict.reason, m_reasonsByText, m_lastReasons);
        entry.networks
            = internJoined(m_networkLists, verdict.networks, m_networksByText, m_lastNetworks);
        entry.line = line;
        m_invalid += verdict.valid ? 0 : 1;
        m_entries.push_back(entry);
    }

    // Adds the verdicts of `part`, which were judged from this one's text.
    void append(Verdicts&& part)
    {
        std::vector<std::uint16_t> reasons, networks;
        for (const auto& list : part.m_reasonLists)
            reasons.push_back(intern(m_reasonLists, list, m_lastReasons));
        for (const auto& list : part.m_networkLists)
            networks.push_back(intern(m_networkLists, list, m_lastNetworks));
        const std::size_t digitsBefore = m_digits.size();
        const auto problemsBefore = static_cast<std::uint32_t>(m_problems.size());
        m_digits += part.m_digits;
        std::move(part.m_problems.begin(), part.m_problems.end(), std::back_inserter(m_problems));
        for (Entry entry : part.m_entries) {
            entry.reasons = reasons[entry.reasons];
            entry.networks = networks[entry.networks];
            entry.numberAt += entry.read ? 0 : digitsBefore;
            entry.problem += entry.problem == 0 ? 0 : problemsBefore;
            m_entries.push_back(entry);
        }
        m_invalid += part.m_invalid;
    }

    void reserve(std::size_t count) { m_entries.reserve(count); }
    // Takes the verdicts of `part` as its own, keeping its items.
    void adopt(Verdicts&& part)
    {
        part.m_items = std::move(m_items);
        *this = std::move(part);
    }
    std::size_t size() const noexcept { return m_entries.size(); }
    std::size_t invalidCount() const noexcept { return m_invalid; }

    py::object at(py::ssize_t index) const
    {
        const auto size = static_cast<py::ssize_t>(m_entries.size());
        if (index < 0)
            index += size;
        if (index < 0 || index >= size)
            throw py::index_error("verdict index out of range");
        const Entry& e = m_entries[static_cast<std::size_t>(index)];
        const std::string_view digits = e.read
            ? std::string_view(reinterpret_cast<const char*>(e.numberAt), e.numberSize)
            : std::string_view(m_digits).substr(e.numberAt, e.numberSize);
        return records().verdict(text(digits), e.valid, texts(m_reasonLists[e.reasons]),
            texts(m_networkLists[e.networks]),
            e.problem == 0 ? text("") : text(m_problems[e.problem - 1]), e.line);
    }

private:
    struct Entry {
        std::uintptr_t numberAt = 0; // in m_digits, or the address in an item
        std::uint32_t numberSize = 0;
        std::uint32_t problem = 0; // 1 + its place in m_problems; 0: none
        std::uint64_t line = 0;
        std::uint16_t reasons = 0, networks = 0;
        bool valid = false;
        bool read = false; // the digits are in an item, not in m_digits
    };

    // The list's place among those seen, added when new; a run of numbers
    // mostly repeats the one before.
    template <typename Item, typename Given>
    static std::uint16_t intern(
        std::vector<std::vector<Item>>& lists, const Given& list, std::uint16_t& last)
    {
        const auto same = [&](std::size_t i) {
            return std::equal(lists[i].begin(), lists[i].end(), list.begin(), list.end());
        };
        if (last < lists.size() && same(last))
            return last;
        for (std::size_t i = 0; i < lists.size(); ++i) {
            if (same(i))
                return last = static_cast<std::uint16_t>(i);
        }
        lists.emplace_back(list.begin(), list.end());
        return last = static_cast<std::uint16_t>(lists.size() - 1);
    }

    // The list of the names in `joined` ("A|B"; empty: none), looked up by
    // the address of `joined`, which lives as long as the program.
    template <typename Item>
    static std::uint16_t internJoined(std::vector<std::vector<Item>>& lists,
        std::string_view joined, std::vector<std::pair<const char*, std::uint16_t>>& byText,
        std::uint16_t& last)
    {
        for (const auto& [at, index] : byText) {
            if (at == joined.data())
                return last = index;
        }
        std::vector<std::string_view> names;
        for (std::size_t at = 0; !joined.empty() && at <= joined.size();) {
            const std::size_t bar = std::min(joined.find('|', at), joined.size());
            names.push_back(joined.substr(at, bar - at));
            at = bar + 1;
        }
        const std::uint16_t index = intern(lists, names, last);
        byText.emplace_back(joined.data(), index);
        return index;
    }

    std::vector<Entry> m_entries;
    std::vector<std::pair<const char*, std::uint16_t>> m_reasonsByText, m_networksByText;
    py::object m_items;
    std::string m_digits;
    std::vector<std::vector<std::string>> m_reasonLists;
    std::vector<std::vector<std::string_view>> m_networkLists;
    std::vector<std::string> m_problems;
    std::uint16_t m_lastReasons = 0, m_lastNetworks = 0;
    std::size_t m_invalid = 0;
};

Verdicts checkText(std::string_view text, bool allowUnknown, bool null)
{
    const pellorin::check_options options { allowUnknown };
    py::gil_scoped_release released;
    Verdicts verdicts;
    pellorin::check_lines_each(
        text, options, null,
        [&](std::uint64_t line, std::string_view number, const pellorin::quick_verdict& verdict) {
            verdicts.add(verdict, number, line, false);
        },
        [&](pellorin::verdict&& verdict) { verdicts.add(verdict); });
    return verdicts;
}

// One verdict per item, in order, whatever an item holds. The items are
// read where they are, in a tuple of them that the verdicts keep: nothing
// changes or frees them while the threads read them without the GIL.
Verdicts checkItems(const py::iterable& iterable, bool allowUnknown)
{
    const auto items = py::reinterpret_steal<py::tuple>(PySequence_Tuple(iterable.ptr()));
    if (!items)
        throw py::error_already_set();
    std::vector<std::string_view> read;
    read.reserve(items.size());
    for (const py::handle item : items) {
        Py_ssize_t size = 0;
        const char* utf8 = PyUnicode_Check(item.ptr()) != 0
            ? PyUnicode_AsUTF8AndSize(item.ptr(), &size)
            : nullptr;
        if (utf8 == nullptr)
            throw py::type_error("check takes a str or an iterable of str, got an item of type "
                + std::string(py::str(py::type::handle_of(item).attr("__name__"))));
        read.emplace_back(utf8, static_cast<std::size_t>(size));
    }
    const pellorin::check_options options { allowUnknown };
    // Made with the GIL, which is held again before it goes.
    Verdicts verdicts(items);
    {
        py::gil_scoped_release released;
        // Long lists are shared among the cores, as pellorin-cli check --threads
        // shares a file, a stretch of items each, joined in order.
        const std::size_t cores = std::max(1U, std::thread::hardware_concurrency());
        const std::size_t parts = std::clamp<std::size_t>(read.size() / kItemsPerThread, 1, cores);
        std::vector<Verdicts> judged(parts);
        std::vector<std::exception_ptr> failed(parts);
        const auto judge = [&](std::size_t part) {
            try {
                const std::size_t first = read.size() * part / parts;
                const std::size_t end = read.size() * (part + 1) / parts;
                // The first part's entries take in the others' when joined:
                // room for all of them spares a copy of the whole.
                judged[part].reserve(part == 0 ? read.size() : end - first);
                for (std::size_t i = first; i < end; ++i) {
                    if (const auto quick = pellorin::check_quick(read[i], options)) {
                        judged[part].add(*quick, read[i], i + 1);
                        continue;
                    }
                    pellorin::verdict verdict = pellorin::check(read[i], options);
                    verdict.line = i + 1;
                    judged[part].add(verdict, read[i]);
                }
            } catch (...) {
                failed[part] = std::current_exception();
            }
        };
        {
            std::vector<std::jthread> helpers;
            for (std::size_t part = 1; part < parts; ++part)
                helpers.emplace_back(judge, part);
            judge(0);
        }
        for (std::size_t part = 0; part < parts; ++part) {
            if (failed[part])
                std::rethrow_exception(failed[part]);
            if (part == 0)
                verdicts.adopt(std::move(judged[0]));
            else
                verdicts.append(std::move(judged[part]));
        }
    }
    return verdicts;
}

py::list networks()
{
    py::list out;
    for (const pellorin::network_info& network : pellorin::networks()) {
        py::tuple ranges(network.ranges.size());
        std::size_t i = 0;
        for (const pellorin::prefix_range& range : network.ranges)
            ranges[i++] = records().prefixRange(text(range.first), text(range.last),
                py::tuple(py::cast(range.lengths)), texts(range.shared_with));
        py::dict groups;
        for (const pellorin::group_rule& rule : network.groups)
            groups[py::int_(rule.length)] = text(rule.groups);
        out.append(records().network(text(network.id), text(network.name), ranges,
            py::tuple(py::cast(network.lengths)), network.common_length, network.code_length,
            groups));
    }
    return out;
}

constexpr const char* kGenerateDoc = R"(Make card numbers, as pellorin-cli generate does.

Returns a list of str; with with_expiry or with_cvv, a list of Card records
(number, brand, expiry, cvv). The keywords are pellorin-cli generate's
options: brand is a network id of networks() (default "visa"; none with a
prefix of your own), ranges "window" or "network", prefix an issuer prefix
(BIN) with length, invalid "luhn", "length" or "prefix" to break exactly
that rule, group/separator to print the network's groups, unique for no
number twice. month (a datetime.date) is the month expiry dates count
from; by default the current one.

The same seed gives the same numbers as pellorin-cli --seed, on every
platform; without one every call differs. A value the command line
refuses raises ValueError with its words, e.g.
"--brand: unknown brand 'foo'; the brands are visa, ...".)";

constexpr const char* kGenerateTextDoc = R"(The bytes pellorin-cli generate writes, as one str.

The same keywords as generate(), and format ("text", "csv", "json",
"ndjson" or "table"), null (records end in NUL) and no_header (csv and
table without their heading line).)";

constexpr const char* kCheckDoc = R"(Judge card numbers, as pellorin-cli check does.

A str is read as pellorin-cli check reads a file: a number per line in any
shape generate writes (text, csv, json, ndjson, table; with blanks or
dashes), blank lines and headings left out. An iterable of str gives one
verdict per item, in order. Returns Verdicts, a sequence of Verdict records
(number, valid, reasons, networks, problem, line);
its valid attribute says whether every number is valid. allow_unknown lets
a number no network issues pass on its length and check digit; null reads
a str whose lines end in NUL, as generate_text(null=True) writes them.
Long lists are judged on every core, without the GIL.)";

} // namespace

PYBIND11_MODULE(_pellorin, module)
{
    module.doc() = "The pellorin engine; import pellorin, not this module.";
    module.attr("__version__") = PELLORIN_VERSION;

    // Before any other translation: every refusal is a ValueError.
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const pellorin::refusal& refusal) {
            PyErr_SetString(PyExc_ValueError, refusal.what());
        }
    });

    const auto generateArgs = [](auto&&... more) {
        return std::make_tuple(py::arg("brand") = py::none(), py::arg("count") = 10,
            py::arg("seed") = py::none(), py::kw_only(), py::arg("ranges") = py::none(),
            py::arg("prefix") = py::none(), py::arg("length") = py::none(),
            py::arg("invalid") = py::none(), py::arg("group") = false,
            py::arg("separator") = py::none(), py::arg("unique") = false,
            py::arg("with_expiry") = false, py::arg("with_cvv") = false,
            py::arg("month") = py::none(), more...);
    };
    std::apply(
        [&](auto&&... args) {
            module.def(
                "generate",
                [](const std::optional<std::string>& brand, const py::int_& count,
                    const std::optional<py::int_>& seed, const std::optional<std::string>& ranges,
                    const std::optional<std::string>& prefix, std::optional<int> length,
                    const std::optional<std::string>& invalid, bool group,
                    const std::optional<std::string>& separator, bool unique, bool withExpiry,
                    bool withCvv, const py::object& month) {
                    return generateList(makeRequest(brand, count, seed, ranges, prefix, length,
                        invalid, group, separator, unique, withExpiry, withCvv, month));
                },
                args..., kGenerateDoc);
        },
        generateArgs());
    std::apply(
        [&](auto&&... args) {
            module.def(
                "generate_text",
                [](const std::optional<std::string>& brand, const py::int_& count,
                    const std::optional<py::int_>& seed, const std::optional<std::string>& ranges,
                    const std::optional<std::string>& prefix, std::optional<int> length,
                    const std::optional<std::string>& invalid, bool group,
                    const std::optional<std::string>& separator, bool unique, bool withExpiry,
                    bool withCvv, const py::object& month, const std::optional<std::string>& format,
                    bool null, bool noHeader) {
                    pellorin::request request = makeRequest(brand, count, seed, ranges, prefix,
                        length, invalid, group, separator, unique, withExpiry, withCvv, month);
                    request.format = format.value_or("");
                    request.null = null;
                    request.no_header = noHeader;
                    std::string bytes;
                    {
                        py::gil_scoped_release released;
                        bytes = pellorin::generate(request);
                    }
                    return text(bytes);
                },
                args..., kGenerateTextDoc);
        },
        generateArgs(
            py::arg("format") = py::none(), py::arg("null") = false, py::arg("no_header") = false));

    py::class_<Verdicts>(module, "Verdicts",
        "What check said: a sequence of Verdict records, one per number or line.")
        .def("__len__", &Verdicts::size)
        .def("__getitem__", &Verdicts::at, py::arg("index"))
        .def("__getitem__",
            [](const Verdicts& v, const py::slice& slice) {
                py::ssize_t start = 0, stop = 0, step = 0, length = 0;
                if (!slice.compute(
                        static_cast<py::ssize_t>(v.size()), &start, &stop, &step, &length))
                    throw py::error_already_set();
                py::list out;
                for (py::ssize_t i = 0; i < length; ++i, start += step)
                    out.append(v.at(start));
                return out;
            })
        .def_property_readonly(
            "valid", [](const Verdicts& v) { return v.size() > 0 && v.invalidCount() == 0; },
            "True when every number is valid (and there was one at least).")
        .def_property_readonly("invalid_count", &Verdicts::invalidCount,
            "How many verdicts say invalid (unreadable lines among them).")
        .def("__repr__", [](const Verdicts& v) {
            return "<Verdicts: " + std::to_string(v.size())
                + (v.size() == 1 ? " number, " : " numbers, ") + std::to_string(v.invalidCount())
                + " invalid>";
        });

    module.def(
        "check",
        [](const py::object& numbers, bool allowUnknown, bool null) {
            if (py::isinstance<py::str>(numbers))
                return checkText(numbers.cast<std::string>(), allowUnknown, null);
            if (py::isinstance<py::bytes>(numbers))
                throw py::type_error("check takes a str or an iterable of str, not bytes: decode "
                                     "them first");
            return checkItems(numbers, allowUnknown);
        },
        py::arg("numbers"), py::kw_only(), py::arg("allow_unknown") = false,
        py::arg("null") = false, kCheckDoc);

    module.def("networks", &networks,
        "Every card network, as pellorin-cli brands lists it: a list of Network records "
        "(id, name, ranges, lengths, common_length, code_length, groups).");
}
