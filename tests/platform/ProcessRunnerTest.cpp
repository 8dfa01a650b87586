#include "platform/ProcessRunner.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace tarnwick;
using tarnwick::test::TestInstallation;

namespace {

void writeScript(const QString& path, const QByteArray& body) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
}

// Counts its paints, and once asked, tells the waiting script that a paint got through.
class PaintProbe : public QWidget {
public:
    QString releaseFile;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        if (!releaseFile.isEmpty()) {
            QFile(releaseFile).open(QIODevice::WriteOnly);
            releaseFile.clear();
        }
    }
};

} // namespace

TEST(ProcessRunner, RunsTheInstallationsOwnCopyFirstAndPassesOverWhatCannotStart) {
    TestInstallation installation;
    const QString marker = installation.appDir() + QStringLiteral("/ran");
    // The script ends only after a moment, so a runner that did not wait would miss the marker.
    writeScript(installation.appDir() + QStringLiteral("/slidekeep3"),
                "sleep 0.2\necho \"$TARNWICK_HOME\" > '" + marker.toUtf8() + "'\n");
    QtProcessRunner runner(installation.appDir());
    qunsetenv("TARNWICK_HOME");
    EXPECT_TRUE(runner.runAndWait(QStringLiteral("slidekeep3")));
    QFile ran(marker);
    ASSERT_TRUE(ran.open(QIODevice::ReadOnly));
    // The tool works on the same installation.
    EXPECT_EQ(ran.readAll().trimmed(), installation.appDir().toUtf8());
    EXPECT_TRUE(runner.runAndWait(QStringLiteral("true"))); // from the search path

    EXPECT_FALSE(runner.runAndWait(QStringLiteral("slidekeep3-not-installed")));
    EXPECT_FALSE(runner.runAndWait(installation.appDir() + QStringLiteral("/missing/slidekeep3")));
    QFile plain(installation.appDir() + QStringLiteral("/plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    plain.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_FALSE(runner.runAndWait(plain.fileName()));
}

TEST(ProcessRunner, WindowsPaintButTakeNoInputWhileTheProgramRuns) {
    TestInstallation installation;
    const QString release = installation.appDir() + QStringLiteral("/release");
    // Runs until the test lets it go (or gives up after a long while, failing the test).
    writeScript(installation.appDir() + QStringLiteral("/waiter"),
                "i=0\nwhile [ ! -e '" + release.toUtf8() +
                    "' ]; do i=$((i+1)); [ $i -gt 600 ] && exit 1; sleep 0.05; done\n");

    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* button = new QPushButton(QStringLiteral("Go"), &window);
    auto* paintProbe = new PaintProbe;
    paintProbe->setMinimumSize(40, 40);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    layout->addWidget(button);
    layout->addWidget(paintProbe);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    edit->setFocus();
    QSignalSpy clicks(button, &QPushButton::clicked);

    bool pokedWhileRunning = false;
    QTimer::singleShot(0, &window, [&] {
        pokedWhileRunning = true;
        QTest::keyClicks(edit, QStringLiteral("abc"));
        QTest::mouseClick(button, Qt::LeftButton);
        paintProbe->releaseFile = release;
        paintProbe->update();
    });
    QtProcessRunner runner(installation.appDir());
    EXPECT_TRUE(runner.runAndWait(installation.appDir() + QStringLiteral("/waiter")));

    EXPECT_TRUE(pokedWhileRunning);
    EXPECT_TRUE(QFileInfo::exists(release)) << "no paint reached the window while waiting";
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(clicks.count(), 0);

    // Input flows again once the program has ended.
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(edit->text(), QStringLiteral("abc"));
    EXPECT_EQ(clicks.count(), 1);
}
