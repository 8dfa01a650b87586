#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace tarnwick {

// The four code lists in the application directory: each pairs a catalogue code with its long
// name, one "code","description" record per line.
namespace codeListFile {
inline const QString vegetation = QStringLiteral("VegCodes.txt");
inline const QString activity = QStringLiteral("ActCodes.txt");
inline const QString dangerRating = QStringLiteral("DangerRatingCodes.txt");
inline const QString fireBehaviour = QStringLiteral("BehaveCodes.txt");
} // namespace codeListFile

// One code-list file, read once, answering the row of any catalogue code the way a search of
// the file from the top would.
class CodeList {
public:
    // Reads the file in the suite's code page (Windows-1252). A missing or unreadable file gives a
    // list that knows no code; a file cut short keeps the records read before the break.
    static CodeList read(const QString& path);

    // The row a code list shows for a catalogue code: the file's own spelling of the code, "-"
    // and the description of the first record whose code matches (letter case, blanks before
    // the file's code and blanks around the catalogue code ignored); the catalogue code
    // followed by "- " when no record matches.
    QString rowFor(const QString& code) const;

    int recordCount() const { return records_; }

private:
    QHash<QString, QString> rowByKey_; // first record of each key wins
    int records_ = 0;
};

// rowFor of one code on a freshly read file.
QString lookupCodeDescription(const QString& path, const QString& code);

// The code part of a code-list row: leading blanks removed, cut before the first "-". Rows made
// for codes a file lacks ("ZZ- ") give their code back.
QString codeOfListRow(const QString& row);

// Rows as a code list shows them: ascending in the user's language, letter case ignored, rows
// that compare equal kept in the order they came (the exchange sort the lists were always
// sorted with is stable).
QStringList sortedListRows(QStringList rows);

} // namespace tarnwick
