#pragma once

#include <QString>
#include <QVariant>

namespace tarnwick {

// Tarnwick's own settings, in a group of their own beside the suite's "General" group in the
// suite's per-user settings file.
class ProgramSettings {
public:
    // A folder every user of an installed program works in, instead of one of their own; empty
    // when none is set.
    QString sharedApplicationDir() const;
    // The support page Web Based Support opens.
    QString supportAddress() const;

    QVariant value(const QString& key, const QVariant& defaultValue = {}) const;
    void setValue(const QString& key, const QVariant& value);
};

} // namespace tarnwick
