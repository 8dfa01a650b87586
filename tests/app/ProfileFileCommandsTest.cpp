#include "app/commands/ProfileFileCommands.h"

#include "app/AppState.h"
#include "profile/ProfileFile.h"
#include "profile/RecentProfiles.h"
#include "support/ScriptedDialogs.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>

using namespace tarnwick;
using namespace tarnwick::commands;
using namespace Qt::StringLiterals;

namespace {

class ProfileFileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(installation.paths().dataDir());
        state.profileFileName = u"Untitled"_s;
        state.fuelProfile.name = u"Ridge"_s;
        state.fuelProfile.herbValue = u"1.5"_s;
        state.profileChanged = true;
        hooks.hideAssistant = [this] { events << u"hide"_s; };
        hooks.showAssistant = [this] { events << u"show"_s; };
        hooks.showProfile = [this] { events << u"profile"_s; };
        hooks.fileUsed = rememberRecentProfile;
    }

    QString data(const QString& name) const { return installation.paths().dataDir() + u'/' + name; }
    QByteArray fileList() const {
        QFile list(installation.paths().file(u"CBLFileList3.txt"_s));
        return list.open(QIODevice::ReadOnly) ? list.readAll() : QByteArray();
    }
    void writeOld(const QString& path, const char* name) {
        FuelProfile old;
        old.name = QString::fromLatin1(name);
        ASSERT_FALSE(writeProfileFile(path, encodeProfile(old).bytes));
    }

    test::TestInstallation installation;
    AppState state{installation.paths()};
    test::ScriptedDialogs dialogs;
    ProfileFileHooks hooks;
    QStringList events;
};

} // namespace

TEST_F(ProfileFileCommandsTest, SaveAsAsksOnceAboutTheFileThatWillBeWritten) {
    writeOld(data(u"site.pr3"_s), "Old");
    // Typed without its extension: the question is about site.pr3, and No writes nothing.
    dialogs.fileNext(data(u"site"_s));
    dialogs.answerNext(Answer::No);
    saveProfileAsCommand(state, dialogs, hooks);
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].title, u"Save Profile as ..."_s);
    EXPECT_EQ(dialogs.shown()[0].directory, data(u"Ridge.pr3"_s)); // the profile's name proposed
    EXPECT_EQ(dialogs.shown()[1].kind, u"warningQuestion"_s);
    EXPECT_EQ(dialogs.shown()[1].text,
              data(u"site.pr3"_s) + u" exists. Do you wish to replace it?"_s);
    EXPECT_EQ(readProfileFile(data(u"site.pr3"_s)).profile->name, u"Old"_s);
    EXPECT_TRUE(state.profileChanged);
    EXPECT_EQ(state.profileFileName, u"Untitled"_s);
    EXPECT_EQ(events, (QStringList{u"hide"_s, u"show"_s}));

    dialogs.fileNext(data(u"site"_s));
    dialogs.answerNext(Answer::Yes);
    saveProfileAsCommand(state, dialogs, hooks);
    EXPECT_EQ(readProfileFile(data(u"site.pr3"_s)).profile->name, u"Ridge"_s);
    EXPECT_FALSE(state.profileChanged);
    EXPECT_EQ(state.profileFileName, data(u"site.pr3"_s));
    EXPECT_TRUE(fileList().contains(("\"pr3\",\"" + data(u"site.pr3"_s) + "\"").toUtf8()));

    // Save writes the profile's own file again without a question.
    state.fuelProfile.name = u"Ridge 2"_s;
    saveProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(readProfileFile(data(u"site.pr3"_s)).profile->name, u"Ridge 2"_s);
    EXPECT_EQ(dialogs.shown().size(), 4u);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ProfileFileCommandsTest, AFailedSaveIsSaidAndCountsAsNotSaved) {
    const QString nowhere = installation.appDir() + u"/no such folder/site"_s;
    EXPECT_FALSE(saveProfile(state, nowhere, dialogs, hooks).has_value());
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.shown()[0].text.startsWith(u"Error while saving file: "_s + nowhere +
                                                   u".pr3\nError: 76 Path not found"_s))
        << dialogs.shown()[0].text.toStdString();
    EXPECT_TRUE(state.profileChanged);
    EXPECT_EQ(state.profileFileName, u"Untitled"_s);
    EXPECT_TRUE(fileList().isEmpty());
}

