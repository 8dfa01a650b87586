#include "profile/RecentProfiles.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

using namespace tarnwick;

TEST(RecentProfiles, MostRecentFirstEachFileOnceAtMostEightAndGoneFilesDropped) {
    test::TestInstallation installation; // settings of its own
    const QString folder = installation.appDir() + QStringLiteral("/data");
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto file = [&](int n) { return folder + QStringLiteral("/p%1.pr3").arg(n); };
    for (int n = 1; n <= 9; ++n) {
        QFile profile(file(n));
        ASSERT_TRUE(profile.open(QIODevice::WriteOnly));
    }

    RecentProfiles recent;
    for (int n = 1; n <= 9; ++n)
        recent.add(file(n));
    QStringList expected;
    for (int n = 9; n >= 2; --n)
        expected << file(n);
    EXPECT_EQ(recent.paths(), expected);

    // The same file named another way moves to the front rather than coming twice.
    const QString before = QDir::currentPath();
    QDir::setCurrent(installation.appDir());
    recent.add(QStringLiteral("data/../data/p5.pr3"));
    QDir::setCurrent(before);
    expected.removeAll(file(5));
    expected.prepend(file(5));
    EXPECT_EQ(recent.paths(), expected);

    // Kept between runs.
    recent.write();
    EXPECT_EQ(RecentProfiles::read().paths(), expected);
    rememberRecentProfile(file(1));
    EXPECT_EQ(RecentProfiles::read().paths().first(), file(1));
    EXPECT_EQ(RecentProfiles::read().paths().size(), 8);

    ASSERT_TRUE(QFile::remove(file(9)));
    ASSERT_TRUE(QFile::remove(file(4)));
    EXPECT_EQ(recent.dropMissing(), (QStringList{file(9), file(4)}));
    expected.removeAll(file(9));
    expected.removeAll(file(4));
    EXPECT_EQ(recent.paths(), expected);

    // A hand-edited list comes back in the same shape.
    QStringList edited{file(3), file(3), QString()};
    for (int n = 1; n <= 9; ++n)
        edited << QStringLiteral("/elsewhere/%1.pr3").arg(n);
    EXPECT_EQ(RecentProfiles(edited).paths(),
              (QStringList{file(3), "/elsewhere/1.pr3", "/elsewhere/2.pr3", "/elsewhere/3.pr3",
                           "/elsewhere/4.pr3", "/elsewhere/5.pr3", "/elsewhere/6.pr3",
                           "/elsewhere/7.pr3"}));
}
