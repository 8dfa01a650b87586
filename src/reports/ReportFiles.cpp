#include "reports/ReportFiles.h"

#include "document/ReportRenderer.h"
#include "document/RtfWriter.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/FileAccess.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarnwick {

namespace {

const QString keptOld = u" A file that was there before is unchanged."_s;

// Why a file could not be written, and what the user can do about it.
QString causeOf(const FileWriteError& error, const QString& fileName) {
    const QFileInfo info(fileName);
    const QString folder = QDir::toNativeSeparators(info.absolutePath());
    if (!QFileInfo(info.absolutePath()).isDir())
        return u"the folder %1 does not exist. Choose another folder."_s.arg(folder);
    if (info.isDir())
        return u"it is a folder. Choose another name."_s;
    switch (error.kind) {
    case QFileDevice::ResourceError:
        return u"the disk is full (%1). Free some space, or save somewhere else."_s.arg(
            error.detail);
    case QFileDevice::PermissionsError:
        return u"you may not write in %1. Choose another folder."_s.arg(folder);
    default:
        break;
    }
    if (!QFileInfo(info.absolutePath()).isWritable())
        return u"you may not write in %1. Choose another folder."_s.arg(folder);
    return u"%1. Check the disk and the folder, then save again."_s.arg(error.detail);
}

QString failure(const QString& fileName, const QString& cause) {
    return u"The report could not be saved as %1: %2"_s.arg(QDir::toNativeSeparators(fileName),
                                                            cause) +
           keptOld;
}

// Makes the Reports folder; a message when it cannot be made.
std::optional<QString> makeFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return std::nullopt;
    const QString shown = QDir::toNativeSeparators(folder);
    if (info.exists())
        return u"The folder %1 cannot be made: a file of that name is in the way. Reports can "
               "still be saved in another folder."_s.arg(shown);
    if (QDir().mkpath(folder))
        return std::nullopt;
    return u"The folder %1 cannot be made: you may not write in %2. Reports can still be saved "
           "in another folder."_s.arg(shown, QDir::toNativeSeparators(info.absolutePath()));
}

} // namespace

std::shared_ptr<const ComposedReport> finishReport(ReportDocument document, const QString& title) {
    auto report = std::make_shared<ComposedReport>();
    report->richText = writeRtf(document, title);
    report->document = std::move(document);
    report->title = title;
    return report;
}

bool isRichTextName(const QString& fileName) {
    return fileName.contains(u".rtf"_s, Qt::CaseInsensitive);
}

std::optional<QString> writeFileWhole(const QString& fileName, const QByteArray& bytes) {
    if (const std::optional<FileWriteError> error = writeWholeFile(fileName, bytes))
        return failure(fileName, causeOf(*error, fileName));
    return std::nullopt;
}

std::optional<QString> writeReportFile(const QString& fileName, const ComposedReport& report) {
    if (isRichTextName(fileName))
        return writeFileWhole(fileName, report.richText);
    // Composed in memory first: the PDF writer does not look at what its writes return, so a
    // file it wrote itself could be cut short without anyone knowing.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    if (!writePdf(report.document, buffer, report.title))
        return failure(fileName, u"the report could not be drawn as PDF. Save it as rich text "
                                 "instead."_s);
    return writeFileWhole(fileName, pdf);
}

SaveOutcome saveReport(Dialogs& dialogs, const QString& fileName, const ComposedReport& report) {
    if (QFileInfo::exists(fileName) &&
        dialogs.warningQuestion(QString(), fileName + u" exists. Do you wish to replace it?"_s) !=
            Answer::Yes)
        return SaveOutcome::NotReplaced;
    // The old file stays until the new one is complete, so a failed save loses nothing.
    if (const std::optional<QString> problem = writeReportFile(fileName, report)) {
        dialogs.warning(defaultDialogTitle, *problem);
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

SaveOutcome saveReportCommand(Dialogs& dialogs, const AppPaths& paths,
                              const ComposedReport& report) {
    QString folder = paths.file(reportsFolderName);
    if (const std::optional<QString> problem = makeFolder(folder)) {
        dialogs.warning(defaultDialogTitle, *problem);
        folder = paths.applicationDir();
    }
    const QString name = dialogs.saveFileName(reportSaveCaption, folder, reportSaveFilter);
    if (name.isEmpty())
        return SaveOutcome::Cancelled;
    return saveReport(dialogs, name, report);
}

} // namespace tarnwick
