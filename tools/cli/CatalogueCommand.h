#pragma once

#include <QStringList>

inline constexpr const char* catalogueCommandSynopsis =
    "catalogue push --to postgresql://HOST[:PORT]/DB [--app-dir DIR]\n"
    "                          copy the installation's catalogue into an empty database on a\n"
    "                          PostgreSQL server, for the setting Catalogue to name\n"
    "  catalogue inspect FILE  what an Access file (the old suite's Photo3.mdb) holds, as JSON\n"
    "  catalogue import FILE [--app-dir DIR] [--force] [--to postgresql://HOST[:PORT]/DB]\n"
    "                          write the installation's catalogue from the old suite's\n"
    "                          Photo3.mdb; --force replaces a catalogue already there;\n"
    "                          --to imports into an empty database on a server instead\n"
    "  catalogue snapshot FILE OUTPUT\n"
    "                          what an import reads of an Access file, written to OUTPUT in\n"
    "                          Tarnwick's own form; the window reads old catalogues so, in a\n"
    "                          process of their own";

// tarnwick-cli catalogue push: the installation's catalogue file into a server's database;
// inspect, import and snapshot: the old suite's Access catalogue.
int runCatalogue(const QStringList& args);
