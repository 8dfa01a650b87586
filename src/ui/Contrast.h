#pragma once

#include <initializer_list>
#include <QColor>

namespace tarnwick {

// The least contrast text needs to read well against its background (WCAG's level AA).
inline constexpr double legibleContrast = 4.5;

// The contrast ratio of two colours, from 1 (the same lightness) to 21 (black on white), by
// their relative luminance as WCAG defines it.
double contrastRatio(const QColor& a, const QColor& b);

// The first candidate that reads on the background, or the one that reads best if none does:
// a colour the program was given is kept wherever the desktop's palette leaves it legible.
QColor legibleOn(const QColor& background, std::initializer_list<QColor> candidates);

} // namespace tarnwick
