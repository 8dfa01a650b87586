#include "query/CodeList.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
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

// The exchange sort the lists were always sorted with: element 0 is the buffer's empty slot and
// takes part in the comparisons but is never shown.
QStringList exchangeSorted(const QStringList& rows) {
    QStringList buffer{QString()};
    buffer << rows;
    const qsizetype upper = buffer.size() - 1;
    for (qsizetype i = 1; i <= upper; ++i)
        for (qsizetype j = 0; j <= upper - 1; ++j)
            if (buffer[j].compare(buffer[j + 1], Qt::CaseInsensitive) > 0)
                buffer.swapItemsAt(j, j + 1);
    buffer.removeFirst();
    return buffer;
}

} // namespace

TEST(CodeList, SortingKeepsTheOrderOfTheExchangeSort) {
    const QStringList rows{"tl2-b", "GR1-x", "",       "TL2-A", "gr1-X",      "SH5-c",
                           "",      "Gr1-x", "10-y",   "9-z",   "sb4- ",      "SB4- ",
                           "a",     "TL2-a", "tl2-A ", "1-w",   "Pi\u00F1on", "PINON"};
    const QStringList sorted = sortedListRows(rows);
    EXPECT_EQ(sorted, exchangeSorted(rows));
    // Rows equal but for case stay in the order they came.
    EXPECT_EQ(sorted.indexOf(QStringLiteral("GR1-x")) + 1, sorted.indexOf(QStringLiteral("gr1-X")));
    EXPECT_EQ(sorted.first(), QString());
}
