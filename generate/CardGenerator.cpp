#include "generate/CardGenerator.h"

#include "generate/LuhnCheck.h"

#include <algorithm>

namespace pellorin {

CardGenerator::CardGenerator(const Brand& brand, RandomSource& random) noexcept
    : m_brand(brand)
    , m_random(random)
{
}

// The reference procedure draws a prefix and every digit (1-9) including the
// last, and keeps the candidate only if it passes the Luhn test. For a given
// prefix and body (all digits but the last) exactly one final digit 0-9 passes,
// so each (prefix, body) whose required check digit is 1-9 is kept with the
// same probability 1/9, and the others never. The kept numbers are therefore
// uniform over the (prefix, body) pairs whose check digit is not 0. Drawing a
// prefix and body, rejecting the pair (prefix included) when the check digit is
// 0 and otherwise appending it, gives exactly that distribution. The check digit
// is 0 for about one body in ten, so about 9 in 10 attempts succeed instead of
// about 1 in 10.
CardNumber CardGenerator::next() noexcept
{
    const auto& prefixes = m_brand.prefixes;
    const int length = std::min(m_brand.length, kMaxCardLength);
    CardNumber number;
    for (;;) {
        m_random.reseed();
        const std::size_t index
            = prefixes.size() > 1 ? m_random.below(static_cast<std::uint32_t>(prefixes.size())) : 0;
        const std::string_view prefix = prefixes[index];
        std::copy(prefix.begin(), prefix.end(), number.digits.begin());
        int pos = static_cast<int>(prefix.size());
        for (; pos < length - 1; ++pos)
            number.digits[pos] = static_cast<char>('1' + m_random.below(9));
        const int check = luhnCheckDigit(std::string_view(number.digits.data(), pos));
        if (check != 0) {
            number.digits[pos] = static_cast<char>('0' + check);
            number.length = static_cast<std::uint8_t>(length);
            return number;
        }
    }
}

} // namespace pellorin
