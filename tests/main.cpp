#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

#include "document/ReportFonts.h"

int main(int argc, char** argv) {
    // No test may need a display or reach the user's own settings: every test that uses settings
    // points them at its own folder, and this catches any that forgets.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratchConfig;
    qputenv("XDG_CONFIG_HOME", scratchConfig.path().toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // Reports are laid out in the font they are printed in, as the program lays them out.
    tarnwick::registerReportFonts();
    return RUN_ALL_TESTS();
}