TEST_F(ProfileFileCommandsTest, LoadingTakesTheFileAndAnUnreadableFileChangesNothing) {
    QFile old(data(u"old.pro"_s));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("\"Old "
              "site\"\r\n\"n\"\r\n\"\"\r\n1\r\n2\r\n3\r\n\"\"\r\n4\r\n\"\"\r\n\"\"\r\n\"1."
              "0\"\r\n\"0\"\r\n");
    old.close();
    int printEnabled = 0;
    hooks.enableProfilePrint = [&] { ++printEnabled; };

    // The changed profile is asked about first; No goes on to the file.
    dialogs.answerNext(Answer::No);
    dialogs.fileNext(data(u"old.pro"_s));
    loadProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(dialogs.shown()[1].title, u"Load Profile"_s);
    EXPECT_EQ(state.fuelProfile.name, u"Old site"_s);
    EXPECT_EQ(state.fuelProfile.herbValue, u"0"_s); // an older file has no herb
    EXPECT_EQ(state.profileFileName, data(u"old.pro"_s));
    EXPECT_TRUE(state.profileChanged); // a load leaves the flag as it was
    EXPECT_EQ(printEnabled, 1);

    // Saving it writes the new generation beside the old file.
    saveProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(state.profileFileName, data(u"old.pr3"_s));
    EXPECT_TRUE(QFile::exists(data(u"old.pro"_s)));

    QFile cut(data(u"cut.pr3"_s));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("\"Cut\"\r\n\"\"\r\n");
    cut.close();
    const FuelProfile before = state.fuelProfile;
    dialogs.fileNext(data(u"cut.pr3"_s));
    loadProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(state.fuelProfile, before);
    EXPECT_EQ(state.profileFileName, data(u"old.pr3"_s));
    EXPECT_EQ(dialogs.shown().back().text,
              u"Error while opening file: \nError: 62 Input past end of file\n"_s +
                  data(u"cut.pr3"_s) +
                  u" ends within the first twelve fields of a fuel profile: it is not a "
                  "complete profile. Choose another file."_s);
    EXPECT_EQ(printEnabled, 1);
}

