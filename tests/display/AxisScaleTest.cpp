#include "display/AxisScale.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

// 1, 2 or 5 times a power of ten.
bool isRoundStep(double step) {
    const double magnitude = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
    const double factor = step / magnitude;
    return std::abs(factor - 1) < 1e-9 || std::abs(factor - 2) < 1e-9 ||
           std::abs(factor - 5) < 1e-9;
}

} // namespace

TEST(AxisScale, StepsAreRoundAndTheLargestValueFits) {
    // Worked by hand: 10.9 t/ac in steps of 1 would take 12, in steps of 2 six up to 12.
    EXPECT_DOUBLE_EQ(roundAxisScale(10.9).step, 2);
    EXPECT_DOUBLE_EQ(roundAxisScale(10.9).top, 12);
    EXPECT_DOUBLE_EQ(roundAxisScale(98).step, 20);
    EXPECT_DOUBLE_EQ(roundAxisScale(98).top, 120);
    EXPECT_DOUBLE_EQ(roundAxisScale(0.42).step, 0.1);
    EXPECT_DOUBLE_EQ(roundAxisScale(0.42).top, 0.5);
    EXPECT_EQ(roundAxisScale(0.42).decimals, 1);
    EXPECT_EQ(roundAxisScale(98).decimals, 0);
    EXPECT_EQ(roundAxisScale(0.03).decimals, 3);
    // Nothing to show: an axis all the same.
    EXPECT_GT(roundAxisScale(0).top, 0);
    EXPECT_GT(roundAxisScale(std::nan("")).top, 0);

    for (double largest = 0.013; largest < 5000; largest *= 1.07) {
        const AxisScale scale = roundAxisScale(largest);
        EXPECT_TRUE(isRoundStep(scale.step)) << largest << ": step " << scale.step;
        const double steps = scale.top / scale.step;
        EXPECT_NEAR(steps, std::round(steps), 1e-6) << largest;
        EXPECT_GE(steps, 3.5) << largest;
        EXPECT_LE(steps, 8 + 1e-9) << largest;
        EXPECT_GE(scale.top, largest) << largest;
        // The step's digits are all written.
        EXPECT_NEAR(scale.step * std::pow(10.0, scale.decimals),
                    std::round(scale.step * std::pow(10.0, scale.decimals)), 1e-6);
    }
}
