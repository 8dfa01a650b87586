#include "query/CodeList.h"

#include <gtest/gtest.h>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

using namespace tarnwick;

namespace {

QString writeLatin1(const QTemporaryDir& dir, const QString& name, const QString& text) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toLatin1());
    return path;
}

} // namespace

TEST(CodeList, FindsTheFirstMatchingRecordLikeASearchFromTheTop) {
    QTemporaryDir dir;
    const QString path = writeLatin1(dir, QStringLiteral("VegCodes.txt"),
                                     QStringLiteral("\"AB1\",\"Dry grass, short\"\r\n"
                                                    "\r\n"
                                                    "   CD2,  Brush\r\n"
                                                    "\"ab1\",\"Second record\"\r\n"
                                                    "\" EF3\",\"Quoted blank\"\r\n"
                                                    "\"PJ\",\"Pi\u00F1on-juniper\"\r\n"
                                                    "\"GH4\",\r\n"
                                                    "\t\"IJ5\"junk,\"Quote, then junk\"\n"
                                                    "\"A\",\"B\",\"C\"\r\n"
                                                    "\"D\",\"E\"\r\n"));
    const CodeList list = CodeList::read(path);

    // Case, leading blanks of the file code and blanks around the catalogue code are ignored;
    // the row shows the file's spelling.
    EXPECT_EQ(list.rowFor(QStringLiteral("ab1 ")), QStringLiteral("AB1-Dry grass, short"));
    EXPECT_EQ(list.rowFor(QStringLiteral("  cd2")), QStringLiteral("CD2-Brush"));
    EXPECT_EQ(list.rowFor(QStringLiteral("ef3")), QStringLiteral(" EF3-Quoted blank"));
    EXPECT_EQ(list.rowFor(QStringLiteral("pj")), QStringLiteral("PJ-Pi\u00F1on-juniper"));
    EXPECT_EQ(list.rowFor(QStringLiteral("GH4")), QStringLiteral("GH4-"));
    EXPECT_EQ(list.rowFor(QStringLiteral("IJ5")), QStringLiteral("IJ5-Quote, then junk"));
    // Fields pair up in sequence: the three-field line shifts the next record.
    EXPECT_EQ(list.rowFor(QStringLiteral("C")), QStringLiteral("C-D"));
    EXPECT_EQ(list.rowFor(QStringLiteral("D")), QStringLiteral("D- "));
    // Missing codes keep the catalogue's spelling.
    EXPECT_EQ(list.rowFor(QStringLiteral("zz")), QStringLiteral("zz- "));
    EXPECT_EQ(lookupCodeDescription(path, QStringLiteral("Ab1")),
              QStringLiteral("AB1-Dry grass, short"));

    // The file's code is taken as written: blanks after it are part of it and match nothing.
    const QString trailing = writeLatin1(dir, QStringLiteral("trailing.txt"),
                                         QStringLiteral("\"KL6 \",\"Trailing blank\"\r\n"));
    EXPECT_EQ(lookupCodeDescription(trailing, QStringLiteral("KL6")), QStringLiteral("KL6- "));

    // The suite's code page: 0x93/0x94 are curly quotes, 0x96 a dash, 0x80 the euro sign.
    const QString cp1252 = dir.filePath(QStringLiteral("cp1252.txt"));
    QFile bytes(cp1252);
    ASSERT_TRUE(bytes.open(QIODevice::WriteOnly));
    bytes.write("\"MX\",\"\x93Mixed\x94 \x96 \x80 10\"\r\n");
    bytes.close();
    EXPECT_EQ(lookupCodeDescription(cp1252, QStringLiteral("mx")),
              QStringLiteral("MX-\u201CMixed\u201D \u2013 \u20AC 10"));

    // A file cut short keeps what came before the break.
    const QString cut =
        writeLatin1(dir, QStringLiteral("cut.txt"), QStringLiteral("\"X\",\"Ex\"\r\n\"Y\""));
    EXPECT_EQ(lookupCodeDescription(cut, QStringLiteral("x")), QStringLiteral("X-Ex"));
    EXPECT_EQ(lookupCodeDescription(cut, QStringLiteral("Y")), QStringLiteral("Y- "));

    // Missing or unreadable files: every code gets its bare row.
    EXPECT_EQ(
        lookupCodeDescription(dir.filePath(QStringLiteral("none.txt")), QStringLiteral("AB1")),
        QStringLiteral("AB1- "));
    EXPECT_EQ(lookupCodeDescription(dir.path(), QStringLiteral("AB1")), QStringLiteral("AB1- "));
}

namespace {

// The exchange sort the lists were always sorted with, comparing as an English reader does
// without regard to case: element 0 is the buffer's empty slot and takes part in the
// comparisons but is never shown.
QStringList exchangeSorted(const QStringList& rows) {
    QCollator english(QLocale(QLocale::English, QLocale::UnitedStates));
    english.setCaseSensitivity(Qt::CaseInsensitive);
    QStringList buffer{QString()};
    buffer << rows;
    const qsizetype upper = buffer.size() - 1;
    for (qsizetype i = 1; i <= upper; ++i)
        for (qsizetype j = 0; j <= upper - 1; ++j)
            if (english.compare(buffer[j], buffer[j + 1]) > 0)
                buffer.swapItemsAt(j, j + 1);
    buffer.removeFirst();
    return buffer;
}

} // namespace

TEST(CodeList, SortingKeepsTheOrderOfTheExchangeSort) {
    const QStringList rows{"tl2-b",  "GR1-x", "",           "TL2-A", "gr1-X", "SH5-c",   "",
                           "Gr1-x",  "10-y",  "9-z",        "sb4- ", "SB4- ", "a",       "TL2-a",
                           "tl2-A ", "1-w",   "Pi\u00F1on", "PINON", "Z-3",   "\u00E9-1"};
    const QStringList sorted = sortedListRows(rows);
    EXPECT_EQ(sorted, exchangeSorted(rows));
    // Rows equal but for case stay in the order they came.
    EXPECT_EQ(sorted.indexOf(QStringLiteral("GR1-x")) + 1, sorted.indexOf(QStringLiteral("gr1-X")));
    EXPECT_EQ(sorted.first(), QString());
    // An accented code sorts beside its plain letter, not after "Z".
    EXPECT_LT(sorted.indexOf(QStringLiteral("\u00E9-1")), sorted.indexOf(QStringLiteral("GR1-x")));
}
