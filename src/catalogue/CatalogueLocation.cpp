#include "catalogue/CatalogueLocation.h"

#include "catalogue/DatabaseError.h"
#include "platform/AppPaths.h"
#include "platform/SuiteSettings.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace tarnwick {

using namespace Qt::StringLiterals;

namespace {

const QStringList schemes{u"postgresql://"_s, u"postgres://"_s};

QString decoded(const QString& text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

// A libpq option value in single quotes, as its connection strings take them.
QString quotedOption(QString value) {
    value.replace(u'\\', u"\\\\"_s);
    value.replace(u'\'', u"\\'"_s);
    return u'\'' + value + u'\'';
}

bool isOptionKey(const QString& key) {
    static const QRegularExpression pattern(u"^[a-z_]+$"_s);
    return pattern.match(key).hasMatch();
}

// A host or database as an address writes it: the characters that would end or split the
// part, and blanks, which reading an address trims, percent-encoded; everything else as it is, so
// ordinary names read plainly.
QString addressPart(const QString& text) {
    QString part;
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && !c.isSpace() && !QStringView(u"%/?@:[]#&").contains(c)) {
            part += c;
            continue;
        }
        for (const char byte : QString(c).toUtf8())
            part += u'%' + QString::number(uchar(byte), 16).toUpper().rightJustified(2, u'0');
    }
    return part;
}

bool isIpv6Literal(const QString& host) {
    static const QRegularExpression literal(
        u"^[0-9A-Fa-f:.]*:[0-9A-Fa-f:.]*(%[A-Za-z0-9._-]+)?$"_s);
    return literal.match(host).hasMatch();
}

// The host and port libpq takes when the address leaves them out.
QString hostOf(const CatalogueServer& server) {
    return server.host.isEmpty() ? u"localhost"_s : server.host;
}

int portOf(const CatalogueServer& server) {
    const int port = server.port > 0 ? server.port : qEnvironmentVariableIntValue("PGPORT");
    return port > 0 ? port : 5432;
}

// The address as it may be shown: a password in it is never repeated.
QString withoutPassword(const QString& address) {
    QString shown = address;
    static const QRegularExpression password(u"(//[^/@:]*):[^/@]*@"_s);
    shown.replace(password, u"\\1:...@"_s);
    return shown;
}

} // namespace

CatalogueLocation CatalogueLocation::file(QString path) {
    CatalogueLocation location;
    location.engine_ = CatalogueEngine::Sqlite;
    location.path_ = std::move(path);
    return location;
}

bool CatalogueLocation::looksLikeServerAddress(const QString& text) {
    for (const QString& scheme : schemes)
        if (text.trimmed().startsWith(scheme, Qt::CaseInsensitive))
            return true;
    return false;
}

