#pragma once

#include "document/ReportDocument.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace tarnwick {

class AppPaths;
class Dialogs;

// A composed report as the preview holds it: the document, its title, and the document as rich
// text (the export file's contents, and what a save under an ".rtf" name writes).
struct ComposedReport {
    ReportDocument document;
    QString title;
    QByteArray richText;
};

// Turns a composed document into a report: the rich text is written once, here.
std::shared_ptr<const ComposedReport> finishReport(ReportDocument document, const QString& title);

// The rich-text export of the report last composed, in the application directory.
inline const QString exportFileName = QStringLiteral("tmp_ddwrpt.rtf");
inline const QString reportsFolderName = QStringLiteral("Reports");

inline const QString reportSaveCaption = QStringLiteral("Save Report ...");
inline const QString reportSaveFilter =
    QStringLiteral("WORD Richtext (*.rtf);;Portable Document Format (*.pdf)");

// The name decides the format, whatever filter the dialog showed: ".rtf" anywhere in it, in any
// letter case, is rich text; anything else is PDF.
bool isRichTextName(const QString& fileName);

// Writes bytes to a file through a temporary file beside it, renamed over the old file only
// once the new one is complete; a failure leaves the old file as it was. The message says which
// file, why and what to do.
std::optional<QString> writeFileWhole(const QString& fileName, const QByteArray& bytes);

// Writes the report to a file, as rich text or PDF by the name's rule, replacing the old file
// only once the new one is complete. A message naming the file, the cause and what to do when
// it could not be written.
std::optional<QString> writeReportFile(const QString& fileName, const ComposedReport& report);

enum class SaveOutcome { Saved, Cancelled, NotReplaced, Failed };

// Saves under a chosen name: asks before replacing a file of that name, then writes. A failure
// is told in a message box.
SaveOutcome saveReport(Dialogs& dialogs, const QString& fileName, const ComposedReport& report);

// The preview's Save command: the Reports folder is made when missing, the save dialog opens
// there, and the chosen name is saved.
SaveOutcome saveReportCommand(Dialogs& dialogs, const AppPaths& paths,
                              const ComposedReport& report);

} // namespace tarnwick
