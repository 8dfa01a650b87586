#include "slidekeep/SlidekeepCommands.h"

#include "catalogue/DatabaseError.h"
#include "platform/SuiteSettings.h"
#include "slidekeep/SlidekeepCatalogue.h"

#include <algorithm>
#include <QDir>
#include <utility>
#include <vector>

namespace tarnwick::slidekeep {

namespace {

struct Commands {
    std::vector<std::pair<QString, bool>> activeChanges; // book label, active
    QString photoDir;
    bool photoDirGiven = false;
};

CommandResult usageError(const QString& message) {
    return {exitUsage, QStringLiteral("slidekeep3: %1\n%2").arg(message, usageText())};
}

} // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: slidekeep3                      open the Slidekeep window\n"
        "       slidekeep3 --photo-dir DIR      store DIR as the photo image directory\n"
        "       slidekeep3 --activate BOOK      make a book's photos visible in Tarnwick\n"
        "       slidekeep3 --deactivate BOOK    hide a book's photos from Tarnwick");
}

QString photoDirSettingValue(const QString& chosenDirectory) {
    QString directory = QDir::toNativeSeparators(QDir(chosenDirectory).absolutePath());
    if (!directory.endsWith(QDir::separator()))
        directory += QDir::separator();
    return directory;
}

CommandResult runCommands(const QStringList& arguments, const AppPaths& paths) {
    Commands commands;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype equals = option.indexOf(QLatin1Char('=')); equals > 0) {
            value = option.mid(equals + 1);
            option.truncate(equals);
            hasValue = true;
        }
        if (option == u"--help" || option == u"-h")
            return {exitSuccess, usageText()};
        if (option != u"--photo-dir" && option != u"--activate" && option != u"--deactivate")
            return usageError(QStringLiteral("unknown argument '%1'").arg(arguments[i]));
        if (!hasValue) {
            if (i + 1 >= arguments.size())
                return usageError(QStringLiteral("%1 needs a value").arg(option));
            value = arguments[++i];
        }
        if (value.isEmpty())
            return usageError(QStringLiteral("%1 needs a value").arg(option));
        if (option == u"--photo-dir") {
            commands.photoDir = value;
            commands.photoDirGiven = true;
        } else {
            commands.activeChanges.emplace_back(value, option == u"--activate");
        }
    }
    if (commands.activeChanges.empty() && !commands.photoDirGiven)
        return usageError(QStringLiteral("nothing to do"));

    if (!commands.activeChanges.empty()) {
        try {
            const auto catalogue = SlidekeepCatalogue::open(tarnwick::configuredCatalogue(paths));
            // Every book is checked before any changes: a typing error leaves all as it was.
            const std::vector<BookEntry> books = catalogue->books();
            for (const auto& change : commands.activeChanges)
                if (std::none_of(books.begin(), books.end(),
                                 [&](const BookEntry& book) { return book.label == change.first; }))
                    return {exitFailure,
                            QStringLiteral("slidekeep3: the catalogue %1 has no book '%2'")
                                .arg(catalogue->path(), change.first)};
            for (const auto& [book, active] : commands.activeChanges)
                catalogue->setBookActive(book, active);
        } catch (const DatabaseError& error) {
            const int code =
                error.kind() == DatabaseError::Kind::Statement ? exitFailure : exitNoCatalogue;
            return {code, QStringLiteral("slidekeep3: %1").arg(error.message())};
        }
    }
    if (commands.photoDirGiven)
        SuiteSettings().setPhotoDir(photoDirSettingValue(commands.photoDir));
    return {};
}

} // namespace tarnwick::slidekeep
