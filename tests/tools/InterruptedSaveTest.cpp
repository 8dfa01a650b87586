#include "catalogue/CommaDelimitedInput.h"
#include "profile/ProfileFile.h"
#include "support/BuiltProgram.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

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
