#pragma once

#include <QRect>

#include <cmath>

namespace pellorin {

// Window geometry is laid out in twips, 1/1440 inch: 15 to the pixel at 96 dpi.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return (twips * 2 + kTwipsPerPixel) / (kTwipsPerPixel * 2);
}

// A position computed in twips, put on the whole-pixel grid (nearest pixel).
inline int twipsToPixels(float twips)
{
    return static_cast<int>(std::lround(twips / float(kTwipsPerPixel)));
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(
        twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace pellorin
