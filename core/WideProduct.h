#pragma once

#include <cstdint>

namespace pellorin {

// The 128-bit product of two 64-bit numbers, in halves.
struct WideProduct {
    std::uint64_t high;
    std::uint64_t low;
};

// a × b from four 32-bit products, carries added by hand.
constexpr WideProduct multiplyWideByHalves(std::uint64_t a, std::uint64_t b) noexcept
{
    constexpr std::uint64_t kLow = 0xffffffffU;
    const std::uint64_t lowLow = (a & kLow) * (b & kLow);
    const std::uint64_t lowHigh = (a & kLow) * (b >> 32);
    const std::uint64_t highLow = (a >> 32) * (b & kLow);
    const std::uint64_t highHigh = (a >> 32) * (b >> 32);
    const std::uint64_t middle = (lowLow >> 32) + (lowHigh & kLow) + (highLow & kLow);
    return { highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32), a * b };
}

// a × b. Where the machine has a 64 × 64 → 128 multiply (x86-64, arm64) the
// compiler's 128-bit type makes it one instruction. WebAssembly has none:
// there the type costs a library call per product, and the page's numbers
// were made at half the speed they are with the four products inline.
constexpr WideProduct multiplyWide(std::uint64_t a, std::uint64_t b) noexcept
{
#if defined(__wasm__)
    return multiplyWideByHalves(a, b);
#else
    __extension__ using Wide = unsigned __int128;
    const Wide product = Wide { a } * b;
    return { std::uint64_t(product >> 64), std::uint64_t(product) };
#endif
}

} // namespace pellorin
