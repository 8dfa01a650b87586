#include "document/ReportFonts.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace tarnwick {

bool registerReportFonts(const QString& fontDir) {
    if (QFontDatabase::families().contains(reportFontFamily, Qt::CaseInsensitive))
        return true;
    bool added = false;
    for (const char* face : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QString path = QDir(fontDir).filePath(QString::fromLatin1(face));
        if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0)
            added = true;
    }
    if (added && QFontDatabase::families().contains(reportFontFamily, Qt::CaseInsensitive))
        return true;
    // Named, not left to the font matcher, so every run falls back to the same face.
    QFont::insertSubstitutions(reportFontFamily,
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                                QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    return false;
}

} // namespace tarnwick
