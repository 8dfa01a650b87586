#pragma once

namespace tarnwick {

// A value axis that reads at a glance: it starts at 0, steps by 1, 2 or 5 times a power of ten
// and ends on a step, a little above the largest value, in at most eight steps.
struct AxisScale {
    double top = 1;
    double step = 0.2;
    int decimals = 1; // enough to write every step exactly
};

AxisScale roundAxisScale(double largest);

} // namespace tarnwick
