#include "profile/ProfileFile.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace tarnwick;
using namespace Qt::StringLiterals;

namespace {

FuelProfile sampleProfile() {
    FuelProfile p;
    p.name = u"Ridge \u00E9t\u00E9 \u20AC"_s;
    p.notes = u"First line\nsecond, with a comma\n"_s;
    p.source0to3 = u"PNW-1/7-PP-12"_s;
    p.break1 = 0.25;
    p.break2 = 12.25;
    p.break3 = 0.00001;
    p.source3Plus = u"AK-5/5-WS-02"_s;
    p.value3Plus = 10;
    p.duffSource = u"PNW-1/7-PP-12"_s;
    p.fuelBedSource = QString();
    p.duffValue = u"N/A"_s;
    p.fuelBedValue = u"12.5"_s;
    p.herbValue = u"1"_s;
    p.herbSource = u"AK-5/5-WS-02"_s;
    p.woodyValue = u"0"_s;
    p.woodySource = QString();
    return p;
}

// Decimal commas wherever the program might take its number format from.
class CommaLocale {
public:
    CommaLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~CommaLocale() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

TEST(ProfileFile, NamesAreNormalisedAsTheSuiteExpects) {
    EXPECT_EQ(normalisedProfilePath(u"C:\\x\\a.PRO"_s), u"C:\\x\\a.pr3"_s);
    EXPECT_EQ(normalisedProfilePath(u"/x/a"_s), u"/x/a.pr3"_s);
    EXPECT_EQ(normalisedProfilePath(u"/x/a.pr3.bak"_s), u"/x/a.pr3.bak"_s);
    EXPECT_EQ(normalisedProfilePath(u"/x/A.PR3"_s), u"/x/A.PR3"_s);
    EXPECT_EQ(normalisedProfilePath(u"/x/a.pro.txt"_s), u"/x/a.pro.txt.pr3"_s);
}

TEST(ProfileFile, SixteenLinesInTheSuitesFormatWhateverTheLocale) {
    const CommaLocale commas;
    const EncodedProfile encoded = encodeProfile(sampleProfile());
    EXPECT_FALSE(encoded.quotesReplaced);
    EXPECT_TRUE(encoded.unrepresentable.isEmpty());
    EXPECT_EQ(encoded.bytes, QByteArray("\"Ridge \xE9t\xE9 \x80\"\r\n"
                                        "\"First line\r\nsecond, with a comma\r\n\"\r\n"
                                        "\"PNW-1/7-PP-12\"\r\n"
                                        "0.25\r\n12.25\r\n1E-05\r\n"
                                        "\"AK-5/5-WS-02\"\r\n10\r\n"
                                        "\"PNW-1/7-PP-12\"\r\n\"\"\r\n\"N/A\"\r\n\"12.5\"\r\n"
                                        "\"1\"\r\n\"AK-5/5-WS-02\"\r\n\"0\"\r\n\"\"\r\n"));
    // What is written reads back as it was, line breaks of the notes included.
    const ProfileRead read = parseProfile(encoded.bytes);
    ASSERT_TRUE(read.profile.has_value());
    EXPECT_EQ(*read.profile, sampleProfile());
}

TEST(ProfileFile, LineBreaksOfAnyKindSurviveEverySave) {
    // Whatever form a break came in (CR LF from a command line, LF, a lone CR), the file holds
    // CR LF once for each.
    FuelProfile given = sampleProfile();
    given.notes = u"a\r\nb\nc\rd"_s;
    EXPECT_TRUE(encodeProfile(given).bytes.contains("\r\n\"a\r\nb\r\nc\r\nd\"\r\n"));

    // Carriage returns before a line break, as a damaged or hand-edited file may hold them.
    const QByteArray file = "\"N\"\r\n\"a\r\r\r\nb\rc\nd\"\r\n\"\"\r\n0\r\n0\r\n0\r\n\"\"\r\n0\r\n"
                            "\"\"\r\n\"\"\r\n\"0\"\r\n\"0\"\r\n";
    const ProfileRead first = parseProfile(file);
    ASSERT_TRUE(first.profile.has_value());
    const QByteArray saved = encodeProfile(*first.profile).bytes;
    const ProfileRead again = parseProfile(saved);
    ASSERT_TRUE(again.profile.has_value());
    EXPECT_EQ(again.profile->notes, first.profile->notes);
    EXPECT_EQ(encodeProfile(*again.profile).bytes, saved);
}

TEST(ProfileFile, OlderFilesCutFilesAndFilesThatAreNoProfiles) {
    // An older profile: twelve fields, numbers possibly without their leading zero.
    const ProfileRead old =
        parseProfile("\"Old\"\r\n\"\"\r\n\"B/1\"\r\n.25\r\n1\r\n2\r\n\"\"\r\n3\r\n"
                     "\"B/2\"\r\n\"\"\r\n\"4.5\"\r\n\"0\"\r\n");
    ASSERT_TRUE(old.profile.has_value());
    EXPECT_EQ(old.profile->break1, 0.25);
    EXPECT_EQ(old.profile->duffValue, u"4.5"_s);
    EXPECT_EQ(old.profile->herbValue, u"0"_s);
    EXPECT_EQ(old.profile->herbSource, QString());
    EXPECT_EQ(old.profile->woodyValue, u"0"_s);

    // Cut inside the first twelve fields: nothing is taken.
    const ProfileRead cut = parseProfile("\"Cut\"\r\n\"\"\r\n\"B/1\"\r\n1\r\n2\r\n");
    EXPECT_FALSE(cut.profile.has_value());
    EXPECT_EQ(cut.error.number, 62);
    const ProfileRead words = parseProfile("\"N\"\r\n\"\"\r\n\"\"\r\nlots\r\n");
    EXPECT_FALSE(words.profile.has_value());
    EXPECT_EQ(words.error.number, 13);
    EXPECT_EQ(readProfileFile(u"/nonexistent/x.pr3"_s).error.number, 53);
}

TEST(ProfileFile, WhatTheFormatCannotHoldIsChangedVisiblyNeverLost) {
    FuelProfile quoting = sampleProfile();
    quoting.name = u"The \"big\" burn"_s;
    quoting.notes = u"Fir \u2192 pine"_s;
    const EncodedProfile encoded = encodeProfile(quoting);
    EXPECT_TRUE(encoded.quotesReplaced);
    EXPECT_EQ(encoded.unrepresentable, u"\u2192"_s);
    const ProfileRead read = parseProfile(encoded.bytes);
    ASSERT_TRUE(read.profile.has_value());
    EXPECT_EQ(read.profile->name, u"The ''big'' burn"_s);
    EXPECT_EQ(read.profile->notes, u"Fir ? pine"_s);
    EXPECT_EQ(read.profile->source0to3, u"PNW-1/7-PP-12"_s); // no field shifted

    // A file written over a folder that cannot take it leaves the old file whole.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"site.pr3"_s);
    ASSERT_FALSE(writeProfileFile(path, encoded.bytes).has_value());
    EXPECT_EQ(writeProfileFile(dir.filePath(u"gone/site.pr3"_s), encoded.bytes)->number, 76);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.pr3"_s));
    EXPECT_TRUE(writeProfileFile(dir.filePath(u"folder.pr3"_s), encoded.bytes)
                    ->advice.startsWith(dir.filePath(u"folder.pr3 is a folder"_s)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), encoded.bytes);
}

TEST(ProfileFile, WhatIsNoProfileIsRefusedWithTheFileNamed) {
    const QByteArray sixteen = encodeProfile(sampleProfile()).bytes;
    // The first fields of the file; the notes take three lines.
    const auto fields = [&sixteen](int count) {
        return sixteen.split('\n').mid(0, count + 2).join('\n') + '\n';
    };
    const auto refused = [](const QByteArray& bytes, int number, const char* what,
                            ProfileGeneration generation = ProfileGeneration::Current) {
        const ProfileRead read = parseProfile(bytes, generation);
        EXPECT_FALSE(read.profile.has_value()) << what;
        EXPECT_EQ(read.error.number, number) << what;
    };
    ASSERT_TRUE(parseProfile(fields(12)).profile.has_value()); // cut after the twelfth field
    // A decimal comma splits a number in two and shifts every later field.
    QByteArray comma = sixteen;
    comma.replace("\r\n10\r\n", "\r\n39,5\r\n");
    refused(comma, 13, "decimal comma");
    QByteArray notFinite = sixteen;
    refused(notFinite.replace("0.25", "nan"), 13, "nan");
    refused(fields(13), 62, "thirteen fields");
    refused(fields(15), 62, "fifteen fields");
    refused(sixteen + "\"\"\r\n", 13, "seventeen fields");
    refused(sixteen, 13, "a .pro of sixteen fields", ProfileGeneration::Older);

    QTemporaryDir dir;
    const auto refusedFile = [](const QString& path, int number, const QString& cause) {
        const ProfileRead read = readProfileFile(path);
        EXPECT_FALSE(read.profile.has_value()) << path.toStdString();
        EXPECT_EQ(read.error.number, number) << path.toStdString();
        EXPECT_TRUE(read.error.advice.startsWith(path + u' ' + cause))
            << read.error.advice.toStdString();
    };
    refusedFile(dir.filePath(u"never.pr3"_s), 53, u"does not exist"_s);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.pr3"_s));
    refusedFile(dir.filePath(u"folder.pr3"_s), 75, u"is a folder, not a profile file"_s);
    // Neither a device without end nor a pipe without writer is waited for.
    ASSERT_TRUE(QFile::link(u"/dev/zero"_s, dir.filePath(u"zero.pr3"_s)));
    refusedFile(dir.filePath(u"zero.pr3"_s), 75, u"is not a file but a device or pipe"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.pr3"_s)).constData(), 0600), 0);
    refusedFile(dir.filePath(u"pipe.pr3"_s), 75, u"is not a file but a device or pipe"_s);
    QFile huge(dir.filePath(u"huge.pr3"_s));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.write(sixteen) == sixteen.size() && huge.resize(2 * 1024 * 1024));
    huge.close();
    refusedFile(huge.fileName(), 7, u"holds 2097152 bytes"_s);
    QFile cut(dir.filePath(u"cut.pr3"_s));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly) && cut.write(fields(4)) > 0);
    cut.close();
    refusedFile(cut.fileName(), 62, u"ends within the first twelve fields"_s);
}
