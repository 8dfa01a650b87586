#include "profile/ProfileFile.h"

#include "platform/FileAccess.h"
#include "text/CommaDelimitedInput.h"
#include "text/NumberFormat.h"
#include "text/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QString pr3 = u".pr3"_s;

// CR LF, a lone CR and a lone LF each become one LF: the form a text has in the program.
QString withPlainLineBreaks(QString text) {
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
}

QString quoted(QString text, bool& quotesReplaced) {
    if (text.contains(u'"')) {
        text.replace(u'"', u"''"_s);
        quotesReplaced = true;
    }
    // Every line break is written as the suite's other programs write them, CR LF, whichever
    // form it came in (a text pasted or given on a command line may hold any); reading takes
    // exactly this back, so a text survives any number of saves unchanged.
    return u'"' + withPlainLineBreaks(std::move(text)).replace(u'\n', u"\r\n"_s) + u'"';
}

// The failure of a file operation, numbered as the old runtime numbered it.
FileError fileErrorOf(QFileDevice::FileError error, const QString& path, const QString& detail) {
    const QFileInfo info(path);
    if (!info.dir().exists())
        return {76, u"Path not found"_s,
                u"The folder %1 does not exist: choose another folder."_s.arg(info.path())};
    if (info.isDir())
        return {75, u"Path/File access error"_s,
                u"%1 is a folder, not a profile file: save the profile under another name."_s.arg(
                    QDir::toNativeSeparators(path))};
    switch (error) {
    case QFileDevice::ResourceError:
        return {61, u"Disk full"_s, u"Free some space on the disk, or save somewhere else."_s};
    case QFileDevice::PermissionsError:
        return {70, u"Permission denied"_s,
                u"You may not write in %1: choose another folder."_s.arg(info.path())};
    case QFileDevice::OpenError:
        if (!info.exists() && !QFileInfo(info.path()).isWritable())
            return {70, u"Permission denied"_s,
                    u"You may not write in %1: choose another folder."_s.arg(info.path())};
        [[fallthrough]];
    default:
        return {75, u"Path/File access error"_s,
                u"%1 (%2). Check the file and its folder."_s.arg(path, detail)};
    }
}

// Far more than any profile holds, notes and all: a larger "profile" is some other file, or a
// device that never ends, and is refused before it is read.
constexpr qint64 largestProfileBytes = 1024 * 1024;

constexpr int olderFieldCount = 12;
constexpr int currentFieldCount = 16;

FileError pastEnd(const QString& file) {
    return {62, u"Input past end of file"_s,
            u"%1 ends within the first twelve fields of a fuel profile: it is not a complete "
            "profile. Choose another file."_s.arg(file)};
}

FileError notANumber(const QString& file) {
    return {13, u"Type mismatch"_s,
            u"%1 is not a fuel profile: where a number belongs it holds text, or a number that "
            "is not finite. Choose another file."_s.arg(file)};
}

FileError fieldCountError(const QString& file, int count, ProfileGeneration generation) {
    if (generation == ProfileGeneration::Current && count < currentFieldCount)
        return {
            62, u"Input past end of file"_s,
            u"%1 ends within the herb and shrub fields (it holds %2 of a profile's 16 "
            "fields): it was cut short. Choose another file."_s.arg(file, QString::number(count))};
    const bool older = generation == ProfileGeneration::Older;
    return {
        13, u"Type mismatch"_s,
        u"%1 holds %2 fields where a %3 profile holds %4; a number written with a decimal "
        "comma, such as 39,5, splits into two fields. Correct the file or choose another."_s.arg(
            file, QString::number(count), older ? u".pro"_s : u".pr3"_s,
            QString::number(older ? olderFieldCount : currentFieldCount))};
}

