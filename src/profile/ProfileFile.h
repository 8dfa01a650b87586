#pragma once

#include "profile/FuelProfile.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tarnwick {

// The name a profile is saved under: ".pro" becomes ".pr3", and ".pr3" is added unless it occurs
// anywhere in the name already ("a.pr3.bak" stays as it is).
QString normalisedProfilePath(const QString& path);

// A profile file's text: sixteen fields, one a line, CR LF after each; texts in double quotes,
// numbers bare in the general form with a period; in the suite's code page.
struct EncodedProfile {
    QByteArray bytes;
    // A double quote inside a text would end the field when the file is read back: it is
    // written as two single quotes instead.
    bool quotesReplaced = false;
    // Characters the code page cannot hold, each written as "?".
    QString unrepresentable;
};
EncodedProfile encodeProfile(const FuelProfile& profile);

// A failure as the old runtime numbered and described it, so the messages read as they always
// did, with what the user can do about it.
struct FileError {
    int number = 0;
    QString description;
    QString advice;
};

// Writes the file through a temporary file in the same folder, renamed over the old one only
// once it is complete: a failure at any point leaves the old file as it was.
std::optional<FileError> writeProfileFile(const QString& path, const QByteArray& bytes);

struct ProfileRead {
    std::optional<FuelProfile> profile; // none when the file could not be read
    FileError error;
};

// The generation is told by the extension alone: ".pro" names an older file of twelve fields,
// anything else a ".pr3" file of sixteen.
enum class ProfileGeneration { Older, Current };
ProfileGeneration profileGeneration(const QString& path);

// Reads a ".pr3" file of sixteen fields, one cut after the twelfth, or an older ".pro" file of
// twelve: herb and shrub (13 to 16) stay empty when they are not there. Any other count of
// fields, a number that is not finite, or something that is no regular file of a profile's size
// (a folder, a pipe, a device) is refused, and nothing is kept of it. Each error names the file.
ProfileRead readProfileFile(const QString& path);
ProfileRead parseProfile(const QByteArray& bytes,
                         ProfileGeneration generation = ProfileGeneration::Current);

} // namespace tarnwick
