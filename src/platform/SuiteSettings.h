#pragma once

#include <QString>

namespace tarnwick {

// The per-user settings the programs of the Corbell 3 suite share.
class SuiteSettings {
public:
    // The photo image directory, or defaultValue when none (or an empty one) is stored.
    QString photoDir(const QString& defaultValue) const;
    void setPhotoDir(const QString& directory);
    // The shared catalogue's address (key Catalogue beside PhotoDir), or "" when none is stored.
    QString catalogue() const;
    // The settings file, for messages that send the user to it.
    QString fileName() const;
};

} // namespace tarnwick
