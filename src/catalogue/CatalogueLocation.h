#pragma once

#include <optional>
#include <QString>
#include <QStringList>

namespace tarnwick {

class AppPaths;

// Where the photo catalogue lives: the installation's own SQLite file, or a database on a
// PostgreSQL server that a whole office shares (SQLite must not be shared over a network file
// system: its locking is not reliable there).
enum class CatalogueEngine { Sqlite, PostgreSql };

// A catalogue on a server, as libpq is told it. Never a password: that comes from PostgreSQL's
// own means (~/.pgpass, PGPASSWORD, peer authentication), not from the suite's settings.
struct CatalogueServer {
    QString host; // name, address or the folder of a Unix socket; empty: libpq's default
    int port = 0; // 0: libpq's default
    QString database;
    QString user;             // empty: libpq's default (PGUSER or the login name)
    QStringList extraOptions; // further libpq settings from the address, "key='value'"
};

class CatalogueLocation {
public:
    static CatalogueLocation file(QString path);
    // Reads "postgresql://[USER@]HOST[:PORT]/DB[?KEY=VALUE&...]" (also "postgres://"); a host
    // may be a socket folder written with %2F for "/". Gives nullopt and says why in *problem
    // for anything else, and for an address that holds a password.
    static std::optional<CatalogueLocation> fromServerAddress(const QString& address,
                                                              QString* problem);
    static bool looksLikeServerAddress(const QString& text);

    CatalogueEngine engine() const { return engine_; }
    // The file of an SQLite catalogue.
    const QString& path() const { return path_; }
    const CatalogueServer& server() const { return server_; }

    // What messages call the catalogue: the file's path, or postgresql://HOST:PORT/DB.
    QString displayName() const;
    // HOST:PORT of a server, with the defaults libpq takes filled in.
    QString serverName() const;

private:
    CatalogueEngine engine_ = CatalogueEngine::Sqlite;
    QString path_;
    CatalogueServer server_;
};

// How a catalogue is opened: commands that only show what it holds read it, and so also work on
// a write-protected file or folder (a catalogue on a disc, a shared installation) or with a
// server login that may only read; only start-up's normalisation and Slidekeep write.
enum class CatalogueAccess { ReadOnly, ReadWrite };

// The name of the suite setting and of the environment variable that name a shared catalogue.
inline constexpr const char* catalogueSettingName = "Catalogue";
inline constexpr const char* catalogueEnvironmentVariable = "TARNWICK_CATALOGUE";

// The catalogue every program of an installation works on: the server catalogue that
// TARNWICK_CATALOGUE or else the suite's setting Catalogue names, or the installation's own
// Photo3.db when neither names one. Throws DatabaseError, naming where the value came from, for
// a value that is no server address.
CatalogueLocation configuredCatalogue(const AppPaths& paths);

} // namespace tarnwick
