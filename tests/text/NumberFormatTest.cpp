#include "text/NumberFormat.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace tarnwick;

namespace {

std::string fmt(double value, const char* pattern) {
    return formatNumber(value, QString::fromLatin1(pattern)).toStdString();
}

} // namespace

TEST(NumberFormat, PatternsPadAndRoundTheDecimalValueHalfAwayFromZero) {
    EXPECT_EQ(fmt(12.345, "####0.00"), "12.35");
    EXPECT_EQ(fmt(12.345, "00000.00"), "00012.35");
    EXPECT_EQ(fmt(0.5, "###0.0"), "0.5");
    EXPECT_EQ(fmt(2.675, "#0.00"), "2.68"); // binary 2.67499999...
    EXPECT_EQ(fmt(1.005, "0.00"), "1.01");  // binary 1.00499999...
    EXPECT_EQ(fmt(0.125, "#0.00"), "0.13");
    EXPECT_EQ(fmt(-0.125, "#0.00"), "-0.13"); // away from zero, not up
    EXPECT_EQ(fmt(0.1 + 0.2, "#0.000"), "0.300");
    EXPECT_EQ(fmt(9.995, "####0.00"), "10.00"); // carry into a new digit
    EXPECT_EQ(fmt(99999.996, "00000.00"), "100000.00");
    EXPECT_EQ(fmt(0, "000000.000"), "000000.000");
    EXPECT_EQ(fmt(3, "00000"), "00003");
    EXPECT_EQ(fmt(2.5, "00000"), "00003");
    EXPECT_EQ(fmt(1234567.891, "####0.00"), "1234567.89"); // no thousands separator
    EXPECT_EQ(fmt(0.0004, "#0.000"), "0.000");
    EXPECT_EQ(fmt(-0.0004, "#0.000"), "0.000"); // no negative zero
    EXPECT_EQ(fmt(1e-20, "0.00"), "0.00");
    EXPECT_EQ(fmt(-3.25, "###0.0"), "-3.3");
    // Optional places and literal text around the field.
    EXPECT_EQ(fmt(0.5, "#.##"), ".5");
    EXPECT_EQ(fmt(2, "#.##"), "2.");
    EXPECT_EQ(fmt(45.25, "0.0 t/ac"), "45.3 t/ac");
}

TEST(NumberFormat, SortKeysOrderAsTheirNumbers) {
    EXPECT_LT(formatNumber(2.5, u"00000.00"), formatNumber(10.25, u"00000.00"));
    EXPECT_LT(formatNumber(99.9, u"000000.000"), formatNumber(100, u"000000.000"));
}

TEST(NumberFormat, GeneralConversionAndStr) {
    EXPECT_EQ(plainNumber(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(plainNumber(45), QStringLiteral("45"));
    EXPECT_EQ(plainNumber(6.1), QStringLiteral("6.1"));
    EXPECT_EQ(plainNumber(9 + 0.1), QStringLiteral("9.1"));
    EXPECT_EQ(plainNumber(-2.5), QStringLiteral("-2.5"));
    EXPECT_EQ(plainNumber(0.0001), QStringLiteral("0.0001"));
    EXPECT_EQ(plainNumber(0.00001), QStringLiteral("1E-05"));
    EXPECT_EQ(plainNumber(1e15), QStringLiteral("1E+15"));
    EXPECT_EQ(plainNumber(123456789012345.0), QStringLiteral("123456789012345"));
    EXPECT_EQ(plainNumber(1.0 / 3.0), QStringLiteral("0.333333333333333"));

    EXPECT_EQ(strNumber(6), QStringLiteral(" 6"));
    EXPECT_EQ(strNumber(6.1), QStringLiteral(" 6.1"));
    EXPECT_EQ(strNumber(-6), QStringLiteral("-6"));
    EXPECT_EQ(strNumber(0.5), QStringLiteral(" .5"));
    EXPECT_EQ(strNumber(-0.5), QStringLiteral("-.5"));
    EXPECT_EQ(strNumber(0), QStringLiteral(" 0"));
}

TEST(NumberFormat, StoredValuesAsText) {
    EXPECT_EQ(textOfValue(QVariant()), QString());
    EXPECT_EQ(textOfValue(QVariant(45.0)), QStringLiteral("45"));
    EXPECT_EQ(textOfValue(QVariant(0.1 + 0.2)), QStringLiteral("0.3"));
    EXPECT_EQ(textOfValue(QVariant(QStringLiteral("TL1"))), QStringLiteral("TL1"));
    EXPECT_EQ(textOfValue(QVariant(qlonglong(12))), QStringLiteral("12"));

    EXPECT_EQ(formatValue(QVariant(), u"00000"), QString());
    EXPECT_EQ(formatValue(QVariant(QStringLiteral("1")), u"00000"), QStringLiteral("00001"));
    EXPECT_EQ(formatValue(QVariant(QStringLiteral(" 12 ")), u"00000"), QStringLiteral("00012"));
    EXPECT_EQ(formatValue(QVariant(QStringLiteral("TL1")), u"00000"), QStringLiteral("TL1"));
    EXPECT_EQ(formatValue(QVariant(7.25), u"###0.0"), QStringLiteral("7.3"));
}
