// Catalogue addresses as TARNWICK_CATALOGUE, the setting Catalogue or "--to" may give them.
// Besides crashes it checks that an address taken is read back the same when written again from
// its parts, that the name messages give it is itself such an address, and that every option
// handed on to the driver is one quoted libpq setting that reads back as the value given.
#include "catalogue/CatalogueLocation.h"

#include <QUrl>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tarnwick;

namespace {

[[noreturn]] void fail(const char* what, const QString& address) {
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(address));
    std::abort();
}

QString encoded(const QString& text) {
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// An address written from a server's parts by the rules of such addresses.
QString addressOf(const CatalogueServer& server, const QStringList& options) {
    QString address = QStringLiteral("postgresql://");
    if (!server.user.isEmpty())
        address += encoded(server.user) + u'@';
    // Encoded rather than in brackets: a host read from "%3A" may hold a "/" or "]" as well.
    address += encoded(server.host);
    if (server.port > 0)
        address += u':' + QString::number(server.port);
    address += u'/' + encoded(server.database);
    if (!options.isEmpty())
        address += u'?' + options.join(u'&');
    return address;
}

// How libpq reads KEY='VALUE' of a connection string: a backslash takes the next character as
// it is. Qt's driver joins the options with ";", which it turns into blanks.
bool readOption(const QString& option, QString& key, QString& value) {
    const qsizetype equals = option.indexOf(u'=');
    if (equals <= 0 || option.size() < equals + 3 || option[equals + 1] != u'\'' ||
        option.back() != u'\'' || option.contains(u';') || option.contains(QChar(0)))
        return false;
    key = option.left(equals);
    value.clear();
    for (qsizetype i = equals + 2; i < option.size() - 1; ++i) {
        if (option[i] == u'\'')
            return false; // the value would end here
        if (option[i] == u'\\') {
            if (++i == option.size() - 1)
                return false; // the closing quote would be taken as text
        }
        value += option[i];
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString address = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    QString problem;
    const std::optional<CatalogueLocation> location =
        CatalogueLocation::fromServerAddress(address, &problem);
    if (!location) {
        if (problem.isEmpty())
            fail("a refusal gives no reason", address);
        return 0;
    }
    if (!CatalogueLocation::looksLikeServerAddress(address))
        fail("taken, but not recognised as a server address", address);
    const CatalogueServer& server = location->server();
    QStringList options;
    for (const QString& option : server.extraOptions) {
        QString key;
        QString value;
        if (!readOption(option, key, value))
            fail("an option the driver would not read as one setting", option);
        options << key + u'=' + encoded(value);
    }

    const QString again = addressOf(server, options);
    const std::optional<CatalogueLocation> reread =
        CatalogueLocation::fromServerAddress(again, &problem);
    if (!reread)
        fail("its parts written again are refused", again);
    const CatalogueServer& second = reread->server();
    if (second.host != server.host || second.port != server.port ||
        second.database != server.database || second.user != server.user ||
        second.extraOptions != server.extraOptions)
        fail("its parts written again read back otherwise", again);

    const QString shown = location->displayName();
    const std::optional<CatalogueLocation> named =
        CatalogueLocation::fromServerAddress(shown, &problem);
    if (!named || named->displayName() != shown || named->server().database != server.database)
        fail("the name messages give it is no address of the same catalogue", shown);
    return 0;
}
