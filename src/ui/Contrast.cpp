#include "ui/Contrast.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double relativeLuminance(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor legibleOn(const QColor& background, std::initializer_list<QColor> candidates) {
    QColor best;
    double bestRatio = 0;
    for (const QColor& colour : candidates) {
        const double ratio = contrastRatio(colour, background);
        if (ratio >= legibleContrast)
            return colour;
        if (ratio > bestRatio) {
            best = colour;
            bestRatio = ratio;
        }
    }
    return best;
}

} // namespace tarnwick
