#include "suite/FileList.h"

#include "text/CommaDelimitedInput.h"
#include "text/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QRegularExpression>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

// Long enough for another program's save to finish, short enough not to seem hung.
constexpr int lockWaitMilliseconds = 5000;

QByteArray record(const QString& kind, const QString& path, const QString& time) {
    // Comma-delimited output: every field in double quotes.
    return encodeWindows1252(u"\"%1\",\"%2\",\"%3\"\r\n"_s.arg(kind, path, time)).bytes;
}

// The path field of one record line.
QString pathOf(const QByteArray& line) {
    CommaDelimitedInput input(decodeWindows1252(line));
    input.readField();
    return input.readField().value_or(QString());
}

// The lines of a list with their own ends: CR LF, LF or a lone CR, as the suite's programs and
// editors on every system leave them.
QList<QByteArray> linesOf(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        lines << text.mid(start, i + 1 - start);
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString problem(int number, const QString& description) {
    return u"Problem saving to CBL list\n%1-%2"_s.arg(number).arg(description);
}

// Why the suite's programs could not find the file by the name the list would hold, if so.
std::optional<QString> unlistable(const QString& path) {
    if (path.contains(u'"'))
        return u"its name holds a double quote, which ends a field of the list"_s;
    if (path.contains(u'\r') || path.contains(u'\n'))
        return u"its name holds a line break, which ends a record of the list"_s;
    if (const EncodedText encoded = encodeWindows1252(path); !encoded.isExact())
        return u"the list's code page (Windows-1252) has no %1 and would write \"?\" instead"_s.arg(
            encoded.unrepresentable);
    return std::nullopt;
}

// The file the list's name stands for: a link's target, so that the link stays a link.
QString listTarget(const QString& listPath) {
    const QFileInfo info(listPath);
    if (!info.isSymLink())
        return listPath;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// A time format without its time zone, which the list never held: "t", "(t)", "[t]", ", t".
QString withoutTimeZone(const QString& format) {
    static const QRegularExpression zone(u"[ ,]*[(\\[]?t+[)\\]]?"_s);
    QString result;
    // Text in single quotes is written as it stands.
    const QStringList parts = format.split(u'\'');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            result += u'\'';
        result += i % 2 == 0 ? QString(parts[i]).remove(zone) : parts[i];
    }
    return result.trimmed();
}

struct ListFile {
    QString path; // where the records are: the list, or the target of the link it is
    QString scratch;
    std::optional<struct stat> status; // of the list as it was; none when there was no list
};

std::optional<QString> writeProtection(const ListFile& list) {
    if (!list.status)
        return std::nullopt;
    // Without its owner's write permission the list is write-protected for everyone, as the
    // read-only attribute made it for the suite; a user who may not write it must not replace
    // it either.
    if ((list.status->st_mode & S_IWUSR) != 0 && ::access(list.path.toLocal8Bit(), W_OK) == 0)
        return std::nullopt;
    return problem(75, u"Path/File access error: %1 is write-protected, so the file is not "
                       "entered in it. Allow writing to it (for its owner: chmod u+w \"%1\"), "
                       "or ask the one who shares it, then save again."_s.arg(list.path));
}

// The new list takes the old one's permissions, and its owner and group where the system lets
// us give them, so a list shared between users stays shared.
void keepAccess(int handle, const ListFile& list) {
    if (!list.status)
        return;
    const mode_t mode = list.status->st_mode & 07777;
    ::fchmod(handle, mode);
    if (list.status->st_uid == ::geteuid() && list.status->st_gid == ::getegid())
        return;
    // Another user's list becomes ours where we may not give it to them; its group and
    // permissions keep it open to those who shared it. A change of owner clears set-id bits.
    if (::fchown(handle, list.status->st_uid, list.status->st_gid) == 0 ||
        ::fchown(handle, uid_t(-1), list.status->st_gid) == 0)
        ::fchmod(handle, mode);
}

std::optional<QString> replaceList(const ListFile& list, const QByteArray& content) {
    const QString untouched = list.status ? u" %1 is left as it was."_s.arg(list.path) : QString();
    // A scratch file left by an interrupted run is written over, never taken into the list.
    QFile::remove(list.scratch);
    QFile scratch(list.scratch);
    // On the disk before the rename, so the list is never replaced by a file still unwritten.
    if (!scratch.open(QIODevice::WriteOnly) || scratch.write(content) != content.size() ||
        !scratch.flush() || ::fsync(scratch.handle()) != 0) {
        const QString description = scratch.errorString();
        const bool full = scratch.error() == QFileDevice::ResourceError;
        scratch.close();
        QFile::remove(list.scratch);
        return problem(full ? 61 : 75, u"%1 (%2).%3"_s.arg(description, list.scratch, untouched));
    }
    keepAccess(scratch.handle(), list);
    scratch.close();
    std::error_code error;
    std::filesystem::rename(list.scratch.toStdString(), list.path.toStdString(), error);
    if (error) {
        QFile::remove(list.scratch);
        return problem(
            75, u"%1 (%2).%3"_s.arg(QString::fromStdString(error.message()), list.path, untouched));
    }
    return std::nullopt;
}

} // namespace

QString fileListTime(const QDateTime& when) {
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(u"yyyy"))
        date.replace(u"yy"_s, u"yyyy"_s);
    const QString time = withoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    const QString text = locale.toString(when, date + u' ' + time);
    if (encodeWindows1252(text).isExact())
        return text;
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(when, u"M/d/yyyy h:mm:ss AP"_s);
}

std::optional<QString> addToFileList(const QString& applicationDir, const QString& given,
                                     const QString& kind, const QDateTime& when) {
    // The other programs open the file by this name from wherever they run.
    const QString path =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(given).absoluteFilePath()));
    if (const std::optional<QString> reason = unlistable(path))
        return u"%1 is saved, but it is not entered in the suite's file list %2: %3. The "
               "suite's other programs could not open it by that name; save it under a name "
               "without it to have it listed."_s.arg(path, fileListName, *reason);

    ListFile list;
    list.path = listTarget(QDir(applicationDir).filePath(fileListName));
    list.scratch = QFileInfo(list.path).dir().filePath(fileListScratchName);
    // Two programs saving at once would share the scratch file and lose a record.
    QLockFile lock(list.path + u".lock"_s);
    if (!lock.tryLock(lockWaitMilliseconds))
        return problem(70, u"Permission denied: %1 is being written by another program (its "
                           "lock %2 could not be taken). Save again in a moment."_s.arg(
                               list.path, lock.fileName()));
    if (struct stat status; ::stat(list.path.toLocal8Bit(), &status) == 0)
        list.status = status;
    if (const std::optional<QString> refused = writeProtection(list))
        return refused;

    const QString time = fileListTime(when);
    if (!list.status)
        return replaceList(list, record(kind, path, time));
    QFile old(list.path);
    if (!old.open(QIODevice::ReadOnly))
        return problem(75, u"Path/File access error: %1 cannot be read (%2)."_s.arg(
                               list.path, old.errorString()));
    QByteArray content;
    bool found = false;
    for (const QByteArray& line : linesOf(old.readAll())) {
        if (!line.trimmed().isEmpty() && pathOf(line).compare(path, Qt::CaseInsensitive) == 0) {
            CommaDelimitedInput fields(decodeWindows1252(line));
            content += record(fields.readField().value_or(kind), path, time);
            found = true;
            continue;
        }
        content += line;
        if (!line.endsWith('\n') && !line.endsWith('\r'))
            content += "\r\n";
    }
    if (!found)
        content += record(kind, path, time);
    return replaceList(list, content);
}

} // namespace tarnwick