std::optional<double> numberField(const std::optional<QString>& field) {
    if (!field)
        return std::nullopt;
    const QString text = field->trimmed();
    if (text.isEmpty())
        return 0.0; // an empty field reads as zero, as it always did
    bool ok = false;
    const double value = text.toDouble(&ok); // a period, whatever the locale
    // "nan" and "inf" read as numbers, but no loading or depth is either.
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

ProfileRead parseFields(const QByteArray& bytes, ProfileGeneration generation,
                        const QString& file) {
    CommaDelimitedInput input(decodeWindows1252(bytes));
    FuelProfile p;
    p.herbValue = p.woodyValue = u"0"_s;
    const auto text = [&input](QString& into) {
        const std::optional<QString> value = input.readField();
        if (value)
            into = withPlainLineBreaks(*value);
        return value.has_value();
    };
    const auto number = [&input, &file](double& into) -> std::optional<FileError> {
        const std::optional<QString> field = input.readField();
        const std::optional<double> value = numberField(field);
        if (!value)
            return field ? notANumber(file) : pastEnd(file);
        into = *value;
        return std::nullopt;
    };
    for (QString* field : {&p.name, &p.notes, &p.source0to3})
        if (!text(*field))
            return {std::nullopt, pastEnd(file)};
    for (double* field : {&p.break1, &p.break2, &p.break3})
        if (const std::optional<FileError> error = number(*field))
            return {std::nullopt, *error};
    if (!text(p.source3Plus))
        return {std::nullopt, pastEnd(file)};
    if (const std::optional<FileError> error = number(p.value3Plus))
        return {std::nullopt, *error};
    for (QString* field : {&p.duffSource, &p.fuelBedSource, &p.duffValue, &p.fuelBedValue})
        if (!text(*field))
            return {std::nullopt, pastEnd(file)};

    // Herb and shrub came later: an older file, or a newer one cut after the fuel bed, ends
    // here and leaves them empty. Any other count means the fields are not where they belong.
    QStringList rest;
    while (const std::optional<QString> field = input.readField())
        rest << withPlainLineBreaks(*field);
    const int count = olderFieldCount + int(rest.size());
    const bool herbAndShrub =
        generation == ProfileGeneration::Current && count == currentFieldCount;
    if (count != olderFieldCount && !herbAndShrub)
        return {std::nullopt, fieldCountError(file, count, generation)};
    if (herbAndShrub) {
        p.herbValue = rest[0];
        p.herbSource = rest[1];
        p.woodyValue = rest[2];
        p.woodySource = rest[3];
    }
    return {p, {}};
}

// Why a profile cannot be opened, from the system's error number.
FileError openError(const QString& file, int error) {
    switch (error) {
    case ENOENT:
        return {53, u"File not found"_s,
                u"%1 does not exist: check the file's name and folder."_s.arg(file)};
    case ENOTDIR:
        return {
            76, u"Path not found"_s,
            u"A folder on the way to %1 does not exist: check the file's name and folder."_s.arg(
                file)};
    case EACCES:
    case EPERM:
        if (const QString folder = firstUnsearchableFolder(file); !folder.isEmpty())
            return {75, u"Path/File access error"_s,
                    u"%1 cannot be read: you may not open the folder %2. Ask its owner for "
                    "access, or copy the file elsewhere."_s.arg(file, folder)};
        return {75, u"Path/File access error"_s,
                u"%1 cannot be read: check your permission to read it."_s.arg(file)};
    default:
        return {75, u"Path/File access error"_s,
                u"%1 cannot be read (%2). Check the file and its folder."_s.arg(
                    file, QString::fromLocal8Bit(std::strerror(error)))};
    }
}

// Refuses what is no profile file whatever it holds: a folder, a pipe, a device, a huge file.
std::optional<FileError> kindError(const QString& file, const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return FileError{75, u"Path/File access error"_s,
                         u"%1 is a folder, not a profile file: choose a .pr3 or .pro file in "
                         "it."_s.arg(file)};
    if (!S_ISREG(status.st_mode))
        return FileError{75, u"Path/File access error"_s,
                         u"%1 is not a file but a device or pipe: choose a .pr3 or .pro "
                         "file."_s.arg(file)};
    if (status.st_size > largestProfileBytes)
        return FileError{7, u"Out of memory"_s,
                         u"%1 holds %2 bytes, far more than any fuel profile: it is not a "
                         "profile file. Choose another file."_s.arg(
                             file, QString::number(qint64(status.st_size)))};
    return std::nullopt;
}

} // namespace

QString normalisedProfilePath(const QString& path) {
    QString normalised = path;
    if (normalised.right(4).compare(u".pro", Qt::CaseInsensitive) == 0)
        normalised = normalised.chopped(3) + u"pr3"_s;
    if (!normalised.contains(pr3, Qt::CaseInsensitive))
        normalised += pr3;
    return normalised;
}

EncodedProfile encodeProfile(const FuelProfile& p) {
    EncodedProfile encoded;
    const auto text = [&encoded](const QString& value) {
        return quoted(value, encoded.quotesReplaced);
    };
    const QStringList lines{text(p.name),          text(p.notes),
                            text(p.source0to3),    plainNumber(p.break1),
                            plainNumber(p.break2), plainNumber(p.break3),
                            text(p.source3Plus),   plainNumber(p.value3Plus),
                            text(p.duffSource),    text(p.fuelBedSource),
                            text(p.duffValue),     text(p.fuelBedValue),
                            text(p.herbValue),     text(p.herbSource),
                            text(p.woodyValue),    text(p.woodySource)};
    const EncodedText bytes = encodeWindows1252(lines.join(u"\r\n"_s) + u"\r\n"_s);
    encoded.bytes = bytes.bytes;
    encoded.unrepresentable = bytes.unrepresentable;
    return encoded;
}

std::optional<FileError> writeProfileFile(const QString& path, const QByteArray& bytes) {
    if (const std::optional<FileWriteError> error = writeWholeFile(path, bytes))
        return fileErrorOf(error->kind, path, error->detail);
    return std::nullopt;
}

ProfileGeneration profileGeneration(const QString& path) {
    return path.endsWith(u".pro"_s, Qt::CaseInsensitive) ? ProfileGeneration::Older
                                                         : ProfileGeneration::Current;
}

ProfileRead parseProfile(const QByteArray& bytes, ProfileGeneration generation) {
    return parseFields(bytes, generation, u"The file"_s);
}

ProfileRead readProfileFile(const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    // Not blocking: a pipe would otherwise wait for a writer that never comes.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {std::nullopt, openError(file, errno)};
    QFile input;
    if (!input.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {std::nullopt, openError(file, EIO)};
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return {std::nullopt, openError(file, errno)};
    if (std::optional<FileError> error = kindError(file, status))
        return {std::nullopt, *error};
    // The size may have grown since: never more than a profile can be is read.
    const QByteArray bytes = input.read(largestProfileBytes + 1);
    if (bytes.size() > largestProfileBytes) {
        status.st_size = bytes.size();
        return {std::nullopt, *kindError(file, status)};
    }
    return parseFields(bytes, profileGeneration(path), file);
}

} // namespace tarnwick
