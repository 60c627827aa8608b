#pragma once

#include <QColor>

#include <cstdint>

class QWidget;

namespace pellorin {

// A colour as the window's layout writes it: 0x00BBGGRR for an RGB colour, or
// 0x80000000 plus the index of a system colour, which follows the platform's
// palette.
using ColorValue = std::uint32_t;

inline constexpr ColorValue kSystemColorFlag = 0x80000000u;
inline constexpr ColorValue kWindowBackground = kSystemColorFlag | 5;
inline constexpr ColorValue kWindowText = kSystemColorFlag | 8;
inline constexpr ColorValue kHighlight = kSystemColorFlag | 13;
inline constexpr ColorValue kButtonFace = kSystemColorFlag | 15;
inline constexpr ColorValue kButtonText = kSystemColorFlag | 18;
inline constexpr ColorValue kWhite = 0x00FFFFFFu;

// The colour `value` stands for now. An unknown system colour index gives the
// button face.
QColor resolveColor(ColorValue value);

// Fills the background of `widget` with `value`, as a control's BackColor.
void setBackColor(QWidget& widget, ColorValue value);

} // namespace pellorin
