#pragma once

#include <QStringList>

inline constexpr const char* catalogueCommandSynopsis =
    "catalogue push --to postgresql://HOST[:PORT]/DB [--app-dir DIR]\n"
    "                          copy the installation's catalogue into an empty database on a\n"
    "                          PostgreSQL server, for the setting Catalogue to name";

// tarnwick-cli catalogue push: the installation's catalogue file into a server's database.
int runCatalogue(const QStringList& args);
