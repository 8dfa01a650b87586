#include "support/BuiltProgram.h"
#include "Version.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

struct Finished {
    int exitCode = -1;
    QString output;
    QString errors;
};

Finished run(const QString& program, const QStringList& arguments,
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Finished result;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.errors = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

// The value of each key of a desktop entry's main group.
QMap<QString, QString> desktopEntry(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    return values;
}

// Installs the desktop entry and the metainfo alone, as for PREFIX, under DESTDIR when given.
Finished installDesktopFiles(const QString& prefix, const QString& destDir = {}) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"DESTDIR"_s);
    if (!destDir.isEmpty())
        environment.insert(u"DESTDIR"_s, destDir);
    return run(u"cmake"_s,
               {u"--install"_s, QStringLiteral(TARNWICK_BINARY_DIR), u"--prefix"_s, prefix,
                u"--component"_s, u"desktop"_s},
               environment);
}

Finished validateDesktopEntry(const QString& path) {
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    if (validator.isEmpty())
        return {-1, {}, u"desktop-file-validate is missing: ./dev installs it"_s};
    return run(validator, {path});
}

} // namespace

TEST(Installation, InstalledUnderAPrefixTheProgramsFindTheirFilesAndGiveEachUserAFolder) {
    QTemporaryDir root;
    const QString prefix = root.filePath(u"opt/tarnwick"_s);
    const Finished install = run(
        u"cmake"_s, {u"--install"_s, QStringLiteral(TARNWICK_BINARY_DIR), u"--prefix"_s, prefix});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString() << install.errors.toStdString();

    // What the desktop looks for: the entry, the file type of profiles, the icon in each size.
    // A menu finds neither the program nor the icon of /opt/tarnwick by name alone.
    const QString entryPath = prefix + u"/share/applications/tarnwick.desktop"_s;
    const QMap<QString, QString> entry = desktopEntry(entryPath);
    EXPECT_EQ(entry.value(u"Exec"_s), prefix + u"/bin/tarnwick %f"_s);
    EXPECT_EQ(entry.value(u"TryExec"_s), prefix + u"/bin/tarnwick"_s);
    EXPECT_TRUE(QFileInfo(prefix + u"/bin/tarnwick"_s).isExecutable());
    EXPECT_EQ(entry.value(u"Icon"_s),
              prefix + u"/share/icons/hicolor/scalable/apps/tarnwick.svg"_s);
    EXPECT_TRUE(QFileInfo::exists(entry.value(u"Icon"_s)));
    EXPECT_EQ(entry.value(u"MimeType"_s), u"application/x-tarnwick-profile;"_s);
    QFile mime(prefix + u"/share/mime/packages/tarnwick.xml"_s);
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    const QByteArray types = mime.readAll();
    EXPECT_TRUE(types.contains("application/x-tarnwick-profile") && types.contains("*.pr3"));
    EXPECT_TRUE(QFileInfo::exists(prefix + u"/share/icons/hicolor/scalable/apps/tarnwick.svg"_s));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString png = prefix + u"/share/icons/hicolor/%1x%1/apps/tarnwick.png"_s.arg(size);
        EXPECT_EQ(QImageReader(png).size(), QSize(size, size)) << png.toStdString();
    }
    // Without so much as a hint from the desktop's own checker.
    const Finished validation = validateDesktopEntry(entryPath);
    EXPECT_EQ(validation.exitCode, 0) << validation.errors.toStdString();
    EXPECT_EQ(validation.output.trimmed(), QString());

    // The installed program, moved elsewhere with its prefix, still finds everything.
    const QString moved = root.filePath(u"elsewhere"_s);
    ASSERT_TRUE(QDir().rename(prefix, moved));
    const QString bin = moved + u"/bin/"_s;
    const Finished version = run(bin + u"tarnwick"_s, {u"--version"_s});
    EXPECT_EQ(version.output, u"Tarnwick %1.%2.%3\n"_s.arg(tarnwick::version::major)
                                  .arg(tarnwick::version::minor)
                                  .arg(tarnwick::version::revision));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(u"TARNWICK_HOME"_s);
    environment.insert(u"XDG_DATA_HOME"_s, root.filePath(u"home/data"_s));
    environment.insert(u"XDG_CONFIG_HOME"_s, root.filePath(u"home/config"_s));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"TARNWICK_NONINTERACTIVE"_s, u"1"_s);
    environment.insert(u"TARNWICK_EXIT_AFTER_STARTUP"_s, u"1"_s);
    const Finished started = run(bin + u"tarnwick"_s, {}, environment);
    EXPECT_EQ(started.exitCode, 0) << started.errors.toStdString();
    EXPECT_TRUE(started.errors.contains(u"startup-ms:"_s)) << started.errors.toStdString();
    const QString userFolder = root.filePath(u"home/data/Tarnwick"_s);
    EXPECT_TRUE(QFileInfo::exists(userFolder + u"/Photo3.db"_s));
    EXPECT_TRUE(QFileInfo::exists(userFolder + u"/VegCodes.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(userFolder + u"/PhotoImages"_s));
    // The installed tree was only read.
    EXPECT_FALSE(QFileInfo::exists(moved + u"/share/tarnwick/catalogue/tmp_ddwrpt.rtf"_s));
    const Finished list = run(bin + u"tarnwick-cli"_s, {u"list"_s}, environment);
    EXPECT_EQ(list.exitCode, 0) << list.errors.toStdString();
    EXPECT_GT(list.output.count(u'\n'), 100);
}

TEST(Installation, TheMenuStartsTheProgramByNameOnlyWhereThePathFindsIt) {
    QTemporaryDir root;
    // A distribution's prefixes, installed as a package is built: under a staging folder.
    for (const QString& prefix : {u"/usr"_s, u"/usr/local"_s}) {
        const QString staging = root.filePath(u"staging"_s + prefix);
        const Finished install = installDesktopFiles(prefix, staging);
        ASSERT_EQ(install.exitCode, 0) << install.errors.toStdString();
        const QString entryPath = staging + prefix + u"/share/applications/tarnwick.desktop"_s;
        const QMap<QString, QString> entry = desktopEntry(entryPath);
        EXPECT_EQ(entry.value(u"Exec"_s), u"tarnwick %f"_s) << prefix.toStdString();
        EXPECT_EQ(entry.value(u"TryExec"_s), u"tarnwick"_s) << prefix.toStdString();
        EXPECT_EQ(entry.value(u"Icon"_s), u"tarnwick"_s) << prefix.toStdString();
    }
    // A user's own prefix, here with a space in its path: Exec quotes the program.
    const QString home = root.filePath(u"home/planner one/.local"_s);
    ASSERT_EQ(installDesktopFiles(home).exitCode, 0);
    const QString entryPath = home + u"/share/applications/tarnwick.desktop"_s;
    const QMap<QString, QString> entry = desktopEntry(entryPath);
    EXPECT_EQ(entry.value(u"Exec"_s), u"\"%1/bin/tarnwick\" %f"_s.arg(home));
    EXPECT_EQ(entry.value(u"TryExec"_s), home + u"/bin/tarnwick"_s);
    EXPECT_EQ(entry.value(u"Icon"_s), home + u"/share/icons/hicolor/scalable/apps/tarnwick.svg"_s);
    const Finished validation = validateDesktopEntry(entryPath);
    EXPECT_EQ(validation.exitCode, 0) << validation.errors.toStdString();
    EXPECT_EQ(validation.output.trimmed(), QString());
}

TEST(Installation, SoftwareCentresAcceptTheMetainfo) {
    const QString validator = QStandardPaths::findExecutable(u"appstreamcli"_s);
    if (validator.isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed (Debian's appstream)";
    QTemporaryDir staging;
    ASSERT_EQ(installDesktopFiles(u"/usr"_s, staging.path()).exitCode, 0);
    const QString share = staging.filePath(u"usr/share"_s);
    const QString metainfo = share + u"/metainfo/org.tarnwick.Tarnwick.metainfo.xml"_s;
    const Finished validation = run(validator, {u"validate"_s, u"--no-net"_s, metainfo});
    EXPECT_EQ(validation.exitCode, 0) << validation.output.toStdString();
    // Not even a warning or a hint; pedantic remarks aside.
    for (const QString& line : validation.output.split(u'\n'))
        EXPECT_FALSE(line.startsWith(u"W:"_s) || line.startsWith(u"I:"_s)) << line.toStdString();

    // The centre starts the program through the desktop entry the metainfo names, and shows a
    // screenshot the manual holds.
    QFile file(metainfo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpression launchable(u"<launchable type=\"desktop-id\">([^<]+)</launchable>"_s);
    const QString desktopId = launchable.match(text).captured(1);
    EXPECT_TRUE(QFileInfo(share + u"/applications/"_s + desktopId).isFile())
        << desktopId.toStdString();
    const QString screenshot =
        QRegularExpression(u"<image>[^<]*/([^/<]+)</image>"_s).match(text).captured(1);
    EXPECT_TRUE(
        QFileInfo(QStringLiteral(TARNWICK_BINARY_DIR "/help/images/") + screenshot).isFile())
        << screenshot.toStdString();
}
