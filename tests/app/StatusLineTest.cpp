#include "app/StatusLine.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

using namespace tarnwick;

TEST(StatusLine, EachKindWritesItsPanelsAndOthersChangeNothing) {
    int beeps = 0;
    StatusLine line([&] { ++beeps; });
    int changes = 0;
    QObject::connect(&line, &StatusLine::changed, [&] { ++changes; });

    line.statusMessage(StatusKind::Error, QStringLiteral("x"));
    EXPECT_EQ(line.panelText(StatusLine::Message), QStringLiteral("ERROR - x"));
    EXPECT_EQ(line.icon(), StatusIcon::Error);
    EXPECT_EQ(beeps, 1);

    // A refill's count wipes the error off the line.
    line.statusMessage(StatusKind::Count, QStringLiteral("12 photos found"));
    EXPECT_EQ(line.panelText(StatusLine::QueryResults), QStringLiteral("12 photos found"));
    EXPECT_EQ(line.panelText(StatusLine::Message), QString());
    EXPECT_EQ(line.icon(), StatusIcon::None);

    line.statusMessage(StatusKind::Info, QStringLiteral("Searching..."));
    EXPECT_EQ(line.panelText(StatusLine::Message), QStringLiteral("Searching..."));
    EXPECT_EQ(line.icon(), StatusIcon::InfoOK);

    line.statusMessage(StatusKind::Clear, QStringLiteral("ignored"));
    EXPECT_EQ(line.panelText(StatusLine::Message), QString());
    EXPECT_EQ(line.icon(), StatusIcon::None);

    line.statusMessage(StatusKind::Info, QStringLiteral("kept"));
    const int changesBefore = changes;
    line.statusMessage(7, QStringLiteral("nothing"));
    EXPECT_EQ(line.panelText(StatusLine::Message), QStringLiteral("kept"));
    EXPECT_EQ(line.icon(), StatusIcon::InfoOK);
    EXPECT_EQ(changes, changesBefore);
    EXPECT_EQ(line.panelText(StatusLine::QueryResults), QStringLiteral("12 photos found"));
    EXPECT_EQ(beeps, 1);
}
