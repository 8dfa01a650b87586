#include "profile/ProfileFile.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"
#include "text/CommaDelimitedInput.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using namespace tarnwick;
using namespace Qt::StringLiterals;

TEST(InterruptedSave, APreviousProfileAndTheFileListAlwaysReadBackWhole) {
    test::TestInstallation installation;
    {
        test::TestCatalogue catalogue(installation.cataloguePath());
        catalogue.addBook(u"B1"_s);
        catalogue.addPhoto(1, u"B1"_s, u"P1"_s,
                           {{u"DataPic"_s, u"d.jpg"_s}, {u"HerbTonsPerAcre"_s, 0.5}});
    }
    QDir().mkpath(installation.paths().dataDir());
    const QString site = installation.paths().dataDir() + u"/site.pr3"_s;
    const auto save = [&](const QString& name) {
        auto* process = new QProcess;
        process->setProcessEnvironment(test::installationEnvironment(installation));
        process->start(QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick-cli"),
                       {u"profile"_s, u"build"_s, u"--name"_s, name, u"--notes"_s,
                        QString(4000, u'n'), u"--take"_s, u"herb=1"_s, u"--out"_s, site,
                        u"--app-dir"_s, installation.appDir()});
        return process;
    };
    {
        QProcess* first = save(u"v0"_s);
        ASSERT_TRUE(first->waitForFinished(30000));
        ASSERT_EQ(first->exitCode(), 0) << first->readAllStandardError().toStdString();
        delete first;
    }

    QStringList written{u"v0"_s};
    for (int run = 1; run <= 20; ++run) {
        const QString name = u"v%1"_s.arg(run);
        QProcess* process = save(name);
        ASSERT_TRUE(process->waitForStarted());
        // Killed at any point: before, while or after it writes.
        QThread::msleep(QRandomGenerator::global()->bounded(250));
        process->kill();
        process->waitForFinished();
        delete process;
        written << name;

        const ProfileRead read = readProfileFile(site);
        ASSERT_TRUE(read.profile.has_value()) << "run " << run;
        EXPECT_TRUE(written.contains(read.profile->name)) << read.profile->name.toStdString();
        EXPECT_EQ(read.profile->notes, QString(4000, u'n'));
        QFile list(installation.paths().file(u"CBLFileList3.txt"_s));
        ASSERT_TRUE(list.open(QIODevice::ReadOnly)) << "run " << run;
        CommaDelimitedInput records(QString::fromLatin1(list.readAll()));
        QStringList fields;
        while (const std::optional<QString> field = records.readField())
            fields << *field;
        ASSERT_EQ(fields.size(), 3) << fields.join(u'|').toStdString();
        EXPECT_EQ(fields[1], site);
    }
}

TEST(InterruptedSave, AProfileIsReplacedWholeOrNotAtAll) {
    test::TestInstallation installation;
    test::writeSmallCatalogue(installation.cataloguePath(), 1);
    const QString data = installation.paths().dataDir();
    QDir().mkpath(data);
    const QString site = data + u"/site.pr3"_s;
    const QString kept = data + u"/kept"_s;
    FuelProfile old;
    old.name = u"old"_s;
    const QByteArray oldBytes = encodeProfile(old).bytes;
    ASSERT_FALSE(writeProfileFile(site, oldBytes).has_value());
    // The old file's bytes stay reachable through a second name: a save that truncated and
    // rewrote the file in place would change them too.
    ASSERT_EQ(::link(QFile::encodeName(site).constData(), QFile::encodeName(kept).constData()), 0);

    const auto save = [&](const QString& name, bool limited) {
        QProcess process;
        process.setProcessEnvironment(test::installationEnvironment(installation));
        if (limited)
            process.setChildProcessModifier([] {
                // Files may grow to 1 KiB, less than the profile: the write fails part way
                // (the signal is ignored so the write reports it rather than ending the run).
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{1024, 1024};
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    ::_exit(126);
            });
        process.start(QStringLiteral(TARNWICK_BINARY_DIR "/tarnwick-cli"),
                      {u"profile"_s, u"build"_s, u"--name"_s, name, u"--notes"_s,
                       QString(4000, u'n'), u"--out"_s, site, u"--app-dir"_s,
                       installation.appDir()});
        EXPECT_TRUE(process.waitForFinished(30000));
        return std::pair{process.exitCode(),
                         QString::fromLocal8Bit(process.readAllStandardError())};
    };

    const auto [failedExit, failedErrors] = save(u"cut short"_s, true);
    EXPECT_EQ(failedExit, 1);
    EXPECT_TRUE(failedErrors.contains(u"Error while saving file: "_s + site))
        << failedErrors.toStdString();
    EXPECT_EQ(test::fileContents(site), oldBytes);
    EXPECT_EQ(QDir(data).entryList(QDir::Files | QDir::Hidden | QDir::System),
              (QStringList{u"kept"_s, u"site.pr3"_s})); // no temporary file left behind

    const auto [savedExit, savedErrors] = save(u"new"_s, false);
    ASSERT_EQ(savedExit, 0) << savedErrors.toStdString();
    EXPECT_EQ(readProfileFile(site).profile->name, u"new"_s);
    EXPECT_EQ(test::fileContents(kept), oldBytes);
}
