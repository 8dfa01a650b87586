#include "display/AxisScale.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {

AxisScale roundAxisScale(double largest) {
    if (!(largest > 0) || !std::isfinite(largest))
        return {};
    // A little room above the longest bar, so its end never touches the frame.
    const double wanted = largest * 1.05;
    double magnitude = std::pow(10.0, std::floor(std::log10(wanted / 10)));
    for (;; magnitude *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * magnitude;
            const double steps = std::ceil(wanted / step - 1e-9);
            if (steps <= 8) {
                const int decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
                return AxisScale{steps * step, step, decimals};
            }
        }
    }
}

} // namespace tarnwick