std::optional<CatalogueLocation> CatalogueLocation::fromServerAddress(const QString& address,
                                                                      QString* problem) {
    const auto refuse = [problem](const QString& why) -> std::optional<CatalogueLocation> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    QString rest = address.trimmed();
    qsizetype schemeLength = 0;
    for (const QString& scheme : schemes)
        if (rest.startsWith(scheme, Qt::CaseInsensitive))
            schemeLength = scheme.size();
    if (schemeLength == 0)
        return refuse(u"it does not begin with postgresql://"_s);
    rest = rest.mid(schemeLength);

    QString query;
    if (const qsizetype mark = rest.indexOf(u'?'); mark >= 0) {
        query = rest.mid(mark + 1);
        rest.truncate(mark);
    }
    const qsizetype slash = rest.indexOf(u'/');
    CatalogueServer server;
    server.database = slash < 0 ? QString() : decoded(rest.mid(slash + 1));
    if (server.database.isEmpty())
        return refuse(u"it names no database after the server"_s);
    if (server.database.contains(u'/'))
        return refuse(u"the database name \"%1\" holds a \"/\""_s.arg(server.database));

    QString authority = rest.left(slash);
    if (const qsizetype at = authority.lastIndexOf(u'@'); at >= 0) {
        const QString userInfo = authority.left(at);
        if (userInfo.contains(u':'))
            return refuse(u"it holds a password, which Tarnwick never keeps in its settings"_s);
        server.user = decoded(userInfo);
        authority = authority.mid(at + 1);
    }
    QString portText;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0)
            return refuse(u"the server's address \"%1\" lacks its closing \"]\""_s.arg(authority));
        server.host = authority.mid(1, close - 1);
        const QString after = authority.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(u':'))
            return refuse(u"\"%1\" is not a server's address"_s.arg(authority));
        portText = after.mid(1);
    } else {
        const qsizetype colon = authority.indexOf(u':');
        server.host = decoded(colon < 0 ? authority : authority.left(colon));
        portText = colon < 0 ? QString() : authority.mid(colon + 1);
    }
    if (!portText.isEmpty()) {
        bool ok = false;
        const int port = portText.toInt(&ok);
        if (!ok || port < 1 || port > 65535 || portText.startsWith(u'+'))
            return refuse(u"the port \"%1\" is not a number from 1 to 65535"_s.arg(portText));
        server.port = port;
    }

    for (const QString& pair : query.split(u'&', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString key = decoded(pair.left(equals)).toLower();
        const QString value = equals < 0 ? QString() : decoded(pair.mid(equals + 1));
        if (key == u"password" || key == u"passfile")
            return refuse(u"it holds a password, which Tarnwick never keeps in its settings"_s);
        if (key == u"host" || key == u"hostaddr" || key == u"port" || key == u"dbname" ||
            key == u"user")
            return refuse(u"it gives %1 after \"?\": write it in the address itself"_s.arg(key));
        // The connection options of Qt's driver are separated by ";".
        if (!isOptionKey(key) || equals < 0 || value.contains(u';'))
            return refuse(u"\"%1\" after \"?\" is no setting KEY=VALUE of PostgreSQL"_s.arg(pair));
        server.extraOptions << key + u'=' + quotedOption(value);
    }

    // libpq reads its settings as one C string: a NUL would cut it short, a line break split it.
    for (const QString& part :
         QStringList{server.host, server.database, server.user} + server.extraOptions)
        if (std::any_of(part.begin(), part.end(), [](QChar c) { return c.unicode() < 0x20; }))
            return refuse(u"it holds a control character"_s);

    CatalogueLocation location;
    location.engine_ = CatalogueEngine::PostgreSql;
    location.server_ = std::move(server);
    return location;
}

QString CatalogueLocation::serverName() const {
    const QString host = hostOf(server_);
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' +
           QString::number(portOf(server_));
}

QString CatalogueLocation::displayName() const {
    if (engine_ == CatalogueEngine::Sqlite)
        return path_;
    // An address that reads back as this catalogue: messages offer it to be typed again.
    const QString host = hostOf(server_);
    return u"postgresql://%1:%2/%3"_s.arg(
        isIpv6Literal(host) ? u'[' + host + u']' : addressPart(host),
        QString::number(portOf(server_)), addressPart(server_.database));
}

CatalogueLocation configuredCatalogue(const AppPaths& paths) {
    QString value = qEnvironmentVariable(catalogueEnvironmentVariable).trimmed();
    QString source;
    if (!value.isEmpty()) {
        source = u"The environment variable %1"_s.arg(QLatin1String(catalogueEnvironmentVariable));
    } else {
        const SuiteSettings settings;
        value = settings.catalogue();
        source = u"The setting %1 (group General of %2)"_s.arg(QLatin1String(catalogueSettingName),
                                                               settings.fileName());
    }
    if (value.isEmpty())
        return CatalogueLocation::file(paths.cataloguePath());
    QString problem;
    if (std::optional<CatalogueLocation> location =
            CatalogueLocation::fromServerAddress(value, &problem))
        return *location;
    throw DatabaseError(
        u"%1 names the photo catalogue \"%2\", which Tarnwick cannot use: %3.\n\n"
        "Write it as postgresql://HOST[:PORT]/DB, and keep the password in "
        "~/.pgpass or PGPASSWORD; or remove it to use the installation's own "
        "catalogue %4."_s.arg(source, withoutPassword(value), problem, paths.cataloguePath()),
        DatabaseError::Kind::Missing);
}

} // namespace tarnwick
