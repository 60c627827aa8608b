#include "CardGenerator.h"

#include <utility>

namespace pellorin {

CardGenerator::CardGenerator(const Brand& brand, RandomSource& random)
    : CardGenerator(NumberPattern::forBrand(brand), random)
{
}

CardGenerator::CardGenerator(NumberPattern pattern, RandomSource& random)
    : m_pattern(std::move(pattern))
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
// about 1 in 10. Each attempt is re-seeded from the timer and takes its prefix and digits
// from one draw.
int CardGenerator::write(char* out) noexcept
{
    return write(m_pattern, m_random, out);
}

CardNumber CardGenerator::next() noexcept
{
    CardNumber number;
    number.length = static_cast<std::uint8_t>(write(number.digits.data()));
    return number;
}

} // namespace pellorin
