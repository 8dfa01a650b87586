#include "support/BuiltProgram.h"
#include "Version.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
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

} // namespace

TEST(Installation, InstalledUnderAPrefixTheProgramsFindTheirFilesAndGiveEachUserAFolder) {
    QTemporaryDir root;
    const QString prefix = root.filePath(u"opt/tarnwick"_s);
    const Finished install = run(
        u"cmake"_s, {u"--install"_s, QStringLiteral(TARNWICK_BINARY_DIR), u"--prefix"_s, prefix});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString() << install.errors.toStdString();

    // What the desktop looks for: the entry, the file type of profiles, the icon in each size.
    QFile entryFile(prefix + u"/share/applications/tarnwick.desktop"_s);
    ASSERT_TRUE(entryFile.open(QIODevice::ReadOnly));
    const QStringList entry = QString::fromUtf8(entryFile.readAll()).split(u'\n');
    EXPECT_TRUE(entry.contains(u"Exec=tarnwick %f"_s));
    EXPECT_TRUE(entry.contains(u"Icon=tarnwick"_s));
    EXPECT_TRUE(entry.contains(u"MimeType=application/x-tarnwick-profile;"_s));
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
    const QString validator = QStandardPaths::findExecutable(u"desktop-file-validate"_s);
    ASSERT_FALSE(validator.isEmpty()) << "desktop-file-validate is missing: ./dev installs it";
    const Finished validation =
        run(validator, {prefix + u"/share/applications/tarnwick.desktop"_s});
    EXPECT_EQ(validation.exitCode, 0) << validation.output.toStdString();
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
