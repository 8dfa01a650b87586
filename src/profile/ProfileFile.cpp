#include "profile/ProfileFile.h"

#include "catalogue/CommaDelimitedInput.h"
#include "catalogue/NumberFormat.h"
#include "suite/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <array>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QString pr3 = u".pr3"_s;

QString quoted(QString text, bool& quotesReplaced) {
    if (text.contains(u'"')) {
        text.replace(u'"', u"''"_s);
        quotesReplaced = true;
    }
    // Line breaks inside a text are written as the suite's other programs write them; reading
    // takes exactly this back, so a text survives any number of saves unchanged.
    text.replace(u'\n', u"\r\n"_s);
    return u'"' + text + u'"';
}

QString withPlainLineBreaks(QString text) {
    return text.replace(u"\r\n"_s, u"\n"_s);
}

// The failure of a file operation, numbered as the old runtime numbered it.
FileError fileErrorOf(QFileDevice::FileError error, const QString& path, const QString& detail) {
    const QFileInfo info(path);
    if (!info.dir().exists())
        return {76, u"Path not found"_s,
                u"The folder %1 does not exist: choose another folder."_s.arg(info.path())};
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

const FileError pastEnd{62, u"Input past end of file"_s,
                        u"The file is not a complete fuel profile."_s};
const FileError notANumber{13, u"Type mismatch"_s,
                           u"The file is not a fuel profile: a number was expected."_s};

std::optional<double> numberField(const std::optional<QString>& field) {
    if (!field)
        return std::nullopt;
    const QString text = field->trimmed();
    if (text.isEmpty())
        return 0.0; // an empty field reads as zero, as it always did
    bool ok = false;
    const double value = text.toDouble(&ok); // a period, whatever the locale
    return ok ? std::optional<double>(value) : std::nullopt;
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fileErrorOf(file.error(), path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fileErrorOf(file.error(), path, file.errorString());
    return std::nullopt;
}

ProfileRead parseProfile(const QByteArray& bytes) {
    CommaDelimitedInput input(decodeWindows1252(bytes));
    FuelProfile p;
    p.herbValue = p.woodyValue = u"0"_s;
    const std::array<QString*, 3> leadingTexts{&p.name, &p.notes, &p.source0to3};
    for (QString* field : leadingTexts) {
        const std::optional<QString> value = input.readField();
        if (!value)
            return {std::nullopt, pastEnd};
        *field = withPlainLineBreaks(*value);
    }
    for (double* number : {&p.break1, &p.break2, &p.break3}) {
        const std::optional<QString> field = input.readField();
        const std::optional<double> value = numberField(field);
        if (!value)
            return {std::nullopt, field ? notANumber : pastEnd};
        *number = *value;
    }
    if (const std::optional<QString> value = input.readField())
        p.source3Plus = withPlainLineBreaks(*value);
    else
        return {std::nullopt, pastEnd};
    const std::optional<QString> field = input.readField();
    const std::optional<double> value3Plus = numberField(field);
    if (!value3Plus)
        return {std::nullopt, field ? notANumber : pastEnd};
    p.value3Plus = *value3Plus;
    for (QString* text : {&p.duffSource, &p.fuelBedSource, &p.duffValue, &p.fuelBedValue}) {
        const std::optional<QString> read = input.readField();
        if (!read)
            return {std::nullopt, pastEnd};
        *text = withPlainLineBreaks(*read);
    }
    // Herb and shrub came later: an older file ends here and leaves them empty.
    for (QString* text : {&p.herbValue, &p.herbSource, &p.woodyValue, &p.woodySource}) {
        const std::optional<QString> read = input.readField();
        if (!read)
            break;
        *text = withPlainLineBreaks(*read);
    }
    return {p, {}};
}

ProfileRead readProfileFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return {std::nullopt,
                    {53, u"File not found"_s, u"%1 is not there any more."_s.arg(path)}};
        return {std::nullopt,
                {75, u"Path/File access error"_s,
                 u"%1 cannot be read: check your permission to read it."_s.arg(path)}};
    }
    return parseProfile(file.readAll());
}

} // namespace tarnwick
