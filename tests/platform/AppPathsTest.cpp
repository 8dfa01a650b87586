#include "platform/AppPaths.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

void write(const QString& path, const QByteArray& content = "x") {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(AppPaths, AnInstalledProgramWorksInAFolderOfTheUsersLaidOutFromTheInstalledCatalogue) {
    QTemporaryDir root;
    const QString prefix = root.filePath(u"usr"_s);
    const QString bin = prefix + u"/bin"_s;
    const QString shared = prefix + u"/share/tarnwick"_s;
    const QString installed = shared + u"/catalogue"_s;
    QDir().mkpath(bin);
    write(shared + u"/help/index.html"_s);
    write(installed + u"/Photo3.db"_s, "catalogue");
    for (const QString& name : codeListFileNames())
        write(installed + u'/' + name, name.toUtf8());
    write(installed + u"/PhotoImages/AK-5/1.jpg"_s);
    const QString userData = root.filePath(u"home/.local/share"_s);

    const AppPaths paths = AppPaths::locate({bin, {}, {}, userData});
    EXPECT_EQ(paths.applicationDir(), userData + u"/Tarnwick"_s);
    EXPECT_EQ(paths.programDataDir(), shared);
    EXPECT_EQ(paths.installedCatalogueDir(), installed);
    // The images stay where they were installed.
    EXPECT_EQ(paths.photoImagesDir(), QDir::toNativeSeparators(installed + u"/PhotoImages"_s));

    // First start: catalogue, code lists and "data" are laid out; the images are not copied.
    EXPECT_EQ(layOutApplicationDir(paths), QString());
    EXPECT_EQ(read(paths.cataloguePath()), "catalogue");
    for (const QString& name : codeListFileNames())
        EXPECT_EQ(read(paths.file(name)), name.toUtf8());
    EXPECT_TRUE(QFileInfo(paths.dataDir()).isDir());
    EXPECT_FALSE(QFileInfo::exists(paths.file(u"PhotoImages"_s)));
    EXPECT_TRUE(QFileInfo(paths.cataloguePath()).isWritable());
    // Later starts keep what the user's catalogue has become.
    write(paths.cataloguePath(), "normalised");
    EXPECT_EQ(layOutApplicationDir(paths), QString());
    EXPECT_EQ(read(paths.cataloguePath()), "normalised");
    // A folder with images of its own uses them.
    QDir().mkpath(paths.file(u"PhotoImages"_s));
    EXPECT_EQ(paths.photoImagesDir(), paths.file(u"PhotoImages"_s));

    // A shared folder named in the settings, and TARNWICK_HOME above all.
    EXPECT_EQ(AppPaths::locate({bin, {}, root.filePath(u"srv"_s), userData}).applicationDir(),
              root.filePath(u"srv"_s));
    EXPECT_EQ(AppPaths::locate({bin, root.filePath(u"mine"_s), root.filePath(u"srv"_s), userData})
                  .applicationDir(),
              root.filePath(u"mine"_s));

    // A folder that cannot be made is named in the message.
    write(root.filePath(u"blocked"_s));
    const AppPaths blocked = AppPaths::locate({bin, {}, root.filePath(u"blocked/sub"_s), userData});
    const QString problem = layOutApplicationDir(blocked);
    EXPECT_TRUE(problem.contains(QDir::toNativeSeparators(root.filePath(u"blocked/sub"_s))))
        << qPrintable(problem);
    EXPECT_TRUE(problem.contains(u"TARNWICK_HOME"_s));
}

TEST(AppPaths, ASelfContainedFolderOrABuildFolderIsItsOwnInstallation) {
    QTemporaryDir root;
    // The catalogue beside the executable: that folder, even under a prefix.
    const QString bin = root.filePath(u"usr/bin"_s);
    write(root.filePath(u"usr/share/tarnwick/help/index.html"_s));
    write(bin + u"/Photo3.db"_s);
    AppPaths paths = AppPaths::locate({bin, {}, {}, root.filePath(u"data"_s)});
    EXPECT_EQ(paths.applicationDir(), bin);
    EXPECT_EQ(paths.photoImagesDir(), QDir::toNativeSeparators(bin + u"/PhotoImages"_s));
    EXPECT_EQ(layOutApplicationDir(paths), QString());

    // A build folder: the manual beside the executable, the installation wherever
    // TARNWICK_HOME points.
    const QString build = root.filePath(u"build"_s);
    write(build + u"/help/index.html"_s);
    paths = AppPaths::locate({build, root.filePath(u"demo"_s), {}, root.filePath(u"data"_s)});
    EXPECT_EQ(paths.applicationDir(), root.filePath(u"demo"_s));
    EXPECT_EQ(paths.programDataDir(), build);
    EXPECT_EQ(paths.installedCatalogueDir(), QString());
    EXPECT_EQ(paths.photoImagesDir(),
              QDir::toNativeSeparators(root.filePath(u"demo/PhotoImages"_s)));
}
