#include "text/Windows1252.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(Windows1252, EveryByteReadsAndWritesBackAsItWas) {
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));
    const QString text = decodeWindows1252(all);
    EXPECT_EQ(text[0x80], QChar(0x20AC));
    EXPECT_EQ(text[0x93], QChar(0x201C));
    EXPECT_EQ(text[0x96], QChar(0x2013));
    EXPECT_EQ(text[0x9F], QChar(0x0178));
    EXPECT_EQ(text[0x81], QChar(0x0081)); // undefined: kept as its own number
    EXPECT_EQ(text[0xE9], QChar(0x00E9));
    const EncodedText back = encodeWindows1252(text);
    EXPECT_TRUE(back.isExact());
    EXPECT_EQ(back.bytes, all);
}

TEST(Windows1252, WhatTheCodePageCannotHoldIsNamedNotLost) {
    const EncodedText encoded =
        encodeWindows1252(QStringLiteral("Fir \u2192 pine \u2192 \U0001F332, \u00E9t\u00E9"));
    EXPECT_FALSE(encoded.isExact());
    EXPECT_EQ(encoded.unrepresentable, QStringLiteral("\u2192\U0001F332"));
    EXPECT_EQ(encoded.bytes, QByteArray("Fir ? pine ? ?, \xE9t\xE9"));
}
