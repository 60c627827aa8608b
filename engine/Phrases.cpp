#include "Phrases.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace pellorin::engine {

namespace {

char lower(char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Edits (insert, delete, replace a character) from one word to the other,
// letter case aside.
std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({ row[j] + 1, row[j - 1] + 1,
                diagonal + (lower(a[i - 1]) == lower(b[j - 1]) ? 0 : 1) });
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

std::string plural(std::uint64_t n, std::string_view one, std::string_view many)
{
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string listed(const std::vector<std::string>& words, std::string_view last)
{
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            text += i + 1 == words.size() ? last : std::string_view(", ");
        text += words[i];
    }
    return text;
}

std::string suggestion(std::string_view word, const std::vector<std::string>& known)
{
    std::string best;
    std::size_t bestDistance = std::numeric_limits<std::size_t>::max();
    for (const std::string& candidate : known) {
        const std::size_t d
            = candidate.starts_with(word) && word.size() >= 3 ? 1 : editDistance(word, candidate);
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    if (best == word || bestDistance > 2 || bestDistance * 2 >= word.size())
        return {};
    return "; did you mean '" + best + "'?";
}

std::optional<std::uint64_t> readWhole(std::string_view text, std::uint64_t max)
{
    if (text.empty()
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

} // namespace pellorin::engine
