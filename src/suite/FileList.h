#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace tarnwick {

// The suite's list of the files its programs have written, which the other programs offer:
// one record a line, "kind","path","date and time", in the suite's code page.
inline const QString fileListName = QStringLiteral("CBLFileList3.txt");
inline const QString fileListScratchName = QStringLiteral("famlist.tmp");

// The date and time as the list has always recorded them: the user's short date (with the
// year in full) and the time with seconds.
QString fileListTime(const QDateTime& when);

// Enters a file just written. A file already listed (its path compared without regard to letter
// case) keeps its place and its kind and gets the path as passed and the new time; a new file
// is added at the end; records of other programs are carried over byte for byte. The new list
// is written beside the old one and renamed over it, so a failure leaves the old list whole.
// Returns the text for "Problem saving to CBL list" on failure.
std::optional<QString> addToFileList(const QString& applicationDir, const QString& path,
                                     const QString& kind,
                                     const QDateTime& when = QDateTime::currentDateTime());

} // namespace tarnwick
