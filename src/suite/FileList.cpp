#include "suite/FileList.h"

#include "catalogue/CommaDelimitedInput.h"
#include "platform/AppPaths.h"
#include "suite/Windows1252.h"

#include <QFile>
#include <QLocale>

#include <filesystem>
#include <unistd.h>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

QByteArray record(const QString& kind, const QString& path, const QDateTime& when) {
    // Comma-delimited output: every field in double quotes.
    return encodeWindows1252(u"\"%1\",\"%2\",\"%3\"\r\n"_s.arg(kind, path, fileListTime(when)))
        .bytes;
}

// The path field of one record line.
QString pathOf(const QByteArray& line) {
    CommaDelimitedInput input(decodeWindows1252(line));
    input.readField();
    return input.readField().value_or(QString());
}

QString problem(int number, const QString& description) {
    return u"%1-%2"_s.arg(number).arg(description);
}

} // namespace

QString fileListTime(const QDateTime& when) {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(u"yyyy"))
        date.replace(u"yy"_s, u"yyyy"_s);
    // The time with its seconds but without the time zone the long format adds.
    QString time = locale.timeFormat(QLocale::LongFormat);
    time.remove(u" t"_s);
    if (time.endsWith(u't'))
        time.chop(1);
    return locale.toString(when, date + u' ' + time.trimmed());
}

std::optional<QString> addToFileList(const QString& applicationDir, const QString& path,
                                     const QString& kind, const QDateTime& when) {
    const AppPaths paths(applicationDir);
    const QString listPath = paths.file(fileListName);
    const QString scratchPath = paths.file(fileListScratchName);

    QByteArray content;
    if (QFile list(listPath); list.exists()) {
        if (!list.open(QIODevice::ReadOnly))
            return problem(75, u"Path/File access error: %1 cannot be read"_s.arg(listPath));
        const QByteArray old = list.readAll();
        bool found = false;
        qsizetype start = 0;
        while (start < old.size()) {
            qsizetype end = old.indexOf('\n', start);
            end = end < 0 ? old.size() : end + 1;
            const QByteArray line = old.mid(start, end - start);
            start = end;
            if (line.trimmed().isEmpty()) {
                content += line;
                continue;
            }
            if (!found && pathOf(line).compare(path, Qt::CaseInsensitive) == 0) {
                CommaDelimitedInput fields(decodeWindows1252(line));
                content += record(fields.readField().value_or(kind), path, when);
                found = true;
            } else {
                content += line;
                if (!line.endsWith('\n'))
                    content += "\r\n";
            }
        }
        if (!found)
            content += record(kind, path, when);
    } else {
        content = record(kind, path, when);
    }

    // A scratch file left by an interrupted run is written over, never taken into the list.
    QFile::remove(scratchPath);
    QFile scratch(scratchPath);
    // On the disk before the rename, so the list is never replaced by a file still unwritten.
    if (!scratch.open(QIODevice::WriteOnly) || scratch.write(content) != content.size() ||
        !scratch.flush() || ::fsync(scratch.handle()) != 0) {
        const QString description = scratch.errorString();
        scratch.close();
        QFile::remove(scratchPath);
        return problem(scratch.error() == QFileDevice::ResourceError ? 61 : 75,
                       u"%1 (%2)"_s.arg(description, scratchPath));
    }
    scratch.close();
    std::error_code error;
    std::filesystem::rename(scratchPath.toStdString(), listPath.toStdString(), error);
    if (error) {
        QFile::remove(scratchPath);
        return problem(75, u"%1 (%2)"_s.arg(QString::fromStdString(error.message()), listPath));
    }
    return std::nullopt;
}

} // namespace tarnwick
