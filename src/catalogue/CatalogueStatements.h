#pragma once

#include <QString>

namespace tarnwick::statements {

// The photos listed at start-up.
inline const QString activePhotosAtStartUp =
    QStringLiteral("SELECT * From qryactive ORDER by GroupLabel, PhotoLabel");

// Lets the engine read the start-up list in order rather than sort the whole catalogue first.
inline const QString listOrderIndex =
    QStringLiteral("CREATE INDEX IF NOT EXISTS PhotosInListOrder ON Photos "
                   "(GroupLabel COLLATE NOCASE, PhotoLabel COLLATE NOCASE)");

inline const QString allBooks = QStringLiteral("select * from Books");

// A label holding a double quote has it doubled, so the literal stays one literal.
inline QString oneBook(QString bookLabel) {
    bookLabel.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QStringLiteral("SELECT * ") + QStringLiteral("FROM Books where BookLabel = ") +
           QLatin1Char('"') + bookLabel + QLatin1Char('"');
}

inline QString onePhotoById(qint64 id) {
    return QStringLiteral("Select * ") + QStringLiteral("From qryactive where ID = ") +
           QString::number(id);
}

// A photo by its display label: book label, "/" and photo label joined by the catalogue's
// concatenation. A double quote in the label is doubled, so it stays one literal.
inline QString photoByLabel(QString label) {
    label.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QStringLiteral("SELECT * ") + QStringLiteral("From qryactive where BookLabel ") +
           QStringLiteral("&") + QLatin1Char('"') + QStringLiteral("/") + QLatin1Char('"') +
           QStringLiteral("&") + QStringLiteral(" PhotoLabel = ") + QLatin1Char('"') + label +
           QLatin1Char('"');
}

} // namespace tarnwick::statements
