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
// year in full) and the time with seconds, without a time zone. Where the user's language
// writes them in letters the suite's code page lacks, "M/d/yyyy h:mm:ss AM/PM".
QString fileListTime(const QDateTime& when);

// Enters a file just written, by its absolute path. A file already listed (its path compared
// without regard to letter case) keeps its place and its kind and gets the path as entered and
// the new time, in every record that names it; a new file is added at the end; records of
// other programs are carried over byte for byte, whatever their line ends.
//
// The list is locked while it is rewritten, so programs saving at once wait for each other.
// The new list is written beside the old one (beside its target when the list is a link),
// takes its permissions and owner, and is renamed over it, so a failure leaves the old list
// whole. A write-protected list is left alone.
//
// Returns what to tell the user, or nullopt when the file is listed: "Problem saving to CBL
// list" with the cause when the list could not be written, or why the file was not entered
// when the list cannot hold its name.
std::optional<QString> addToFileList(const QString& applicationDir, const QString& path,
                                     const QString& kind,
                                     const QDateTime& when = QDateTime::currentDateTime());

} // namespace tarnwick