TEST_F(ProfileFileCommandsTest, TheExitPromptSavesOrCancelsTheExit) {
    state.profileChanged = false;
    EXPECT_TRUE(saveChangedProfile(state, dialogs, hooks));
    EXPECT_TRUE(dialogs.shown().empty());

    state.profileChanged = true;
    dialogs.answerNext(Answer::No);
    EXPECT_TRUE(saveChangedProfile(state, dialogs, hooks));
    EXPECT_EQ(dialogs.shown().back().text, u"Save Changes to Fuel Profile?"_s);

    // Yes, then the save dialog cancelled: the run goes on, nothing is lost.
    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(QString());
    EXPECT_FALSE(saveChangedProfile(state, dialogs, hooks));

    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(data(u"exit"_s));
    EXPECT_TRUE(saveChangedProfile(state, dialogs, hooks));
    EXPECT_EQ(readProfileFile(data(u"exit.pr3"_s)).profile->herbValue, u"1.5"_s);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ProfileFileCommandsTest, NewAndLoadOfferToSaveAChangedProfileAndACancelledSaveKeepsIt) {
    writeOld(data(u"other.pr3"_s), "Other");
    const auto asked = [this](size_t index) {
        return dialogs.shown().size() > index ? dialogs.shown()[index].text : QString();
    };
    // Yes, then a cancelled save dialog: neither New nor Load goes on.
    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(QString());
    newProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(asked(0), u"Save Changes to Fuel Profile?"_s);
    EXPECT_EQ(state.fuelProfile.name, u"Ridge"_s);
    EXPECT_TRUE(state.profileChanged);
    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(QString());
    loadProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(dialogs.shown().size(), 4u) << "the open dialog came after a cancelled save";
    EXPECT_EQ(state.fuelProfile.name, u"Ridge"_s);

    // Yes and a name: saved first, then loaded.
    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(data(u"ridge"_s));
    dialogs.fileNext(data(u"other.pr3"_s));
    loadProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(readProfileFile(data(u"ridge.pr3"_s)).profile->herbValue, u"1.5"_s);
    EXPECT_EQ(state.fuelProfile.name, u"Other"_s);
    EXPECT_EQ(state.profileFileName, data(u"other.pr3"_s));

    // No discards: New starts afresh without saving.
    state.fuelProfile.name = u"Changed"_s;
    state.profileChanged = true;
    dialogs.answerNext(Answer::No);
    newProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(state.fuelProfile.name, u"Untitled"_s);
    EXPECT_EQ(state.profileFileName, u"Untitled"_s);
    EXPECT_EQ(readProfileFile(data(u"other.pr3"_s)).profile->name, u"Other"_s);

    // An unchanged profile is not asked about.
    const size_t before = dialogs.shown().size();
    newProfileCommand(state, dialogs, hooks);
    EXPECT_EQ(dialogs.shown().size(), before);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ProfileFileCommandsTest, AProfileGivenFromOutsideAsksAboutTheChangedOneFirst) {
    writeOld(data(u"handed.pr3"_s), "Handed");
    int printEnabled = 0;
    hooks.enableProfilePrint = [&] { ++printEnabled; };

    // No: the changes go, the file is loaded as Load loads it.
    dialogs.answerNext(Answer::No);
    openGivenProfileCommand(state, data(u"handed.pr3"_s), dialogs, hooks);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, u"Save Changes to Fuel Profile?"_s);
    EXPECT_EQ(state.fuelProfile.name, u"Handed"_s);
    EXPECT_EQ(state.profileFileName, data(u"handed.pr3"_s));
    EXPECT_EQ(printEnabled, 1);

    // Yes: saved first, under a name proposed from the profile's, then loaded.
    state.fuelProfile.name = u"North/South: ridge"_s;
    state.profileFileName = u"Untitled"_s;
    state.profileChanged = true;
    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(data(u"kept"_s));
    openGivenProfileCommand(state, data(u"handed.pr3"_s), dialogs, hooks);
    EXPECT_EQ(dialogs.shown()[2].directory, data(u"North-South- ridge.pr3"_s));
    EXPECT_EQ(readProfileFile(data(u"kept.pr3"_s)).profile->name, u"North/South: ridge"_s);
    EXPECT_EQ(state.fuelProfile.name, u"Handed"_s);
    EXPECT_EQ(printEnabled, 2);

    // Yes and the save dialog cancelled: the changed profile stays.
    state.fuelProfile.name = u"Changed"_s;
    state.profileFileName = u"Untitled"_s;
    state.profileChanged = true;
    dialogs.answerNext(Answer::Yes);
    dialogs.fileNext(QString());
    openGivenProfileCommand(state, data(u"handed.pr3"_s), dialogs, hooks);
    EXPECT_EQ(state.fuelProfile.name, u"Changed"_s);

    // "#NEW#" is asked about the same way.
    dialogs.answerNext(Answer::No);
    openGivenProfileCommand(state, u"#NEW#"_s, dialogs, hooks);
    EXPECT_EQ(state.fuelProfile.name, u"Untitled"_s);
    EXPECT_TRUE(dialogs.allAnswersUsed());

    // What was loaded and saved is in Recent Profiles, the latest first; a file gone is taken
    // off it and said so.
    EXPECT_EQ(RecentProfiles::read().paths(),
              (QStringList{data(u"handed.pr3"_s), data(u"kept.pr3"_s)}));
    ASSERT_TRUE(QFile::remove(data(u"kept.pr3"_s)));
    EXPECT_EQ(recentProfilesCommand(state), QStringList{data(u"handed.pr3"_s)});
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).contains(data(u"kept.pr3"_s)));
    ASSERT_TRUE(QFile::remove(data(u"handed.pr3"_s)));
    state.statusLine.statusMessage(StatusKind::Clear, QString());
    EXPECT_TRUE(forgetMissingRecentProfile(state, data(u"handed.pr3"_s)));
    EXPECT_TRUE(state.statusLine.panelText(StatusLine::Message).contains(data(u"handed.pr3"_s)));
    EXPECT_TRUE(RecentProfiles::read().paths().isEmpty());
}
