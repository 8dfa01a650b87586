#include "app/widgets/DefaultWarnDialog.h"
#include "app/AppState.h"
#include "ui/widgets/HighlightButton.h"

#include <array>
#include <gtest/gtest.h>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>

using namespace tarnwick;

TEST(DefaultWarnDialog, ShowsTheWarningAndLeavesTheChosenAnswer) {
    DefaultWarnDialog dialog(QStringLiteral("line one\n\nline three"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("WARNING"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblWarn"))->text(),
              QStringLiteral("line one\n\nline three"));
    EXPECT_EQ(dialog.retryButton()->text(), QStringLiteral("Retry"));
    EXPECT_EQ(dialog.manageButton()->text(), QStringLiteral("Manage Photo Series"));
    EXPECT_EQ(dialog.searchLocalButton()->text(), QStringLiteral("Search Local Only"));
    EXPECT_FALSE(dialog.choice().has_value());

    // Each button leaves its own answer.
    const std::array<std::pair<HighlightButton* (DefaultWarnDialog::*)() const, PhotoDirChoice>, 3>
        buttons{{{&DefaultWarnDialog::retryButton, PhotoDirChoice::Retry},
                 {&DefaultWarnDialog::manageButton, PhotoDirChoice::ManagePhotoSeries},
                 {&DefaultWarnDialog::searchLocalButton, PhotoDirChoice::SearchLocalOnly}}};
    for (const auto& [button, answer] : buttons) {
        DefaultWarnDialog asked(QStringLiteral("text"));
        asked.show();
        QTest::mouseClick((asked.*button)(), Qt::LeftButton);
        EXPECT_EQ(asked.choice(), answer);
        EXPECT_EQ(asked.result(), QDialog::Accepted);
        EXPECT_FALSE(asked.isVisible());
    }
}

TEST(HighlightButton, LightsUpWhileThePointerIsOverIt) {
    HighlightButton button(QStringLiteral("Retry"));
    EXPECT_EQ(button.faceColour(), QColor(192, 192, 255));
    EXPECT_EQ(button.edgeColour(), QColor(0, 0, 0));

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.faceColour(), QColor(255, 255, 192));
    EXPECT_EQ(button.edgeColour(), QColor(255, 128, 0));
    EXPECT_TRUE(button.styleSheet().contains(QStringLiteral("#ffffc0")));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.faceColour(), QColor(192, 192, 255));
    EXPECT_EQ(button.edgeColour(), QColor(0, 0, 0));
}
